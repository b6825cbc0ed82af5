// The buttons the player clicks: three pictures (normal, pointed at, pressed) and
// a hit area set apart from the picture. MenuButton holds the pictures and the
// state; RectangularButton and CircleButton add the hit test and the reactions.
// A click is a press and a release inside without the pointer leaving in between.
#pragma once

#include <string>

#include "gui/control.h"
#include "gui/geometry.h"
#include "render/sprite.h"

namespace tav {

class MenuButton : public Control {
 public:
  enum State { kNormal = 0, kFocused = 1, kPressed = 2 };

  using Control::Control;

  // Loads the three pictures; (x, y) is their bottom-left corner.
  virtual void Create(const std::string& normalPicture, const std::string& focusPicture,
                      const std::string& downPicture, float x, float y);
  void Draw() override;
  const char* GetTypeName() const override { return "MenuButton"; }

  int GetState() const { return state_; }
  Vec2 Position() const { return position_; }

  bool Focusable() const override { return true; }
  void SetKeyFocus(bool focused) override { MouseMove(focused); }
  // A press and a release on the button, with their words (and so their sounds).
  void Activate() override;

 protected:
  // The reactions shared by both hit-area shapes, given whether p is inside.
  void MouseMove(bool inside);
  void LeftDown(bool inside);
  void LeftUp(bool inside);

 private:
  Sprite normalPicture_;
  Sprite focusPicture_;
  Sprite downPicture_;
  int state_ = kNormal;
  Vec2 position_;
};

class RectangularButton : public MenuButton {
 public:
  using MenuButton::MenuButton;

  void SetRect(float x0, float y0, float x1, float y1) { hitRect_.Set(x0, y0, x1, y1); }
  const Rect& HitRect() const { return hitRect_; }

  void OnMouseMove(Vec2 position) override { MouseMove(hitRect_.Contains(position)); }
  void OnLeftUp(Vec2 position) override { LeftUp(hitRect_.Contains(position)); }
  void OnLeftDown(Vec2 position) override { LeftDown(hitRect_.Contains(position)); }
  Rect FocusRect() const override { return hitRect_; }
  const char* GetTypeName() const override { return "RectangularButton"; }

 private:
  Rect hitRect_;
};

class CircleButton : public MenuButton {
 public:
  using MenuButton::MenuButton;

  void SetCircle(float centreX, float centreY, float radius) {
    centre_ = Vec2(centreX, centreY);
    radius_ = radius;
  }
  // The circle's edge is inside.
  bool Contains(Vec2 position) const { return (position - centre_).Length() <= radius_; }

  void OnMouseMove(Vec2 position) override { MouseMove(Contains(position)); }
  void OnLeftUp(Vec2 position) override { LeftUp(Contains(position)); }
  void OnLeftDown(Vec2 position) override { LeftDown(Contains(position)); }
  Rect FocusRect() const override { return Rect::Centred(centre_, Vec2(radius_, radius_)); }
  const char* GetTypeName() const override { return "CircleButton"; }

 private:
  Vec2 centre_;
  float radius_ = 0.0f;
};

}  // namespace tav
