// The three-second title screen ("IntroWindow") that opens the game: the game's
// logo fades in, a row of fourteen dots lights up from left to right, and then
// the window asks to end with "IntroEnd" on every update until it is hidden.
#pragma once

#include <string>

#include "gui/window.h"
#include "render/sprite.h"

namespace tav {

class IntroWindow : public Window {
 public:
  static constexpr int kDotCount = 14;

  explicit IntroWindow(std::string name);

  void Update(NotificationQueue& queue) override;
  void Draw() override;
  void DrawOverlay() override {}
  // The intro plays to its end, whatever is pressed.
  bool AcceptsKeys() const override { return false; }

  // Runs at three units per second: the logo fades in up to 3, the dots light
  // between 3 and 8, the intro ends once past 9.
  float Time() const { return time_; }
  float LogoOpacity() const { return logoOpacity_; }
  // Whether dot i (0 to 13) is lit at the current time.
  bool DotLit(int dot) const;

 private:
  Sprite logo_;
  Sprite makerLogo_;
  Sprite unlitDot_;
  Sprite litDot_;
  float time_ = 0.0f;
  float logoOpacity_ = 0.0f;
};

}  // namespace tav
