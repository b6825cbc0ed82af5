// The kind of dialog the pause and game-over screens are: a framed picture with
// buttons over the darkened game that fades in on "BeginDecBlend" and out on
// "BeginIncBlend" in a third of a second, reports "EndDecBlend"/"EndIncBlend"
// when a fade is over, and lets the pointer reach its buttons only at rest.
#pragma once

#include <string>

#include "gui/blend_fade.h"
#include "gui/window.h"

namespace tav {

class FadingDialog : public Window {
 public:
  explicit FadingDialog(std::string name) : Window(std::move(name)) {}

  void Command(std::string text) override;
  void Update(NotificationQueue& queue) override;
  void Draw() override {}
  void DrawOverlay() override;
  // Moves and presses count only while no fade runs.
  void OnMouseMove(Vec2 position) override;
  void OnLeftDown(Vec2 position) override;
  // Keys count only while no fade runs, as the pointer does.
  bool TakesKeys() const override { return IsEnabled() && fade_.IsResting(); }

  float Blend() const { return fade_.Value(); }

 private:
  BlendFade fade_{3.0f};
};

}  // namespace tav
