// The Direct3D 8 back-end's own helpers: texel conversion into every texture format
// it may choose, the projection that must put pixels where OpenGL puts them, the
// vertex colour word, the error names in the log, and the padding of pictures for
// devices that take only power-of-two textures.
#include "render/d3d8/d3d8_helpers.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <utility>
#include <vector>

namespace tav {
namespace {

// The 16-bit or 32-bit little-endian word of texel `column` in row `row`.
uint32_t Texel(const std::vector<uint8_t>& texels, size_t pitch, int row, int column,
               int bytesPerTexel) {
  uint32_t word = 0;
  for (int i = 0; i < bytesPerTexel; ++i) {
    word |= static_cast<uint32_t>(texels[row * pitch + column * bytesPerTexel + i]) << (8 * i);
  }
  return word;
}

TEST(D3D8HelpersTest, PixelsBecomeTexelsOfEachFormatRowByRowIntoThePitch) {
  // Two rows of two B, G, R, A pixels; the top row first.
  const uint8_t pixels[] = {0x10, 0x20, 0xF0, 0x80, 0xFF, 0xFF, 0xFF, 0xFF,
                            0x00, 0x00, 0x00, 0x00, 0x0F, 0x7F, 0x08, 0x40};
  struct Expectation {
    D3DTextureFormat format;
    uint32_t topLeft, bottomRight;
  };
  const Expectation expectations[] = {
      {D3DTextureFormat::kA8R8G8B8, 0x80F02010u, 0x40087F0Fu},
      {D3DTextureFormat::kX8R8G8B8, 0xFFF02010u, 0xFF087F0Fu},
      {D3DTextureFormat::kA4R4G4B4, 0x8F21u, 0x4070u},
      {D3DTextureFormat::kR5G6B5, (0x1Eu << 11) | (0x08u << 5) | 0x02u,
       (0x01u << 11) | (0x1Fu << 5) | 0x01u},
  };
  for (const Expectation& expected : expectations) {
    const int bytes = BytesPerTexel(expected.format);
    const size_t pitch = 2 * bytes + 6;  // rows padded, as a locked texture may be
    std::vector<uint8_t> texels(pitch * 2, 0xAA);
    ConvertPixelsToTexels(pixels, 2, 2, 32, expected.format, texels.data(), pitch);
    EXPECT_EQ(Texel(texels, pitch, 0, 0, bytes), expected.topLeft);
    EXPECT_EQ(Texel(texels, pitch, 1, 1, bytes), expected.bottomRight);
    EXPECT_EQ(texels[2 * bytes], 0xAA) << "wrote into the row padding";
  }

  // A 24-bit picture has no alpha: its texels are opaque.
  const uint8_t rgb[] = {0x01, 0x02, 0x03};
  uint8_t texel[4] = {};
  ConvertPixelsToTexels(rgb, 1, 1, 24, D3DTextureFormat::kA8R8G8B8, texel, 4);
  EXPECT_EQ(texel[3], 0xFF);
  EXPECT_EQ(texel[2], 0x03);
}

// Where a game-space point lands on the Direct3D raster (whose pixel centres are
// at whole coordinates, rows counted from the top).
void ToRaster(const std::array<float, 16>& m, float x, float y, int width, int height,
              float* rasterX, float* rasterY) {
  const float ndcX = x * m[0] + y * m[4] + m[12];
  const float ndcY = x * m[1] + y * m[5] + m[13];
  *rasterX = (ndcX + 1.0f) * 0.5f * width;
  *rasterY = (1.0f - ndcY) * 0.5f * height;
}

TEST(D3D8HelpersTest, ProjectionPutsOpenGLPixelCentresOnDirect3DPixelCentres) {
  const std::array<float, 16> projection = ScreenProjection(800, 600);
  float x = 0, y = 0;
  // The centre of OpenGL's bottom-left pixel is (0.5, 0.5) in game space.
  ToRaster(projection, 0.5f, 0.5f, 800, 600, &x, &y);
  EXPECT_NEAR(x, 0.0f, 1e-3f);
  EXPECT_NEAR(y, 599.0f, 1e-3f);
  ToRaster(projection, 799.5f, 599.5f, 800, 600, &x, &y);
  EXPECT_NEAR(x, 799.0f, 1e-3f);
  EXPECT_NEAR(y, 0.0f, 1e-3f);

  // z from 0 to 1 stays 0 to 1; the plain matrix maps the corners onto -1..1.
  const std::array<float, 16> plain = OrthoOffCenterLH(0, 800, 0, 600, 0, 1);
  EXPECT_FLOAT_EQ(1.0f * plain[10] + plain[14], 1.0f);
  EXPECT_FLOAT_EQ(0.0f * plain[10] + plain[14], 0.0f);
  EXPECT_FLOAT_EQ(800 * plain[0] + plain[12], 1.0f);
  EXPECT_FLOAT_EQ(0 * plain[5] + plain[13], -1.0f);
}

TEST(D3D8HelpersTest, ProjectionOntoALargerBackBufferShiftsByHalfABackBufferPixel) {
  // The game's 800x600 units on the letterbox's own pixels, at a whole and at an
  // uneven enlargement: OpenGL's first and last pixel centres, converted to units,
  // land on Direct3D's.
  for (const auto& [width, height] : {std::pair{1600, 1200}, std::pair{1400, 1050}}) {
    SCOPED_TRACE(width);
    const std::array<float, 16> projection = ScreenProjection(800, 600, width, height);
    const float unitX = 800.0f / width, unitY = 600.0f / height;
    float x = 0, y = 0;
    ToRaster(projection, 0.5f * unitX, 0.5f * unitY, width, height, &x, &y);
    EXPECT_NEAR(x, 0.0f, 1e-2f);
    EXPECT_NEAR(y, height - 1.0f, 1e-2f);
    ToRaster(projection, 800.0f - 0.5f * unitX, 600.0f - 0.5f * unitY, width, height, &x, &y);
    EXPECT_NEAR(x, width - 1.0f, 1e-2f);
    EXPECT_NEAR(y, 0.0f, 1e-2f);
  }
  // At the game's own size it is the classic projection, to the bit.
  EXPECT_EQ(ScreenProjection(800, 600, 800, 600), ScreenProjection(800, 600));
}

TEST(D3D8HelpersTest, TwiceSizePicturesFitOnlyWhereTheirPaddedSizeFits) {
  EXPECT_TRUE(TextureFits(1600, 1200, false, false, 2048, 2048));
  EXPECT_TRUE(TextureFits(1600, 1200, false, false, 1600, 1200));
  EXPECT_FALSE(TextureFits(1600, 1200, false, false, 1024, 1024));
  // Padded to 2048 x 2048: a device of 2048 x 1600 takes the picture only unpadded.
  EXPECT_FALSE(TextureFits(1600, 1200, true, false, 2048, 1600));
  EXPECT_TRUE(TextureFits(1600, 1200, true, false, 2048, 2048));
  EXPECT_FALSE(TextureFits(1600, 1000, false, true, 2048, 1024));
}

TEST(D3D8HelpersTest, PaddedPicturesKeepTheirPixelsAndRepeatTheirEdges) {
  // 3 x 2, 24-bit: each pixel's blue byte is its number.
  const std::vector<uint8_t> pixels = {0, 0, 0, 1, 0, 0, 2, 0, 0,
                                       3, 0, 0, 4, 0, 0, 5, 0, 0};
  int width = 0, height = 0;
  std::vector<uint8_t> padded = PadToPowerOfTwo(pixels.data(), 3, 2, 24, false, &width, &height);
  ASSERT_EQ(width, 4);
  ASSERT_EQ(height, 2);
  const std::vector<uint8_t> rows = {0, 1, 2, 2, 3, 4, 5, 5};
  for (size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(padded[i * 3], rows[i]) << "pixel " << i;

  // Square devices: 3 x 2 becomes 4 x 4, the last row repeated below.
  padded = PadToPowerOfTwo(pixels.data(), 3, 2, 24, true, &width, &height);
  ASSERT_EQ(width, 4);
  ASSERT_EQ(height, 4);
  EXPECT_EQ(padded[(3 * 4 + 3) * 3], 5);
  EXPECT_EQ(NextPowerOfTwo(800), 1024);
  EXPECT_EQ(NextPowerOfTwo(64), 64);
}

TEST(D3D8HelpersTest, VertexColoursTruncateAndClampEachChannel) {
  EXPECT_EQ(VertexColour(1.0f, 0.5f, 0.0f, 1.0f), 0xFFFF7F00u);
  EXPECT_EQ(VertexColour(0.999f, 2.0f, -1.0f, 0.25f), 0x3FFEFF00u);
}

TEST(D3D8HelpersTest, ErrorCodesAreNamedForTheLog) {
  EXPECT_EQ(D3DErrorName(static_cast<int32_t>(0x8876086A)), "D3DERR_NOTAVAILABLE");
  EXPECT_EQ(D3DErrorName(0x88760868), "D3DERR_DEVICELOST");
  EXPECT_EQ(D3DErrorName(0x12345678), "Unrecognized error: 0x12345678");
}

}  // namespace
}  // namespace tav
