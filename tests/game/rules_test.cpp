// The board rules: clicks, the chain search and its explosion order, the refill and
// the move check.
#include "game_test_support.h"

namespace tav {
namespace {

using RulesTest = GameTest;

TEST_F(RulesTest, ClickTurnsOnlyARestingUnmarkedPieceStrictlyInsideItsCell) {
  MakeQuietBoard();
  RunFrame();  // the clock starts in the first Status
  Piece& piece = *board->PieceAt(2, 3);
  ClickCell(2, 3, true);
  RunFrame();
  EXPECT_EQ(piece.Direction(), kRight);
  ClickCell(2, 3, false);
  RunFrame();
  EXPECT_EQ(piece.Direction(), kUp);

  // The border between two cells belongs to neither.
  Clicks().RecordLeft(300, 75 + 50 * 3);
  RunFrame();
  EXPECT_EQ(piece.Direction(), kUp);
  EXPECT_EQ(board->PieceAt(3, 3)->Direction(), kUp);

  // Falling and marked pieces ignore clicks.
  piece.SetFallHeight(200.0f);
  ClickCell(2, 3);
  RunFrame();
  EXPECT_EQ(piece.Direction(), kUp);
  piece.SetFallHeight(0.0f);
  piece.Mark(10.0f);
  ClickCell(2, 3);
  RunFrame();
  EXPECT_EQ(piece.Direction(), kUp);
}

TEST_F(RulesTest, BothButtonsInOneFrameBothTurn) {
  MakeQuietBoard();
  RunFrame();
  ClickCell(1, 1, true);
  ClickCell(2, 1, false);
  RunFrame();
  EXPECT_EQ(board->PieceAt(1, 1)->Direction(), kRight);
  EXPECT_EQ(board->PieceAt(2, 1)->Direction(), kLeft);
}

TEST_F(RulesTest, TurnThatLinksPlaysLaserOncePerSide) {
  MakeQuietBoard();
  Put(4, 5, kRedArrow, kRight);
  Put(5, 5, kRedArrow, kUp);
  Put(6, 5, kRgbArrow, kRight);
  RunFrame();
  sound.Clear();
  ClickCell(5, 5);
  RunFrame();
  EXPECT_EQ(sound.Played(), (std::vector<std::string>{"rotate.wav", "laser.wav", "laser.wav"}));
}

TEST_F(RulesTest, LineMustRunAlongTheArrows) {
  MakeQuietBoard();
  Put(3, 2, kRedArrow, kUp);
  Put(4, 2, kRedArrow, kUp);
  Put(5, 2, kRedArrow, kUp);
  RunUntilChainSearch();
  EXPECT_FALSE(board->PieceAt(4, 2)->IsMarked());

  Put(7, 2, kRedArrow, kUp);
  Put(7, 3, kRedArrow, kUp);
  Put(7, 4, kRedArrow, kUp);
  RunUntilChainSearch();
  EXPECT_TRUE(board->PieceAt(7, 2)->IsMarked());
  EXPECT_TRUE(board->PieceAt(7, 4)->IsMarked());
  EXPECT_EQ(Scores().GetScore(), 100);
}

TEST_F(RulesTest, LineOfFourExplodesFromItsBackEndInArrowOrder) {
  MakeQuietBoard();
  std::vector<ChainReport> chains;
  board->onChain = [&](const ChainReport& chain) { chains.push_back(chain); };
  // Four blue arrows pointing left in row 6, columns 2..5: the back end is column 5.
  for (int x = 2; x <= 5; ++x) Put(x, 6, x == 3 ? kRgbArrow : kBlueArrow, kLeft);
  RunUntilChainSearch();
  EXPECT_FLOAT_EQ(board->PieceAt(5, 6)->ExplodeDelay(), 0.01f);
  EXPECT_FLOAT_EQ(board->PieceAt(4, 6)->ExplodeDelay(), 0.16f);
  EXPECT_FLOAT_EQ(board->PieceAt(3, 6)->ExplodeDelay(), 0.31f);
  EXPECT_FLOAT_EQ(board->PieceAt(2, 6)->ExplodeDelay(), 0.01f + 3 * 0.15f);
  EXPECT_EQ(presentation.Count("FlashOutline"), 4);
  ASSERT_EQ(chains.size(), 1u);
  EXPECT_EQ(chains[0].n, 4);
  // Back end (5, 6) advanced one step left: (4, 6).
  EXPECT_EQ(chains[0].x, 272 + 50 * 4);
  EXPECT_EQ(chains[0].y, 65 + 50 * 6);

  // Explosions follow one another 0.15 s apart.
  std::vector<int> order;
  for (int frame = 0; frame < 40; ++frame) {
    size_t before = presentation.events.size();
    RunFrame();
    for (size_t i = before; i < presentation.events.size(); ++i) {
      if (presentation.events[i].what == "Burst") order.push_back(presentation.events[i].column);
    }
  }
  EXPECT_EQ(order, (std::vector<int>{5, 4, 3, 2}));
}

TEST_F(RulesTest, ChainsAreReportedInScanOrderAndExplodeTheWayTheyPoint) {
  MakeQuietBoard();
  std::vector<ChainReport> chains;
  board->onChain = [&](const ChainReport& chain) { chains.push_back(chain); };
  for (int y = 3; y <= 5; ++y) Put(5, y, kRedArrow, kDown);  // higher, but further left
  for (int x = 6; x <= 8; ++x) Put(x, 1, kGreenArrow, kRight);
  RunUntilChainSearch();
  ASSERT_EQ(chains.size(), 2u);
  EXPECT_EQ(chains[0].y, 65 + 50 * 1);  // row 1 is visited before row 3
  EXPECT_EQ(chains[1].x, 272 + 50 * 5);
  EXPECT_EQ(chains[1].y, 65 + 50 * 4);
  // Pointing down, the line's back end is its top piece.
  EXPECT_FLOAT_EQ(board->PieceAt(5, 5)->ExplodeDelay(), 0.01f);
  EXPECT_FLOAT_EQ(board->PieceAt(5, 3)->ExplodeDelay(), 0.31f);
}

TEST_F(RulesTest, LineStopsAtAMarkedPiece) {
  MakeQuietBoard();
  for (int y = 0; y <= 3; ++y) Put(8, y, kGreenArrow, kUp);
  board->PieceAt(8, 3)->Mark(50.0f);
  std::vector<ChainReport> chains;
  board->onChain = [&](const ChainReport& chain) { chains.push_back(chain); };
  RunUntilChainSearch();
  ASSERT_EQ(chains.size(), 1u);
  EXPECT_EQ(chains[0].n, 3);
  EXPECT_FLOAT_EQ(board->PieceAt(8, 3)->ExplodeDelay(), 50.0f - 10.0f / 60.0f);
}

TEST_F(RulesTest, LineThroughABombReportsTheCascadedPiecesToo) {
  MakeQuietBoard();
  Put(3, 0, kRedArrow, kUp);
  Put(3, 1, kRedBombArrow, kUp);
  Put(3, 2, kRedArrow, kUp);  // (3, 3) above is blue
  std::vector<ChainReport> chains;
  board->onChain = [&](const ChainReport& chain) { chains.push_back(chain); };
  RunUntilChainSearch();
  ASSERT_EQ(chains.size(), 1u);
  EXPECT_EQ(chains[0].n, 5);  // the line and the bomb's left and right neighbours
  EXPECT_FLOAT_EQ(board->PieceAt(4, 1)->ExplodeDelay(), 0.16f + 0.12f);
  EXPECT_FLOAT_EQ(board->PieceAt(2, 1)->ExplodeDelay(), 0.16f + 0.24f);
}

TEST_F(RulesTest, FallingPiecesTakePartInTheChainSearch) {
  MakeQuietBoard();
  for (int y = 4; y <= 6; ++y) Put(0, y, kBlueArrow, kDown).SetFallHeight(300.0f);
  RunUntilChainSearch();
  EXPECT_TRUE(board->PieceAt(0, 5)->IsMarked());
}

TEST_F(RulesTest, RefillWaitsForExplosionsThenTakesOneDeadPiecePerRowPerFrame) {
  MakeQuietBoard();
  // Mark the whole bottom row and (0, 1); nothing moves while any is still alive.
  for (int x = 0; x < 10; ++x) board->PieceAt(x, 0)->Mark(0.01f);
  board->PieceAt(0, 1)->Mark(0.01f);
  Piece* above = board->PieceAt(0, 2);
  RunSeconds(0.3f);
  EXPECT_EQ(board->PieceAt(0, 2), above);

  Piece* firstDead = board->PieceAt(0, 0);
  int frames = 0;
  while (board->PieceAt(0, 0) == firstDead && frames++ < 100) RunFrame();
  // Row 0 loses its eleven dead pieces (ten and the one that fell from row 1) one
  // per frame.
  int removalFrames = 1;
  while (board->PieceAt(9, 0)->IsMarked() && removalFrames < 100) {
    RunFrame();
    ++removalFrames;
  }
  EXPECT_EQ(removalFrames, 11);
  EXPECT_EQ(board->PieceAt(0, 0), above);  // column 0 fell by two cells
  EXPECT_EQ(above->Row(), 0);
  for (int x = 0; x < 10; ++x) {
    for (int y = 0; y < 10; ++y) {
      ASSERT_NE(board->PieceAt(x, y), nullptr);
      EXPECT_TRUE(board->PieceAt(x, y)->IsAlive());
      EXPECT_EQ(board->PieceAt(x, y)->Column(), x);
      EXPECT_EQ(board->PieceAt(x, y)->Row(), y);
    }
  }
}

TEST_F(RulesTest, RefillDropsTheColumnAndStacksTheNewPieceAboveIt) {
  MakeQuietBoard();
  Piece& dying = *board->PieceAt(3, 4);
  dying.Mark(0.01f);
  Piece* oldTop = board->PieceAt(3, 9);
  while (board->PieceAt(3, 4) == &dying) RunFrame();
  EXPECT_EQ(board->PieceAt(3, 8), oldTop);
  // Moved down one cell (50 pixels) and started falling in the same frame.
  float topFall = oldTop->FallHeight();
  EXPECT_NEAR(topFall, 50.0f, 0.01f);
  Piece* fresh = board->PieceAt(3, 9);
  EXPECT_NEAR(fresh->FallHeight(), topFall + 50.0f, 0.01f);
  EXPECT_TRUE(fresh->Kind() == kBlueArrow || fresh->Kind() == kRedArrow ||
              fresh->Kind() == kGreenArrow);
}

TEST_F(RulesTest, MoveCheckWaitsEightSecondsThenEndsAStuckClassicLevel) {
  MakeQuietBoard(false);
  EXPECT_EQ(RunSeconds(7.9f), 0);
  EXPECT_FALSE(board->IsGameOver());
  EXPECT_EQ(RunSeconds(0.3f), 2);
  EXPECT_LT(board->MoveCheckTime(), 0.5f);
}

TEST_F(RulesTest, StuckTimedLevelGetsExtraBonusBlasts) {
  MakeQuietBoard(true);
  board->SetBlocksCleared(20);
  RunSeconds(8.2f);
  EXPECT_FALSE(board->IsGameOver());
  EXPECT_EQ(board->BlocksCleared(), 10);
  std::vector<GameText> texts = presentation.Texts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].text, "Extra Bonus");
  EXPECT_FLOAT_EQ(texts[0].x, 494.0f);
  // One piece marked in each column, 0.2 s apart.
  for (int x = 0; x < 10; ++x) {
    int marked = 0;
    for (int y = 0; y < 10; ++y) marked += board->PieceAt(x, y)->IsMarked() ? 1 : 0;
    EXPECT_LE(marked, 1) << x;
  }
  EXPECT_LT(board->MoveCheckTime(), 0.5f);
}

TEST_F(RulesTest, ExtraBonusSparesColumnsWhoseSecondRowFromTheTopIsMarked) {
  MakeQuietBoard(true);
  board->PieceAt(4, 8)->Mark(100.0f);
  RunSeconds(8.2f);
  EXPECT_EQ(board->BlocksCleared(), -9);
}

TEST_F(RulesTest, MoveCheckHintsAfterFifteenIdleSeconds) {
  MakeQuietBoard(false);
  // Three compatible pieces in a row, not linked: a move exists.
  Put(1, 0, kBlueBombArrow, kLeft);  // with the blue arrow at (0, 0)
  Put(2, 0, kRgbArrow, kDown);
  RunSeconds(14.9f);
  EXPECT_EQ(presentation.Count("FlashOutline"), 0);
  EXPECT_FALSE(board->IsGameOver());
  RunSeconds(0.3f);
  ASSERT_EQ(presentation.Count("FlashOutline"), 3);
  EXPECT_EQ(presentation.events[0].column, 0);
  EXPECT_EQ(presentation.events[2].column, 2);
  EXPECT_EQ(presentation.events[0].value, 1.0f);
  EXPECT_LT(board->IdleTime(), 0.5f);
}

TEST_F(RulesTest, NoArrowsDoNotCountAsAMove) {
  MakeQuietBoard(false);
  Put(0, 0, kNoArrow, kUp);
  Put(1, 0, kNoArrow, kDown);
  Put(2, 0, kNoArrow, kLeft);
  RunSeconds(8.5f);
  EXPECT_TRUE(board->IsGameOver());
}

TEST_F(RulesTest, NoArrowsPointingAlongTheirLineChain) {
  MakeQuietBoard();
  for (int x = 0; x < 3; ++x) Put(x, 0, kNoArrow, kRight);
  RunUntilChainSearch();
  EXPECT_TRUE(board->PieceAt(1, 0)->IsMarked());
}

}  // namespace
}  // namespace tav
