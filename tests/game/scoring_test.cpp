// Scoring: chain rewards with their texts and sounds, the magic-symbol collection
// and the count-up of the displayed score.
#include "game_test_support.h"

namespace tav {
namespace {

class ScoringTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    MakeQuietBoard();
  }
  // The frames until symbol flights sent now have arrived.
  void RunFlight() { RunSeconds(0.75f); }
};

TEST_F(ScoringTest, ChainOfThreeGivesAHundredQuietly) {
  board->ReportChain(300, 200, 3);
  EXPECT_EQ(Scores().GetScore(), 100);
  EXPECT_EQ(board->BlocksCleared(), 3);
  EXPECT_TRUE(sound.events.empty());
  std::vector<GameText> texts = presentation.Texts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].text, "+100");
  EXPECT_FLOAT_EQ(texts[0].x, 300.0f);
  EXPECT_FLOAT_EQ(texts[0].y, 200.0f);
  EXPECT_FLOAT_EQ(texts[0].blue, 1.0f);
  EXPECT_FLOAT_EQ(texts[0].riseSpeed, 75.0f);
  EXPECT_FLOAT_EQ(texts[0].lifetime, 6.0f);
  EXPECT_FLOAT_EQ(texts[0].acceleration, 80.0f);
}

TEST_F(ScoringTest, ChainOfFourIsACombo) {
  board->ReportChain(300, 200, 4);
  EXPECT_EQ(Scores().GetScore(), 200);
  EXPECT_EQ(board->BlocksCleared(), 5);
  EXPECT_EQ(sound.Played(), (std::vector<std::string>{"bonus0.wav"}));
  std::vector<GameText> texts = presentation.Texts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].text, "Combo x4");
  EXPECT_FLOAT_EQ(texts[0].blue, 0.0f);  // yellow
  EXPECT_EQ(texts[1].text, "+200");
  EXPECT_FLOAT_EQ(texts[1].y, 180.0f);
}

TEST_F(ScoringTest, BigChainsAreSuperCombosWithMoreSounds) {
  struct Case {
    int n;
    const char* combo;
    const char* points;
    std::vector<std::string> sounds;
    int blocks;
  };
  const Case cases[] = {
      {10, "Combo x10", "+800", {"bonus0.wav"}, 17},
      {11, "Super Combo x11", "+900", {"bonus0.wav", "bonus1.wav"}, 19},
      {15, "Super Combo x15", "+1300", {"bonus0.wav", "bonus1.wav"}, 27},
      {16, "Super Combo x16", "+1400", {"bonus0.wav", "bonus2.wav"}, 29},
      {17, "Super Combo x17", "+1500", {"bonus0.wav", "bonus2.wav", "wow!.wav"}, 31},
  };
  for (const Case& c : cases) {
    MakeQuietBoard();
    Scores().SetScore(0);
    board->ReportChain(400, 300, c.n);
    EXPECT_EQ(sound.Played(), c.sounds) << c.n;
    std::vector<GameText> texts = presentation.Texts();
    ASSERT_EQ(texts.size(), 2u) << c.n;
    EXPECT_EQ(texts[0].text, c.combo);
    EXPECT_EQ(texts[1].text, c.points);
    EXPECT_EQ(Scores().GetScore(), 100 * c.n - 200);
    EXPECT_EQ(board->BlocksCleared(), c.blocks);
  }
}

TEST_F(ScoringTest, ChainResetsTheIdleTime) {
  RunSeconds(2.0f);
  EXPECT_GT(board->IdleTime(), 1.9f);
  board->ReportChain(300, 200, 3);
  EXPECT_EQ(board->IdleTime(), 0.0f);
}

TEST_F(ScoringTest, ExplodingPieceSendsItsSymbolWhichPaysOnArrival) {
  Piece& carrier = *board->PieceAt(3, 5);
  carrier.SetLetter(2);
  carrier.Mark(0.01f);
  RunFrame();
  ASSERT_EQ(presentation.Count("SymbolBeams"), 1);
  const auto& beams = presentation.events[1];  // after the burst
  EXPECT_EQ(beams.what, "SymbolBeams");
  EXPECT_EQ(beams.index, 2);
  EXPECT_FLOAT_EQ(beams.x, 275.0f + 150.0f);
  EXPECT_FLOAT_EQ(beams.y, 76.0f + 250.0f);
  EXPECT_FLOAT_EQ(beams.toX, 460.0f);
  EXPECT_FLOAT_EQ(beams.toY, 16.0f);
  EXPECT_EQ(sound.PlayCount("letter.wav"), 1);
  EXPECT_EQ(presentation.DrawnCount("Beams"), 1);

  RunSeconds(0.6f);
  EXPECT_EQ(Scores().GetScore(), 0);
  RunSeconds(0.15f);
  EXPECT_EQ(Scores().GetScore(), 500);
  EXPECT_EQ(sound.PlayCount("buh.wav"), 1);
  std::vector<GameText> texts = presentation.Texts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].text, "Magic Symbol");
  EXPECT_FLOAT_EQ(texts[0].x, 460.0f);
  EXPECT_FLOAT_EQ(texts[0].y, 36.0f);
  EXPECT_EQ(texts[1].text, "+500");
  EXPECT_FLOAT_EQ(texts[1].riseSpeed, texts[0].riseSpeed);
  EXPECT_GE(texts[0].riseSpeed, 75.0f);
  EXPECT_LT(texts[0].riseSpeed, 125.0f);
  EXPECT_TRUE(board->Symbols().GetSlot(2).collected);
}

TEST_F(ScoringTest, SameSymbolTwicePaysTwiceAndStillNeedsTheOthers) {
  board->Symbols().Add(300, 300, 2);
  RunFlight();
  board->Symbols().Add(300, 300, 2);
  RunFlight();
  EXPECT_EQ(Scores().GetScore(), 1000);
  EXPECT_EQ(sound.PlayCount("super.wav"), 0);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(board->Symbols().GetSlot(i).collected, i == 2);
}

TEST_F(ScoringTest, SixthSymbolPaysFirstThenTheSetPaysInTheNextFrame) {
  for (int i = 0; i < 5; ++i) board->Symbols().Add(300, 300, i);
  RunFlight();
  EXPECT_EQ(Scores().GetScore(), 2500);
  board->Symbols().Add(300, 300, 5);
  int frames = 0;
  while (Scores().GetScore() < 3000 && frames++ < 100) RunFrame();
  EXPECT_EQ(Scores().GetScore(), 3000);  // the sixth symbol's 500 alone
  EXPECT_EQ(board->BlocksCleared(), 0);
  RunFrame();
  EXPECT_EQ(Scores().GetScore(), 18000);
  EXPECT_EQ(board->BlocksCleared(), 25);
  EXPECT_EQ(sound.PlayCount("super.wav"), 1);
  std::vector<GameText> texts = presentation.Texts();
  ASSERT_GE(texts.size(), 2u);
  EXPECT_EQ(texts[texts.size() - 2].text, "Chain of Magic Symbols");
  EXPECT_EQ(texts.back().text, "+15000");
  EXPECT_FLOAT_EQ(texts.back().green, 0.9f);
  for (int i = 0; i < 6; ++i) {
    EXPECT_FALSE(board->Symbols().GetSlot(i).collected);
    EXPECT_FALSE(board->Symbols().GetSlot(i).flying);
  }
  EXPECT_EQ(presentation.Count("BoxBurst"), 6 + 6);
  RunFrame();
  EXPECT_EQ(Scores().GetScore(), 18000);  // paid once
}

TEST_F(ScoringTest, SlotShowsItsSymbolFromArrivalUntilTheSetIsComplete) {
  auto slotShown = [&](int index) {
    for (const auto& drawn : presentation.drawn) {
      if (drawn.what == "Slot" && drawn.index == index) return drawn.flag;
    }
    ADD_FAILURE() << "slot " << index << " not drawn";
    return false;
  };
  board->Symbols().Add(300, 300, 4);
  RunSeconds(0.5f);
  EXPECT_FALSE(slotShown(4));
  EXPECT_EQ(presentation.DrawnCount("Beams"), 1);
  RunSeconds(0.3f);
  EXPECT_TRUE(slotShown(4));
  EXPECT_EQ(presentation.DrawnCount("Beams"), 0);
  RunSeconds(5.0f);
  EXPECT_TRUE(slotShown(4));
  EXPECT_FALSE(slotShown(3));
}

TEST_F(ScoringTest, OnlyVisiblePiecesCarryingASymbolShowTheirSphere) {
  board->PieceAt(1, 1)->SetLetter(0);
  board->PieceAt(2, 2)->SetLetter(3);
  board->PieceAt(2, 2)->Mark(0.01f);
  RunFrame();  // (2, 2) has exploded and lingers, invisible
  ASSERT_EQ(presentation.DrawnCount("Sphere"), 1);
  for (const auto& drawn : presentation.drawn) {
    if (drawn.what == "Sphere") {
      EXPECT_EQ(drawn.column, 1);
    }
  }
}

TEST_F(ScoringTest, OutOfRangeSymbolIsIgnored) {
  board->Symbols().Add(300, 300, 6);
  board->Symbols().Add(300, 300, -1);
  RunFlight();
  EXPECT_EQ(Scores().GetScore(), 0);
  EXPECT_EQ(sound.PlayCount("letter.wav"), 0);
}

TEST(DisplayedScoreTest, CountsFastThenSlowAndNeverOvershoots) {
  ScoreStore store;
  store.SetScore(0);
  store.AddScore(10000);
  float dt = 1.0f / 60.0f;
  int frames = 0;
  while (store.GetScore() - store.GetDisplayedScore() > 2000) {
    int before = store.GetDisplayedScore();
    store.UpdateDisplayedScore(dt);
    EXPECT_EQ(store.GetDisplayedScore() - before, 133);
    ++frames;
  }
  EXPECT_EQ(frames, 61);  // 8000 points at 133 per frame
  while (store.GetDisplayedScore() < store.GetScore()) {
    int before = store.GetDisplayedScore();
    store.UpdateDisplayedScore(dt);
    EXPECT_LE(store.GetDisplayedScore() - before, 16);
    EXPECT_LE(store.GetDisplayedScore(), 10000);
  }
  store.UpdateDisplayedScore(dt);
  EXPECT_EQ(store.GetDisplayedScore(), 10000);

  store.SetScore(500);
  EXPECT_EQ(store.GetDisplayedScore(), 500);
  store.AddScore(-400);  // the displayed score is above the score: clamped at once
  store.UpdateDisplayedScore(dt);
  EXPECT_EQ(store.GetDisplayedScore(), 100);
}

}  // namespace
}  // namespace tav
