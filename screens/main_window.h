// The menu screen ("MainWindow"): a scrolling background, a start button and a
// level selector for each mode ("Classic Mode" left, "Time Attack" right) and
// the options, help, high-score and exit buttons. It keeps the two selected
// levels (0-based, wrapping 0..59) and reports them when asked; the application
// decides whether a level may start. Locked levels are shown in red.
#pragma once

#include <cstdint>
#include <string>

#include "gui/blend_fade.h"
#include "gui/window.h"
#include "render/sprite.h"

namespace tav {

class MainWindow : public Window {
 public:
  static constexpr int kLevelCount = 60;

  explicit MainWindow(std::string name);

  // "TimeLevelInc"/"TimeLevelDec"/"ClassicLevelInc"/"ClassicLevelDec" move a
  // selector; "GetTimeLevelNum"/"GetClassicLevelNum" answer with the
  // notification "SetTimeLevel"/"SetClassicLevel" and the level as "%d";
  // "BeginDecBlend" fades the screen to black, "BeginIncBlend" back from black
  // ("EndDecBlend"/"EndIncBlend" when done). Every command then goes to the base.
  void Command(std::string text) override;
  void Update(NotificationQueue& queue) override;
  void Draw() override;
  void DrawOverlay() override {}

  // Where the menu reads how many levels of each mode are unlocked (the
  // application's level progress, which it keeps alive while the menu exists).
  // Without it only the first level of each mode shows as unlocked.
  void SetUnlockedLevelCounts(const int32_t* timeLevels, const int32_t* classicLevels);

  int TimeLevel() const { return timeLevel_; }
  int ClassicLevel() const { return classicLevel_; }
  float Blend() const { return fade_.Value(); }

  // How the menu writes a level: 1-based with a leading zero below 10 ("01").
  static std::string LevelText(int level);

 private:
  void DrawLevelNumber(int level, int unlocked, float centreX, float y);

  int timeLevel_ = 0;
  int classicLevel_ = 0;
  BlendFade fade_{1.0f};
  const int32_t* unlockedTimeLevels_ = nullptr;
  const int32_t* unlockedClassicLevels_ = nullptr;
  Sprite back_;
  Sprite wallLeft_;
  Sprite wallRight_;
  Sprite frame_;
  Sprite frameBottom_;
};

// The background scroll shared by every menu, in pixels; it only grows.
float& MenuBackgroundScroll();

}  // namespace tav
