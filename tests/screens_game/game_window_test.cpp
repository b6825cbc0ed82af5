// The game window driven frame by frame as the window manager drives it: level
// commands and the end of the game, input while disabled, pausing, the fade,
// the blinking time panel and the end-of-level notifications.
#include "screens/game_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/click_record.h"
#include "game/score_store.h"
#include "gui/button.h"
#include "gui/frame_delta.h"
#include "gui/text_panel.h"
#include "tests/screens_game/game_screen_test_support.h"

namespace tav::test {
namespace {

class GameWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGameStateForTests();
    SetFrameDelta(0.05f);
    Recorder().ClearCalls();
  }
  void TearDown() override { Clicks().Clear(); }

  // One frame: update, both draw passes; returns the words posted.
  std::vector<std::string> Frame() {
    GameTestClock().AdvanceFrame();
    NotificationQueue queue;
    window_.Update(queue);
    window_.Draw();
    window_.DrawOverlay();
    std::vector<std::string> words;
    for (const Notification& notification : queue) words.push_back(notification.word);
    return words;
  }
  std::vector<std::string> Frames(int count) {
    std::vector<std::string> words;
    for (int i = 0; i < count; ++i) {
      for (std::string& word : Frame()) words.push_back(std::move(word));
    }
    return words;
  }
  // What the window posted since the last update, collected now.
  std::vector<std::string> Posted() {
    std::vector<std::string> words;
    for (const Notification& notification : window_.Pending()) words.push_back(notification.word);
    return words;
  }
  static int Count(const std::vector<std::string>& words, const std::string& word) {
    return static_cast<int>(std::count(words.begin(), words.end(), word));
  }
  TextPanel& Panel(const std::string& name) {
    return *static_cast<TextPanel*>(window_.FindControl(name));
  }

  GameWindow window_;
};

TEST_F(GameWindowTest, LevelCommandsLoadTheNamedLevelInItsMode) {
  window_.Command("SetTimeLevel 5");
  ASSERT_NE(window_.GetBoard(), nullptr);
  EXPECT_EQ(window_.GetBoard()->LevelName(), "5");
  EXPECT_TRUE(window_.GetBoard()->IsTimed());
  window_.Command("SetClassicLevel 1");
  ASSERT_NE(window_.GetBoard(), nullptr);
  EXPECT_EQ(window_.GetBoard()->LevelName(), "1");
  EXPECT_FALSE(window_.GetBoard()->IsTimed());
  EXPECT_EQ(CurrentBoard(), window_.GetBoard());
  EXPECT_TRUE(Posted().empty());
  window_.Command("ClearLevel");
  EXPECT_EQ(window_.GetBoard(), nullptr);
  EXPECT_EQ(CurrentBoard(), nullptr);
}

TEST_F(GameWindowTest, LevelsPastTheLastEndTheGameAndKeepTheBoard) {
  window_.Command("SetClassicLevel 5");
  Board* board = window_.GetBoard();
  ASSERT_NE(board, nullptr);
  window_.Command("SetTimeLevel 61");
  EXPECT_EQ(window_.GetBoard(), board);
  window_.Command("SetClassicLevel 161");
  EXPECT_EQ(window_.GetBoard(), board);
  EXPECT_EQ(Count(Posted(), "TheEnd"), 2);
}

TEST_F(GameWindowTest, AMissingLevelEndsTheGameWithoutABoard) {
  window_.Command("SetClassicLevel 5");
  window_.Command("SetClassicLevel 42");
  EXPECT_EQ(window_.GetBoard(), nullptr);
  EXPECT_EQ(Count(Posted(), "TheEnd"), 1);
  EXPECT_NO_THROW(Frames(3));
}

TEST_F(GameWindowTest, APressWhileDisabledReachesNeitherBoardNorButtons) {
  window_.Command("SetClassicLevel 5");
  auto& pause = *static_cast<RectangularButton*>(window_.FindControl("ButtonPause"));
  window_.Command("Disable");
  EXPECT_FALSE(window_.GameEnabled());
  EXPECT_TRUE(window_.GetBoard()->IsLocked());
  window_.OnMouseMove({100, 275});
  window_.OnLeftDown({100, 275});
  EXPECT_EQ(pause.GetState(), MenuButton::kNormal);
  EXPECT_FALSE(Clicks().leftClick);
  window_.OnRightDown({300, 100});
  EXPECT_FALSE(Clicks().rightClick);

  window_.Command("Enable");
  EXPECT_FALSE(window_.GetBoard()->IsLocked());
  window_.OnMouseMove({100, 275});
  window_.OnLeftDown({100, 275});
  EXPECT_EQ(pause.GetState(), MenuButton::kPressed);
  EXPECT_TRUE(Clicks().leftClick);
  EXPECT_EQ(Clicks().leftClickPos.x, 100);
  EXPECT_EQ(Clicks().leftClickPos.y, 275);
  Frame();
  EXPECT_FALSE(Clicks().leftClick) << "the click record lasts one frame";
}

TEST_F(GameWindowTest, DisablingTakesTheFocusOffTheButtons) {
  auto& help = *static_cast<RectangularButton*>(window_.FindControl("ButtonHelp"));
  window_.OnMouseMove({100, 130});
  EXPECT_EQ(help.GetState(), MenuButton::kFocused);
  window_.Command("Disable");
  EXPECT_EQ(help.GetState(), MenuButton::kNormal);
}

TEST_F(GameWindowTest, TwoDisablesAndOneEnableLeaveTheBoardPlayable) {
  window_.Command("SetClassicLevel 5");
  window_.Command("Disable");
  window_.Command("Disable");
  window_.Command("Enable");
  EXPECT_FALSE(window_.GetBoard()->IsLocked());
}

TEST_F(GameWindowTest, PausedBoardDoesNotMoveAndPanelsKeepTheirTexts) {
  window_.Command("SetTimeLevel 5");
  Clicks().RecordLeft(10, 10);  // starts the level clock
  Frames(30);
  Board& board = *window_.GetBoard();
  const float elapsed = board.Elapsed();
  ASSERT_GT(elapsed, 0.0f);
  const std::string time = Panel("TimePanel").Text();
  EXPECT_EQ(time, "58");

  window_.Command("PausedGame");
  Recorder().ClearCalls();
  EXPECT_TRUE(Frames(40).empty());
  EXPECT_FLOAT_EQ(board.Elapsed(), elapsed);
  EXPECT_EQ(Panel("TimePanel").Text(), time);
  EXPECT_TRUE(DrawsOf("sterlka_u_blue.tga").empty()) << "no pieces drawn while paused";
  EXPECT_FALSE(DrawsOf("time_panel.tga").empty()) << "the panels stay";

  window_.Command("UnpausedGame");
  Frames(2);
  EXPECT_GT(board.Elapsed(), elapsed);
}

TEST_F(GameWindowTest, FadesLastOneSecondAndEndOnce) {
  window_.Command("BeginDecBlend");
  std::vector<float> alphas;
  std::vector<std::string> words;
  for (int i = 0; i < 20; ++i) {
    Recorder().ClearCalls();
    for (std::string& word : Frame()) words.push_back(word);
    for (const RecordedCall& quad : DrawsOf("Black.tga")) alphas.push_back(quad.alpha);
  }
  EXPECT_EQ(Count(words, "EndDecBlend"), 1);
  EXPECT_EQ(window_.Blend(), 0.0f);
  ASSERT_GE(alphas.size(), 18u);
  for (size_t i = 1; i < alphas.size(); ++i) EXPECT_GT(alphas[i], alphas[i - 1]);
  EXPECT_NEAR(alphas.back(), 1.0f, 0.06f);
  EXPECT_EQ(Count(Frames(20), "EndDecBlend"), 0);

  // The other way: from nearly black back to the screen.
  window_.Command("BeginIncBlend");
  Recorder().ClearCalls();
  Frame();
  ASSERT_EQ(DrawsOf("Black.tga").size(), 1u);
  EXPECT_NEAR(DrawsOf("Black.tga")[0].alpha, 0.95f, 1e-4f);
  EXPECT_EQ(Count(Frames(25), "EndIncBlend"), 1);
}

TEST_F(GameWindowTest, TimePanelBlinksRedInTheLastTenSeconds) {
  EXPECT_FALSE(GameWindow::TimeShowsRed("---", 128));
  EXPECT_FALSE(GameWindow::TimeShowsRed("11", 128));
  EXPECT_FALSE(GameWindow::TimeShowsRed("10", 127));
  EXPECT_TRUE(GameWindow::TimeShowsRed("10", 128));
  EXPECT_FALSE(GameWindow::TimeShowsRed("3", 256));
  EXPECT_TRUE(GameWindow::TimeShowsRed("0", 128 + 256));

  // On the screen: a timed level near its end, sampled over half a second.
  window_.Command("SetTimeLevel 5");
  Clicks().RecordLeft(10, 10);
  Frame();
  Board& board = *window_.GetBoard();
  while (board.Elapsed() < 52.0f) Frame();
  int red = 0, white = 0;
  for (int i = 0; i < 20; ++i) {
    Frame();
    (Panel("TimePanel").Green() == 0.0f ? red : white)++;
    EXPECT_EQ(Panel("TimePanel").Red(), 1.0f);
  }
  EXPECT_GT(red, 0);
  EXPECT_GT(white, 0);
  window_.Command("SetClassicLevel 5");
  Frame();
  Frame();
  EXPECT_EQ(Panel("TimePanel").Text(), "---");
  EXPECT_EQ(Panel("TimePanel").Green(), 1.0f);
}

TEST_F(GameWindowTest, FinishedLevelIsReportedWhileRunning) {
  window_.Command("SetClassicLevel 5");
  Board& board = *window_.GetBoard();
  board.SetBlocksCleared(board.BlocksTarget());
  std::vector<std::string> words = Frames(60);
  EXPECT_GT(Count(words, "LevelComplete"), 0);
  EXPECT_EQ(Count(words, "GameOver"), 0);
  window_.Command("HideGame");
  Frame();  // collects the last frame's word
  EXPECT_EQ(Count(Frames(5), "LevelComplete"), 0);
}

TEST_F(GameWindowTest, TimeOutIsReportedAsGameOver) {
  window_.Command("SetTimeLevel 5");
  Clicks().RecordLeft(10, 10);
  std::vector<std::string> words = Frames(1300);
  EXPECT_GT(Count(words, "GameOver"), 0);
  EXPECT_EQ(Count(words, "LevelComplete"), 0);
}

TEST_F(GameWindowTest, DrawsPanelIconsAndTheBoardFrame) {
  window_.Command("SetClassicLevel 5");
  Frame();
  // The panels show the texts the board left in the frame before.
  EXPECT_EQ(Panel("RoundPanel").Text(), "");
  Recorder().ClearCalls();
  Frame();
  EXPECT_EQ(DrawsOf("level.tga").size(), 1u);
  EXPECT_EQ(DrawsOf("coin.spt").size(), 1u);
  EXPECT_EQ(DrawsOf("clock.spt").size(), 1u);
  EXPECT_EQ(DrawsOf("left_panel.tga").size(), 3u);
  // 34 blue arrows on the quiet board ((x + y) % 3 == 0).
  EXPECT_EQ(DrawsOf("sterlka_u_blue.tga").size(), 34u);
  EXPECT_EQ(Panel("RoundPanel").Text(), "5");
}

TEST(GameWindowLifetime, GivesThePresentationBackWhenDeleted) {
  {
    GameWindow window;
    window.Command("SetClassicLevel 5");
    EXPECT_EQ(&GetPresentation(), &window.Visuals());
  }
  EXPECT_EQ(CurrentBoard(), nullptr);
  EXPECT_NE(dynamic_cast<SilentPresentation*>(&GetPresentation()), nullptr);
}

}  // namespace
}  // namespace tav::test
