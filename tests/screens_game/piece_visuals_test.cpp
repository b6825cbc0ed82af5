// The piece visuals through the recording renderer: where pieces, flares and
// halos land (also mid-fall), the burst's debris, the link bolts a real board
// asks for, the lightning blast, the progress bar and the floating texts.
#include "screens/piece_visuals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "base/frame_clock.h"
#include "game/board.h"
#include "render/effects.h"
#include "render/texture_catalogue.h"
#include "tests/screens_game/game_screen_test_support.h"

namespace tav::test {
namespace {

class PieceVisualsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ParticlePool::Instance().Clear();
    FloatingTextList::Instance().Clear();
    SetPresentation(&visuals_);
    Recorder().ClearCalls();
  }
  void TearDown() override {
    board_.reset();
    SetPresentation(nullptr);
    SetRandomGenerator(nullptr);
    ParticlePool::Instance().Clear();
    FloatingTextList::Instance().Clear();
  }

  // A board with no pieces but those put in.
  Board& EmptyBoard() {
    board_ = std::make_unique<Board>();
    return *board_;
  }
  Piece& Put(int column, int row, int kind, int direction, float fallHeight = 0.0f) {
    std::unique_ptr<Piece> piece = CreatePiece(kind);
    piece->Reset();
    piece->SetDirection(direction);
    piece->SetFallHeight(fallHeight);
    Piece& placed = *piece;
    board_->PlacePiece(column, row, std::move(piece));
    return placed;
  }
  std::vector<const Particle*> LiveParticles() const {
    std::vector<const Particle*> live;
    for (int i = 0; i < ParticlePool::kCapacity; ++i) {
      if (ParticlePool::Instance().At(i).alive) live.push_back(&ParticlePool::Instance().At(i));
    }
    return live;
  }
  static bool Shows(const Particle& particle, const std::string& picture) {
    return particle.sprite.GetTexture() == &TextureCatalogue::Instance().Get(picture);
  }

  PieceVisuals visuals_;
  std::unique_ptr<Board> board_;
};

TEST_F(PieceVisualsTest, PieceAndFlareDrawAtTheFallingHeight) {
  EmptyBoard();
  Piece& bomb = Put(2, 3, kBlueBombArrow, kRight, 120.0f);
  visuals_.DrawPiece(bomb);
  auto arrows = DrawsOf("sterlkab_r_blue.tga");
  ASSERT_EQ(arrows.size(), 1u);
  // Bottom-left corner at the cell raised by the fall height (the half-unit shift).
  EXPECT_FLOAT_EQ(arrows[0].vertices[0].x, 350.0f - 0.5f);
  EXPECT_FLOAT_EQ(arrows[0].vertices[0].y, 200.0f + 120.0f + 0.5f);
  auto flares = DrawsOf("bomb_flare.tga");
  ASSERT_EQ(flares.size(), 1u);
  EXPECT_NEAR(CentreX(flares[0]), 374.0f, 1.0f);
  EXPECT_NEAR(CentreY(flares[0]), 225.0f + 120.0f, 1.0f);
  EXPECT_FLOAT_EQ(flares[0].alpha, 0.7f);
}

TEST_F(PieceVisualsTest, HaloDrawsAtTheFallingHeight) {
  EmptyBoard();
  Piece& piece = Put(4, 1, kRedArrow, kUp, 60.0f);
  visuals_.DrawSymbolSphere(piece);
  for (const char* picture : {"letter_sphere.tga", "letter_sphere1.tga"}) {
    auto halo = DrawsOf(picture);
    ASSERT_EQ(halo.size(), 1u) << picture;
    EXPECT_NEAR(CentreX(halo[0]), 474.0f, 1.0f) << picture;
    EXPECT_NEAR(CentreY(halo[0]), 125.0f + 60.0f, 1.0f) << picture;
    EXPECT_FLOAT_EQ(halo[0].alpha, 0.3f);
  }
}

TEST_F(PieceVisualsTest, OnlyBombAndLightningArrowsGetAFlare) {
  EmptyBoard();
  visuals_.DrawPiece(Put(0, 0, kBlueArrow, kUp));
  visuals_.DrawPiece(Put(1, 0, kRgbArrow, kUp));
  visuals_.DrawPiece(Put(2, 0, kNoArrow, kUp));
  EXPECT_TRUE(DrawsOf("bomb_flare.tga").empty());
  EXPECT_TRUE(DrawsOf("moln_flare.tga").empty());
  visuals_.DrawPiece(Put(3, 0, kLightningArrow, kUp));
  EXPECT_EQ(DrawsOf("moln_flare.tga").size(), 1u);
  EXPECT_EQ(Recorder().Draws().size(), 5u);
}

// With the tick count at 0, Random(200) draws a modulus of 8000 + first % 2000
// and returns (second % modulus) * 200 / modulus. The first ten draws come out
// as exactly 100 (a throw of 0, straight up), then as 0 (a throw of -100).
int g_draws = 0;
class TicksAtZero : public TimeSource {
 public:
  bool QueryFrequency(uint64_t*) override { return false; }
  uint64_t QueryCounter() override { return 0; }
  uint32_t MilliTicks() override { return 0; }
};
int StraightUpFirst() {
  ++g_draws;
  if (g_draws > 20) return 0;
  return g_draws % 2 == 1 ? 0 : 4000;
}

TEST_F(PieceVisualsTest, BurstDebrisIsNeverThrownStraightUp) {
  EmptyBoard();
  Piece& piece = Put(5, 5, kBlueArrow, kUp);
  for (int seed = 0; seed < 200; ++seed) {
    std::srand(static_cast<unsigned>(seed));
    ParticlePool::Instance().Clear();
    visuals_.Burst(piece);
    bool found = false;
    for (const Particle* particle : LiveParticles()) {
      if (!Shows(*particle, "blue_strelka_particle1.tga")) continue;
      found = true;
      EXPECT_GE(std::fabs(particle->vx), 60.0f) << "seed " << seed;
      EXPECT_FLOAT_EQ(particle->vy, 300.0f);
    }
    EXPECT_TRUE(found);
  }
  // A generator that first lands on the forbidden middle is asked again.
  TicksAtZero ticksAtZero;
  SetTimeSource(&ticksAtZero);
  g_draws = 0;
  SetRandomGenerator(StraightUpFirst);
  EXPECT_FLOAT_EQ(PieceVisuals::DebrisThrow(), -100.0f);
  EXPECT_EQ(g_draws, 22);
  SetTimeSource(nullptr);
}

TEST_F(PieceVisualsTest, BurstThrowsTheKindsDebrisRingAndStars) {
  EmptyBoard();
  visuals_.Burst(Put(1, 2, kRedBombArrow, kLeft));
  auto live = LiveParticles();
  // Outline, two debris, ring, eight stars.
  ASSERT_EQ(live.size(), 12u);
  int stars = 0;
  for (const Particle* particle : live) {
    if (Shows(*particle, "zvezda.tga")) {
      ++stars;
      EXPECT_NEAR(std::hypot(particle->vx, particle->vy), 100.0f, 0.01f);
      EXPECT_FLOAT_EQ(particle->x, 325.0f);
      EXPECT_FLOAT_EQ(particle->y, 175.0f);
    }
  }
  EXPECT_EQ(stars, 8);
  EXPECT_EQ(std::count_if(live.begin(), live.end(),
                          [](const Particle* p) { return Shows(*p, "kolco.tga"); }),
            1);
  EXPECT_EQ(std::count_if(live.begin(), live.end(),
                          [](const Particle* p) { return Shows(*p, "red_strelka_particle2.tga"); }),
            1);
  const Particle* outline = nullptr;
  for (const Particle* p : live) {
    if (Shows(*p, "sterlka_l.tga")) outline = p;
  }
  ASSERT_NE(outline, nullptr);
  EXPECT_FLOAT_EQ(outline->x, 332.0f);
  EXPECT_FLOAT_EQ(outline->y, 182.0f);
  EXPECT_FLOAT_EQ(outline->lifetime, 0.75f);

  // A lightning arrow adds the green third debris and has no ring.
  ParticlePool::Instance().Clear();
  visuals_.Burst(Put(3, 3, kLightningArrow, kUp));
  live = LiveParticles();
  ASSERT_EQ(live.size(), 12u);
  EXPECT_EQ(std::count_if(live.begin(), live.end(),
                          [](const Particle* p) { return Shows(*p, "kolco.tga"); }),
            0);
  EXPECT_EQ(
      std::count_if(live.begin(), live.end(),
                    [](const Particle* p) { return Shows(*p, "green_strelka_particle2.tga"); }),
      1);
}

// The bolt quads drawn with the link picture, as their centres.
std::vector<std::pair<float, float>> LinkBoltCentres() {
  std::vector<std::pair<float, float>> centres;
  for (const RecordedCall& quad : DrawsOf("moln3.tga")) {
    centres.emplace_back(CentreX(quad), CentreY(quad));
  }
  return centres;
}

TEST_F(PieceVisualsTest, VerticalLinkBoltsOnlyForLandedArrowsPointingAlongThePair) {
  Board& board = EmptyBoard();
  Put(3, 4, kBlueArrow, kUp);
  Put(3, 5, kBlueArrow, kUp);
  board.DrawLinks();
  auto centres = LinkBoltCentres();
  ASSERT_FALSE(centres.empty());
  for (auto [x, y] : centres) {
    EXPECT_NEAR(x, 274.0f + 150.0f, 8.0f);
    EXPECT_GE(y, 92.0f + 200.0f - 8.0f);
    EXPECT_LE(y, 110.0f + 200.0f + 8.0f);
  }

  // The same pair pointing left links but lies across its direction: nothing.
  board.PieceAt(3, 4)->SetDirection(kLeft);
  board.PieceAt(3, 5)->SetDirection(kLeft);
  Recorder().ClearCalls();
  board.DrawLinks();
  EXPECT_TRUE(LinkBoltCentres().empty());

  // Pointing up again but the lower one still falling: nothing.
  board.PieceAt(3, 4)->SetDirection(kUp);
  board.PieceAt(3, 5)->SetDirection(kUp);
  board.PieceAt(3, 4)->SetFallHeight(30.0f);
  Recorder().ClearCalls();
  board.DrawLinks();
  EXPECT_TRUE(LinkBoltCentres().empty());
}

TEST_F(PieceVisualsTest, HorizontalLinkBoltsBridgeTheGapToTheRight) {
  Board& board = EmptyBoard();
  Put(6, 2, kGreenArrow, kRight);
  Put(7, 2, kGreenBombArrow, kRight);
  Put(6, 7, kGreenArrow, kRight);
  Put(7, 7, kRedArrow, kRight);  // does not match: no link
  board.DrawLinks();
  auto centres = LinkBoltCentres();
  ASSERT_FALSE(centres.empty());
  for (auto [x, y] : centres) {
    EXPECT_GE(x, 290.0f + 300.0f - 8.0f);
    EXPECT_LE(x, 307.0f + 300.0f + 8.0f);
    EXPECT_NEAR(y, 175.0f, 8.0f);
  }
}

TEST_F(PieceVisualsTest, LightningBlastSpansItsRowFromItsCell) {
  EmptyBoard();
  Piece& arrow = Put(4, 6, kLightningArrow, kRight);
  visuals_.DrawLightningBlast(arrow);
  EXPECT_TRUE(DrawsOf("moln.tga").empty()) << "no blast before one was started";
  visuals_.StartLightningBlast(arrow, true, {268.0f, 375.0f}, {720.0f, 375.0f});
  visuals_.DrawLightningBlast(arrow);
  auto quads = DrawsOf("moln.tga");
  // Two bolts of 25 points: 24 segments each.
  ASSERT_EQ(quads.size(), 48u);
  float left = 1e9f, right = -1e9f;
  for (const RecordedCall& quad : quads) {
    for (const Vertex& v : quad.vertices) {
      left = std::min(left, v.x);
      right = std::max(right, v.x);
      EXPECT_NEAR(v.y, 375.0f, 15.0f + 12.0f + 1.0f);
    }
  }
  EXPECT_NEAR(left, 268.0f, 1.0f);
  EXPECT_NEAR(right, 720.0f, 1.0f);
}

TEST_F(PieceVisualsTest, LightningBlastShowsOnlyBetweenExplosionAndDeath) {
  Board& board = EmptyBoard();
  Put(4, 6, kLightningArrow, kRight);
  board.PieceAt(4, 6)->Mark(0.3f);
  const Piece& arrow = *board.PieceAt(4, 6);
  int waitingFrames = 0, blastFrames = 0, deadFrames = 0;
  for (int frame = 0; frame < 40; ++frame) {
    Recorder().ClearCalls();
    board.Frame();
    // An empty board refills nothing, so the dead arrow keeps its cell.
    ASSERT_EQ(board.PieceAt(4, 6), &arrow);
    const bool drawn = !DrawsOf("moln.tga").empty();
    if (arrow.IsVisible()) {
      EXPECT_FALSE(drawn) << "blast drawn while waiting, frame " << frame;
      ++waitingFrames;
    } else if (arrow.IsAlive()) {
      EXPECT_TRUE(drawn) << "no blast after the explosion, frame " << frame;
      ++blastFrames;
    } else {
      EXPECT_FALSE(drawn) << "blast drawn after death, frame " << frame;
      ++deadFrames;
    }
  }
  EXPECT_GE(waitingFrames, 5);  // 0.3 s at 0.05 s a frame
  EXPECT_GE(blastFrames, 13);   // 0.7 s
  EXPECT_GT(deadFrames, 0);
}

TEST_F(PieceVisualsTest, ProgressBarFillsUpwardWithoutStretching) {
  visuals_.DrawProgress(0.25, 0.0f);
  auto full = DrawsOf("Indicator2.tga");
  ASSERT_EQ(full.size(), 1u);
  const auto& v = full[0].vertices;
  EXPECT_FLOAT_EQ(v[0].y, 40.0f);
  EXPECT_FLOAT_EQ(v[2].y, 40.0f + 512.0f * 0.25f);
  // The bottom quarter of the picture: bottom row at the bottom, v = 0.75 on top.
  EXPECT_FLOAT_EQ(v[0].v, 1.0f);
  EXPECT_FLOAT_EQ(v[2].v, 0.75f);
  auto flare = DrawsOf("flare.tga");
  ASSERT_EQ(flare.size(), 1u);
  EXPECT_NEAR(CentreX(flare[0]), 782.0f, 1.0f);
  EXPECT_NEAR(CentreY(flare[0]), 168.0f, 1.0f);
  ASSERT_EQ(DrawsOf("Indicator1.tga").size(), 1u);
  EXPECT_FLOAT_EQ(DrawsOf("Indicator1.tga")[0].vertices[2].y, 552.0f);
}

TEST_F(PieceVisualsTest, GameTextsRiseStraightUpCentredOnTheirPoint) {
  GameText text{"+100", 400.0f, 300.0f, 75.0f, 6.0f, 1.0f, 1.0f, 0.0f, 80.0f};
  visuals_.AddText(text);
  const FloatingText& added = FloatingTextList::Instance().At(0);
  ASSERT_TRUE(added.alive);
  EXPECT_EQ(added.Text(), "+100");
  EXPECT_FLOAT_EQ(added.vx, 0.0f);
  EXPECT_FLOAT_EQ(added.vy, 75.0f);
  EXPECT_FLOAT_EQ(added.blue, 0.0f);
  EXPECT_LT(added.x, 400.0f);  // its left edge, half the text's width to the left

  visuals_.ClearEffects();
  EXPECT_EQ(FloatingTextList::Instance().AliveCount(), 0);
}

}  // namespace
}  // namespace tav::test
