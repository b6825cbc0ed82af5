// Check box hover, press and click rules and its commands.
#include "gui/check_box.h"

namespace tav {

void CheckBox::Create(const std::string& picture0, const std::string& picture1,
                      const std::string& picture2, const std::string& picture3,
                      const std::string& picture4, const std::string& picture5,
                      Vec2 position) {
  const std::string* names[6] = {&picture0, &picture1, &picture2,
                                 &picture3, &picture4, &picture5};
  for (int i = 0; i < 6; ++i) pictures_[i].SetTexture(*names[i]);
  position_ = position;
}

void CheckBox::Draw() { pictures_[state_].Draw(position_.x, position_.y, 1.0f, Alpha()); }

void CheckBox::OnMouseMove(Vec2 position) {
  if (!hitRect_.Contains(position)) {
    // Leaving also drops a press, so a release after coming back is no click.
    state_ = ticked_ ? kTicked : kUnticked;
  } else if (state_ == kTicked || state_ == kUnticked) {
    state_ = ticked_ ? kTickedFocused : kUntickedFocused;
    Notify("CheckSetFocus");
  }
}

void CheckBox::OnLeftDown(Vec2 position) {
  if (!hitRect_.Contains(position)) return;
  state_ = ticked_ ? kTickedPressed : kUntickedPressed;
  Notify("CheckDown");
}

void CheckBox::OnLeftUp(Vec2 position) {
  if (!hitRect_.Contains(position)) return;
  if (state_ != kTickedPressed && state_ != kUntickedPressed) return;
  ticked_ = !ticked_;
  if (ticked_) {
    state_ = kTickedFocused;
    Notify("True");
  } else {
    state_ = kUntickedFocused;
    Notify("False");
  }
  Notify("CheckClick");
}

void CheckBox::SetKeyFocus(bool focused) {
  const Vec2 centre = (hitRect_.Min() + hitRect_.Max()) * 0.5f;
  OnMouseMove(focused ? centre : hitRect_.Max() + Vec2(1.0f, 1.0f));
}

void CheckBox::Activate() {
  const Vec2 centre = (hitRect_.Min() + hitRect_.Max()) * 0.5f;
  OnLeftDown(centre);
  OnLeftUp(centre);
}

void CheckBox::OnCommand(const std::string& command) {
  if (command == "SetValue True") {
    if (!ticked_) {
      ticked_ = true;
      state_ = kTicked;
    }
  } else if (command == "SetValue False") {
    if (ticked_) {
      ticked_ = false;
      state_ = kUnticked;
    }
  } else if (command == "Polling") {
    Notify(ticked_ ? "True" : "False");
  }
}

}  // namespace tav
