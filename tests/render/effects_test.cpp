// The effect primitives: the circular particle pool, particle fading, floating
// texts, the lightning bolt and random(x).
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "render/bitmap_font.h"
#include "render/effects.h"
#include "tests/render/render_test_support.h"

namespace tav::test {
namespace {

class EffectsTest : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    WriteDataFile("spark.tga", MakeTga(8, 4, 32));
    WriteDataFile("star.tga", MakeTga(2, 2, 32));
    WriteDataFile("moln2.tga", MakeTga(16, 16, 32));
  }
  void TearDown() override {
    SetRandomGenerator(nullptr);
    RenderTest::TearDown();
  }
};

TEST_F(EffectsTest, TheEmissionAfterAFullPoolOverwritesTheFirst) {
  auto pool = std::make_unique<ParticlePool>();
  for (int i = 0; i < ParticlePool::kCapacity; ++i)
    pool->Emit("spark.tga", static_cast<float>(i), 0, 1, 0, 0, 0, 100, 0, false, 0);
  EXPECT_EQ(pool->WriteIndex(), 0);
  EXPECT_EQ(pool->AliveCount(), ParticlePool::kCapacity);
  pool->Emit("star.tga", -1, -2, 1, 0, 0, 0, 100, 0, false, 0);
  EXPECT_EQ(pool->At(0).x, -1);
  EXPECT_EQ(pool->At(0).sprite.Width(), 2);
  EXPECT_EQ(pool->At(1).x, 1);
  EXPECT_EQ(pool->WriteIndex(), 1);
  EXPECT_EQ(pool->AliveCount(), ParticlePool::kCapacity);
  pool->Clear();
  EXPECT_EQ(pool->AliveCount(), 0);
  EXPECT_EQ(pool->WriteIndex(), 0);
}

TEST_F(EffectsTest, ParticleMovesFadesAndExpires) {
  auto pool = std::make_unique<ParticlePool>();
  // Lifetime 1, moving right at 40/s, falling under gravity 100, spinning.
  pool->Emit("spark.tga", 100, 100, 1, -2, 40, 0, 1.0f, 2.0f, true, 100);
  for (int frame = 0; frame < 5; ++frame) {
    RunFrame(0.05f);
    pool->Update();
  }
  const Particle& particle = pool->At(0);
  EXPECT_NEAR(particle.age, 0.25f, 1e-5);
  EXPECT_NEAR(particle.x, 110, 1e-3);
  EXPECT_NEAR(particle.angle, 0.5f, 1e-5);
  EXPECT_NEAR(particle.scale, 0.5f, 1e-5);
  EXPECT_LT(particle.y, 100);  // falls once gravity has built up speed
  EXPECT_NEAR(particle.vy, -25, 1e-3);

  renderer_.ClearCalls();
  pool->Draw();
  auto draws = renderer_.Draws();
  ASSERT_EQ(draws.size(), 1u);
  EXPECT_NEAR(draws[0].alpha, 0.75f, 1e-5);

  // Shrunk below zero it is still alive but no longer drawn.
  for (int frame = 0; frame < 10; ++frame) {
    RunFrame(0.05f);
    pool->Update();
  }
  EXPECT_TRUE(pool->At(0).alive);
  EXPECT_LT(pool->At(0).scale, 0);
  renderer_.ClearCalls();
  pool->Draw();
  EXPECT_TRUE(renderer_.Draws().empty());

  for (int frame = 0; frame < 6; ++frame) {
    RunFrame(0.05f);
    pool->Update();
  }
  EXPECT_FALSE(pool->At(0).alive);  // gone once its second is up
}

class FloatingTextTest : public EffectsTest {
 protected:
  void SetUp() override {
    EffectsTest::SetUp();
    // Every cell holds a glyph 3 columns wide: width 4, advance 5.
    WriteDataFile("font.tga", MakeTga(256, 256, 32, [](int x, int) {
      return Bgra{255, 255, 255, uint8_t(x % 16 < 3 ? 255 : 0)};
    }));
    font_.Load("font.tga");
    font_.SetMetrics(1, 5, 15);
    texts_ = std::make_unique<FloatingTextList>();
    texts_->SetFont(&font_);
  }
  BitmapFont font_;
  std::unique_ptr<FloatingTextList> texts_;
};

TEST_F(FloatingTextTest, TextsOf128CharactersAreDropped) {
  texts_->Add(std::string(128, 'x'), 0, 0, 0, 10, 1, 1, 1, 1, 0);
  EXPECT_EQ(texts_->AliveCount(), 0);
  EXPECT_EQ(texts_->WriteIndex(), 0);
  texts_->Add(std::string(127, 'x'), 0, 0, 0, 10, 1, 1, 1, 1, 0);
  EXPECT_EQ(texts_->AliveCount(), 1);
  EXPECT_EQ(texts_->At(0).Text(), std::string(127, 'x'));
}

TEST_F(FloatingTextTest, TextIsCentredMovedAndDrawnWithShadow) {
  // "AA" is 5 + 5 = 10 wide: the text starts 5 to the left of x.
  texts_->Add("AA", 100, 50, 20, 10, 0.5f, 1.0f, 0.5f, 0.0f, 100);
  const FloatingText& text = texts_->At(0);
  EXPECT_FLOAT_EQ(text.x, 95);
  RunFrame(0.05f);
  texts_->Update();
  EXPECT_NEAR(text.vy, 15, 1e-4);  // accelerated before moving
  EXPECT_NEAR(text.y, 50.75f, 1e-4);
  EXPECT_NEAR(text.x, 96, 1e-4);   // horizontal speed stays constant
  EXPECT_NEAR(text.vx, 20, 1e-6);

  renderer_.ClearCalls();
  texts_->Draw();
  auto draws = renderer_.Draws();
  ASSERT_EQ(draws.size(), 4u);  // shadow pass, then the coloured pass
  EXPECT_EQ(draws[0].red, 0.0f);
  EXPECT_NEAR(draws[0].vertices[0].x, 97, 1e-4);
  EXPECT_EQ(draws[2].red, 1.0f);
  EXPECT_FLOAT_EQ(draws[2].green, 0.5f);
  EXPECT_EQ(draws[2].alpha, 1.0f);

  // A text that does not move vertically is not accelerated either.
  texts_->Add("A", 0, 0, 0, 0, 0.5f, 1, 1, 1, 100);
  RunFrame(0.05f);
  texts_->Update();
  EXPECT_EQ(texts_->At(1).vy, 0.0f);

  for (int frame = 0; frame < 10; ++frame) {
    RunFrame(0.05f);
    texts_->Update();
  }
  EXPECT_EQ(texts_->AliveCount(), 0);
}

TEST_F(FloatingTextTest, ListWrapsAfter300) {
  for (int i = 0; i <= FloatingTextList::kCapacity; ++i)
    texts_->Add(std::to_string(i), 0, static_cast<float>(i), 0, 1, 10, 1, 1, 1, 0);
  EXPECT_EQ(texts_->At(0).Text(), "300");
  EXPECT_EQ(texts_->WriteIndex(), 1);
}

TEST_F(EffectsTest, TwoPointBoltIsOneStraightQuadWithFixedEnds) {
  LightningBolt bolt;
  bolt.Set("moln2.tga", 10, 20, 110, 20, 10, 10, 50, 2);
  ASSERT_EQ(bolt.Points().size(), 2u);
  EXPECT_NEAR(bolt.NormalX(), 0, 1e-6);
  EXPECT_NEAR(bolt.NormalY(), 1, 1e-6);
  for (int frame = 0; frame < 3; ++frame) {
    RunFrame(0.05f);
    renderer_.ClearCalls();
    bolt.Draw();
    auto draws = renderer_.Draws();
    ASSERT_EQ(draws.size(), 1u);
    const auto& v = draws[0].vertices;
    EXPECT_NEAR(v[0].x, 10, 1e-4);
    EXPECT_NEAR(v[0].y, 30, 1e-4);
    EXPECT_NEAR(v[1].x, 110, 1e-4);
    EXPECT_NEAR(v[1].y, 30, 1e-4);
    EXPECT_NEAR(v[2].y, 10, 1e-4);
    EXPECT_NEAR(v[3].x, 10, 1e-4);
    EXPECT_EQ(v[1].u, 1.0f);
    EXPECT_EQ(v[2].v, 1.0f);
  }
  // Fewer than two points are taken as two rather than dividing by zero.
  bolt.Set("moln2.tga", 0, 0, 0, 50, 10, 10, 50, 1);
  ASSERT_EQ(bolt.Points().size(), 2u);
  EXPECT_NEAR(bolt.Points()[1].y, 50, 1e-4);
}

TEST_F(EffectsTest, InnerBoltPointsTrembleAcrossTheLine) {
  LightningBolt bolt;
  bolt.Set("moln2.tga", 0, 0, 0, 90, 10, 10, 50, 4);
  ASSERT_EQ(bolt.Points().size(), 4u);
  EXPECT_NEAR(bolt.Points()[2].baseY, 60, 1e-3);
  for (const BoltPoint& point : bolt.Points()) {
    bool end = &point == &bolt.Points().front() || &point == &bolt.Points().back();
    // (random(1000) * 0.001 + 1) * k * amplitude / 2 with k 0.2 at the ends.
    EXPECT_GE(point.amplitude, end ? 1.0f : 5.0f);
    EXPECT_LT(point.amplitude, end ? 2.0f : 10.0f);
  }
  RunFrame(0.05f);
  bolt.Draw();
  EXPECT_EQ(renderer_.Draws().size(), 3u);
  for (size_t i = 1; i < 3; ++i) {
    const BoltPoint& point = bolt.Points()[i];
    EXPECT_EQ(point.y, point.baseY);  // a vertical bolt trembles sideways only
    EXPECT_LE(std::fabs(point.x - point.baseX), point.amplitude + 1e-4f);
  }
  EXPECT_EQ(bolt.Points()[3].x, 0.0f);
}

int fixedDraw = 0;
int FixedGenerator() { return fixedDraw; }

TEST_F(EffectsTest, RandomMixesTicksAndGenerator) {
  SetRandomGenerator(FixedGenerator);
  time_.milliTicks = 12345;  // 2345 after mod 5000
  fixedDraw = 1000;         // modulus 2345 + 1000 + 8000 = 11345
  EXPECT_FLOAT_EQ(Random(11345.0f), 1000.0f);
  fixedDraw = 20000;  // modulus 2345 + 0 + 8000; 20000 mod 10345 = 9655
  EXPECT_FLOAT_EQ(Random(1.0f), 9655.0f / 10345.0f);
  SetRandomGenerator(nullptr);
  for (int i = 0; i < 1000; ++i) {
    float value = Random(2.0f);
    EXPECT_GE(value, 0.0f);
    EXPECT_LT(value, 2.0f);
  }
}

}  // namespace
}  // namespace tav::test
