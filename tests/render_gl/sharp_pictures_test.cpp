// The same scene drawn both ways on a 1600x1200 screen (inside a virtual X server):
// classic, at 800x600 with the game's own pictures and enlarged, and sharp, at the
// screen's size with twice-size pictures. The pictures are drawn here from one shape
// at both sizes (a piece's disc and a letter's bar, each edge a partly covered pixel),
// so that, reduced to 800x600, both frames must agree, while the sharp frame's edges
// must be at most half as wide.
#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "base/log.h"
#include "render/bitmap_font.h"
#include "render/sprite.h"
#include "render/texture_catalogue.h"
#include "tests/support/gl_frame.h"
#include "tests/support/temp_game_folder.h"
#include "tests/support/tga_bytes.h"
#include "tools/pkgtool/package_writer.h"

namespace tav {
namespace {

using test::Bgra;
using test::MakeTga;

// Alpha of a shape given by its coverage test, at `scale` picture pixels per game unit,
// from 8x8 samples per pixel: the same shape at both sizes.
std::vector<uint8_t> ShapePicture(int width, int height, int scale,
                                  const std::function<bool(double, double)>& inside) {
  return MakeTga(width * scale, height * scale, 32, [&](int x, int yFromTop) {
    int covered = 0;
    for (int sy = 0; sy < 8; ++sy) {
      for (int sx = 0; sx < 8; ++sx) {
        const double gx = (x + (sx + 0.5) / 8.0) / scale;
        const double gy = (yFromTop + (sy + 0.5) / 8.0) / scale;
        covered += inside(gx, gy) ? 1 : 0;
      }
    }
    return Bgra{255, 255, 255, static_cast<uint8_t>(std::lround(covered * 255.0 / 64.0))};
  });
}

// A piece: a disc whose left and right edges fall inside a pixel.
bool InPiece(double x, double y) { return std::hypot(x - 20.0, y - 20.0) <= 14.6; }
// A cell: a square on whole pixels, off the picture's centre.
bool InCell(double x, double y) { return x >= 10 && x < 30 && y >= 8 && y < 20; }
// The font: every cell of 16 holds a bar from 2 to 5.25, a little more than its cells'
// left quarter, on the rows 2 to 14.
bool InLetter(double x, double y) {
  const double cx = std::fmod(x, 16.0), cy = std::fmod(y, 16.0);
  return cx >= 2.0 && cx <= 5.25 && cy >= 2.0 && cy <= 14.0;
}

void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// Grey levels of the letterbox, bottom row first.
struct Frame {
  int width = 0;
  int height = 0;
  std::vector<double> grey;
  double At(int x, int y) const { return grey[static_cast<size_t>(y) * width + x]; }
};

class SharpPicturesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.Create("sharp_pictures"));
    folder_.StartLog();
    SetErrorsRaise(true);
    WriteFile(folder_.Data() / "piece.tga", ShapePicture(40, 40, 1, InPiece));
    WriteFile(folder_.Data() / "cell.tga", ShapePicture(40, 40, 1, InCell));
    WriteFile(folder_.Data() / "font.tga", ShapePicture(256, 256, 1, InLetter));
    const auto sharp = folder_.Path() / "sharp";
    std::filesystem::create_directories(sharp);
    WriteFile(sharp / "piece.tga", ShapePicture(40, 40, 2, InPiece));
    WriteFile(sharp / "cell.tga", ShapePicture(40, 40, 2, InCell));
    WriteFile(sharp / "font.tga", ShapePicture(256, 256, 2, InLetter));
    std::string error;
    ASSERT_TRUE(WritePackage((folder_.Data() / "data@2x.pkg").string(),
                             {(sharp / "piece.tga").string(), (sharp / "cell.tga").string(),
                              (sharp / "font.tga").string()},
                             &error))
        << error;
    window_.Open(3);
    TextureCatalogue::Instance().SetSharpPackage((folder_.Data() / "data@2x.pkg").string());
    ASSERT_TRUE(TextureCatalogue::Instance().SharpSetPresent());
    font_.Load("font.tga");
    piece_.SetTexture("piece.tga");
    cell_.SetTexture("cell.tga");
  }

  void TearDown() override {
    font_.Release();
    TextureCatalogue::Instance().UsePictureScale(1);
    TextureCatalogue::Instance().SetSharpPackage("");
    TextureCatalogue::Instance().Clear();
    window_.Close();
  }

  // Draws the scene in `mode` and reads the composed letterbox back.
  Frame Draw(PictureMode mode) {
    const int scale = mode == PictureMode::kSharp ? 2 : 1;
    TextureCatalogue::Instance().UsePictureScale(scale);
    font_.UsePictureScale(scale);
    window_.renderer->SetPictureMode(mode);
    window_.DrainEvents();
    GLRenderer& renderer = *window_.renderer;
    renderer.BeginScene();
    renderer.Clear(0.1f, 0.1f, 0.3f);
    piece_.Draw(300, 300);
    cell_.Draw(200, 300);
    font_.SetColor(1, 1, 1, 1);
    font_.PrintText(400, 200, "AAAA");
    renderer.ComposeFrame();
    glFinish();
    const GameViewport box = renderer.PictureViewport();
    Frame frame;
    frame.width = box.width;
    frame.height = box.height;
    std::vector<uint8_t> rgb(static_cast<size_t>(box.width) * box.height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(box.x, box.y, box.width, box.height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    for (size_t i = 0; i < rgb.size(); i += 3) {
      frame.grey.push_back((rgb[i] + rgb[i + 1] + rgb[i + 2]) / 3.0);
    }
    renderer.EndFrame();
    return frame;
  }

  test::TempGameFolder folder_;
  test::GlTestWindow window_;
  BitmapFont font_;
  Sprite piece_;
  Sprite cell_;
};

// The mean of each 2x2 block: a 1600x1200 frame as an 800x600 one.
Frame Reduce(const Frame& frame) {
  Frame reduced;
  reduced.width = frame.width / 2;
  reduced.height = frame.height / 2;
  for (int y = 0; y < reduced.height; ++y) {
    for (int x = 0; x < reduced.width; ++x) {
      reduced.grey.push_back((frame.At(2 * x, 2 * y) + frame.At(2 * x + 1, 2 * y) +
                              frame.At(2 * x, 2 * y + 1) + frame.At(2 * x + 1, 2 * y + 1)) /
                             4.0);
    }
  }
  return reduced;
}

// The pixels of row `y` from `x0` to `x1` whose level lies strictly between 10 % and
// 90 % of the way from the level at x0 to the level at x1: the width of the edge's ramp.
int RampWidth(const Frame& frame, int y, int x0, int x1) {
  const double from = frame.At(x0, y), to = frame.At(x1, y);
  int width = 0;
  for (int x = std::min(x0, x1); x <= std::max(x0, x1); ++x) {
    const double share = (frame.At(x, y) - from) / (to - from);
    if (share > 0.1 && share < 0.9) ++width;
  }
  return width;
}

TEST_F(SharpPicturesTest, BothWaysAgreeAtTheGamesSizeAndSharpEdgesAreAtMostHalfAsWide) {
  const Frame classic = Draw(PictureMode::kClassic);
  const Frame sharp = Draw(PictureMode::kSharp);
  ASSERT_EQ(classic.width, 1600) << "the screen is 1600x1200";
  ASSERT_EQ(sharp.width, classic.width);
  ASSERT_EQ(sharp.height, classic.height);

  // Reduced to 800x600 the frames agree: the text exactly (within a level), as its
  // quads leave nothing to round; over the whole frame the mean difference stays under
  // 0.025 levels of 255 and at most 0.025 % of the pixels differ by more than 12: the
  // rows and columns of the pictures' edges that the classic drawing's rounding of
  // texel edges puts one pixel off (the cell comes out one column wider there).
  const Frame small = Reduce(sharp), expected = Reduce(classic);
  double textWorst = 0.0, total = 0.0;
  size_t far = 0;
  for (int y = 0; y < small.height; ++y) {
    for (int x = 0; x < small.width; ++x) {
      const double difference = std::abs(small.At(x, y) - expected.At(x, y));
      total += difference;
      if (difference > 12.0) ++far;
      if (x >= 395 && x < 440 && y >= 195 && y < 225) textWorst = std::max(textWorst, difference);
    }
  }
  EXPECT_LE(textWorst, 1.0);
  // (A sprite put half a pixel off in the sharp mode doubles both.)
  EXPECT_LE(total / small.grey.size(), 0.025);
  EXPECT_LE(far, small.grey.size() / 4000);
  std::printf("reduced: mean difference %.4f, %zu pixels over 12, text worst %.1f\n",
              total / small.grey.size(), far, textWorst);

  // Across the piece's left edge (game x about 305, through its middle row) and a
  // letter's right edge (game x about 405, halfway up the line).
  const int pieceRow = 2 * 320, letterRow = 2 * 208;
  const int classicPiece = RampWidth(classic, pieceRow, 2 * 296, 2 * 312);
  const int sharpPiece = RampWidth(sharp, pieceRow, 2 * 296, 2 * 312);
  const int classicLetter = RampWidth(classic, letterRow, 2 * 402, 2 * 406);
  const int sharpLetter = RampWidth(sharp, letterRow, 2 * 402, 2 * 406);
  std::printf("edge ramps in screen pixels: piece %d classic, %d sharp; letter %d, %d\n",
              classicPiece, sharpPiece, classicLetter, sharpLetter);
  EXPECT_GE(classicPiece, 2);
  EXPECT_LE(2 * sharpPiece, classicPiece);
  EXPECT_GE(classicLetter, 2);
  EXPECT_LE(2 * sharpLetter, classicLetter);
}

}  // namespace
}  // namespace tav
