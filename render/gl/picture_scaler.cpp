// Scaling the game's picture into the letterbox with OpenGL 1.1 (and framebuffer
// objects where offered).
#include "render/gl/picture_scaler.h"

#include <algorithm>
#include <cmath>

#include "base/log.h"

namespace tav {

namespace {

int PowerOfTwoAtLeast(int size) {
  int power = 1;
  while (power < size) power *= 2;
  return power;
}

void ClearRect(int x, int y, int width, int height) {
  if (width <= 0 || height <= 0) return;
  glScissor(x, y, width, height);
  glEnable(GL_SCISSOR_TEST);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
}

}  // namespace

PictureScaler::PictureScaler(Platform& platform, DrawBatcher& batcher)
    : platform_(platform), batcher_(batcher) {}

PictureScaler::~PictureScaler() = default;

void PictureScaler::Start(int width, int height) {
  width_ = width;
  height_ = height;
  GLint maxTextureSize = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize);
  maxTextureSize_ = std::max<int>(maxTextureSize, 64);
  anySizeTextures_ = AnySizeTexturesOffered();
  framebuffers_ = LoadFramebufferFunctions(platform_);
  pictureFramebuffer_ = 0;
  viewport_ = GameViewport();
}

void PictureScaler::Release() {
  if (pictureFramebuffer_ != 0 && framebuffers_) {
    LeaveFramebuffer();
    GLuint name = pictureFramebuffer_;
    framebuffers_->remove(1, &name);
  }
  pictureFramebuffer_ = 0;
  framebuffers_.reset();
  for (ScaleTexture* texture : {&pictureTexture_, &enlargedTexture_}) DeleteTexture(*texture);
}

GameViewport PictureScaler::BeginFrame(const GameViewport& viewport, PictureMode mode) {
  viewport_ = viewport;
  // A letterbox larger than the picture gets the unscaled picture scaled once at
  // the end; one of the picture's own size or smaller is drawn into directly.
  const bool larger = viewport.width >= width_ && viewport.height >= height_ &&
                      (viewport.width != width_ || viewport.height != height_);
  atScreenSize_ = mode == PictureMode::kSharp && larger;
  drawingToFramebuffer_ = false;
  drawWidth_ = width_;
  drawHeight_ = height_;
  if (atScreenSize_) {
    // Kept in a texture of the letterbox's size where one fits, so that frames can
    // still be presented in parts; else drawn straight into the letterbox.
    wholeFactor_ = 1;
    drawWidth_ = viewport.width;
    drawHeight_ = viewport.height;
    if (TextureSizeFor(std::max(drawWidth_, drawHeight_)) <= maxTextureSize_) {
      drawingToFramebuffer_ = BindFramebuffer();
    }
    scaling_ = drawingToFramebuffer_;
    if (!scaling_) return viewport;
    GameViewport picture = viewport;
    picture.x = 0;
    picture.y = 0;
    return picture;
  }
  scaling_ = larger;
  if (!scaling_) return viewport;
  wholeFactor_ = std::max(1, std::min(viewport.width / width_, viewport.height / height_));
  while (wholeFactor_ > 1 &&
         TextureSizeFor(std::max(width_, height_) * wholeFactor_) > maxTextureSize_) {
    --wholeFactor_;
  }
  drawingToFramebuffer_ = BindFramebuffer();
  GameViewport picture = viewport;
  picture.x = 0;
  picture.y = 0;
  picture.width = width_;
  picture.height = height_;
  return picture;
}

bool PictureScaler::BindFramebuffer() {
  if (!framebuffers_ || !framebuffersAllowed_) return false;
  // The texture grows with the letterbox in the sharp mode, and is attached anew then.
  const DrawBatcher::UserState user = batcher_.SaveUserState();
  const bool madeTexture = MakeTexture(pictureTexture_, drawWidth_, drawHeight_);
  batcher_.RestoreUserState(user);
  if (pictureFramebuffer_ != 0 && !madeTexture) {
    framebuffers_->bind(FramebufferFunctions::kFramebuffer, pictureFramebuffer_);
    return true;
  }
  if (pictureFramebuffer_ == 0) {
    GLuint name = 0;
    framebuffers_->generate(1, &name);
    pictureFramebuffer_ = name;
  }
  if (AttachPictureTexture()) return true;
  LogLine("WARNING: The picture cannot be drawn into a texture; it is copied instead.\n");
  framebuffers_->bind(FramebufferFunctions::kFramebuffer, 0);
  GLuint name = pictureFramebuffer_;
  framebuffers_->remove(1, &name);
  pictureFramebuffer_ = 0;
  framebuffers_.reset();
  return false;
}

bool PictureScaler::AttachPictureTexture() {
  framebuffers_->bind(FramebufferFunctions::kFramebuffer, pictureFramebuffer_);
  framebuffers_->attachTexture(FramebufferFunctions::kFramebuffer,
                               FramebufferFunctions::kColorAttachment0, GL_TEXTURE_2D,
                               pictureTexture_.name, 0);
  return framebuffers_->status(FramebufferFunctions::kFramebuffer) ==
         FramebufferFunctions::kFramebufferComplete;
}

void PictureScaler::LeaveFramebuffer() {
  if (!drawingToFramebuffer_) return;
  batcher_.Flush();
  framebuffers_->bind(FramebufferFunctions::kFramebuffer, 0);
  drawingToFramebuffer_ = false;
}

void PictureScaler::LimitDrawingTo(const PixelBox& box) const {
  // The pixels whose centres lie inside the box: every shape that covers one of them
  // reaches into the box (at screen size a game pixel is a fraction of a pixel more or
  // less than a whole number of them).
  const double scaleX = static_cast<double>(drawWidth_) / width_;
  const double scaleY = static_cast<double>(drawHeight_) / height_;
  const auto first = [](int edge, double scale) {
    return static_cast<int>(std::ceil(edge * scale - 0.5));
  };
  const int x0 = first(box.x0, scaleX), x1 = std::min(drawWidth_, first(box.x1, scaleX));
  const int y0 = first(box.y0, scaleY), y1 = std::min(drawHeight_, first(box.y1, scaleY));
  glScissor(x0, y0, std::max(0, x1 - x0), std::max(0, y1 - y0));
  glEnable(GL_SCISSOR_TEST);
}

void PictureScaler::ScaleWhole() {
  const bool inFramebuffer = drawingToFramebuffer_;
  LeaveFramebuffer();
  if (atScreenSize_) {
    // Already at the letterbox's size: copied pixel for pixel.
    ClearBars();
    SetArea(viewport_.x, viewport_.y, viewport_.width, viewport_.height);
    DrawTextureArea(pictureTexture_, drawWidth_, drawHeight_, kFilterNearest);
    return;
  }
  // Without a framebuffer object the picture lies in the back buffer's corner.
  if (!inFramebuffer) CopyToTexture(pictureTexture_, 0, 0, width_, height_);
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
}

std::vector<PixelBox> PictureScaler::ScaleChanges(const std::vector<PixelBox>& changes) {
  LeaveFramebuffer();
  std::vector<PixelBox> areas;
  SetArea(viewport_.x, viewport_.y, viewport_.width, viewport_.height);
  for (const PixelBox& change : changes) {
    const PixelBox area = ScaledBox(change);
    // The whole quad, cut to the area: its pixels come out exactly as in a whole draw.
    glScissor(area.x0, area.y0, area.x1 - area.x0, area.y1 - area.y0);
    DrawTextureArea(pictureTexture_, drawWidth_, drawHeight_,
                    atScreenSize_ ? kFilterNearest : kFilterLinear);
    areas.push_back(area);
  }
  return areas;
}

void PictureScaler::ClearBars() {
  const GameViewport& box = viewport_;
  const int right = box.x + box.width, top = box.y + box.height;
  ClearRect(0, 0, box.x, box.drawableHeight);
  ClearRect(right, 0, box.drawableWidth - right, box.drawableHeight);
  ClearRect(box.x, 0, box.width, box.y);
  ClearRect(box.x, top, box.width, box.drawableHeight - top);
}

PixelBox PictureScaler::ScaledBox(const PixelBox& box) const {
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

void PictureScaler::SetArea(int x, int y, int width, int height) {
  glViewport(x, y, width, height);
  glScissor(x, y, width, height);
  glEnable(GL_SCISSOR_TEST);
}

int PictureScaler::TextureSizeFor(int size) const {
  return anySizeTextures_ ? size : PowerOfTwoAtLeast(size);
}

void PictureScaler::CopyToTexture(ScaleTexture& texture, int x, int y, int width, int height) {
  batcher_.FlushBeforeOutsideChange();
  if (!MakeTexture(texture, width, height)) {
    glBindTexture(GL_TEXTURE_2D, texture.name);
    batcher_.NoteBoundTexture(texture.name);
  }
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, x, y, width, height);
}

bool PictureScaler::MakeTexture(ScaleTexture& texture, int width, int height) {
  batcher_.FlushBeforeOutsideChange();
  if (texture.width >= width && texture.height >= height) return false;
  if (texture.name != 0) {
    GLuint old = texture.name;
    batcher_.TextureDestroyed(old);
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
  batcher_.TextureCreated(name, true);
  return true;
}

void PictureScaler::DrawTextureArea(const ScaleTexture& texture, int width, int height,
                                    int filter) {
  // The copy's first row is the bottom one, so v runs upwards here.
  const float u = static_cast<float>(width) / static_cast<float>(texture.width);
  const float v = static_cast<float>(height) / static_cast<float>(texture.height);
  const float w = static_cast<float>(width_), h = static_cast<float>(height_);
  const Vertex vertices[4] = {{0, 0, 0, 0}, {w, 0, u, 0}, {w, h, u, v}, {0, h, 0, v}};
  batcher_.BindTexture(texture.name);
  batcher_.SetFilter(filter);
  batcher_.SetBlendMode(kBlendNone);
  batcher_.Draw(Primitive::kQuads, vertices, 4, 1.0f, 1.0f, 1.0f, 1.0f);
  batcher_.Flush();
}

void PictureScaler::DeleteTexture(ScaleTexture& texture) {
  if (texture.name != 0) {
    GLuint name = texture.name;
    glDeleteTextures(1, &name);
  }
  texture = ScaleTexture();
}

}  // namespace tav
