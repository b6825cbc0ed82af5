// Button pictures and the hover, press and release rules shared by both shapes.
#include "gui/button.h"

namespace tav {

void MenuButton::Create(const std::string& normalPicture, const std::string& focusPicture,
                        const std::string& downPicture, float x, float y) {
  normalPicture_.SetTexture(normalPicture);
  focusPicture_.SetTexture(focusPicture);
  downPicture_.SetTexture(downPicture);
  position_ = Vec2(x, y);
}

void MenuButton::Draw() {
  Sprite& picture = state_ == kPressed   ? downPicture_
                    : state_ == kFocused ? focusPicture_
                                         : normalPicture_;
  picture.Draw(position_.x, position_.y, 1.0f, Alpha());
}

void MenuButton::MouseMove(bool inside) {
  // Called every frame: focus is announced once per entry, and a held press keeps
  // its picture while the pointer stays inside.
  if (!inside) {
    state_ = kNormal;
  } else if (state_ == kNormal) {
    state_ = kFocused;
    Notify("ButtonSetFocus");
  }
}

void MenuButton::LeftDown(bool inside) {
  if (!inside) return;
  state_ = kPressed;
  Notify("ButtonDown");
}

void MenuButton::Activate() {
  LeftDown(true);
  LeftUp(true);
}

void MenuButton::LeftUp(bool inside) {
  if (!inside || state_ != kPressed) return;
  state_ = kFocused;
  Notify("ButtonClick");
}

}  // namespace tav
