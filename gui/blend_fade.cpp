// The blend value's commands, its movement towards rest and its end words.
#include "gui/blend_fade.h"

#include "gui/window.h"

namespace tav {

bool BlendFade::OnCommand(const std::string& command) {
  if (command == "BeginDecBlend") {
    value_ = 1.0f;
    return true;
  }
  if (command == "BeginIncBlend") {
    value_ = -1.0f;
    return true;
  }
  return false;
}

void BlendFade::Advance(float dt, Window& window) {
  if (value_ > 0.0f) {
    value_ -= rate_ * dt;
    if (value_ <= 0.0f) {
      value_ = 0.0f;
      if (endWords_ == EndWords::kBothDirections) window.Notify("EndDecBlend");
    }
  }
  if (value_ < 0.0f) {
    value_ += rate_ * dt;
    if (value_ >= 0.0f) {
      value_ = 0.0f;
      window.Notify(endWords_ == EndWords::kBothDirections ? "EndIncBlend" : "EndBlend");
    }
  }
}

float BlendFade::Opacity() const {
  if (value_ > 0.0f) return 1.0f - value_;
  if (value_ < 0.0f) return -value_;
  return 1.0f;
}

}  // namespace tav
