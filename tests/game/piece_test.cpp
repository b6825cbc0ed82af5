// Pieces: colour rules, marks and their cascades, the life cycle and magic-symbol
// letters.
#include <algorithm>
#include <set>

#include "game_test_support.h"

namespace tav {
namespace {

// Returns the same number every time, to force the letter draw.
class ConstantRandom : public RandomSource {
 public:
  explicit ConstantRandom(uint32_t value) : value_(value) {}
  uint32_t Next() override { return value_; }

 private:
  uint32_t value_;
};

using PieceTest = GameTest;

TEST_F(PieceTest, MatchesFollowsTheColourGroups) {
  // Accepted kinds besides the kind itself, by kind.
  const std::set<int> accepted[kPieceKindCount] = {{2, 6, 7},
                                                   {4, 6, 7},
                                                   {0, 6, 7},
                                                   {5, 6, 7},
                                                   {1, 6, 7},
                                                   {3, 6, 7},
                                                   {0, 1, 2, 3, 4, 5, 7},
                                                   {0, 1, 2, 3, 4, 5, 6},
                                                   {}};
  for (int a = 0; a < kPieceKindCount; ++a) {
    for (int b = 0; b < kPieceKindCount; ++b) {
      auto first = CreatePiece(a);
      auto second = CreatePiece(b);
      bool expected = a == b || accepted[a].count(b) > 0;
      EXPECT_EQ(first->Matches(*second), expected) << a << " vs " << b;
      EXPECT_EQ(second->Matches(*first), expected) << "symmetry " << b << " vs " << a;
    }
  }
  EXPECT_EQ(CreatePiece(9), nullptr);
  EXPECT_EQ(CreatePiece(-1), nullptr);
}

TEST_F(PieceTest, LinksNeedsTheSameDirection) {
  auto red = CreatePiece(kRedArrow);
  auto wild = CreatePiece(kRgbArrow);
  red->SetDirection(kUp);
  wild->SetDirection(kUp);
  EXPECT_TRUE(red->Links(*wild));
  wild->SetDirection(kRight);
  EXPECT_FALSE(red->Links(*wild));
}

TEST_F(PieceTest, RotateTurnsBothWaysButNotTheNoArrow) {
  MakeQuietBoard();
  Piece& arrow = Put(0, 0, kBlueArrow, kUp);
  arrow.Rotate(true);
  EXPECT_EQ(arrow.Direction(), kRight);
  arrow.Rotate(false);
  arrow.Rotate(false);
  EXPECT_EQ(arrow.Direction(), kLeft);
  Piece& none = Put(1, 0, kNoArrow, kDown);
  none.Rotate(true);
  EXPECT_EQ(none.Direction(), kDown);
  EXPECT_EQ(sound.Played(),
            (std::vector<std::string>{"rotate.wav", "rotate.wav", "rotate.wav", "rotate_no.wav"}));
}

TEST_F(PieceTest, SecondMarkChangesNothing) {
  MakeQuietBoard();
  Piece& bomb = Put(4, 4, kRedBombArrow, kUp);
  bomb.Mark(0.1f);
  ASSERT_TRUE(board->PieceAt(5, 4)->IsMarked());
  EXPECT_FLOAT_EQ(board->PieceAt(5, 4)->ExplodeDelay(), 0.1f + 0.12f);
  bomb.Mark(0.5f);
  EXPECT_FLOAT_EQ(bomb.ExplodeDelay(), 0.1f);
  EXPECT_FLOAT_EQ(board->PieceAt(5, 4)->ExplodeDelay(), 0.1f + 0.12f);
}

TEST_F(PieceTest, BombInACornerMarksItsTwoNeighboursWithTheirSidesDelays) {
  MakeQuietBoard();
  Put(0, 0, kGreenBombArrow, kUp).Mark(1.0f);
  EXPECT_FLOAT_EQ(board->PieceAt(1, 0)->ExplodeDelay(), 1.12f);
  EXPECT_FLOAT_EQ(board->PieceAt(0, 1)->ExplodeDelay(), 1.0f + 0.35999998f);
  int marked = 0;
  for (int x = 0; x < 10; ++x) {
    for (int y = 0; y < 10; ++y) marked += board->PieceAt(x, y)->IsMarked() ? 1 : 0;
  }
  EXPECT_EQ(marked, 3);

  MakeQuietBoard();
  Put(9, 9, kBlueBombArrow, kUp).Mark(0.0f);
  EXPECT_FLOAT_EQ(board->PieceAt(8, 9)->ExplodeDelay(), 0.24f);
  EXPECT_FLOAT_EQ(board->PieceAt(9, 8)->ExplodeDelay(), 0.48f);
}

TEST_F(PieceTest, BombsAndLightningCascade) {
  MakeQuietBoard();
  Put(4, 4, kRedBombArrow, kUp);
  Put(5, 4, kBlueBombArrow, kUp);      // the right neighbour, itself a bomb
  Put(5, 3, kLightningArrow, kLeft);   // below the second bomb: blasts row 3
  Put(5, 2, kLightningArrow, kRight);  // below that, but lightning spares its neighbours
  board->PieceAt(4, 4)->Mark(0.0f);
  EXPECT_FLOAT_EQ(board->PieceAt(6, 4)->ExplodeDelay(), 0.12f + 0.12f);
  EXPECT_FLOAT_EQ(board->PieceAt(5, 3)->ExplodeDelay(), 0.12f + 0.48f);
  // The right neighbour cascades fully before the first bomb's own lower neighbour,
  // so (4, 3) takes the lightning's delay, not the bomb's 0.48.
  EXPECT_FLOAT_EQ(board->PieceAt(4, 3)->ExplodeDelay(), 0.12f + 0.48f);
  for (int x = 0; x < 10; ++x) {
    EXPECT_TRUE(board->PieceAt(x, 3)->IsMarked()) << x;
  }
  EXPECT_FLOAT_EQ(board->PieceAt(0, 3)->ExplodeDelay(), 0.12f + 0.48f);
  EXPECT_FALSE(board->PieceAt(5, 2)->IsMarked());
  ASSERT_EQ(presentation.Count("LightningBlast"), 1);
  const auto& blast = presentation.events.back();
  EXPECT_EQ(blast.value, 1.0f);
  EXPECT_FLOAT_EQ(blast.x, 268.0f);
  EXPECT_FLOAT_EQ(blast.y, 225.0f);
  EXPECT_FLOAT_EQ(blast.toX, 720.0f);
}

TEST_F(PieceTest, LightningPointingUpBlastsItsColumnAndShowsBoltsOnlyAfterExploding) {
  MakeQuietBoard();
  Piece& lightning = Put(3, 6, kLightningArrow, kUp);
  lightning.Mark(0.1f);
  for (int y = 0; y < 10; ++y) {
    EXPECT_TRUE(board->PieceAt(3, y)->IsMarked()) << y;
    EXPECT_FLOAT_EQ(board->PieceAt(3, y)->ExplodeDelay(), 0.1f);
  }
  EXPECT_FALSE(board->PieceAt(2, 6)->IsMarked());
  const auto& blast = presentation.events.back();
  EXPECT_EQ(blast.value, 0.0f);
  EXPECT_FLOAT_EQ(blast.x, 425.0f);
  EXPECT_FLOAT_EQ(blast.y, 80.0f);
  EXPECT_FLOAT_EQ(blast.toY, 527.0f);

  RunFrames(5);  // 0.083 s: still waiting
  EXPECT_EQ(presentation.DrawnCount("Overlay"), 0);
  RunFrames(2);  // exploded
  EXPECT_FALSE(lightning.IsVisible());
  EXPECT_EQ(presentation.DrawnCount("Overlay"), 1);
  EXPECT_EQ(sound.PlayCount("moln.wav"), 1);
  RunSeconds(0.8f);  // lingered 0.7 s and died
  EXPECT_EQ(presentation.DrawnCount("Overlay"), 0);
}

TEST_F(PieceTest, LightningMarksItsRowFromItselfOutwardLeftThenFromTheRightEdgeIn) {
  // The order decides which delay a piece takes when a bomb in the row reaches it
  // first: left of the arrow the bomb at column 3 is marked before column 2, right
  // of it the bomb at column 7 before column 6.
  MakeQuietBoard();
  Put(5, 4, kLightningArrow, kLeft);
  Put(3, 4, kRedBombArrow, kUp);
  Put(7, 4, kGreenBombArrow, kUp);
  board->PieceAt(5, 4)->Mark(1.0f);
  EXPECT_FLOAT_EQ(board->PieceAt(4, 4)->ExplodeDelay(), 1.0f);
  EXPECT_FLOAT_EQ(board->PieceAt(2, 4)->ExplodeDelay(), 1.0f + 0.24f);
  EXPECT_FLOAT_EQ(board->PieceAt(1, 4)->ExplodeDelay(), 1.0f);
  EXPECT_FLOAT_EQ(board->PieceAt(8, 4)->ExplodeDelay(), 1.0f);
  EXPECT_FLOAT_EQ(board->PieceAt(6, 4)->ExplodeDelay(), 1.0f + 0.24f);
  EXPECT_FLOAT_EQ(board->PieceAt(3, 5)->ExplodeDelay(), 1.0f + 0.35999998f);
  EXPECT_FLOAT_EQ(board->PieceAt(7, 3)->ExplodeDelay(), 1.0f + 0.48f);
}

TEST_F(PieceTest, MarkedPieceExplodesOnTimeAndDiesAfterItsLinger) {
  MakeQuietBoard();
  Piece& piece = *board->PieceAt(2, 2);
  piece.Mark(0.01f);
  RunFrame();  // 1/60 s > 0.01 s
  EXPECT_FALSE(piece.IsVisible());
  EXPECT_TRUE(piece.IsAlive());
  EXPECT_EQ(presentation.Count("Burst"), 1);
  EXPECT_EQ(sound.Played(), (std::vector<std::string>{"boom.wav"}));
  // A dead piece is removed by the refill in the frame it dies.
  int framesAfter = 0;
  while (board->PieceAt(2, 2) == &piece && framesAfter < 100) {
    EXPECT_TRUE(piece.IsAlive());
    RunFrame();
    ++framesAfter;
  }
  // Dead no earlier than 0.4 s after the explosion, at most two frames later.
  EXPECT_GE(framesAfter, 24);
  EXPECT_LE(framesAfter, 26);
}

TEST_F(PieceTest, BombExplosionPlaysBothBooms) {
  MakeQuietBoard();
  Put(0, 9, kRedBombArrow, kUp).Mark(0.01f);
  RunFrame();
  EXPECT_EQ(sound.Played(), (std::vector<std::string>{"boom.wav", "boom2.wav"}));
}

TEST_F(PieceTest, PieceMarkedWithoutDelayStillExplodes) {
  MakeQuietBoard();
  Piece& piece = *board->PieceAt(0, 0);
  piece.Mark(0.0f);
  RunFrame();
  EXPECT_FALSE(piece.IsVisible());
  EXPECT_EQ(presentation.Count("Burst"), 1);
}

TEST_F(PieceTest, FallingPieceLandsAt1400PixelsPerSecond) {
  MakeQuietBoard();
  Piece& piece = *board->PieceAt(5, 5);
  piece.SetFallHeight(100.0f);
  RunFrames(4);
  EXPECT_NEAR(piece.FallHeight(), 100.0f - 4 * 1400.0f / 60.0f, 1e-3);
  RunFrame();
  EXPECT_EQ(piece.FallHeight(), 0.0f);
}

TEST_F(PieceTest, LetterProbabilityZeroOrOneNeverGivesLetters) {
  ConstantRandom ones(1);
  SetRandomSource(&ones);
  LevelDefinition level = QuietLevel();
  level.letterProbability = 1;
  MakeBoard(level);
  level.letterProbability = 0;
  MakeBoard(level);
  EXPECT_EQ(SymbolCounter(), 0);
  for (int x = 0; x < 10; ++x) {
    for (int y = 0; y < 10; ++y) EXPECT_EQ(board->PieceAt(x, y)->Letter(), -1);
  }
}

TEST_F(PieceTest, LettersComeInSymbolOrderFromOneCounterForTheWholeRun) {
  LevelDefinition level = QuietLevel();
  level.letterProbability = 2;
  MakeBoard(level);
  int expected = 0;
  int withLetter = 0;
  for (int y = 0; y < 10; ++y) {  // construction order: row by row
    for (int x = 0; x < 10; ++x) {
      int letter = board->PieceAt(x, y)->Letter();
      if (letter < 0) continue;
      EXPECT_EQ(letter, expected);
      expected = (expected + 1) % 6;
      ++withLetter;
    }
  }
  EXPECT_GT(withLetter, 35);
  EXPECT_LT(withLetter, 65);
  EXPECT_EQ(SymbolCounter(), withLetter % 6);

  // The next level continues the count.
  MakeBoard(level);
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 10; ++x) {
      if (board->PieceAt(x, y)->Letter() >= 0) {
        EXPECT_EQ(board->PieceAt(x, y)->Letter(), expected);
        return;
      }
    }
  }
  FAIL() << "no letters on the second board";
}

TEST_F(PieceTest, NoArrowWinsTheLetterDrawButCarriesNoLetter) {
  ConstantRandom ones(1);
  SetRandomSource(&ones);
  LevelDefinition level = QuietLevel();
  level.letterProbability = 2;
  std::fill(level.levelData.begin(), level.levelData.end(), '8');
  for (size_t i = 1; i < level.levelData.size(); i += 2) level.levelData[i] = '0';
  MakeBoard(level);
  EXPECT_EQ(board->PieceAt(0, 0)->Letter(), -1);
  EXPECT_EQ(SymbolCounter(), 100 % 6);
}

}  // namespace
}  // namespace tav
