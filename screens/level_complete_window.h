// The level-complete screen ("LevelCompleteWindow") over the game: a papyrus
// scroll with one line per level of the current group of ten. It opens (phase 1:
// the screen darkens, the lines of the earlier levels fade in), adds the line of
// the level just completed with "pic.wav" (phase 2) and rests until the player
// clicks "ButtonOK"; closing (phase 4) fades everything out and ends with
// "EndBlend".
#pragma once

#include <string>

#include "audio/sound_manager.h"
#include "gui/window.h"
#include "render/sprite.h"

namespace tav {

class LevelCompleteWindow : public Window {
 public:
  enum Phase { kIdle = 0, kOpening = 1, kResting = 2, kClosing = 4 };
  static constexpr float kLineHeight = 37.0f;

  explicit LevelCompleteWindow(std::string name);

  // "Show" starts opening; "Level %d" stores the 0-based level just completed
  // and picks the scroll picture of its group; "EndShow" starts closing (once).
  // Then the base.
  void Command(std::string text) override;
  void Update(NotificationQueue& queue) override;
  void Draw() override {}
  void DrawOverlay() override;
  // The button takes moves and presses except while closing.
  void OnMouseMove(Vec2 position) override;
  void OnLeftDown(Vec2 position) override;
  bool TakesKeys() const override { return IsEnabled() && phase_ != kClosing; }

  int GetPhase() const { return phase_; }
  float Timer() const { return timer_; }
  int Level() const { return level_; }
  const Sprite& Scroll() const { return scroll_; }

 private:
  // One band of the scroll, from line `from` down to line `to`.
  void DrawBand(int from, int to, float alpha);

  Sprite scroll_;
  Sprite shade_;
  SoundHandle unrollSound_;
  int phase_ = kIdle;
  float timer_ = 0.0f;
  int level_ = 0;
};

}  // namespace tav
