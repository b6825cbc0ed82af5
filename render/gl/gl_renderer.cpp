// OpenGL back-end. Every draw is one immediate-mode primitive; the filter is applied
// to whichever texture is bound at draw time, so a filter change affects every
// texture drawn after it.
#include "render/gl/gl_renderer.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <vector>

#include "base/log.h"
#include "render/tga_decoder.h"

#ifndef GL_CLAMP_TO_EDGE
#define GL_CLAMP_TO_EDGE 0x812F
#endif

namespace tav {

GLRenderer::GLRenderer(Platform& platform) : Renderer(kRendererGL), platform_(platform) {}

GLRenderer::~GLRenderer() = default;

void GLRenderer::Init(int width, int height, int bitsPerPixel, bool /*fullScreen*/) {
  width_ = width;
  height_ = height;
  bitsPerPixel_ = bitsPerPixel;

  // The platform logs each step it takes and reports its own failures.
  displayModeEntered_ = true;
  platform_.EnterDisplayMode(width, height, bitsPerPixel);
  contextCreated_ = true;
  platform_.CreateGLContext(bitsPerPixel);

  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  glDisable(GL_FOG);
  glDisable(GL_LIGHTING);
  glDisable(GL_BLEND);
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_NORMALIZE);
  glEnable(GL_TEXTURE_2D);
  // Rows of 24-bit pictures are packed without padding.
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);

  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluOrtho2D(0.0, width, 0.0, height);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();

  // Keep the GL state in step with the blend mode this renderer reports.
  ApplyBlendMode();
}

bool GLRenderer::BeginFrame() { return true; }

void GLRenderer::BeginScene() {
  // The bars around the picture are black; the picture itself is drawn into a
  // scissored viewport so that Clear and every draw stay inside it.
  const GameViewport viewport = platform_.Viewport();
  glDisable(GL_SCISSOR_TEST);
  glViewport(0, 0, viewport.drawableWidth, viewport.drawableHeight);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glViewport(viewport.x, viewport.y, viewport.width, viewport.height);
  glScissor(viewport.x, viewport.y, viewport.width, viewport.height);
  glEnable(GL_SCISSOR_TEST);
}

void GLRenderer::EndFrame() {
  glFlush();
  platform_.SwapGLBuffers();
}

void GLRenderer::Shutdown() {
  if (contextCreated_) {
    platform_.DestroyGLContext();
    contextCreated_ = false;
  }
  if (displayModeEntered_) {
    platform_.LeaveDisplayMode();
    displayModeEntered_ = false;
  }
}

void GLRenderer::DestroyTexture(RendererTexture& texture) {
  if (texture.glName != 0) {
    GLuint name = texture.glName;
    glDeleteTextures(1, &name);
  }
  texture.glName = 0;
}

void GLRenderer::Upload(const uint8_t* rgbPixels, int width, int height, int bitsPerPixel,
                        RendererTexture& texture) {
  GLuint name = 0;
  glGenTextures(1, &name);
  texture.glName = name;
  glBindTexture(GL_TEXTURE_2D, name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  // No mipmaps: the minification filter must not ask for them.
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  const bool alpha = bitsPerPixel == 32;
  glTexImage2D(GL_TEXTURE_2D, 0, alpha ? 4 : 3, width, height, 0, alpha ? GL_RGBA : GL_RGB,
               GL_UNSIGNED_BYTE, rgbPixels);
}

bool GLRenderer::CreateTextureFromPixels(const uint8_t* pixels, int width, int height,
                                         int bitsPerPixel, RendererTexture& texture) {
  if (bitsPerPixel != 24 && bitsPerPixel != 32) {
    LogLine("WARNING: Invalid image depth.\n");
    return false;
  }
  if (pixels == nullptr || width <= 0 || height <= 0) {
    LogLine("WARNING: Invalid image size.\n");
    return false;
  }
  const size_t pixelCount = static_cast<size_t>(width) * static_cast<size_t>(height);
  const int bytesPerPixel = bitsPerPixel / 8;
  std::vector<uint8_t> copy(pixels, pixels + pixelCount * bytesPerPixel);
  SwapRedAndBlue(copy.data(), pixelCount, bytesPerPixel);
  Upload(copy.data(), width, height, bitsPerPixel, texture);
  return true;
}

bool GLRenderer::CreateTextureFromTga(const uint8_t* bytes, size_t byteCount, int* width,
                                      int* height, int* bitsPerPixel,
                                      RendererTexture& texture) {
  DecodedImage image;
  const bool decoded = DecodeTga(bytes, byteCount, &image);
  *width = image.width;
  *height = image.height;
  *bitsPerPixel = image.bitsPerPixel;
  if (!decoded) return false;
  Upload(image.pixels.data(), image.width, image.height, image.bitsPerPixel, texture);
  return true;
}

void GLRenderer::BindTexture(uintptr_t /*d3dTexture*/, unsigned glName) {
  glBindTexture(GL_TEXTURE_2D, glName);
}

void GLRenderer::Clear(float red, float green, float blue) {
  glClearColor(red, green, blue, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
}

void GLRenderer::ApplyFilterToBoundTexture() {
  const GLint filter = filter_ == kFilterLinear ? GL_LINEAR : GL_NEAREST;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
}

void GLRenderer::DrawQuad(const Vertex vertices[4], float red, float green, float blue,
                          float alpha) {
  ApplyFilterToBoundTexture();
  glColor4f(red, green, blue, alpha);
  glBegin(GL_QUADS);
  for (int i = 0; i < 4; ++i) {
    glTexCoord2f(vertices[i].u, vertices[i].v);
    glVertex2f(vertices[i].x, vertices[i].y);
  }
  glEnd();
}

void GLRenderer::DrawTriangle(const Vertex vertices[3], float red, float green, float blue,
                              float alpha) {
  ApplyFilterToBoundTexture();
  glColor4f(red, green, blue, alpha);
  glBegin(GL_TRIANGLES);
  for (int i = 0; i < 3; ++i) {
    glTexCoord2f(vertices[i].u, vertices[i].v);
    glVertex2f(vertices[i].x, vertices[i].y);
  }
  glEnd();
}

void GLRenderer::ApplyBlendMode() {
  switch (blendMode_) {
    case kBlendNone:
      glDisable(GL_BLEND);
      break;
    case kBlendNormal:
      glEnable(GL_BLEND);
      glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
      break;
    case kBlendMultiply:
      // Named "multiply" in the picture settings, but drawn additively.
      glEnable(GL_BLEND);
      glBlendFunc(GL_SRC_ALPHA, GL_ONE);
      break;
    default:
      break;  // stored, changes nothing
  }
}

void GLRenderer::SetBlendMode(int mode) {
  blendMode_ = mode;
  ApplyBlendMode();
}

void GLRenderer::SetFilter(int mode) { filter_ = mode; }

}  // namespace tav
