// Level play: the timed clock and its ticks, progress and completion, the end
// states, the tutorial clock start and pausing.
#include "game_test_support.h"

namespace tav {
namespace {

class PlayTest : public GameTest {
 protected:
  // A quiet board with one possible move, so that no move check ends it.
  Board& MakePlayableBoard(bool timed, const std::string& name = "quiet") {
    MakeBoard(QuietLevel(name), timed);
    Put(1, 0, kBlueBombArrow, kLeft);
    Put(2, 0, kRgbArrow, kDown);
    return *board;
  }
};

TEST_F(PlayTest, TimedClockCountsDownTicksInTheLastTenSecondsAndEndsTheGame) {
  MakePlayableBoard(true);
  EXPECT_EQ(RunFrame(), 0);
  EXPECT_EQ(board->TimeText(), "60");
  RunSeconds(49.0f);
  EXPECT_EQ(board->TimeText(), "11");
  EXPECT_EQ(sound.PlayCount("time.wav"), 0);
  RunSeconds(1.0f);
  EXPECT_EQ(board->TimeText(), "10");
  EXPECT_GE(sound.PlayCount("time.wav"), 1);
  int status = 0;
  int frames = 0;
  while (status == 0 && frames++ < 20 * 60) status = RunFrame();
  EXPECT_EQ(status, 2);
  EXPECT_FLOAT_EQ(board->Elapsed(), 60.0f);
  RunFrame();
  EXPECT_EQ(board->TimeText(), "0");
  EXPECT_TRUE(board->IsLocked());
  // About one tick per 0.757 s over the last ten seconds, then silence.
  EXPECT_GE(sound.PlayCount("time.wav"), 13);
  EXPECT_LE(sound.PlayCount("time.wav"), 15);
  EXPECT_EQ(presentation.Count("ClearParticles"), 1);
  ASSERT_FALSE(sound.events.empty());
  int ticks = sound.PlayCount("time.wav");
  RunSeconds(2.0f);
  EXPECT_EQ(sound.PlayCount("time.wav"), ticks);
  EXPECT_EQ(presentation.Count("ClearParticles"), 1);
}

TEST_F(PlayTest, ClassicLevelNeverTimesOut) {
  MakePlayableBoard(false);
  EXPECT_EQ(RunSeconds(70.0f), 0);
  EXPECT_EQ(board->TimeText(), "---");
  EXPECT_GT(board->Elapsed(), 69.0f);
}

TEST_F(PlayTest, StartSoundPlaysOnceAfterAShortPause) {
  MakePlayableBoard(false);
  RunSeconds(1.15f);
  EXPECT_EQ(sound.PlayCount("start_game.wav"), 0);
  RunSeconds(2.0f);
  EXPECT_EQ(sound.PlayCount("start_game.wav"), 1);
}

TEST_F(PlayTest, ClearingMoreThanTheTargetCompletesAndReportsAfterThreeQuarters) {
  MakePlayableBoard(false);
  board->SetBlocksCleared(120);
  int frames = 0;
  while (!board->IsComplete() && frames++ < 600) RunFrame();
  EXPECT_LT(frames, 60);
  EXPECT_TRUE(board->IsLocked());
  EXPECT_EQ(board->DisplayedProgress(), 1.0);
  EXPECT_EQ(sound.PlayCount("lc_effect.wav"), 1);
  EXPECT_EQ(RunSeconds(0.7f), 0);
  EXPECT_EQ(RunSeconds(0.1f), 1);
  EXPECT_EQ(sound.PlayCount("lc_effect.wav"), 1);
}

TEST_F(PlayTest, ClearingExactlyTheTargetCompletes) {
  MakePlayableBoard(false);
  board->SetBlocksCleared(board->BlocksTarget());
  EXPECT_EQ(RunSeconds(4.0f), 1);
}

TEST_F(PlayTest, ProgressEasesUpAndNeverFalls) {
  MakePlayableBoard(true);
  board->SetBlocksCleared(50);
  RunFrame();
  EXPECT_NEAR(board->DisplayedProgress(), 0.5 * 5.0 / 60.0, 1e-6);
  RunSeconds(3.0f);
  EXPECT_DOUBLE_EQ(board->DisplayedProgress(), 0.5);
  board->SetBlocksCleared(-5);
  RunFrame();
  EXPECT_DOUBLE_EQ(board->DisplayedProgress(), 0.5);
}

TEST_F(PlayTest, GameOverDuringTheCompletionWaitReportsTwoThenOne) {
  MakeQuietBoard(false);  // stuck: the move check ends it at 8 s
  RunSeconds(7.5f);
  board->SetBlocksCleared(1000);
  int status = RunSeconds(0.7f);
  EXPECT_TRUE(board->IsComplete());
  EXPECT_TRUE(board->IsGameOver());
  EXPECT_EQ(status, 2);
  EXPECT_EQ(RunSeconds(0.5f), 1);
}

// The first click of a tutorial level turns the arrow under it like any other;
// the level clock stands still for as long as the picture covers the board.
TEST_F(PlayTest, LevelOnesFirstClickTurnsTheArrowAndTheClockWaitsForTheFirstClear) {
  MakePlayableBoard(true, "1");
  RunSeconds(2.0f);
  EXPECT_FALSE(board->IsClockStarted());
  EXPECT_EQ(board->TimeText(), "60");
  Piece& piece = *board->PieceAt(5, 5);
  ClickCell(5, 5);
  RunFrame();
  EXPECT_EQ(piece.Direction(), kRight);
  EXPECT_TRUE(board->IsClockStarted());
  RunSeconds(3.0f);
  EXPECT_EQ(board->TimeText(), "60");
  EXPECT_EQ(board->Elapsed(), 0.0f);
  board->SetBlocksCleared(3);
  RunSeconds(1.5f);
  EXPECT_EQ(board->TimeText(), "58");
}

TEST_F(PlayTest, LevelOneHintFadesInFromTheStartAndGoesWithTheFirstClear) {
  MakePlayableBoard(false, "1");
  board->Frame();
  board->Status();
  ASSERT_EQ(presentation.DrawnCount("Hint"), 1);
  EXPECT_EQ(presentation.drawn.back().text, "Hint.tga");
  EXPECT_FLOAT_EQ(presentation.drawn.back().x, 385.0f);
  EXPECT_FALSE(presentation.drawn.back().flag);
  // Seen before any click, so the player knows what to do.
  RunSeconds(0.4f);
  board->Frame();
  board->Status();
  EXPECT_NEAR(presentation.drawn.back().alpha, 0.6f, 0.03f);
  RunSeconds(1.0f);
  board->Frame();
  board->Status();
  EXPECT_FLOAT_EQ(presentation.drawn.back().alpha, 1.0f);
  board->SetBlocksCleared(3);
  board->Frame();
  board->Status();
  EXPECT_EQ(presentation.DrawnCount("Hint"), 0);
}

TEST_F(PlayTest, LevelTwoHintStaysUntilTheFirstClickThenFadesInHalfASecondWithTheClockStill) {
  MakePlayableBoard(true, "2");
  RunSeconds(3.0f);
  board->Frame();
  board->Status();
  ASSERT_EQ(presentation.DrawnCount("Hint"), 1);
  EXPECT_EQ(presentation.drawn.back().text, "Hint1.tga");
  EXPECT_TRUE(presentation.drawn.back().flag);
  EXPECT_FLOAT_EQ(presentation.drawn.back().alpha, 1.0f);
  Piece& piece = *board->PieceAt(5, 5);
  ClickCell(5, 5);
  RunFrame();
  EXPECT_EQ(piece.Direction(), kRight);
  RunSeconds(0.4f);
  board->Frame();
  board->Status();
  ASSERT_EQ(presentation.DrawnCount("Hint"), 1);
  EXPECT_LT(presentation.drawn.back().alpha, 0.25f);
  EXPECT_EQ(board->Elapsed(), 0.0f);
  RunSeconds(0.2f);
  board->Frame();
  board->Status();
  EXPECT_EQ(presentation.DrawnCount("Hint"), 0);
  // The fade ended 0.15 s before this second began; the clock ran from then on.
  RunSeconds(1.0f);
  EXPECT_NEAR(board->Elapsed(), 1.15f, 0.05f);
}

TEST_F(PlayTest, LevelThreeHintFadesInOneSecondAfterTheFirstClick) {
  MakePlayableBoard(false, "3");
  RunSeconds(1.0f);
  EXPECT_FALSE(board->IsClockStarted());
  Clicks().RecordLeft(10, 10);
  RunFrame();
  EXPECT_TRUE(board->IsClockStarted());
  RunSeconds(0.8f);
  board->Frame();
  board->Status();
  ASSERT_EQ(presentation.DrawnCount("Hint"), 1);
  EXPECT_EQ(presentation.drawn.back().text, "Hint2.tga");
  EXPECT_NEAR(presentation.drawn.back().alpha, 1.0f - 50.0f / 60.0f, 0.02f);
  RunSeconds(0.3f);
  EXPECT_EQ(presentation.DrawnCount("Hint"), 0);
}

TEST_F(PlayTest, OtherLevelsRunTheirClockFromTheFirstFrame) {
  MakePlayableBoard(true, "12");
  RunFrame();
  EXPECT_TRUE(board->IsClockStarted());
  RunSeconds(1.0f);
  EXPECT_NEAR(board->Elapsed(), 1.0f, 0.02f);
}

TEST_F(PlayTest, FreezeStopsClicksAndTheClockAndThawRestoresTheLock) {
  MakePlayableBoard(true);
  RunFrame();
  board->Freeze();
  float elapsed = board->Elapsed();
  ClickCell(4, 4);
  RunSeconds(30.0f);
  EXPECT_EQ(board->Elapsed(), elapsed);
  EXPECT_EQ(board->PieceAt(4, 4)->Direction(), kUp);
  board->Thaw();
  EXPECT_FALSE(board->IsLocked());
  ClickCell(4, 4);
  RunFrame();
  EXPECT_EQ(board->PieceAt(4, 4)->Direction(), kRight);

  // A board that locked itself (level complete) stays locked after a pause.
  board->SetBlocksCleared(500);
  RunSeconds(1.0f);
  board->Freeze();
  board->Thaw();
  EXPECT_TRUE(board->IsLocked());
}

TEST_F(PlayTest, DisplayedTextsFollowTheScoreAndTheLevel) {
  MakePlayableBoard(false, "7");
  Scores().SetScore(250);
  Scores().AddScore(100);
  RunFrame();
  EXPECT_EQ(board->ScoreText(), "266");
  EXPECT_EQ(board->LevelText(), "7");
}

TEST_F(PlayTest, BoardTeardownClearsEffectsAndTheCurrentBoard) {
  MakePlayableBoard(false);
  EXPECT_EQ(CurrentBoard(), board.get());
  board.reset();
  EXPECT_EQ(CurrentBoard(), nullptr);
  EXPECT_EQ(presentation.Count("ClearEffects"), 1);
}

}  // namespace
}  // namespace tav
