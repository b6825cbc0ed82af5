// OpenGL back-end: the frame's way from the game's draws to the window (see the header
// for the parts it ties together).
#include "render/gl/gl_renderer.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "render/tga_decoder.h"

namespace tav {

namespace {

bool SameViewport(const GameViewport& a, const GameViewport& b) {
  return a.drawableWidth == b.drawableWidth && a.drawableHeight == b.drawableHeight && a.x == b.x &&
         a.y == b.y && a.width == b.width && a.height == b.height;
}

// True when every pixel of B, G, R, A bytes has alpha 255.
bool AllAlphaOpaque(const uint8_t* pixels, size_t pixelCount, int bitsPerPixel) {
  if (bitsPerPixel != 32) return true;
  for (size_t i = 0; i < pixelCount; ++i) {
    if (pixels[i * 4 + 3] != 255) return false;
  }
  return true;
}

}  // namespace

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
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  // Rows of 24-bit pictures are packed without padding.
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  const char* reuse = std::getenv("TAV_FRAME_REUSE");
  reuseFrames_ = reuse == nullptr || std::string(reuse) != "off";
  const char* partial = std::getenv("TAV_PARTIAL_PRESENT");
  partialPresentsFromEnvironment_ = partial == nullptr || std::string(partial) != "off";
  backBufferKept_ = false;
  viewport_ = GameViewport();
  scaler_.Start(width, height);

  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluOrtho2D(0.0, width, 0.0, height);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();

  // GL's blend is set at the first draw from the mode this renderer reports.
  batcher_.ForgetState();
  batcher_.SetBlendMode(blendMode_);
  batcher_.SetFilter(filter_);
  copiedRuns_ = 0;
}

bool GLRenderer::BeginFrame() { return true; }

void GLRenderer::BeginScene() {
  batcher_.Flush();
  scaler_.LeaveFramebuffer();  // left bound by a frame that never ended
  const GameViewport viewport = platform_.Viewport();
  // A new picture mode changes the picture's size as a new letterbox does.
  const bool letterboxChanged =
      !SameViewport(viewport, viewport_) || pictureMode_ != framePictureMode_;
  framePictureMode_ = pictureMode_;
  if (letterboxChanged) {
    copiedRuns_ = 0;  // the kept copy has the old size
    backBufferKept_ = false;
  }
  viewport_ = viewport;
  // Asked every frame, so that a loss is not remembered past the next presentation.
  pictureIntact_ = !platform_.TakePictureLost() && !letterboxChanged;
  pictureKept_ = !letterboxChanged;
  composed_ = false;
  mode_ = PresentMode::kSwap;
  areasToPresent_.clear();
  picture_ = scaler_.BeginFrame(viewport, pictureMode_);
  // Copying parts needs the picture out of the back buffer and scaled in one step: the
  // back buffer is then touched only where something is presented.
  canCopyParts_ = partialPresentsFromEnvironment_ && scaler_.OutsideBackBufferInOneStep() &&
                  platform_.CanPresentRegions();
  PictureScaler::SetArea(picture_.x, picture_.y, picture_.width, picture_.height);
  if (reuseFrames_) batcher_.StartRecording();
}

void GLRenderer::ComposeFrame() {
  if (composed_) return;
  composed_ = true;
  const bool recorded = batcher_.Recording();
  size_t sharedRuns = 0;
  PresentState state;
  state.swapOptional = swapOptional_;
  state.canCopyParts = canCopyParts_;
  state.backBufferKept = backBufferKept_;
  state.pictureIntact = pictureIntact_;
  if (recorded) {
    batcher_.StopRecording();
    sharedRuns = batcher_.RunsSharedWithPreviousFrame();
    state.frameUnchanged = batcher_.RecordingRepeatsPreviousFrame(sharedRuns);
  }
  mode_ = ChoosePresentMode(state);
  if (mode_ == PresentMode::kNothing) {
    batcher_.KeepFrameForComparison();
    scaler_.LeaveFramebuffer();
    return;
  }
  // The picture kept in the framebuffer object is the frame before, which this one
  // equals outside the changed boxes: only they are drawn again, whether the frame is
  // then presented in parts or whole.
  const bool drawChangesOnly =
      recorded && pictureKept_ && scaler_.OutsideBackBufferInOneStep();
  std::vector<PixelBox> changes;
  if (drawChangesOnly || mode_ == PresentMode::kCopyChanges) {
    changes = recorded ? batcher_.ChangedBoxes(sharedRuns, width_, height_)
                       : std::vector<PixelBox>{{0, 0, width_, height_}};
  }
  if (recorded) DrawRecordedFrame(sharedRuns, drawChangesOnly ? &changes : nullptr);
  batcher_.Flush();
  if (!scaler_.Scaling()) {
    // Drawn straight into the letterbox; a swapped back buffer needs its bars anew.
    scaler_.ClearBars();
    PictureScaler::SetArea(picture_.x, picture_.y, picture_.width, picture_.height);
    return;
  }
  const DrawBatcher::UserState user = batcher_.SaveUserState();
  if (mode_ == PresentMode::kCopyChanges) {
    // The back buffer holds the last frame, bars included: only the changes are new.
    areasToPresent_ = scaler_.ScaleChanges(changes);
  } else {
    scaler_.ScaleWhole();
    if (mode_ == PresentMode::kCopyWhole) {
      areasToPresent_.push_back({0, 0, viewport_.drawableWidth, viewport_.drawableHeight});
    }
  }
  batcher_.RestoreUserState(user);
  // The frame is composed: the picture now lies in the letterbox.
  picture_ = viewport_;
}

void GLRenderer::DrawRecordedFrame(size_t sharedRuns,
                                   const std::vector<PixelBox>* changedOnly) {
  const size_t runs = batcher_.RecordedRunCount();
  // A frame that does not start by clearing could show what earlier frames left in
  // the buffer, which a copy would not hold.
  const size_t shared = batcher_.RecordingStartsWithClear() ? sharedRuns : 0;
  const auto cost = [this](size_t end) {
    return batcher_.DrawingCost(end, static_cast<float>(width_), static_cast<float>(height_));
  };
  const FrameReusePlan plan = PlanFrameReuse(copiedRuns_, shared, sharedBefore_, cost,
                                             static_cast<double>(width_) * height_);
  const DrawBatcher::UserState user = batcher_.SaveUserState();
  size_t next = 0;
  if (plan.drawCopy) {
    next = copiedRuns_;
    ++framesDrawnFromCopy_;
  } else {
    copiedRuns_ = 0;
  }
  // A new copy needs the whole picture drawn up to it.
  if (changedOnly != nullptr && plan.copyAfter <= next) {
    for (const PixelBox& box : *changedOnly) {
      scaler_.LimitDrawingTo(box);
      if (plan.drawCopy) {
        scaler_.DrawTextureArea(frameCopy_, picture_.width, picture_.height, kFilterNearest);
      }
      batcher_.DrawRecordedWithin(next, runs, box);
      batcher_.Flush();
    }
    PictureScaler::SetArea(picture_.x, picture_.y, picture_.width, picture_.height);
  } else {
    if (plan.drawCopy) {
      scaler_.DrawTextureArea(frameCopy_, picture_.width, picture_.height, kFilterNearest);
    }
    if (plan.copyAfter > next) {
      batcher_.DrawRecorded(next, plan.copyAfter);
      scaler_.CopyToTexture(frameCopy_, picture_.x, picture_.y, picture_.width,
                            picture_.height);
      copiedRuns_ = plan.copyAfter;
      next = plan.copyAfter;
    }
    batcher_.DrawRecorded(next, runs);
  }
  batcher_.RestoreUserState(user);
  batcher_.KeepFrameForComparison();
  sharedBefore_ = shared;
}

void GLRenderer::EndFrame() {
  ComposeFrame();
  lastFrameSwapped_ = false;
  switch (mode_) {
    case PresentMode::kNothing:
      return;
    case PresentMode::kCopyWhole:
    case PresentMode::kCopyChanges:
      if (areasToPresent_.empty()) {
        // Nothing to present, but the drawing is finished here as a presentation would
        // wait for it: frames must not pile up in a software rasteriser, each holding
        // its draws' data (hundreds of megabytes without even a flush).
        glFinish();
      }
      for (const PixelBox& area : areasToPresent_) {
        platform_.PresentRegion(area.x0, area.y0, area.x1 - area.x0, area.y1 - area.y0);
      }
      if (!areasToPresent_.empty()) ++framesPresented_;
      backBufferKept_ = true;
      return;
    case PresentMode::kSwap:
      glFlush();
      platform_.SwapGLBuffers();
      // What a swapped back buffer holds afterwards is up to the driver.
      backBufferKept_ = false;
      lastFrameSwapped_ = true;
      ++framesPresented_;
      return;
  }
}

void GLRenderer::Flush() {
  batcher_.FlushBeforeOutsideChange();
}

void GLRenderer::Shutdown() {
  if (contextCreated_) {
    scaler_.Release();
    scaler_.DeleteTexture(frameCopy_);
    batcher_.ForgetState();
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
    batcher_.TextureDestroyed(name);
    glDeleteTextures(1, &name);
  }
  texture.glName = 0;
}

void GLRenderer::Upload(const uint8_t* bgrPixels, int width, int height, int bitsPerPixel,
                        RendererTexture& texture) {
  batcher_.FlushBeforeOutsideChange();
  GLuint name = 0;
  glGenTextures(1, &name);
  texture.glName = name;
  glBindTexture(GL_TEXTURE_2D, name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  // No mipmaps: the minification filter must not ask for them.
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  // Handed over as B, G, R, A, the pictures' own order: a software rasteriser keeps
  // such textures in the layout of its colour buffer, which it samples fastest (the
  // menu draws about half again as fast on llvmpipe as with R, G, B, A or 24-bit
  // textures). Pictures without alpha get an opaque one.
  const size_t pixelCount = static_cast<size_t>(width) * static_cast<size_t>(height);
  std::vector<uint8_t> withAlpha;
  const uint8_t* bgraPixels = bgrPixels;
  if (bitsPerPixel == 24) {
    withAlpha.resize(pixelCount * 4);
    for (size_t i = 0; i < pixelCount; ++i) {
      std::memcpy(&withAlpha[i * 4], bgrPixels + i * 3, 3);
      withAlpha[i * 4 + 3] = 255;
    }
    bgraPixels = withAlpha.data();
  }
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, bgraPixels);
  batcher_.TextureCreated(name, AllAlphaOpaque(bgrPixels, pixelCount, bitsPerPixel));
}

bool GLRenderer::CreateTextureFromPixels(const uint8_t* pixels, int width, int height,
                                         int bitsPerPixel, RendererTexture& texture) {
  if (!TexturePixelsUsable(pixels, width, height, bitsPerPixel)) return false;
  Upload(pixels, width, height, bitsPerPixel, texture);
  return true;
}

bool GLRenderer::CreateTextureFromTga(const uint8_t* bytes, size_t byteCount, int* width,
                                      int* height, int* bitsPerPixel, RendererTexture& texture) {
  DecodedImage image;
  const bool decoded = DecodeTga(bytes, byteCount, &image, PixelOrder::kBgr);
  *width = image.width;
  *height = image.height;
  *bitsPerPixel = image.bitsPerPixel;
  if (!decoded) return false;
  Upload(image.pixels.data(), image.width, image.height, image.bitsPerPixel, texture);
  return true;
}

void GLRenderer::BindTexture(uintptr_t /*d3dTexture*/, unsigned glName) {
  batcher_.BindTexture(glName);
}

void GLRenderer::Clear(float red, float green, float blue) {
  batcher_.RecordClear(red, green, blue);
}

void GLRenderer::DrawQuad(const Vertex vertices[4], float red, float green, float blue,
                          float alpha) {
  batcher_.Draw(Primitive::kQuads, vertices, 4, red, green, blue, alpha);
}

void GLRenderer::DrawTriangle(const Vertex vertices[3], float red, float green, float blue,
                              float alpha) {
  batcher_.Draw(Primitive::kTriangles, vertices, 3, red, green, blue, alpha);
}

void GLRenderer::SetBlendMode(int mode) {
  blendMode_ = mode;
  batcher_.SetBlendMode(mode);
}

void GLRenderer::SetFilter(int mode) {
  filter_ = mode;
  batcher_.SetFilter(mode);
}

}  // namespace tav
