// A yes/no value toggled by a click and reported as the words "True" and
// "False"; set without notifying by "SetValue True"/"SetValue False", read back
// through "Polling". Six pictures, one per state.
#pragma once

#include <string>

#include "gui/control.h"
#include "gui/geometry.h"
#include "render/sprite.h"

namespace tav {

class CheckBox : public Control {
 public:
  // Picture index: ticked normal, ticked pointed at, unticked normal, unticked
  // pointed at, ticked pressed, unticked pressed.
  enum State {
    kTicked = 0,
    kTickedFocused = 1,
    kUnticked = 2,
    kUntickedFocused = 3,
    kTickedPressed = 4,
    kUntickedPressed = 5,
  };

  using Control::Control;

  // Loads the six pictures (by state index); position is their bottom-left corner.
  void Create(const std::string& picture0, const std::string& picture1,
              const std::string& picture2, const std::string& picture3,
              const std::string& picture4, const std::string& picture5, Vec2 position);
  void SetRect(float x0, float y0, float x1, float y1) { hitRect_.Set(x0, y0, x1, y1); }

  void Draw() override;
  void OnMouseMove(Vec2 position) override;
  void OnLeftUp(Vec2 position) override;
  void OnLeftDown(Vec2 position) override;
  void OnCommand(const std::string& command) override;

  bool Focusable() const override { return true; }
  void SetKeyFocus(bool focused) override;
  // A press and a release in the box: it toggles and reports as a click does.
  void Activate() override;
  Rect FocusRect() const override { return hitRect_; }

  bool IsTicked() const { return ticked_; }
  int GetState() const { return state_; }

 private:
  bool ticked_ = false;
  Rect hitRect_;
  Vec2 position_;
  Sprite pictures_[6];
  int state_ = kUnticked;
};

}  // namespace tav
