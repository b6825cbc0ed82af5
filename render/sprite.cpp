// Sprite drawing: picks the frame of the current action by the sprite's own clock
// and draws it as one quad, plain, centred or rotated.
#include "render/sprite.h"

#include <cmath>

#include "base/log.h"
#include "render/renderer.h"
#include "render/texture_catalogue.h"

namespace tav {

void Sprite::SetTexture(const std::string& pictureName) {
  texture_ = &TextureCatalogue::Instance().Get(pictureName);
  SetAction(texture_->FirstActionName());
}

void Sprite::SetAction(const std::string& actionName) {
  clock_.Set(0.0f);
  actionName_ = actionName;
}

// Frame index = elapsed time / frame duration, truncated, wrapped to the action's
// frame count. A broken duration (0, negative, not a number) or a negative time
// shows frame 0 rather than dividing by zero or indexing out of range.
static size_t FrameIndex(float time, float frameDuration, size_t frameCount) {
  if (frameCount <= 1 || !(frameDuration > 0.0f)) return 0;
  double steps = std::trunc(static_cast<double>(time) / frameDuration);
  if (!std::isfinite(steps) || steps < 0) return 0;
  return static_cast<size_t>(std::fmod(steps, static_cast<double>(frameCount)));
}

// Selects the current frame and puts it and the picture's filter and blend mode on
// the renderer. Null when nothing can be drawn.
const RendererTexture* Sprite::SelectFrame() {
  if (texture_ == nullptr) return nullptr;
  texture_->currentActionName = actionName_;
  SpriteAction* action = texture_->FindAction(actionName_);
  if (action == nullptr) {
    ReportFatal("Action not found %s, %s (debug).", actionName_.c_str(),
                texture_->name.c_str());
    return nullptr;
  }
  if (action->frames.empty()) return nullptr;
  Renderer* renderer = GetRenderer();
  if (renderer == nullptr) return nullptr;
  const RendererTexture& frame =
      action->frames[FrameIndex(clock_.Get(), texture_->frameDuration, action->frames.size())];
  renderer->BindTexture(frame);
  renderer->SetFilter(texture_->filter);
  renderer->SetBlendMode(texture_->blendMode);
  return &frame;
}

bool Sprite::Bind() { return SelectFrame() != nullptr; }

void Sprite::Draw(float x, float y, float scale, float alpha, float red, float green,
                  float blue) {
  if (SelectFrame() == nullptr) return;
  float width = static_cast<float>(texture_->width);
  float height = static_cast<float>(texture_->height);
  // The half-unit shift puts texel centres on the edges of the 800x600 picture's
  // pixels, where the rasteriser's rounding draws the picture from (x - 1, y). Drawn
  // at the screen's own size, finer pixels leave nothing to round, so the quad is
  // moved there itself, half a unit further left and down: both modes show the
  // picture in the same place.
  const float shift =
      GetRenderer()->CurrentPictureMode() == PictureMode::kSharp ? 0.5f : 0.0f;
  float x0 = x - 0.5f - shift;
  float y0 = y + 0.5f - shift;
  float x1 = x + scale * width - 0.5f - shift;
  float y1 = y + scale * height + 0.5f - shift;
  const Vertex corners[4] = {
      {x0, y0, 0.0f, 1.0f}, {x1, y0, 1.0f, 1.0f}, {x1, y1, 1.0f, 0.0f}, {x0, y1, 0.0f, 0.0f}};
  GetRenderer()->DrawQuad(corners, red, green, blue, alpha);
}

void Sprite::DrawCentered(float x, float y, float scale, float alpha, float red, float green,
                          float blue) {
  if (texture_ == nullptr) return;
  // The offset uses the unscaled size, halved as a whole number.
  float halfWidth = static_cast<float>(texture_->width / 2);
  float halfHeight = static_cast<float>(texture_->height / 2);
  Draw(x - halfWidth, y - halfHeight, scale, alpha, red, green, blue);
}

void Sprite::DrawRotated(float x, float y, float angle, float scale, float alpha, float red,
                         float green, float blue) {
  if (SelectFrame() == nullptr) return;
  constexpr float kPi = 3.14159265358979f;
  float width = static_cast<float>(texture_->width);
  float height = static_cast<float>(texture_->height);
  float radius = std::sqrt(scale * scale * (width * width + height * height)) / 2.0f;
  // The angle of the picture's diagonal; an empty picture has none.
  float diagonal = radius > 0.0f ? std::acos(std::fmin(1.0f, scale * width / 2.0f / radius))
                                 : 0.0f;
  auto corner = [&](float theta, float u, float v) {
    return Vertex{x + radius * std::cos(theta), y + radius * std::sin(theta), u, v};
  };
  const Vertex corners[4] = {corner(angle + diagonal, 1.0f, 0.0f),
                             corner(angle + kPi - diagonal, 0.0f, 0.0f),
                             corner(angle + diagonal + kPi, 0.0f, 1.0f),
                             corner(angle + 2.0f * kPi - diagonal, 1.0f, 1.0f)};
  GetRenderer()->DrawQuad(corners, red, green, blue, alpha);
}

int Sprite::FrameCount() {
  if (texture_ == nullptr) return 0;
  SpriteAction* action = texture_->FindAction(actionName_);
  return action == nullptr ? 0 : static_cast<int>(action->frames.size());
}

float Sprite::FrameDuration() const { return texture_ ? texture_->frameDuration : 0.0f; }
int Sprite::Width() const { return texture_ ? texture_->width : 0; }
int Sprite::Height() const { return texture_ ? texture_->height : 0; }

void Sprite::GetBoundingBox(int box[4]) const {
  for (int i = 0; i < 4; ++i) box[i] = texture_ ? texture_->boundingBox[i] : 0;
}

}  // namespace tav
