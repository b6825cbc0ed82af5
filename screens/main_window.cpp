// The menu's selectors, fade, scrolling background and level numbers.
#include "screens/main_window.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "gui/frame_delta.h"
#include "render/bitmap_font.h"
#include "screens/screen_parts.h"

namespace tav {

float& MenuBackgroundScroll() {
  static float scroll = 0.0f;
  return scroll;
}

MainWindow::MainWindow(std::string name) : Window(std::move(name)) {
  back_.SetTexture("back.tga");
  wallLeft_.SetTexture("stenkal.tga");
  wallRight_.SetTexture("stenkar.tga");
  frame_.SetTexture("menu_bgr.tga");
  frameBottom_.SetTexture("menu_bgr_down.tga");

  AddRectangularButton(*this, "ButtonStartClassic", "start", 28, 75, 38, 90, 146, 124);
  AddRectangularButton(*this, "ButtonStartTime", "start", 644, 75, 654, 90, 762, 124);
  AddRectangularButton(*this, "ButtonOptions", "options", 160, 0, 170, 15, 278, 49);
  AddRectangularButton(*this, "ButtonHelp", "help", 280, 0, 290, 15, 398, 49);
  AddRectangularButton(*this, "ButtonHiscore", "hiscore", 400, 0, 410, 15, 518, 49);
  AddRectangularButton(*this, "ButtonExit", "exit", 520, 0, 530, 15, 638, 49);
  AddRectangularButton(*this, "ClassicLevelInc", "up", 120, 158, 123, 160, 149, 172);
  AddRectangularButton(*this, "ClassicLevelDec", "down", 120, 141, 123, 143, 149, 155);
  AddRectangularButton(*this, "TimeLevelInc", "up", 739, 155, 742, 157, 768, 169);
  AddRectangularButton(*this, "TimeLevelDec", "down", 739, 138, 742, 140, 768, 152);
  AddSelector("ClassicLevelDec", "ClassicLevelInc");
  AddSelector("TimeLevelDec", "TimeLevelInc");
}

void MainWindow::SetUnlockedLevelCounts(const int32_t* timeLevels, const int32_t* classicLevels) {
  unlockedTimeLevels_ = timeLevels;
  unlockedClassicLevels_ = classicLevels;
  // The selectors start at the highest level that may be started.
  auto highest = [](const int32_t* unlocked) {
    if (unlocked == nullptr) return 0;
    return static_cast<int>(std::clamp<int32_t>(*unlocked, 1, kLevelCount)) - 1;
  };
  timeLevel_ = highest(timeLevels);
  classicLevel_ = highest(classicLevels);
}

std::string MainWindow::LevelText(int level) {
  char text[32];
  std::snprintf(text, sizeof text, "%s%d", level < 9 ? "0" : "", level + 1);
  return text;
}

void MainWindow::Command(std::string text) {
  if (text == "TimeLevelInc") {
    timeLevel_ = (timeLevel_ + 1) % kLevelCount;
  } else if (text == "TimeLevelDec") {
    timeLevel_ = (timeLevel_ + kLevelCount - 1) % kLevelCount;
  } else if (text == "ClassicLevelInc") {
    classicLevel_ = (classicLevel_ + 1) % kLevelCount;
  } else if (text == "ClassicLevelDec") {
    classicLevel_ = (classicLevel_ + kLevelCount - 1) % kLevelCount;
  } else if (text == "GetTimeLevelNum") {
    Notify("SetTimeLevel", std::to_string(timeLevel_));
  } else if (text == "GetClassicLevelNum") {
    Notify("SetClassicLevel", std::to_string(classicLevel_));
  } else {
    fade_.OnCommand(text);
  }
  Window::Command(std::move(text));
}

void MainWindow::Update(NotificationQueue& queue) {
  fade_.Advance(FrameDelta(), *this);
  Window::Update(queue);
}

void MainWindow::DrawLevelNumber(int level, int unlocked, float centreX, float y) {
  BitmapFont& font = BitmapFont::Shared();
  if (level < unlocked) {
    font.SetColor(1, 1, 1, 1);
  } else {
    font.SetColor(1, 0, 0, 1);
  }
  PrintCentred(centreX, y, LevelText(level));
  font.SetColor(1, 1, 1, 1);
}

void MainWindow::Draw() {
  float& scroll = MenuBackgroundScroll();
  scroll += 25.0f * FrameDelta();
  // Truncated to whole pixels and wrapped to one tile, so the tiles move down and
  // repeat every 128 pixels however long the menu runs.
  const float shift = std::fmod(std::trunc(scroll), 128.0f);
  for (float x = 180; x <= 564; x += 128) {
    for (float row = 0; row <= 768; row += 128) back_.Draw(x, row - shift);
  }
  frame_.Draw(272, 300);
  wallLeft_.Draw(0, 64);
  wallRight_.Draw(544, 64);
  frameBottom_.Draw(0, -40);

  DrawLevelNumber(classicLevel_, unlockedClassicLevels_ ? *unlockedClassicLevels_ : 1, 99, 142);
  DrawLevelNumber(timeLevel_, unlockedTimeLevels_ ? *unlockedTimeLevels_ : 1, 716, 139);

  Window::Draw();

  const float blend = fade_.Value();
  if (blend > 0.0f) {
    DrawScreenShade(SharedShade(), 1.0f - blend);
  } else if (blend < 0.0f) {
    DrawScreenShade(SharedShade(), -blend);
  }
}

}  // namespace tav
