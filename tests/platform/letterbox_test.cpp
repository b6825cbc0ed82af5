// Fitting the 800x600 picture into other screens and mapping the mouse back.
#include "platform/letterbox.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/headless/headless_platform.h"
#include "platform/sdl/sdl_platform.h"

namespace tav {
namespace {

TEST(LetterboxTest, WideScreenGetsBarsLeftAndRight) {
  const LetterboxRect box = ComputeLetterbox(1920, 1080, 800, 600);
  EXPECT_EQ(box.x, 240);
  EXPECT_EQ(box.y, 0);
  EXPECT_EQ(box.width, 1440);
  EXPECT_EQ(box.height, 1080);

  int x = -1, y = -1;
  ScreenToGame(box, 800, 600, 960, 540, &x, &y);
  EXPECT_EQ(x, 400);
  EXPECT_EQ(y, 300);
  // The picture's corners.
  ScreenToGame(box, 800, 600, 240, 0, &x, &y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  ScreenToGame(box, 800, 600, 1679, 1079, &x, &y);
  EXPECT_EQ(x, 799);
  EXPECT_EQ(y, 599);
}

TEST(LetterboxTest, PointsOnTheBarsClampToTheNearestEdge) {
  const LetterboxRect box = ComputeLetterbox(1920, 1080, 800, 600);
  int x = -1, y = -1;
  ScreenToGame(box, 800, 600, 0, 540, &x, &y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 300);
  ScreenToGame(box, 800, 600, 1919, 1079, &x, &y);
  EXPECT_EQ(x, 799);
  EXPECT_EQ(y, 599);
  ScreenToGame(box, 800, 600, -50, -50, &x, &y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);

  const LetterboxRect tall = ComputeLetterbox(800, 1000, 800, 600);
  EXPECT_EQ(tall.y, 200);
  EXPECT_EQ(tall.height, 600);
  ScreenToGame(tall, 800, 600, 10, 100, &x, &y);
  EXPECT_EQ(y, 0);
  ScreenToGame(tall, 800, 600, 10, 900, &x, &y);
  EXPECT_EQ(y, 599);
}

TEST(LetterboxTest, GamePixelsSurviveTheRoundTrip) {
  for (const auto& [width, height] :
       {std::pair{1920, 1080}, {1366, 768}, {800, 600}, {1024, 1280}, {640, 480}, {3840, 1600}}) {
    const LetterboxRect box = ComputeLetterbox(width, height, 800, 600);
    // The aspect ratio is kept to within a pixel.
    EXPECT_LE(std::abs(box.width * 600 - box.height * 800), 800) << width << "x" << height;
    EXPECT_LE(box.x + box.width, width);
    EXPECT_LE(box.y + box.height, height);
    if (box.width < 800) continue;  // a smaller screen cannot show every game pixel
    for (int gx : {0, 1, 399, 400, 798, 799}) {
      for (int gy : {0, 300, 599}) {
        int sx = 0, sy = 0, x = -1, y = -1;
        GameToScreen(box, 800, 600, gx, gy, &sx, &sy);
        ScreenToGame(box, 800, 600, sx, sy, &x, &y);
        EXPECT_EQ(x, gx) << width << "x" << height;
        EXPECT_EQ(y, gy) << width << "x" << height;
      }
    }
  }
}

TEST(LetterboxTest, ViewportCountsFromTheBottomAndDegenerateScreensAreSafe) {
  const LetterboxRect box = ComputeLetterbox(800, 1001, 800, 600);
  const GameViewport viewport = ToViewport(box, 800, 1001);
  EXPECT_EQ(viewport.y, 1001 - (box.y + box.height));
  EXPECT_EQ(viewport.height, 600);

  const LetterboxRect empty = ComputeLetterbox(0, 0, 800, 600);
  EXPECT_EQ(empty.width, 0);
  int x = -1, y = -1;
  ScreenToGame(empty, 800, 600, 10, 10, &x, &y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  ScreenToGame(ComputeLetterbox(1, 100000, 800, 600), 800, 600, 0, 50000, &x, &y);
  EXPECT_GE(y, 0);
  EXPECT_LE(y, 599);
}

TEST(Utf8ToLettersTest, KeepsEveryLetterAndDropsBrokenSequences) {
  // a, e acute, euro sign, y diaeresis, emoji, Z with dot above, z.
  EXPECT_EQ(Utf8ToLetters("a\xC3\xA9\xE2\x82\xAC\xC3\xBF\xF0\x9F\x98\x80\xC5\xBBz"),
            (std::deque<int>{'a', 0xE9, 0x20AC, 0xFF, 0x1F600, 0x17B, 'z'}));
  // Stray continuation bytes, an overlong 'A', a sequence cut short by the end.
  EXPECT_EQ(Utf8ToLetters("\x80x\xC1\x81y\xC3"), (std::deque<int>{'x', 'y'}));
  // A lead byte followed by a plain character keeps the character.
  EXPECT_EQ(Utf8ToLetters("\xC3q"), (std::deque<int>{'q'}));
  EXPECT_TRUE(Utf8ToLetters("").empty());
}

TEST(PlatformPointerTest, HeadlessStandInUntilOneIsInstalled) {
  HeadlessPlatform mine;
  SetPlatform(&mine);
  EXPECT_EQ(&GetPlatform(), &mine);
  SetPlatform(nullptr);
  EXPECT_NE(&GetPlatform(), &mine);
  int x = -1, y = -1;
  GetPlatform().GetCursorPos(&x, &y);  // usable without any set-up
  EXPECT_EQ(x, 0);
}

}  // namespace
}  // namespace tav
