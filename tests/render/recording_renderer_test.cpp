// The recording renderer's TGA reading: sizes from the header, refused depths,
// truncated files and the row order it hands on.
#include <gtest/gtest.h>

#include "tests/render/render_test_support.h"

namespace tav::test {
namespace {

using RecordingRendererTest = RenderTest;

TEST_F(RecordingRendererTest, ReadsTgaSizeAndStoresRowsTopFirst) {
  // Top row blue 1, bottom row blue 2 (blue is the first byte of a TGA pixel).
  auto bytes = MakeTga(3, 2, 32, [](int, int y) { return Bgra{uint8_t(y + 1), 0, 0, 255}; });
  int width = 0, height = 0, bits = 0;
  RendererTexture texture;
  ASSERT_TRUE(renderer_.CreateTextureFromTga(bytes.data(), bytes.size(), &width, &height, &bits,
                                             texture));
  EXPECT_EQ(width, 3);
  EXPECT_EQ(height, 2);
  EXPECT_EQ(bits, 32);
  const RecordedTexture* recorded = renderer_.FindTexture(texture.glName);
  ASSERT_NE(recorded, nullptr);
  // Top row first, blue moved to the third byte.
  EXPECT_EQ(recorded->pixels[2], 1);
  EXPECT_EQ(recorded->pixels[3 * 4 + 2], 2);

  RendererTexture second;
  ASSERT_TRUE(renderer_.CreateTextureFromPixels(recorded->pixels.data(), 3, 2, 32, second));
  EXPECT_GT(second.glName, texture.glName);
  renderer_.DestroyTexture(texture);
  EXPECT_EQ(renderer_.LiveTextures().size(), 1u);
  EXPECT_EQ(renderer_.DestroyedTextureCount(), 1);
  EXPECT_EQ(texture.glName, 0u);
}

TEST_F(RecordingRendererTest, RefusesOtherDepthsAndShortFiles) {
  int width = 0, height = 0, bits = 0;
  RendererTexture texture;
  auto sixteen = MakeTga(2, 2, 16, [](int, int) { return Bgra{1, 2, 0, 0}; });
  EXPECT_FALSE(renderer_.CreateTextureFromTga(sixteen.data(), sixteen.size(), &width, &height,
                                              &bits, texture));
  EXPECT_EQ(bits, 16);
  EXPECT_NE(LogText().find("WARNING: Invalid image depth.\n"), std::string::npos);

  // The header promises 64x64 pixels; the file holds one row. A copy of the
  // bytes on the heap lets the address sanitizer catch any read past the end.
  auto full = MakeTga(64, 64, 32);
  std::vector<uint8_t> truncated(full.begin(), full.begin() + 18 + 64 * 4);
  EXPECT_FALSE(renderer_.CreateTextureFromTga(truncated.data(), truncated.size(), &width,
                                              &height, &bits, texture));
  std::vector<uint8_t> headerOnly(full.begin(), full.begin() + 10);
  EXPECT_FALSE(renderer_.CreateTextureFromTga(headerOnly.data(), headerOnly.size(), &width,
                                              &height, &bits, texture));
  EXPECT_EQ(renderer_.CreatedTextureCount(), 0);
}

}  // namespace
}  // namespace tav::test
