// The whole game played without the pointer: the real application controller and
// every screen driven headless by keys and controller buttons, and the window's close
// request.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "flow_driver.h"
#include "game/board.h"
#include "game/piece.h"
#include "screens/game_window.h"
#include "screens/hiscore_table.h"
#include "screens/hiscore_window.h"
#include "screens/main_window.h"
#include "screens/sound_settings.h"

namespace tav {
namespace test {
namespace {

using Stack = std::vector<std::string>;

const Stack kMenu = {"FonWindow", "MainWindow"};
const Stack kPlaying = {"GameWindow", "FonWindow"};
const Stack kPaused = {"GameWindow", "PauseWindow", "FonWindow"};
const Stack kGameOver = {"GameWindow", "FonWindow", "GameOverWindow"};
const Stack kHiscoreOverMenu = {"MainWindow", "HiscoreWindow", "FonWindow"};
const Stack kOptionsOverMenu = {"MainWindow", "OptionsWindow", "FonWindow"};
const Stack kMenuAfterDialog = {"MainWindow", "FonWindow"};

using Directions = std::array<int, Board::kCellCount>;

class KeysTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    if (!game_.HasGameData(&why)) GTEST_SKIP() << why;
  }

  void StartToMenu() {
    game_.Start();
    ASSERT_TRUE(game_.StepUntilShown(kMenu, 600)) << "the intro never ended";
  }

  // The name of the control with the focus in the window, or "" for none.
  std::string Focused(const std::string& window) {
    const Control* control = game_.FindWindow(window)->FocusedControl();
    return control != nullptr ? control->Name() : std::string();
  }

  // From the menu to a playable Classic level 1, by keys only.
  void PlayClassicByKeys() {
    game_.Press(InputKey::kTab);  // the first key shows the focus on the first start
    ASSERT_EQ(Focused("MainWindow"), "ButtonStartClassic");
    game_.Press(InputKey::kEnter);
    ASSERT_TRUE(game_.StepUntilShown(kPlaying, 100)) << "the start was refused";
    ASSERT_TRUE(game_.StepUntil([&] { return game_.IsEnabled("GameWindow"); }, 100));
  }

  GameWindow& Game() { return *dynamic_cast<GameWindow*>(game_.FindWindow("GameWindow")); }

  Directions BoardDirections() {
    Directions directions{};
    for (int row = 0; row < Board::kSize; ++row) {
      for (int column = 0; column < Board::kSize; ++column) {
        const Piece* piece = Game().GetBoard()->PieceAt(column, row);
        directions[row * Board::kSize + column] = piece != nullptr ? piece->Direction() : -1;
      }
    }
    return directions;
  }

  // A right click on the screen point, as the pointer makes it.
  void RightClickAt(Vec2 point) {
    game_.MoveTo(point.x, point.y);
    game_.Step();
    game_.App().OnRightButtonDown();
    game_.Step();
    game_.App().OnRightButtonUp();
    game_.Step();
  }

  FlowDriver game_;
};

// The cursor's Enter and Shift+Enter are the left and right clicks on its cell: the
// same piece turns the same way with the same sounds, and nothing else moves.
TEST_F(KeysTest, TheBoardCursorTurnsExactlyThePieceAClickTurnsBothWays) {
  game_.WriteLevels({TestLevel::kCalm});
  StartToMenu();
  PlayClassicByKeys();

  // Keys steered the menu, so the cursor shows on the board's centre at once;
  // W A S D and the arrows move it.
  game_.Step();
  EXPECT_TRUE(Game().CursorShown());
  EXPECT_EQ(Game().CursorColumn(), Board::kSize / 2);
  EXPECT_EQ(Game().CursorRow(), Board::kSize / 2);
  game_.Press(InputKey::kRight);
  game_.Press(InputKey::kA);
  game_.Press(InputKey::kA);
  game_.Press(InputKey::kA);
  game_.Press(InputKey::kW);
  EXPECT_EQ(Game().CursorColumn(), 3);
  EXPECT_EQ(Game().CursorRow(), 6);
  for (int i = 0; i < 12; ++i) game_.Press(InputKey::kDown);  // stops at the edge
  EXPECT_EQ(Game().CursorRow(), 0);
  for (int i = 0; i < 6; ++i) game_.Press(InputKey::kUp);
  const Vec2 cell = Game().CursorPoint();
  const int index = Game().CursorRow() * Board::kSize + Game().CursorColumn();

  // The first press on the board only starts its clock, for a key as for a click.
  game_.Press(InputKey::kEnter);
  game_.Step(5);
  const Directions start = BoardDirections();

  game_.ClearSounds();
  game_.Press(InputKey::kEnter);
  game_.Press(InputKey::kEnter, false, true);  // a held Enter turns only once
  game_.Step(5);
  const Directions turnedByKey = BoardDirections();
  const std::vector<std::string> keySounds = game_.SoundStarts();
  Directions expected = start;
  expected[index] = (start[index] + 1) % 4;
  EXPECT_EQ(turnedByKey, expected);
  EXPECT_NE(std::find(keySounds.begin(), keySounds.end(), "start rotate.wav"), keySounds.end());

  // A right click on the cell turns it back; the pointer moving hides the cursor.
  game_.ClearSounds();
  RightClickAt(cell);
  game_.Step(5);
  EXPECT_FALSE(Game().CursorShown());
  EXPECT_EQ(BoardDirections(), start);
  const std::vector<std::string> rightClickSounds = game_.SoundStarts();

  game_.ClearSounds();
  game_.ClickAt(cell.x, cell.y);
  game_.Step(5);
  EXPECT_EQ(BoardDirections(), turnedByKey);
  EXPECT_EQ(game_.SoundStarts(), keySounds);

  // Back on the keys: the first press shows the cursor where it was, the next turns.
  game_.Press(InputKey::kEnter, true);
  EXPECT_TRUE(Game().CursorShown());
  EXPECT_EQ(BoardDirections(), turnedByKey);
  game_.ClearSounds();
  game_.Press(InputKey::kEnter, true);
  game_.Step(5);
  EXPECT_EQ(BoardDirections(), start);
  EXPECT_EQ(game_.SoundStarts(), rightClickSounds);

  // The controller's A and B are the same two presses.
  game_.Press(InputKey::kPadA);
  game_.Step(5);
  EXPECT_EQ(BoardDirections(), turnedByKey);
  game_.Press(InputKey::kPadB);
  game_.Step(5);
  EXPECT_EQ(BoardDirections(), start);
}

TEST_F(KeysTest, MenuFocusSkipsWhatADialogCoversAndEscNeverLeavesTheMenu) {
  game_.WriteLevels({TestLevel::kCalm});
  StartToMenu();
  EXPECT_EQ(Focused("MainWindow"), "");
  game_.Press(InputKey::kTab);
  EXPECT_EQ(Focused("MainWindow"), "ButtonStartClassic");
  game_.Press(InputKey::kTab, true);  // Shift+Tab wraps round to the last control
  EXPECT_EQ(Focused("MainWindow"), "TimeLevelDec");
  game_.Press(InputKey::kTab);
  // Up from the start button reaches the level selector above it; Right and Left
  // move the level with the click sound, as its arrows do.
  game_.Press(InputKey::kUp);
  EXPECT_EQ(Focused("MainWindow"), "ClassicLevelDec");
  const auto* menu = dynamic_cast<MainWindow*>(game_.FindWindow("MainWindow"));
  game_.ClearSounds();
  game_.Press(InputKey::kRight);
  game_.Step();
  EXPECT_EQ(menu->ClassicLevel(), 1);
  EXPECT_EQ(game_.Starts("Click.wav"), 1);
  game_.Press(InputKey::kLeft);
  game_.Press(InputKey::kLeft);
  EXPECT_EQ(menu->ClassicLevel(), MainWindow::kLevelCount - 1);

  game_.Press(InputKey::kEscape);
  game_.Press(InputKey::kPadBack);
  game_.Step(10);
  EXPECT_FALSE(game_.Quit());
  EXPECT_EQ(game_.Shown(), kMenu);

  // Options opens over the menu: the keys reach only its controls, and only once its
  // fade has ended.
  game_.Press(InputKey::kDown);
  EXPECT_EQ(Focused("MainWindow"), "ButtonStartClassic");
  game_.Press(InputKey::kDown);
  ASSERT_EQ(Focused("MainWindow"), "ButtonOptions");
  game_.Press(InputKey::kEnter);
  EXPECT_EQ(game_.Shown(), kOptionsOverMenu);
  game_.Press(InputKey::kTab);  // still fading in: taken by nobody
  EXPECT_EQ(Focused("MainWindow"), "ButtonOptions");
  game_.Step(20);
  EXPECT_EQ(Focused("OptionsWindow"), "ButtonOK");  // shown at once while keys steer
  std::vector<std::string> order;
  for (int i = 0; i < 5; ++i) {
    game_.Press(InputKey::kTab);
    order.push_back(Focused("OptionsWindow"));
  }
  EXPECT_EQ(order, (std::vector<std::string>{"SoundSlider", "MusicSlider", "SoundCheck",
                                             "MusicCheck", "ButtonOK"}));
  EXPECT_EQ(Focused("MainWindow"), "ButtonOptions");  // the menu's focus did not move

  // The music volume by keys, the music switch by Space, Esc as the OK button.
  game_.Press(InputKey::kTab, true);
  game_.Press(InputKey::kTab, true);
  game_.Press(InputKey::kTab, true);
  ASSERT_EQ(Focused("OptionsWindow"), "MusicSlider");
  const float music = GetSoundSettings().musicVolume;
  game_.Press(InputKey::kLeft);
  game_.Press(InputKey::kLeft);
  EXPECT_NEAR(GetSoundSettings().musicVolume, music - 0.2f, 0.051f);
  game_.Press(InputKey::kTab);
  game_.Press(InputKey::kTab);
  ASSERT_EQ(Focused("OptionsWindow"), "MusicCheck");
  const bool musicOn = GetSoundSettings().musicOn;
  game_.Press(InputKey::kSpace);
  game_.Step();
  EXPECT_EQ(GetSoundSettings().musicOn, !musicOn);
  game_.Press(InputKey::kEscape);
  ASSERT_TRUE(game_.StepUntilShown(kMenuAfterDialog, 100));
  const std::string config = game_.ReadFile("Data/Config.ini");
  EXPECT_NE(config.find(musicOn ? "UseMusic = 0" : "UseMusic = 1"), std::string::npos) << config;
  char volume[32];
  std::snprintf(volume, sizeof volume, "MusicVolume = %.2f", GetSoundSettings().musicVolume);
  EXPECT_NE(config.find(volume), std::string::npos) << config;
}

TEST_F(KeysTest, EscPausesAndResumesAndThePauseMenuLeadsBackToTheMenu) {
  game_.WriteLevels({TestLevel::kCalm});
  StartToMenu();
  PlayClassicByKeys();
  game_.Press(InputKey::kEscape);  // acts at once, even as the first key in the level
  game_.Step(2);
  EXPECT_EQ(game_.Shown(), kPaused);
  EXPECT_FALSE(game_.IsEnabled("GameWindow"));
  game_.Step(20);
  EXPECT_EQ(Focused("PauseWindow"), "ResumeButton");
  game_.Press(InputKey::kEscape);
  ASSERT_TRUE(game_.StepUntilShown(kPlaying, 60));
  ASSERT_TRUE(game_.StepUntil([&] { return game_.IsEnabled("GameWindow"); }, 10));

  // The controller's Start pauses; down to "exit to menu", A.
  game_.Press(InputKey::kPadStart);
  game_.Step(20);
  ASSERT_EQ(game_.Shown(), kPaused);
  game_.Press(InputKey::kDown);
  EXPECT_EQ(Focused("PauseWindow"), "ExitToMenuButton");
  game_.Press(InputKey::kPadA);
  ASSERT_TRUE(game_.StepUntilShown(kMenu, 200));
}

TEST_F(KeysTest, GameOverAndTheNameEntryByKeysKeepEveryTypedCharacter) {
  game_.WriteLevels({TestLevel::kInstant, TestLevel::kDead});
  StartToMenu();
  PlayClassicByKeys();
  // Level 1 clears itself; its scroll takes Enter as its OK.
  ASSERT_TRUE(game_.StepUntilShown({"GameWindow", "LevelCompleteWindow", "FonWindow"}, 400));
  game_.Step(60);
  game_.Press(InputKey::kEnter);
  ASSERT_TRUE(game_.StepUntilShown(kGameOver, 400));
  game_.Step(30);
  EXPECT_EQ(Focused("GameOverWindow"), "ButtonOK");
  game_.Press(InputKey::kEnter);
  ASSERT_TRUE(game_.StepUntilShown(kHiscoreOverMenu, 200));
  game_.Step(30);

  // Space and letters go into the name, Enter ends the entry without closing.
  game_.Type("Al ");
  game_.Press(InputKey::kSpace);  // the key of the space typed above: not a click
  game_.Type("Bo");
  game_.Press(InputKey::kEnter);
  game_.Type("\r");
  game_.Step(2);
  EXPECT_EQ(game_.Shown(), kHiscoreOverMenu);
  const auto* hiscores = dynamic_cast<HiscoreWindow*>(game_.FindWindow("HiscoreWindow"));
  EXPECT_EQ(hiscores->NameField(HiscoreTable::kClassicTable, 0).Text(), "Al Bo");
  EXPECT_FALSE(hiscores->NameField(HiscoreTable::kClassicTable, 0).IsEditing());
  // Right shows the other table, Esc closes as OK.
  EXPECT_EQ(Focused("HiscoreWindow"), "ButtonOK");
  game_.Press(InputKey::kUp);
  game_.Press(InputKey::kRight);
  EXPECT_EQ(hiscores->Page(), HiscoreTable::kTimeTable);
  game_.Press(InputKey::kEscape);
  ASSERT_TRUE(game_.StepUntilShown(kMenuAfterDialog, 200));
  game_.Stop();
  HiscoreTable saved;
  saved.Parse(game_.ReadFile("Data/Hiscore.dat"));
  EXPECT_EQ(saved.At(HiscoreTable::kClassicTable, 0).name, "Al Bo");
}

// The close button and Alt+F4 leave as the menu's Exit does: through the teardown
// that writes the player's files.
TEST_F(KeysTest, TheWindowsCloseRequestLeavesLikeExitAndSaves) {
  game_.WriteLevels({TestLevel::kCalm});
  StartToMenu();
  PlayClassicByKeys();
  game_.CloseWindow();
  ASSERT_TRUE(game_.Quit());
  game_.Stop();
  EXPECT_EQ(game_.ReadFile("Data/Hiscore.dat").size(), HiscoreTable::kFileBytes);
  EXPECT_TRUE(game_.FileExists("Data/Last.dat"));
  EXPECT_TRUE(game_.FileExists("Data/Config.ini"));
}

}  // namespace
}  // namespace test
}  // namespace tav
