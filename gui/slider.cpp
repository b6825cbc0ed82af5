// Slider hover and drag rules, the value along the track, and its commands.
#include "gui/slider.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tav {

void Slider::Create(const std::string& knobNormal, const std::string& knobFocus,
                    const std::string& knobDrag, const std::string& trackNormal,
                    const std::string& trackSpare, const std::string& trackDrag, Vec2 start,
                    Vec2 end, Vec2 knobHalfSize, Vec2 trackPosition) {
  start_ = start;
  end_ = end;
  trackPosition_ = trackPosition;
  knobHalfSize_ = knobHalfSize;
  knobRect_ = Rect::Centred(start, knobHalfSize);
  knobNormal_.SetTexture(knobNormal);
  knobFocus_.SetTexture(knobFocus);
  knobDrag_.SetTexture(knobDrag);
  trackNormal_.SetTexture(trackNormal);
  trackSpare_.SetTexture(trackSpare);
  trackDrag_.SetTexture(trackDrag);
}

void Slider::Draw() {
  const Vec2 knob = KnobPoint();
  Sprite& track = state_ == kDragging ? trackDrag_ : trackNormal_;
  Sprite& knobPicture = state_ == kDragging  ? knobDrag_
                        : state_ == kFocused ? knobFocus_
                                             : knobNormal_;
  track.Draw(trackPosition_.x, trackPosition_.y, 1.0f, Alpha());
  knobPicture.DrawRotated(knob.x, knob.y, 0.0f, 1.0f, Alpha());
}

void Slider::OnMouseMove(Vec2 position) {
  if (state_ != kDragging) {
    if (!knobRect_.Contains(position)) {
      state_ = kNormal;
    } else if (state_ == kNormal) {
      state_ = kFocused;
      Notify("SliderSetFocus");
    }
    return;
  }
  // Dragging: the knob follows the pointer's position along the track, even when
  // the pointer has left the knob, and every move reports the value.
  const Vec2 track = end_ - start_;
  const float trackLength = track.Length();
  const Vec2 direction = track * (1.0f / (trackLength + 0.0000001f));
  const Vec2 offset = position - start_;
  const Vec2 along(offset.x * direction.x, offset.y * direction.y);
  const float projection = direction.x * along.x + direction.y * along.y;
  const float sign = projection < 0.0f ? -1.0f : 1.0f;
  // A track without length has only the value 0 (and no division by zero).
  value_ = trackLength > 0.0f
               ? std::clamp(sign * along.Length() / trackLength, 0.0f, 1.0f)
               : 0.0f;
  knobRect_ = Rect::Centred(KnobPoint(), knobHalfSize_);
  PostValue();
}

void Slider::OnLeftDown(Vec2 position) {
  if (!knobRect_.Contains(position)) return;
  state_ = kDragging;
  Notify("SliderDown");
}

void Slider::OnLeftUp(Vec2 position) {
  if (state_ != kDragging) return;
  state_ = knobRect_.Contains(position) ? kFocused : kNormal;
}

void Slider::OnCommand(const std::string& command) {
  const size_t keyword = command.find("SetValue");
  if (keyword != std::string::npos) {
    float number = 0.0f;
    // Only a finite number is taken: a NaN or infinite value would leave the knob
    // with no place on the screen.
    if (std::sscanf(command.c_str() + keyword + 8, "%f", &number) == 1 &&
        std::isfinite(number)) {
      value_ = number;
      knobRect_ = Rect::Centred(KnobPoint(), knobHalfSize_);
    }
  }
  if (command == "Polling") PostValue();
}

void Slider::SetKeyFocus(bool focused) {
  if (state_ == kDragging) return;
  if (!focused) {
    state_ = kNormal;
  } else if (state_ == kNormal) {
    state_ = kFocused;
    Notify("SliderSetFocus");
  }
}

bool Slider::Adjust(int step) {
  // Rounded to whole steps, so that ten presses always reach an end exactly.
  const float steps = std::round(value_ / kKeyStep) + static_cast<float>(step);
  value_ = std::clamp(steps * kKeyStep, 0.0f, 1.0f);
  knobRect_ = Rect::Centred(KnobPoint(), knobHalfSize_);
  PostValue();
  return true;
}

Rect Slider::FocusRect() const {
  return Rect(std::min(start_.x, end_.x) - knobHalfSize_.x,
              std::min(start_.y, end_.y) - knobHalfSize_.y,
              std::max(start_.x, end_.x) + knobHalfSize_.x,
              std::max(start_.y, end_.y) + knobHalfSize_.y);
}

void Slider::PostValue() {
  char text[64];
  std::snprintf(text, sizeof text, "%f", static_cast<double>(value_));
  Notify("SliderNewValue", text);
}

}  // namespace tav
