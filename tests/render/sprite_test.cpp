// Sprites: frame selection by time, restarting, and the quads of the plain,
// centred and rotated draws.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "base/log.h"
#include "render/sprite.h"
#include "render/texture_catalogue.h"
#include "tests/render/render_test_support.h"

namespace tav::test {
namespace {

class SpriteTest : public RenderTest {
 protected:
  // Index of the frame the last draw bound, counted from the action's first.
  int DrawnFrame(Sprite& sprite, const char* action = "Spin") {
    renderer_.ClearCalls();
    sprite.Draw(0, 0);
    auto draws = renderer_.Draws();
    if (draws.size() != 1) return -1;
    auto& frames = sprite.GetTexture()->FindAction(action)->frames;
    for (size_t i = 0; i < frames.size(); ++i)
      if (frames[i].glName == draws[0].boundTexture) return static_cast<int>(i);
    return -2;
  }
};

TEST_F(SpriteTest, EightFrameActionFollowsTheClock) {
  WriteDataFile("clock.spt", MakeSpt(2, 2, 32, {{"Spin", 8}, {"Still", 1}}, 0.04f));
  Sprite sprite;
  sprite.SetTexture("clock.spt");
  EXPECT_EQ(sprite.ActionName(), "Spin");
  EXPECT_EQ(sprite.FrameCount(), 8);
  EXPECT_EQ(DrawnFrame(sprite), 0);
  sprite.SetTime(0.04f);
  EXPECT_EQ(DrawnFrame(sprite), 1);
  sprite.SetTime(0.30f);
  EXPECT_EQ(DrawnFrame(sprite), 7);
  sprite.SetTime(0.32f);
  EXPECT_EQ(DrawnFrame(sprite), 0);

  // The clock runs with the frame clock, drawn or not.
  sprite.SetTime(0.0f);
  RunFrame(0.05f);
  EXPECT_FLOAT_EQ(sprite.Time(), 0.05f);
  EXPECT_EQ(DrawnFrame(sprite), 1);

  // The picture's settings go to the renderer with the frame.
  EXPECT_EQ(renderer_.CallsNamed("SetBlendMode").back().mode, kBlendNormal);
  EXPECT_EQ(renderer_.CallsNamed("SetFilter").back().mode, kFilterNearest);
  EXPECT_EQ(sprite.GetTexture()->currentActionName, "Spin");

  // Setting the action again, even the same one, restarts it.
  sprite.SetTime(0.13f);
  sprite.SetAction("Spin");
  EXPECT_EQ(sprite.Time(), 0.0f);
  EXPECT_EQ(DrawnFrame(sprite), 0);

  // A one-frame action shows its frame at any time; names ignore case.
  sprite.SetAction("STILL");
  sprite.SetTime(12.345f);
  EXPECT_EQ(DrawnFrame(sprite, "Still"), 0);
}

TEST_F(SpriteTest, MissingActionIsFatalAtDrawNotAtSet) {
  WriteDataFile("ball.tga", MakeTga(4, 4, 32));
  Sprite sprite;
  sprite.SetTexture("ball.tga");
  sprite.SetAction("Bounce");
  EXPECT_TRUE(LogText().find("ERROR") == std::string::npos);
  EXPECT_THROW(sprite.Draw(0, 0), FatalError);
  EXPECT_NE(LogText().find("ERROR: Action not found Bounce, ball.tga (debug).\n"),
            std::string::npos);
  EXPECT_EQ(renderer_.Draws().size(), 0u);

  // Without a texture nothing is drawn and nothing is reported.
  Sprite empty;
  renderer_.ClearCalls();
  empty.Draw(1, 1);
  empty.DrawCentered(1, 1);
  empty.DrawRotated(1, 1, 1);
  EXPECT_FALSE(empty.Bind());
  EXPECT_TRUE(renderer_.Calls().empty());
}

TEST_F(SpriteTest, PlainAndCentredDrawsUseTheHalfUnitShift) {
  WriteDataFile("bar.tga", MakeTga(65, 31, 24));
  Sprite sprite;
  sprite.SetTexture("bar.tga");
  sprite.Draw(10, 20, 2.0f, 0.5f, 0.1f, 0.2f, 0.3f);
  auto quad = renderer_.Draws().back();
  ASSERT_EQ(quad.vertices.size(), 4u);
  EXPECT_FLOAT_EQ(quad.vertices[0].x, 9.5f);
  EXPECT_FLOAT_EQ(quad.vertices[0].y, 20.5f);
  EXPECT_FLOAT_EQ(quad.vertices[2].x, 10 + 130 - 0.5f);
  EXPECT_FLOAT_EQ(quad.vertices[2].y, 20 + 62 + 0.5f);
  EXPECT_EQ(quad.vertices[0].v, 1.0f);  // bottom-left shows the picture's bottom row
  EXPECT_EQ(quad.vertices[3].v, 0.0f);
  EXPECT_EQ(quad.vertices[1].u, 1.0f);
  EXPECT_FLOAT_EQ(quad.alpha, 0.5f);
  EXPECT_FLOAT_EQ(quad.blue, 0.3f);

  // Odd sizes: half of 65 is 32, half of 31 is 15, whatever the scale.
  sprite.DrawCentered(100, 100, 3.0f);
  quad = renderer_.Draws().back();
  EXPECT_FLOAT_EQ(quad.vertices[0].x, 68 - 0.5f);
  EXPECT_FLOAT_EQ(quad.vertices[0].y, 85 + 0.5f);
}

TEST_F(SpriteTest, QuarterTurnSwapsWidthAndHeight) {
  WriteDataFile("arrow.tga", MakeTga(40, 20, 32));
  Sprite sprite;
  sprite.SetTexture("arrow.tga");
  sprite.DrawRotated(100, 200, std::numbers::pi_v<float> / 2);
  auto quad = renderer_.Draws().back();
  ASSERT_EQ(quad.vertices.size(), 4u);
  // Corners in order top-right, top-left, bottom-left, bottom-right of the picture.
  const float expected[4][4] = {{90, 220, 1, 0}, {90, 180, 0, 0}, {110, 180, 0, 1},
                                {110, 220, 1, 1}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(quad.vertices[i].x, expected[i][0], 1e-3) << i;
    EXPECT_NEAR(quad.vertices[i].y, expected[i][1], 1e-3) << i;
    EXPECT_EQ(quad.vertices[i].u, expected[i][2]) << i;
    EXPECT_EQ(quad.vertices[i].v, expected[i][3]) << i;
  }
  // Unturned and scaled: the plain rectangle around the centre, no half-unit shift.
  sprite.DrawRotated(0, 0, 0.0f, 0.5f);
  quad = renderer_.Draws().back();
  EXPECT_NEAR(quad.vertices[0].x, 10, 1e-4);
  EXPECT_NEAR(quad.vertices[0].y, 5, 1e-4);
  EXPECT_NEAR(quad.vertices[2].x, -10, 1e-4);
  EXPECT_NEAR(quad.vertices[2].y, -5, 1e-4);
}

}  // namespace
}  // namespace tav::test
