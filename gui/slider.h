// A value between 0 and 1 changed by dragging a knob along a straight track from
// start (value 0) to end (value 1), reported as "SliderNewValue" with the value as
// "%f" text. "SetValue <number>" sets it without clamping or notifying;
// "Polling" reports it.
#pragma once

#include <string>

#include "gui/control.h"
#include "gui/geometry.h"
#include "render/sprite.h"

namespace tav {

class Slider : public Control {
 public:
  enum State { kNormal = 0, kFocused = 1, kDragging = 2 };

  using Control::Control;

  // Six picture names (knob normal, focus, drag; track normal, spare, drag), then
  // the knob points of values 0 and 1, the knob's half-size and the track's
  // bottom-left corner. The knob's hit area starts centred on start.
  void Create(const std::string& knobNormal, const std::string& knobFocus,
              const std::string& knobDrag, const std::string& trackNormal,
              const std::string& trackSpare, const std::string& trackDrag, Vec2 start,
              Vec2 end, Vec2 knobHalfSize, Vec2 trackPosition);

  void Draw() override;
  void OnMouseMove(Vec2 position) override;
  void OnLeftUp(Vec2 position) override;
  void OnLeftDown(Vec2 position) override;
  void OnCommand(const std::string& command) override;

  // How far one Left or Right moves the knob.
  static constexpr float kKeyStep = 0.1f;
  bool Focusable() const override { return true; }
  void SetKeyFocus(bool focused) override;
  // Moves the knob one step along the track (clamped to the ends) and reports the
  // value as a drag does.
  bool Adjust(int step) override;
  // The whole track with the knob's reach.
  Rect FocusRect() const override;

  float Value() const { return value_; }
  int GetState() const { return state_; }
  const Rect& KnobRect() const { return knobRect_; }
  // The knob point of the current value.
  Vec2 KnobPoint() const { return start_ + (end_ - start_) * value_; }

 private:
  void PostValue();

  int state_ = kNormal;
  float value_ = 0.0f;
  Rect knobRect_;
  Vec2 knobHalfSize_;  // kept apart so re-centring never drifts
  Vec2 trackPosition_;
  Vec2 start_;
  Vec2 end_;
  Sprite knobNormal_, knobFocus_, knobDrag_;
  Sprite trackNormal_, trackSpare_, trackDrag_;
};

}  // namespace tav
