// The game's screen flow end to end: the real application controller and every
// screen, driven headless frame by frame through the clicks a player makes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/level_progress.h"
#include "audio/sound_manager.h"
#include "flow_driver.h"
#include "game/board.h"
#include "game/score_store.h"
#include "screens/game_window.h"
#include "screens/hiscore_table.h"
#include "screens/hiscore_window.h"
#include "screens/main_window.h"
#include "screens/sound_settings.h"

namespace tav {
namespace test {
namespace {

using Stack = std::vector<std::string>;

const Stack kIntro = {"IntroWindow"};
const Stack kMenu = {"FonWindow", "MainWindow"};
const Stack kPlaying = {"GameWindow", "FonWindow"};
const Stack kPaused = {"GameWindow", "PauseWindow", "FonWindow"};
const Stack kLevelComplete = {"GameWindow", "LevelCompleteWindow", "FonWindow"};
const Stack kGameOver = {"GameWindow", "FonWindow", "GameOverWindow"};
const Stack kHiscoreOverMenu = {"MainWindow", "HiscoreWindow", "FonWindow"};
// A dialog over the menu closes from above the menu and leaves the top bar on top.
const Stack kMenuAfterDialog = {"MainWindow", "FonWindow"};

class FlowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    if (!game_.HasGameData(&why)) GTEST_SKIP() << why;
  }

  // From a fresh start to the menu, through the whole intro.
  void StartToMenu() {
    game_.Start();
    ASSERT_EQ(game_.Shown(), kIntro);
    ASSERT_TRUE(game_.StepUntilShown(kMenu, 600)) << "the intro never ended";
  }

  // Chooses the level (1-based) in the menu's selector of the mode and starts it.
  void StartFromMenu(bool timeMode, int level) {
    const MainWindow* menu = dynamic_cast<MainWindow*>(game_.FindWindow("MainWindow"));
    ASSERT_NE(menu, nullptr);
    const std::string inc = timeMode ? "TimeLevelInc" : "ClassicLevelInc";
    for (int i = 0; i < 61 && (timeMode ? menu->TimeLevel() : menu->ClassicLevel()) != level - 1;
         ++i) {
      game_.ClickControl("MainWindow", inc);
    }
    game_.ClickControl("MainWindow", timeMode ? "ButtonStartTime" : "ButtonStartClassic");
    // The menu answers the start button with the chosen level in the next frame.
    game_.Step();
  }

  // Starts a level from the menu and waits until it can be played.
  void PlayFromMenu(bool timeMode, int level) {
    StartFromMenu(timeMode, level);
    ASSERT_FALSE(game_.IsEnabled("MainWindow")) << "the start was refused";
    EXPECT_EQ(game_.Shown(), kMenu);  // the menu fades out first
    ASSERT_TRUE(game_.StepUntilShown(kPlaying, 100));
    // The game screen takes no input until its own fade-in has ended.
    EXPECT_FALSE(game_.IsEnabled("GameWindow"));
    ASSERT_TRUE(game_.StepUntil([&] { return game_.IsEnabled("GameWindow"); }, 100));
  }

  Board* CurrentBoard() {
    auto* window = dynamic_cast<GameWindow*>(game_.FindWindow("GameWindow"));
    return window != nullptr ? window->GetBoard() : nullptr;
  }

  LevelProgress SavedProgress() {
    LevelProgress progress;
    ParseLevelProgress(game_.ReadFile("Data/Last.dat"), &progress);
    return progress;
  }

  // Waits for the scroll of a completed level, lets it unroll and clicks its OK.
  void CompleteLevel() {
    ASSERT_TRUE(game_.StepUntilShown(kLevelComplete, 400));
    game_.Step(60);
    game_.ClickControl("LevelCompleteWindow", "ButtonOK");
  }

  // How many rows of the live high-score table hold a score.
  int ScoreRows(int table) {
    const auto* window = dynamic_cast<HiscoreWindow*>(game_.FindWindow("HiscoreWindow"));
    int rows = 0;
    for (int row = 0; window != nullptr && row < HiscoreTable::kRowCount; ++row) {
      if (window->Table().At(table, row).score != 0) ++rows;
    }
    return rows;
  }

  HiscoreTable SavedScores() {
    HiscoreTable table;
    table.Parse(game_.ReadFile("Data/Hiscore.dat"));
    return table;
  }

  FlowDriver game_;
};

TEST_F(FlowTest, IntroLeadsToTheMenuWithMusicAndCursorAndLockedLevelsAreRefused) {
  game_.Start();
  EXPECT_EQ(game_.Shown(), kIntro);
  EXPECT_FALSE(game_.Platform().CursorShown());
  EXPECT_EQ(game_.Starts("Music.ogg"), 0);

  ASSERT_TRUE(game_.StepUntilShown(kMenu, 600));
  EXPECT_TRUE(game_.Platform().CursorShown());
  int x = 0, y = 0;
  game_.Platform().GetCursorPos(&x, &y);
  EXPECT_EQ(x, 400);
  EXPECT_EQ(y, 300);
  const RecordedSound* music = game_.Audio().Find("Music.ogg");
  ASSERT_NE(music, nullptr);
  EXPECT_TRUE(music->playing);
  EXPECT_TRUE(music->repeat);
  EXPECT_TRUE(game_.IsEnabled("MainWindow"));
  EXPECT_EQ(game_.Platform().KeyboardLayout(), 0x0409u);

  // Without Data/Last.dat only level 1 of each mode starts.
  game_.ClearSounds();
  StartFromMenu(true, 2);
  game_.Step(30);
  EXPECT_EQ(game_.Starts("NotLoad.wav"), 1);
  EXPECT_EQ(game_.Shown(), kMenu);
  EXPECT_TRUE(game_.IsEnabled("MainWindow"));
  StartFromMenu(false, 2);
  game_.Step(30);
  EXPECT_EQ(game_.Starts("NotLoad.wav"), 2);
  EXPECT_EQ(game_.Shown(), kMenu);
  // The buttons' own sounds come through the global handlers.
  EXPECT_GT(game_.Starts("Click.wav"), 0);
  EXPECT_GT(game_.Starts("Focus.wav"), 0);

  // The minimise button leaves the screens as they are.
  game_.ClickControl("FonWindow", "ButtonHide");
  EXPECT_EQ(game_.Platform().MinimiseCount(), 1);
  EXPECT_EQ(game_.Shown(), kMenu);
  EXPECT_FALSE(game_.Quit());
}

TEST_F(FlowTest, TimedGameCarriesItsScorePausesResumesAndExitsToTheHighScoreEntry) {
  game_.WriteLevels({TestLevel::kInstant, TestLevel::kDead});
  StartToMenu();
  PlayFromMenu(true, 1);
  ASSERT_NE(CurrentBoard(), nullptr);
  EXPECT_TRUE(CurrentBoard()->IsTimed());
  EXPECT_EQ(CurrentBoard()->LevelName(), "1");
  EXPECT_EQ(game_.App().CarriedScore(), 0);

  // The all-up board clears itself; the level-complete scroll opens over it.
  ASSERT_TRUE(game_.StepUntilShown(kLevelComplete, 400));
  EXPECT_FALSE(game_.IsEnabled("GameWindow"));
  game_.Step(60);  // the scroll unrolls
  const int scoreAtOk = Scores().GetScore();
  ASSERT_GT(scoreAtOk, 0);
  game_.ClickControl("LevelCompleteWindow", "ButtonOK");
  EXPECT_EQ(game_.App().LevelIndex(), 1);
  EXPECT_EQ(game_.App().CarriedScore(), scoreAtOk);
  EXPECT_EQ(CurrentBoard()->LevelName(), "2");
  ASSERT_TRUE(game_.StepUntilShown(kPlaying, 200)) << "the scroll never closed";
  EXPECT_TRUE(game_.IsEnabled("GameWindow"));
  EXPECT_EQ(game_.App().Progress().unlockedTimeLevels, 2);

  game_.ClickControl("GameWindow", "ButtonPause");
  EXPECT_EQ(game_.Shown(), kPaused);
  EXPECT_FALSE(game_.IsEnabled("GameWindow"));
  game_.Step(30);
  game_.ClickControl("PauseWindow", "ResumeButton");
  ASSERT_TRUE(game_.StepUntilShown(kPlaying, 100));
  EXPECT_TRUE(game_.IsEnabled("GameWindow"));

  game_.ClickControl("GameWindow", "ButtonPause");
  game_.Step(30);
  game_.ClickControl("PauseWindow", "ExitToMenuButton");
  // The game screen fades out; the menu comes back with the high-score entry.
  ASSERT_TRUE(game_.StepUntilShown(kHiscoreOverMenu, 200));
  EXPECT_FALSE(game_.IsEnabled("MainWindow"));
  game_.Type("Ann\r");
  game_.Step(5);
  // Saved when the entry ends, before any teardown.
  const HiscoreTable saved = SavedScores();
  EXPECT_EQ(saved.At(HiscoreTable::kTimeTable, 0).name, "Ann");
  EXPECT_EQ(saved.At(HiscoreTable::kTimeTable, 0).score, static_cast<uint32_t>(scoreAtOk));
  game_.ClickControl("HiscoreWindow", "ButtonOK");
  ASSERT_TRUE(game_.StepUntilShown(kMenuAfterDialog, 200));
  EXPECT_TRUE(game_.IsEnabled("MainWindow"));
  game_.Step(40);
  EXPECT_EQ(ScoreRows(HiscoreTable::kTimeTable), 1);
}

TEST_F(FlowTest, ClassicGameOverSavesTheNameAndOnlyReachedLevelsAreStartable) {
  game_.WriteLevels({TestLevel::kInstant, TestLevel::kDead});
  StartToMenu();
  PlayFromMenu(false, 1);
  EXPECT_FALSE(CurrentBoard()->IsTimed());
  ASSERT_TRUE(game_.StepUntilShown(kLevelComplete, 400));
  game_.Step(60);
  game_.ClickControl("LevelCompleteWindow", "ButtonOK");
  const int carried = game_.App().CarriedScore();
  ASSERT_GT(carried, 0);

  // Level 2 has no move at all: the classic game is over.
  ASSERT_TRUE(game_.StepUntilShown(kGameOver, 400));
  EXPECT_FALSE(game_.IsEnabled("GameWindow"));
  EXPECT_FALSE(game_.App().GameRunning());
  game_.Step(30);
  game_.ClickControl("GameOverWindow", "ButtonOK");
  ASSERT_TRUE(game_.StepUntilShown(kHiscoreOverMenu, 200));
  game_.Type("Bob\r");
  game_.Step(5);
  EXPECT_EQ(SavedScores().At(HiscoreTable::kClassicTable, 0).name, "Bob");
  EXPECT_EQ(SavedScores().At(HiscoreTable::kClassicTable, 0).score,
            static_cast<uint32_t>(Scores().GetScore()));
  game_.ClickControl("HiscoreWindow", "ButtonOK");
  ASSERT_TRUE(game_.StepUntilShown(kMenuAfterDialog, 200));
  EXPECT_EQ(ScoreRows(HiscoreTable::kClassicTable), 1);

  // Completing level 1 reached level 2, which may be started now; level 3 not.
  EXPECT_EQ(game_.App().Progress().unlockedClassicLevels, 2);
  game_.ClearSounds();
  StartFromMenu(false, 3);
  game_.Step(5);
  EXPECT_EQ(game_.Starts("NotLoad.wav"), 1);
  EXPECT_EQ(game_.Shown(), kMenuAfterDialog);

  game_.ClickControl("FonWindow", "ButtonClose");
  ASSERT_TRUE(game_.Quit());
  game_.Stop();
  EXPECT_EQ(SavedProgress().unlockedClassicLevels, 2);
  EXPECT_EQ(SavedScores().At(HiscoreTable::kClassicTable, 0).name, "Bob");
}

TEST_F(FlowTest, TimedLevelRunsOutOfTimeAndAScorelessGameSkipsTheHighScores) {
  game_.WriteLevels({TestLevel::kDead});
  StartToMenu();
  PlayFromMenu(true, 1);
  // A press on the board starts the clock; two seconds later the game is over.
  game_.ClickAt(400, 300);
  ASSERT_TRUE(game_.StepUntilShown(kGameOver, 200));
  game_.Step(30);
  game_.ClickControl("GameOverWindow", "ButtonOK");
  ASSERT_TRUE(game_.StepUntilShown(kMenu, 200));
  game_.Step(40);
  EXPECT_TRUE(game_.IsEnabled("MainWindow"));
}

TEST_F(FlowTest, CompletingTheSixtiethLevelEndsTheGameAndUnlocksItAtOnce) {
  game_.WriteLastDat(60, 1);
  StartToMenu();
  EXPECT_EQ(game_.App().Progress().unlockedTimeLevels, 60);
  PlayFromMenu(true, 60);
  EXPECT_EQ(CurrentBoard()->LevelName(), "60");
  ASSERT_TRUE(game_.StepUntilShown(kLevelComplete, 400));
  auto* window = game_.FindWindow("LevelCompleteWindow");
  ASSERT_NE(window, nullptr);
  game_.Step(60);
  game_.ClickControl("LevelCompleteWindow", "ButtonOK");
  EXPECT_EQ(game_.App().LevelIndex(), 60);
  // Level "61" does not exist: the game screen fades out to the menu.
  ASSERT_TRUE(game_.StepUntilShown(kHiscoreOverMenu, 300));
  game_.Step(60);
  EXPECT_EQ(game_.Shown(), kHiscoreOverMenu);
  EXPECT_EQ(ScoreRows(HiscoreTable::kTimeTable), 1);
  EXPECT_EQ(SavedProgress().unlockedTimeLevels, 60);
  EXPECT_EQ(SavedProgress().unlockedClassicLevels, 1);
}

TEST_F(FlowTest, CompletingTwoLevelsInARowUnlocksTheSecondAndSavesItAtOnce) {
  game_.WriteLevels({TestLevel::kInstant, TestLevel::kInstant, TestLevel::kCalm});
  StartToMenu();
  PlayFromMenu(true, 1);
  for (int level = 1; level <= 2; ++level) {
    ASSERT_TRUE(game_.StepUntilShown(kLevelComplete, 400)) << level;
    game_.Step(60);
    game_.ClickControl("LevelCompleteWindow", "ButtonOK");
  }
  // Level 3 has been reached, so levels 1 to 3 are startable, on disk before any teardown.
  EXPECT_EQ(CurrentBoard()->LevelName(), "3");
  EXPECT_EQ(game_.App().Progress().unlockedTimeLevels, 3);
  EXPECT_EQ(SavedProgress().unlockedTimeLevels, 3);
  EXPECT_EQ(SavedProgress().unlockedClassicLevels, 1);
}

// Completing level 3 reaches level 4; quitting during it and starting again,
// level 4 is startable and the menu's selector already shows it.
TEST_F(FlowTest, AReachedLevelIsStartableAfterARestartAndTheSelectorStartsThere) {
  game_.WriteLevels({TestLevel::kInstant, TestLevel::kInstant, TestLevel::kInstant,
                     TestLevel::kCalm});
  StartToMenu();
  PlayFromMenu(false, 1);
  for (int level = 1; level <= 3; ++level) CompleteLevel();
  ASSERT_TRUE(game_.StepUntilShown(kPlaying, 200));
  EXPECT_EQ(CurrentBoard()->LevelName(), "4");
  game_.ClickControl("FonWindow", "ButtonClose");
  ASSERT_TRUE(game_.Quit());
  game_.Stop();

  StartToMenu();
  EXPECT_EQ(game_.App().Progress().unlockedClassicLevels, 4);
  const auto* menu = dynamic_cast<MainWindow*>(game_.FindWindow("MainWindow"));
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(MainWindow::LevelText(menu->ClassicLevel()), "04");
  EXPECT_EQ(MainWindow::LevelText(menu->TimeLevel()), "01");
  game_.ClearSounds();
  game_.ClickControl("MainWindow", "ButtonStartClassic");
  game_.Step();
  EXPECT_EQ(game_.Starts("NotLoad.wav"), 0);
  ASSERT_TRUE(game_.StepUntilShown(kPlaying, 100));
  EXPECT_EQ(CurrentBoard()->LevelName(), "4");
}

// A level that completes while a dialog covers the game waits for the dialog to
// close before its scroll opens, so the scroll never lands on top of the dialog.
TEST_F(FlowTest, ALevelCompletedBehindADialogShowsItsScrollOnceTheDialogCloses) {
  game_.WriteLevels({TestLevel::kInstant, TestLevel::kInstant, TestLevel::kCalm});
  StartToMenu();
  PlayFromMenu(true, 1);
  ASSERT_TRUE(game_.StepUntil([&] { return CurrentBoard()->IsComplete(); }, 400));
  game_.ClickControl("GameWindow", "ButtonPause");
  game_.Step(120);  // well past the wait before the level reports completion
  EXPECT_EQ(game_.Shown(), kPaused);
  game_.ClickControl("PauseWindow", "ResumeButton");
  ASSERT_TRUE(game_.StepUntilShown(kLevelComplete, 200));
  game_.Step(60);
  game_.ClickControl("LevelCompleteWindow", "ButtonOK");
  ASSERT_EQ(CurrentBoard()->LevelName(), "2");

  ASSERT_TRUE(game_.StepUntil([&] { return game_.IsEnabled("GameWindow"); }, 200));
  ASSERT_TRUE(game_.StepUntil([&] { return CurrentBoard()->IsComplete(); }, 400));
  game_.ClickControl("GameWindow", "ButtonOptions");
  game_.Step(120);
  EXPECT_EQ(game_.Shown(), (Stack{"GameWindow", "OptionsWindow", "FonWindow"}));
  game_.ClickControl("OptionsWindow", "ButtonOK");
  ASSERT_TRUE(game_.StepUntilShown(kLevelComplete, 200));
}

TEST_F(FlowTest, ATapBetweenTwoFramesTurnsTheArrow) {
  game_.WriteLevels({TestLevel::kCalm});
  StartToMenu();
  PlayFromMenu(true, 1);
  Board* board = CurrentBoard();
  ASSERT_NE(board, nullptr);
  const Piece* piece = board->PieceAt(2, 2);
  ASSERT_NE(piece, nullptr);
  const int before = piece->Direction();
  // A press beside the board starts the level's clock.
  game_.ClickAt(600, 580);
  ASSERT_TRUE(board->IsClockStarted());
  // Cell (2, 2) spans (350, 150) to (400, 200).
  game_.TapAt(375, 175);
  game_.Step(20);
  piece = board->PieceAt(2, 2);
  ASSERT_NE(piece, nullptr);
  EXPECT_EQ(piece->Direction(), (before + 1) % 4);
}

TEST_F(FlowTest, VolumesChangedInTheOptionsSurviveARestart) {
  StartToMenu();
  game_.ClickControl("MainWindow", "ButtonOptions");
  EXPECT_EQ(game_.Shown(), (Stack{"MainWindow", "OptionsWindow", "FonWindow"}));
  EXPECT_FALSE(game_.IsEnabled("MainWindow"));
  game_.Step(30);
  // Sound volume from full to about half; music switched off.
  game_.DragSlider("OptionsWindow", "SoundSlider", 490, 398, 403);
  game_.ClickAt(318, 278);
  const float soundVolume = GetSoundSettings().soundVolume;
  EXPECT_NEAR(soundVolume, 0.5f, 0.05f);
  EXPECT_FALSE(GetSoundSettings().musicOn);
  EXPECT_FLOAT_EQ(SoundManager::Instance().MusicLibrary().Volume(), 0.0f);
  EXPECT_NEAR(SoundManager::Instance().EffectsLibrary().Volume(), soundVolume * 0.9f + 0.1f,
              1e-4f);
  game_.ClickControl("OptionsWindow", "ButtonOK");
  ASSERT_TRUE(game_.StepUntilShown(kMenuAfterDialog, 200));
  EXPECT_TRUE(game_.IsEnabled("MainWindow"));
  EXPECT_NE(game_.ReadFile("Data/Config.ini").find("UseMusic = 0"), std::string::npos)
      << game_.ReadFile("Data/Config.ini");
  game_.ClickControl("FonWindow", "ButtonClose");
  ASSERT_TRUE(game_.Quit());
  game_.Stop();

  game_.Start();
  EXPECT_NEAR(GetSoundSettings().soundVolume, soundVolume, 0.006f);
  EXPECT_FALSE(GetSoundSettings().musicOn);
  EXPECT_FLOAT_EQ(SoundManager::Instance().MusicLibrary().Volume(), 0.0f);
}

TEST_F(FlowTest, ASetUpThatFailsLeavesThePlayersFilesAsTheyWere) {
  const std::string settings = "[Sound]\nSoundVolume = 0.30\nMusicVolume = 0.40\n";
  const std::string scores(HiscoreTable::kFileBytes, 'x');
  {
    std::ofstream(game_.GamePath("Data/Config.ini")) << settings;
    std::ofstream(game_.GamePath("Data/Hiscore.dat"), std::ios::binary) << scores;
  }
  game_.WriteLastDat(5, 7);
  // A package that is not one: the font cannot load, the set-up stops there.
  std::filesystem::remove(game_.GamePath("Data/data.pkg"));
  std::ofstream(game_.GamePath("Data/data.pkg")) << "not a package";
  ASSERT_TRUE(game_.StartExpectingFailure());
  game_.Stop();
  EXPECT_EQ(game_.ReadFile("Data/Config.ini"), settings);
  EXPECT_EQ(game_.ReadFile("Data/Hiscore.dat"), scores);
  EXPECT_EQ(SavedProgress().unlockedTimeLevels, 5);
  EXPECT_EQ(SavedProgress().unlockedClassicLevels, 7);
  EXPECT_NE(game_.ReadFile("log.txt").find("ERROR"), std::string::npos);
}

// However a game is left mid-level, its score enters the table under the last
// name entered before the files are written.
TEST_F(FlowTest, EveryWayOutOfAGameKeepsAQualifyingScoreUnderTheLastName) {
  struct WayOut {
    const char* name;
    std::function<void()> leave;
  };
  const std::vector<WayOut> waysOut = {
      {"pause, then exit",
       [this] {
         game_.ClickControl("GameWindow", "ButtonPause");
         game_.Step(30);
         game_.ClickControl("PauseWindow", "ExitButton");
       }},
      {"the close button", [this] { game_.ClickControl("FonWindow", "ButtonClose"); }},
      {"the window's close request", [this] { game_.RequestQuitBetweenFrames(); }},
      {"a termination signal", [this] { game_.RequestQuitBetweenFrames(); }},
  };
  for (const WayOut& way : waysOut) {
    SCOPED_TRACE(way.name);
    HiscoreTable stored;
    stored.At(HiscoreTable::kClassicTable, 0) = {"Old", 5};
    stored.SetLastName("Ann");
    ASSERT_TRUE(stored.Save(game_.GamePath("Data/Hiscore.dat")));
    game_.WriteLevels({TestLevel::kInstant, TestLevel::kCalm});
    StartToMenu();
    PlayFromMenu(false, 1);
    CompleteLevel();
    ASSERT_TRUE(game_.StepUntilShown(kPlaying, 200));
    const int score = Scores().GetScore();
    ASSERT_GT(score, 5);
    way.leave();
    ASSERT_TRUE(game_.Quit());
    game_.Stop();
    const HiscoreTable saved = SavedScores();
    EXPECT_EQ(saved.At(HiscoreTable::kClassicTable, 0).name, "Ann");
    EXPECT_EQ(saved.At(HiscoreTable::kClassicTable, 0).score, static_cast<uint32_t>(score));
    EXPECT_EQ(saved.At(HiscoreTable::kClassicTable, 1).name, "Old");
  }
  // A score left during its name entry, the offered name deleted, takes the
  // last name all the same.
  HiscoreTable lastNameOnly;
  lastNameOnly.SetLastName("Ann");
  ASSERT_TRUE(lastNameOnly.Save(game_.GamePath("Data/Hiscore.dat")));
  StartToMenu();
  PlayFromMenu(false, 1);
  CompleteLevel();
  ASSERT_TRUE(game_.StepUntilShown(kPlaying, 200));
  game_.ClickControl("GameWindow", "ButtonPause");
  game_.Step(30);
  game_.ClickControl("PauseWindow", "ExitToMenuButton");
  ASSERT_TRUE(game_.StepUntilShown(kHiscoreOverMenu, 200));
  game_.Type("\b");
  auto* hiscores = dynamic_cast<HiscoreWindow*>(game_.FindWindow("HiscoreWindow"));
  ASSERT_NE(hiscores, nullptr);
  EXPECT_EQ(hiscores->NameField(HiscoreTable::kClassicTable, 0).Text(), "");
  game_.RequestQuitBetweenFrames();
  game_.Stop();
  EXPECT_EQ(SavedScores().At(HiscoreTable::kClassicTable, 0).name, "Ann");
  EXPECT_GT(SavedScores().At(HiscoreTable::kClassicTable, 0).score, 0u);
}

// The close button ends the game from every screen that shows the top bar, and
// the teardown writes all three files.
TEST_F(FlowTest, TheCloseButtonEndsTheGameFromEveryScreen) {
  struct Screen {
    const char* name;
    std::function<void()> reach;
    Stack stack;
  };
  const std::vector<Screen> screens = {
      {"menu", [] {}, kMenu},
      {"help over the menu",
       [this] { game_.ClickControl("MainWindow", "ButtonHelp"); },
       {"MainWindow", "HelpWindow", "FonWindow"}},
      {"playing", [this] { PlayFromMenu(true, 1); }, kPlaying},
      {"high scores over the game",
       [this] {
         PlayFromMenu(false, 1);
         game_.ClickControl("GameWindow", "ButtonHiscore");
       },
       {"GameWindow", "HiscoreWindow", "FonWindow"}},
      {"paused",
       [this] {
         PlayFromMenu(true, 1);
         game_.ClickControl("GameWindow", "ButtonPause");
       },
       kPaused},
      {"level complete",
       [this] {
         game_.WriteLevels({TestLevel::kInstant});
         PlayFromMenu(true, 1);
         game_.StepUntilShown(kLevelComplete, 400);
       },
       kLevelComplete},
      {"game over",
       [this] {
         game_.WriteLevels({TestLevel::kDead});
         PlayFromMenu(false, 1);
         game_.StepUntilShown(kGameOver, 400);
       },
       kGameOver},
  };
  for (const Screen& screen : screens) {
    SCOPED_TRACE(screen.name);
    game_.WriteLevels({TestLevel::kCalm});
    StartToMenu();
    screen.reach();
    game_.Step(20);
    ASSERT_EQ(game_.Shown(), screen.stack);
    game_.ClickControl("FonWindow", "ButtonClose");
    EXPECT_TRUE(game_.Quit());
    game_.Stop();
    EXPECT_EQ(game_.ReadFile("Data/Last.dat").size(), kLevelProgressBytes);
    EXPECT_EQ(game_.ReadFile("Data/Hiscore.dat").size(), HiscoreTable::kFileBytes);
    EXPECT_TRUE(game_.FileExists("Data/Config.ini"));
  }
}

// After a game the menu fades in behind the name entry; it must not take a
// start click while the player is still typing a name into the dialog. The name
// keeps only what the field showed: control bytes would vanish on the next load.
TEST_F(FlowTest, TheNameEntryKeepsTheMenuAsleepAndSavesTheNameAsShown) {
  game_.WriteLevels({TestLevel::kInstant, TestLevel::kCalm});
  StartToMenu();
  PlayFromMenu(true, 1);
  CompleteLevel();
  ASSERT_TRUE(game_.StepUntilShown(kPlaying, 200));
  game_.ClickControl("GameWindow", "ButtonPause");
  game_.Step(30);
  game_.ClickControl("PauseWindow", "ExitToMenuButton");
  ASSERT_TRUE(game_.StepUntilShown(kHiscoreOverMenu, 200));
  game_.Step(40);  // the menu's fade-in has ended behind the dialog
  EXPECT_FALSE(game_.IsEnabled("MainWindow"));
  game_.ClickControl("MainWindow", "ButtonStartTime");
  game_.Step(40);
  EXPECT_EQ(game_.Shown(), kHiscoreOverMenu);
  game_.Type("C\ty\x1b\r");
  const auto* hiscores = dynamic_cast<HiscoreWindow*>(game_.FindWindow("HiscoreWindow"));
  ASSERT_NE(hiscores, nullptr);
  EXPECT_EQ(hiscores->NameField(HiscoreTable::kTimeTable, 0).Text(), "Cy");
  EXPECT_EQ(SavedScores().At(HiscoreTable::kTimeTable, 0).name, "Cy");
  game_.ClickControl("HiscoreWindow", "ButtonOK");
  ASSERT_TRUE(game_.StepUntilShown(kMenuAfterDialog, 200));
  EXPECT_TRUE(game_.IsEnabled("MainWindow"));
}

// A level that completes just before the player pauses and leaves for the menu
// is dropped with the game: no scroll opens over the menu.
TEST_F(FlowTest, LeavingThroughThePauseDuringTheCompletionWaitEndsOnTheMenuWithoutAScroll) {
  game_.WriteLevels({TestLevel::kInstant, TestLevel::kCalm});
  StartToMenu();
  PlayFromMenu(true, 1);
  ASSERT_TRUE(game_.StepUntil([&] { return CurrentBoard()->IsComplete(); }, 400));
  game_.ClickControl("GameWindow", "ButtonPause");
  EXPECT_EQ(game_.Shown(), kPaused);
  game_.Step(10);
  game_.ClickControl("PauseWindow", "ExitToMenuButton");
  ASSERT_TRUE(game_.StepUntilShown(kHiscoreOverMenu, 200));
  game_.Step(60);
  EXPECT_EQ(game_.Shown(), kHiscoreOverMenu);
  EXPECT_EQ(game_.App().LevelIndex(), 0);
  EXPECT_EQ(ScoreRows(HiscoreTable::kTimeTable), 1);
}

// The move check finds the board stuck while the pause screen covers it: the
// game-over screen waits for the resume and comes once, and the score is
// entered once.
TEST_F(FlowTest, ABoardStuckDuringThePauseShowsGameOverOnceAfterTheResume) {
  game_.WriteLevels({TestLevel::kInstant, TestLevel::kDead});
  StartToMenu();
  PlayFromMenu(false, 1);
  CompleteLevel();
  ASSERT_TRUE(game_.StepUntil([&] { return game_.IsEnabled("GameWindow"); }, 200));
  game_.ClickControl("GameWindow", "ButtonPause");
  game_.Step(200);  // well past the first move check
  EXPECT_EQ(game_.Shown(), kPaused);
  EXPECT_TRUE(game_.App().GameRunning());
  game_.ClickControl("PauseWindow", "ResumeButton");
  ASSERT_TRUE(game_.StepUntilShown(kGameOver, 100));
  game_.Step(30);
  game_.ClickControl("GameOverWindow", "ButtonOK");
  ASSERT_TRUE(game_.StepUntilShown(kHiscoreOverMenu, 200));
  game_.Type("Di\r");
  game_.ClickControl("HiscoreWindow", "ButtonOK");
  ASSERT_TRUE(game_.StepUntilShown(kMenuAfterDialog, 200));
  game_.Step(60);
  EXPECT_EQ(game_.Shown(), kMenuAfterDialog);
  EXPECT_EQ(ScoreRows(HiscoreTable::kClassicTable), 1);
}

}  // namespace
}  // namespace test
}  // namespace tav
