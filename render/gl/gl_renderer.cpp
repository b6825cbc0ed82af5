// OpenGL back-end: draws go through the DrawBatcher into client-side vertex arrays;
// the picture is drawn unscaled and scaled once at the end of the frame (see the
// header for why), using only what OpenGL 1.1 offers: the back buffer is copied into a
// texture, which is then drawn into the letterbox.
#include "render/gl/gl_renderer.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/log.h"
#include "render/tga_decoder.h"

// OpenGL 1.2 names, which the Windows headers (OpenGL 1.1) lack.
#ifndef GL_CLAMP_TO_EDGE
#define GL_CLAMP_TO_EDGE 0x812F
#endif
#ifndef GL_BGRA
#define GL_BGRA 0x80E1
#endif
#ifndef APIENTRY
#define APIENTRY
#endif

namespace tav {

// Framebuffer objects (OpenGL 3.0, GL_ARB_framebuffer_object or
// GL_EXT_framebuffer_object): the picture is then drawn straight into a texture.
struct GLRenderer::FramebufferFunctions {
  static constexpr GLenum kFramebuffer = 0x8D40;
  static constexpr GLenum kColorAttachment0 = 0x8CE0;
  static constexpr GLenum kFramebufferComplete = 0x8CD5;

  void(APIENTRY* generate)(GLsizei, GLuint*) = nullptr;
  void(APIENTRY* remove)(GLsizei, const GLuint*) = nullptr;
  void(APIENTRY* bind)(GLenum, GLuint) = nullptr;
  void(APIENTRY* attachTexture)(GLenum, GLenum, GLenum, GLuint, GLint) = nullptr;
  GLenum(APIENTRY* status)(GLenum) = nullptr;

  // Looks the functions up with the suffix their source uses; false if any is missing.
  bool Load(Platform& platform, const std::string& suffix) {
    const auto find = [&](const char* name) {
      return platform.GLProcAddress((std::string(name) + suffix).c_str());
    };
    generate = reinterpret_cast<decltype(generate)>(find("glGenFramebuffers"));
    remove = reinterpret_cast<decltype(remove)>(find("glDeleteFramebuffers"));
    bind = reinterpret_cast<decltype(bind)>(find("glBindFramebuffer"));
    attachTexture = reinterpret_cast<decltype(attachTexture)>(find("glFramebufferTexture2D"));
    status = reinterpret_cast<decltype(status)>(find("glCheckFramebufferStatus"));
    return generate && remove && bind && attachTexture && status;
  }
};

namespace {

bool HasExtension(const char* extensions, const char* name) {
  if (extensions == nullptr) return false;
  const size_t length = std::strlen(name);
  for (const char* at = std::strstr(extensions, name); at != nullptr;
       at = std::strstr(at + length, name)) {
    const bool starts = at == extensions || at[-1] == ' ';
    const bool ends = at[length] == '\0' || at[length] == ' ';
    if (starts && ends) return true;
  }
  return false;
}

bool SameViewport(const GameViewport& a, const GameViewport& b) {
  return a.drawableWidth == b.drawableWidth && a.drawableHeight == b.drawableHeight && a.x == b.x &&
         a.y == b.y && a.width == b.width && a.height == b.height;
}

int PowerOfTwoAtLeast(int size) {
  int power = 1;
  while (power < size) power *= 2;
  return power;
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

// The batcher's requests as OpenGL 1.1 calls.
class GLRenderer::GLTarget : public BatchTarget {
 public:
  void BindTexture(unsigned name) override { glBindTexture(GL_TEXTURE_2D, name); }

  void SetTextureFilter(int filter) override {
    const GLint glFilter = filter == kFilterLinear ? GL_LINEAR : GL_NEAREST;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, glFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, glFilter);
  }

  void SetPlainTexels(bool plain) override {
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, plain ? GL_REPLACE : GL_MODULATE);
  }

  void Clear(float red, float green, float blue) override {
    glClearColor(red, green, blue, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
  }

  void SetBlend(int mode) override {
    switch (mode) {
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
        break;
    }
  }

  void DrawVertices(Primitive primitive, const BatchVertex* vertices, size_t count) override {
    const GLsizei stride = sizeof(BatchVertex);
    glVertexPointer(2, GL_FLOAT, stride, &vertices[0].x);
    glTexCoordPointer(2, GL_FLOAT, stride, &vertices[0].u);
    glColorPointer(4, GL_FLOAT, stride, &vertices[0].r);
    glDrawArrays(primitive == Primitive::kQuads ? GL_QUADS : GL_TRIANGLES, 0,
                 static_cast<GLsizei>(count));
  }
};

GLRenderer::GLRenderer(Platform& platform)
    : Renderer(kRendererGL),
      target_(std::make_unique<GLTarget>()),
      batcher_(std::make_unique<DrawBatcher>(*target_)),
      platform_(platform) {}

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
  GLint maxTextureSize = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize);
  maxTextureSize_ = std::max<int>(maxTextureSize, 64);
  // OpenGL 2.0 and later take textures of any size; the picture copies then need no
  // power-of-two padding.
  const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  anySizeTextures_ = version != nullptr && version[0] >= '2' && version[0] <= '9';
  const char* reuse = std::getenv("TAV_FRAME_REUSE");
  reuseFrames_ = reuse == nullptr || std::string(reuse) != "off";
  const char* partial = std::getenv("TAV_PARTIAL_PRESENT");
  partialPresentsFromEnvironment_ = partial == nullptr || std::string(partial) != "off";
  backBufferKept_ = false;
  viewport_ = GameViewport();
  LoadFramebufferFunctions(version);

  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluOrtho2D(0.0, width, 0.0, height);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();

  // GL's blend is set at the first draw from the mode this renderer reports.
  batcher_->ForgetState();
  batcher_->SetBlendMode(blendMode_);
  batcher_->SetFilter(filter_);
  copiedRuns_ = 0;
}

bool GLRenderer::BeginFrame() {
  return true;
}

void GLRenderer::SetArea(int x, int y, int width, int height) {
  glViewport(x, y, width, height);
  glScissor(x, y, width, height);
  glEnable(GL_SCISSOR_TEST);
}

void GLRenderer::ClearRect(int x, int y, int width, int height) {
  if (width <= 0 || height <= 0) return;
  glScissor(x, y, width, height);
  glEnable(GL_SCISSOR_TEST);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
}

void GLRenderer::BeginScene() {
  batcher_->Flush();
  UnbindPictureFramebuffer();  // left bound by a frame that never ended
  const GameViewport viewport = platform_.Viewport();
  const bool letterboxChanged = !SameViewport(viewport, viewport_);
  if (letterboxChanged) {
    copiedRuns_ = 0;  // the kept copy has the old size
    backBufferKept_ = false;
  }
  viewport_ = viewport;
  // Asked every frame, so that a loss is not remembered past the next presentation.
  pictureIntact_ = !platform_.TakePictureLost() && !letterboxChanged;
  composed_ = false;
  mode_ = PresentMode::kSwap;
  areasToPresent_.clear();

  // A letterbox larger than the picture gets the unscaled picture scaled once at
  // the end; one of the picture's own size or smaller is drawn into directly.
  scaling_ = viewport.width >= width_ && viewport.height >= height_ &&
             (viewport.width != width_ || viewport.height != height_);
  if (scaling_) {
    wholeFactor_ = std::max(1, std::min(viewport.width / width_, viewport.height / height_));
    while (wholeFactor_ > 1 &&
           TextureSizeFor(std::max(width_, height_) * wholeFactor_) > maxTextureSize_) {
      --wholeFactor_;
    }
  }
  picture_ = viewport;
  drawingToFramebuffer_ = false;
  if (scaling_) {
    picture_.x = 0;
    picture_.y = 0;
    picture_.width = width_;
    picture_.height = height_;
    drawingToFramebuffer_ = BindPictureFramebuffer();
  }
  // Copying parts needs the picture out of the back buffer and no enlargement step
  // drawn through it: the back buffer is then touched only where presented.
  canCopyParts_ = partialPresentsFromEnvironment_ && drawingToFramebuffer_ && wholeFactor_ == 1 &&
                  platform_.CanPresentRegions();
  SetArea(picture_.x, picture_.y, picture_.width, picture_.height);
  if (reuseFrames_) batcher_->StartRecording();
}

void GLRenderer::LoadFramebufferFunctions(const char* version) {
  framebuffers_.reset();
  pictureFramebuffer_ = 0;
  const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  std::string suffix;
  if ((version != nullptr && version[0] >= '3' && version[0] <= '9') ||
      HasExtension(extensions, "GL_ARB_framebuffer_object")) {
    suffix = "";
  } else if (HasExtension(extensions, "GL_EXT_framebuffer_object")) {
    suffix = "EXT";
  } else {
    return;
  }
  auto functions = std::make_unique<FramebufferFunctions>();
  if (functions->Load(platform_, suffix)) framebuffers_ = std::move(functions);
}

bool GLRenderer::BindPictureFramebuffer() {
  if (!framebuffers_ || !framebuffersAllowed_) return false;
  if (pictureFramebuffer_ == 0) {
    const DrawBatcher::UserState user = batcher_->SaveUserState();
    MakeTexture(pictureTexture_, width_, height_);
    batcher_->RestoreUserState(user);
    GLuint name = 0;
    framebuffers_->generate(1, &name);
    pictureFramebuffer_ = name;
    framebuffers_->bind(FramebufferFunctions::kFramebuffer, name);
    framebuffers_->attachTexture(FramebufferFunctions::kFramebuffer,
                                 FramebufferFunctions::kColorAttachment0, GL_TEXTURE_2D,
                                 pictureTexture_.name, 0);
    if (framebuffers_->status(FramebufferFunctions::kFramebuffer) !=
        FramebufferFunctions::kFramebufferComplete) {
      LogLine("WARNING: The picture cannot be drawn into a texture; it is copied instead.\n");
      framebuffers_->bind(FramebufferFunctions::kFramebuffer, 0);
      framebuffers_->remove(1, &name);
      pictureFramebuffer_ = 0;
      framebuffers_.reset();
      return false;
    }
    return true;
  }
  framebuffers_->bind(FramebufferFunctions::kFramebuffer, pictureFramebuffer_);
  return true;
}

void GLRenderer::UnbindPictureFramebuffer() {
  if (!drawingToFramebuffer_) return;
  batcher_->Flush();
  framebuffers_->bind(FramebufferFunctions::kFramebuffer, 0);
  drawingToFramebuffer_ = false;
}

int GLRenderer::TextureSizeFor(int size) const {
  return anySizeTextures_ ? size : PowerOfTwoAtLeast(size);
}

void GLRenderer::CopyToTexture(ScaleTexture& texture, int x, int y, int width, int height) {
  batcher_->FlushBeforeOutsideChange();
  if (!MakeTexture(texture, width, height)) {
    glBindTexture(GL_TEXTURE_2D, texture.name);
    batcher_->NoteBoundTexture(texture.name);
  }
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, x, y, width, height);
}

bool GLRenderer::MakeTexture(ScaleTexture& texture, int width, int height) {
  batcher_->FlushBeforeOutsideChange();
  if (texture.width < width || texture.height < height) {
    if (texture.name != 0) {
      GLuint old = texture.name;
      batcher_->TextureDestroyed(old);
      glDeleteTextures(1, &old);
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    texture.name = name;
    texture.width = TextureSizeFor(width);
    texture.height = TextureSizeFor(height);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, texture.width, texture.height, 0, GL_BGRA,
                 GL_UNSIGNED_BYTE, nullptr);
    batcher_->TextureCreated(name, true);
    return true;
  }
  return false;
}

void GLRenderer::DrawTextureArea(const ScaleTexture& texture, int width, int height, int filter) {
  // The copy's first row is the bottom one, so v runs upwards here.
  const float u = static_cast<float>(width) / static_cast<float>(texture.width);
  const float v = static_cast<float>(height) / static_cast<float>(texture.height);
  const float w = static_cast<float>(width_), h = static_cast<float>(height_);
  const Vertex vertices[4] = {{0, 0, 0, 0}, {w, 0, u, 0}, {w, h, u, v}, {0, h, 0, v}};
  batcher_->BindTexture(texture.name);
  batcher_->SetFilter(filter);
  batcher_->SetBlendMode(kBlendNone);
  batcher_->Draw(Primitive::kQuads, vertices, 4, 1.0f, 1.0f, 1.0f, 1.0f);
  batcher_->Flush();
}

void GLRenderer::DrawRecordedFrame(size_t sharedRuns) {
  const size_t runs = batcher_->RecordedRunCount();
  // A frame that does not start by clearing could show what earlier frames left in
  // the buffer, which a copy would not hold.
  const size_t shared = batcher_->RecordingStartsWithClear() ? sharedRuns : 0;
  const auto cost = [this](size_t end) {
    return batcher_->DrawingCost(end, static_cast<float>(width_), static_cast<float>(height_));
  };
  const FrameReusePlan plan = PlanFrameReuse(copiedRuns_, shared, sharedBefore_, cost,
                                             static_cast<double>(width_) * height_);
  const DrawBatcher::UserState user = batcher_->SaveUserState();
  size_t next = 0;
  if (plan.drawCopy) {
    DrawTextureArea(frameCopy_, picture_.width, picture_.height, kFilterNearest);
    next = copiedRuns_;
    ++framesDrawnFromCopy_;
  } else {
    copiedRuns_ = 0;
  }
  if (plan.copyAfter > next) {
    batcher_->DrawRecorded(next, plan.copyAfter);
    CopyToTexture(frameCopy_, picture_.x, picture_.y, picture_.width, picture_.height);
    copiedRuns_ = plan.copyAfter;
    next = plan.copyAfter;
  }
  batcher_->DrawRecorded(next, runs);
  batcher_->RestoreUserState(user);
  batcher_->KeepFrameForComparison();
  sharedBefore_ = shared;
}

void GLRenderer::ClearBars() {
  const GameViewport& box = viewport_;
  const int right = box.x + box.width, top = box.y + box.height;
  ClearRect(0, 0, box.x, box.drawableHeight);
  ClearRect(right, 0, box.drawableWidth - right, box.drawableHeight);
  ClearRect(box.x, 0, box.width, box.y);
  ClearRect(box.x, top, box.width, box.drawableHeight - top);
}

void GLRenderer::ComposeFrame() {
  if (composed_) return;
  composed_ = true;
  const bool recorded = batcher_->Recording();
  size_t sharedRuns = 0;
  PresentState state;
  state.swapOptional = swapOptional_;
  state.canCopyParts = canCopyParts_;
  state.backBufferKept = backBufferKept_;
  state.pictureIntact = pictureIntact_;
  if (recorded) {
    batcher_->StopRecording();
    sharedRuns = batcher_->RunsSharedWithPreviousFrame();
    state.frameUnchanged = batcher_->RecordingRepeatsPreviousFrame(sharedRuns);
  }
  mode_ = ChoosePresentMode(state);
  if (mode_ == PresentMode::kNothing) {
    batcher_->KeepFrameForComparison();
    UnbindPictureFramebuffer();
    return;
  }
  if (mode_ == PresentMode::kCopyChanges) {
    pictureChanges_ = recorded ? batcher_->ChangedBoxes(sharedRuns, width_, height_)
                               : std::vector<PixelBox>{{0, 0, width_, height_}};
  }
  if (recorded) DrawRecordedFrame(sharedRuns);
  batcher_->Flush();
  if (!scaling_) {
    UnbindPictureFramebuffer();
    // Drawn straight into the letterbox; a swapped back buffer needs its bars anew.
    ClearBars();
    return;
  }
  const DrawBatcher::UserState user = batcher_->SaveUserState();
  if (drawingToFramebuffer_) {
    UnbindPictureFramebuffer();  // the picture is in pictureTexture_ already
  } else {
    CopyToTexture(pictureTexture_, 0, 0, width_, height_);
  }
  if (mode_ == PresentMode::kCopyChanges) {
    // The back buffer holds the last frame, bars included: only the changes are new.
    ScaleChangedAreas();
  } else {
    const ScaleTexture* source = &pictureTexture_;
    int sourceWidth = width_, sourceHeight = height_;
    if (wholeFactor_ > 1) {
      sourceWidth = width_ * wholeFactor_;
      sourceHeight = height_ * wholeFactor_;
      SetArea(0, 0, sourceWidth, sourceHeight);
      DrawTextureArea(pictureTexture_, width_, height_, kFilterNearest);
      CopyToTexture(enlargedTexture_, 0, 0, sourceWidth, sourceHeight);
      source = &enlargedTexture_;
    }
    ClearBars();
    SetArea(viewport_.x, viewport_.y, viewport_.width, viewport_.height);
    DrawTextureArea(*source, sourceWidth, sourceHeight, kFilterLinear);
    if (mode_ == PresentMode::kCopyWhole) {
      areasToPresent_.push_back({0, 0, viewport_.drawableWidth, viewport_.drawableHeight});
    }
  }
  batcher_->RestoreUserState(user);
  // The frame is composed: the picture now lies in the letterbox.
  scaling_ = false;
  picture_ = viewport_;
}

PixelBox GLRenderer::ScaledBox(const PixelBox& box) const {
  // A screen pixel mixes the two picture pixels nearest its centre, so a changed
  // picture pixel reaches the screen pixels within one picture pixel of it.
  const double scaleX = static_cast<double>(viewport_.width) / width_;
  const double scaleY = static_cast<double>(viewport_.height) / height_;
  const auto low = [](int edge, double scale) {
    return std::max(0, static_cast<int>(std::floor((edge - 1) * scale)));
  };
  const auto high = [](int edge, double scale, int limit) {
    return std::min(limit, static_cast<int>(std::ceil((edge + 1) * scale)));
  };
  return {viewport_.x + low(box.x0, scaleX), viewport_.y + low(box.y0, scaleY),
          viewport_.x + high(box.x1, scaleX, viewport_.width),
          viewport_.y + high(box.y1, scaleY, viewport_.height)};
}

void GLRenderer::ScaleChangedAreas() {
  SetArea(viewport_.x, viewport_.y, viewport_.width, viewport_.height);
  for (const PixelBox& change : pictureChanges_) {
    const PixelBox area = ScaledBox(change);
    // The whole quad, cut to the area: its pixels come out exactly as in a whole draw.
    glScissor(area.x0, area.y0, area.x1 - area.x0, area.y1 - area.y0);
    DrawTextureArea(pictureTexture_, width_, height_, kFilterLinear);
    areasToPresent_.push_back(area);
  }
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
  batcher_->FlushBeforeOutsideChange();
}

void GLRenderer::Shutdown() {
  if (contextCreated_) {
    if (pictureFramebuffer_ != 0 && framebuffers_) {
      UnbindPictureFramebuffer();
      GLuint name = pictureFramebuffer_;
      framebuffers_->remove(1, &name);
    }
    pictureFramebuffer_ = 0;
    framebuffers_.reset();
    batcher_->ForgetState();
    for (ScaleTexture* texture : {&pictureTexture_, &enlargedTexture_, &frameCopy_}) {
      if (texture->name != 0) {
        GLuint name = texture->name;
        glDeleteTextures(1, &name);
      }
      *texture = ScaleTexture();
    }
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
    batcher_->TextureDestroyed(name);
    glDeleteTextures(1, &name);
  }
  texture.glName = 0;
}

void GLRenderer::Upload(const uint8_t* bgrPixels, int width, int height, int bitsPerPixel,
                        RendererTexture& texture) {
  batcher_->FlushBeforeOutsideChange();
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
  batcher_->TextureCreated(name, AllAlphaOpaque(bgrPixels, pixelCount, bitsPerPixel));
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
  batcher_->BindTexture(glName);
}

void GLRenderer::Clear(float red, float green, float blue) {
  batcher_->RecordClear(red, green, blue);
}

void GLRenderer::DrawQuad(const Vertex vertices[4], float red, float green, float blue,
                          float alpha) {
  batcher_->Draw(Primitive::kQuads, vertices, 4, red, green, blue, alpha);
}

void GLRenderer::DrawTriangle(const Vertex vertices[3], float red, float green, float blue,
                              float alpha) {
  batcher_->Draw(Primitive::kTriangles, vertices, 3, red, green, blue, alpha);
}

void GLRenderer::SetBlendMode(int mode) {
  blendMode_ = mode;
  batcher_->SetBlendMode(mode);
}

void GLRenderer::SetFilter(int mode) {
  filter_ = mode;
  batcher_->SetFilter(mode);
}

}  // namespace tav
