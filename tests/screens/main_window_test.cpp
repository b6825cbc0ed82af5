// The menu: the level selectors and their answers, how a level number is shown
// and coloured, the fade through black, and the buttons while disabled.
#include <gtest/gtest.h>

#include <algorithm>

#include "gui/frame_delta.h"
#include "render/bitmap_font.h"
#include "screens/main_window.h"
#include "screens_test_support.h"

namespace tav {
namespace {

using Strings = std::vector<std::string>;

TEST(MainWindowTest, SelectorsWrapAndAnswerWithTheZeroBasedLevel) {
  MainWindow menu("MainWindow");
  menu.Command("TimeLevelDec");
  EXPECT_EQ(menu.TimeLevel(), 59);
  menu.Command("TimeLevelInc");
  EXPECT_EQ(menu.TimeLevel(), 0);
  for (int i = 0; i < 61; ++i) menu.Command("ClassicLevelInc");
  EXPECT_EQ(menu.ClassicLevel(), 1);
  menu.Command("ClassicLevelDec");
  menu.Command("ClassicLevelDec");
  EXPECT_EQ(menu.ClassicLevel(), 59);
  EXPECT_EQ(menu.TimeLevel(), 0);

  menu.Command("GetClassicLevelNum");
  menu.Command("GetTimeLevelNum");
  EXPECT_EQ(test::RunFrames(menu, 1), (Strings{"SetClassicLevel 59", "SetTimeLevel 0"}));
  // Words that only look alike do nothing.
  menu.Command("TimeLevelInc ");
  menu.Command("timelevelinc");
  EXPECT_EQ(menu.TimeLevel(), 0);
}

TEST(MainWindowTest, LevelNumbersShowTwoDigitsFromOne) {
  EXPECT_EQ(MainWindow::LevelText(0), "01");
  EXPECT_EQ(MainWindow::LevelText(8), "09");
  EXPECT_EQ(MainWindow::LevelText(9), "10");
  EXPECT_EQ(MainWindow::LevelText(59), "60");
}

// The colours of the quads drawn at a level number's baseline near centreX.
std::vector<float> GreenOfNumberAt(float centreX, float baseline) {
  std::vector<float> greens;
  for (const RecordedCall& call : test::Recorder().Draws()) {
    const float x = call.vertices[0].x;
    if (call.vertices[0].y == baseline && x > centreX - 20 && x < centreX + 20) {
      greens.push_back(call.green);
    }
  }
  return greens;
}

TEST(MainWindowTest, LockedLevelsAreRedAndNumbersAreCentred) {
  MainWindow menu("MainWindow");
  int32_t unlockedTime = 3, unlockedClassic = 1;
  menu.SetUnlockedLevelCounts(&unlockedTime, &unlockedClassic);
  // The selectors start at the highest startable level: 03 and 01.
  EXPECT_EQ(menu.TimeLevel(), 2);
  EXPECT_EQ(menu.ClassicLevel(), 0);
  menu.Command("TimeLevelDec");     // level 2 of 3 unlocked: white
  menu.Command("ClassicLevelInc");  // level 2 of 1 unlocked: red
  test::Recorder().ClearCalls();
  menu.Draw();
  EXPECT_EQ(GreenOfNumberAt(716, 139), (std::vector<float>{1, 1}));
  EXPECT_EQ(GreenOfNumberAt(99, 142), (std::vector<float>{0, 0}));
  // Centred on x 99: the left edge is 99 less half the width, halved as a whole number.
  float left = 1000;
  for (const RecordedCall& call : test::Recorder().Draws()) {
    if (call.vertices[0].y == 142) left = std::min(left, call.vertices[0].x);
  }
  const int width = BitmapFont::Shared().TextWidth("02");
  ASSERT_GT(width, 0);
  EXPECT_EQ(left, 99.0f - static_cast<float>(width / 2));

  unlockedClassic = 2;  // the menu reads the live count
  test::Recorder().ClearCalls();
  menu.Draw();
  EXPECT_EQ(GreenOfNumberAt(99, 142), (std::vector<float>{1, 1}));
}

TEST(MainWindowTest, FadesThroughBlackInOneSecondAndShadesOnlyWhileFading) {
  MainWindow menu("MainWindow");
  test::Recorder().ClearCalls();
  menu.Draw();
  EXPECT_TRUE(test::DrawsOf("Black.tga").empty());

  menu.Command("BeginDecBlend");
  EXPECT_EQ(test::RunFrames(menu, 5, 0.05f), Strings{});
  test::Recorder().ClearCalls();
  menu.Draw();
  auto shade = test::DrawsOf("Black.tga");
  ASSERT_EQ(shade.size(), 1u);
  EXPECT_NEAR(shade[0].alpha, 0.25f, 1e-5);  // a quarter of the way to black
  EXPECT_EQ(test::RunFrames(menu, 14, 0.05f), Strings{});
  EXPECT_EQ(test::RunFrames(menu, 2, 0.05f), Strings{"EndDecBlend"});

  menu.Command("BeginIncBlend");
  test::RunFrames(menu, 15, 0.05f);
  test::Recorder().ClearCalls();
  menu.Draw();
  shade = test::DrawsOf("Black.tga");
  ASSERT_EQ(shade.size(), 1u);
  EXPECT_NEAR(shade[0].alpha, 0.25f, 1e-5);  // black clearing away
  EXPECT_EQ(test::RunFrames(menu, 6, 0.05f), Strings{"EndIncBlend"});
  // A new fade restarts from the start whatever the state.
  menu.Command("BeginDecBlend");
  test::RunFrames(menu, 4, 0.05f);
  menu.Command("BeginDecBlend");
  EXPECT_EQ(menu.Blend(), 1.0f);
}

TEST(MainWindowTest, DisabledMenuIgnoresThePointer) {
  MainWindow menu("MainWindow");
  menu.Command("Disable");
  test::Click(menu, 100, 100);  // on ButtonStartClassic
  EXPECT_EQ(test::RunFrames(menu, 1), Strings{});
  menu.Command("Enable");
  test::Click(menu, 100, 100);
  EXPECT_EQ(test::RunFrames(menu, 1), (Strings{"ButtonSetFocus", "ButtonDown", "ButtonClick"}));
  // The selector arrows react only inside their small rectangles.
  test::Click(menu, 136, 165);
  test::Click(menu, 755, 145);
  const auto words = test::RunFrames(menu, 1);
  EXPECT_EQ(std::count(words.begin(), words.end(), "ButtonClick"), 2);
}

TEST(MainWindowTest, BackgroundTilesScrollDownAndRepeat) {
  MainWindow menu("MainWindow");
  MenuBackgroundScroll() = 0;
  SetFrameDelta(0.2f);  // 5 pixels
  test::Recorder().ClearCalls();
  menu.Draw();
  auto tiles = test::DrawsOf("back.tga");
  ASSERT_EQ(tiles.size(), 28u);
  EXPECT_FLOAT_EQ(tiles[0].vertices[0].x, 180 - 0.5f);
  EXPECT_FLOAT_EQ(tiles[0].vertices[0].y, -5 + 0.5f);
  MenuBackgroundScroll() = 1000.9f;  // whole pixels, modulo one tile
  SetFrameDelta(0);
  test::Recorder().ClearCalls();
  menu.Draw();
  tiles = test::DrawsOf("back.tga");
  EXPECT_FLOAT_EQ(tiles[1].vertices[0].y, 128 - 104 + 0.5f);
}

}  // namespace
}  // namespace tav
