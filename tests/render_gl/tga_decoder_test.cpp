// TGA decoding: byte order and row order of good files, and refusal of damaged
// ones without reading past the given bytes (these run under the sanitizers).
#include "render/tga_decoder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/log.h"
#include "platform/headless/headless_platform.h"
#include "render/gl/gl_renderer.h"
#include "tests/support/temp_game_folder.h"
#include "tests/support/tga_bytes.h"

namespace tav {
namespace {

using test::Bgra;
using test::MakeTga;
using test::ReadLog;

class TgaDecoderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A folder of each test's own: tests run in parallel processes, and each one
    // reads back the log it started.
    const auto directory = std::filesystem::path(TAV_BINARY_DIR) / "tests" / "tga_test" /
                           ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::filesystem::create_directories(directory);
    LogStart(directory.string());
    SetErrorsRaise(true);
  }
};

TEST_F(TgaDecoderTest, TwentyFourBitPictureComesOutRgbTopRowFirst) {
  // Top row: blue-ish, red-ish; bottom row: green, white.
  const auto file = MakeTga(2, 2, 24,
                            {{200, 1, 2, 0}, {3, 4, 250, 0}, {5, 240, 6, 0}, {255, 255, 255, 0}});
  DecodedImage image;
  ASSERT_TRUE(DecodeTga(file.data(), file.size(), &image));
  EXPECT_EQ(image.width, 2);
  EXPECT_EQ(image.height, 2);
  EXPECT_EQ(image.bitsPerPixel, 24);
  const std::vector<uint8_t> expected = {2, 1, 200, 250, 4, 3, 6, 240, 5, 255, 255, 255};
  EXPECT_EQ(image.pixels, expected);
}

TEST_F(TgaDecoderTest, ThirtyTwoBitPictureKeepsAlphaFourth) {
  const auto file = MakeTga(1, 2, 32, {{10, 20, 30, 40}, {50, 60, 70, 80}});
  DecodedImage image;
  ASSERT_TRUE(DecodeTga(file.data(), file.size(), &image));
  EXPECT_EQ(image.pixels, (std::vector<uint8_t>{30, 20, 10, 40, 70, 60, 50, 80}));
}

TEST_F(TgaDecoderTest, TopFirstDescriptorIsIgnoredAndTrailingBytesAreHarmless) {
  auto file = MakeTga(1, 2, 24, {{1, 1, 1, 0}, {2, 2, 2, 0}}, /*descriptor=*/0x20);
  file.insert(file.end(), {9, 9, 9, 9});
  DecodedImage image;
  ASSERT_TRUE(DecodeTga(file.data(), file.size(), &image));
  EXPECT_EQ(image.pixels, (std::vector<uint8_t>{1, 1, 1, 2, 2, 2}));
}

TEST_F(TgaDecoderTest, EightAndSixteenBitPicturesAreRefusedWithTheirSizeReported) {
  for (int bits : {8, 16, 15, 0, 255}) {
    std::vector<uint8_t> file(18 + 64, 0);
    file[12] = 4;
    file[14] = 4;
    file[16] = static_cast<uint8_t>(bits);
    DecodedImage image;
    EXPECT_FALSE(DecodeTga(file.data(), file.size(), &image)) << bits;
    EXPECT_EQ(image.width, 4);
    EXPECT_EQ(image.height, 4);
    EXPECT_EQ(image.bitsPerPixel, bits);
  }
  EXPECT_EQ(ReadLog(), "log start\n"
                       "WARNING: Invalid image depth.\n"
                           "WARNING: Invalid image depth.\n"
                           "WARNING: Invalid image depth.\n"
                           "WARNING: Invalid image depth.\n"
                           "WARNING: Invalid image depth.\n");
}

TEST_F(TgaDecoderTest, EveryTruncationOfAGoodFileIsRefused) {
  const auto file = MakeTga(3, 3, 32, std::vector<Bgra>(9, Bgra{1, 2, 3, 4}));
  for (size_t length = 0; length < file.size(); ++length) {
    // A buffer of exactly `length` bytes, so the sanitizers catch any read past it.
    std::vector<uint8_t> prefix(file.begin(), file.begin() + static_cast<long>(length));
    DecodedImage image;
    EXPECT_FALSE(DecodeTga(prefix.data(), prefix.size(), &image)) << length;
    EXPECT_TRUE(image.pixels.empty());
    int width = 0, height = 0, bits = 0;
    EXPECT_FALSE(TgaIsWhole(prefix.data(), prefix.size(), &width, &height, &bits)) << length;
  }
  DecodedImage image;
  EXPECT_TRUE(DecodeTga(file.data(), file.size(), &image));
  int width = 0, height = 0, bits = 0;
  EXPECT_TRUE(TgaIsWhole(file.data(), file.size(), &width, &height, &bits));
  EXPECT_NE(ReadLog().find("WARNING: Image file truncated.\n"), std::string::npos);
}

TEST_F(TgaDecoderTest, AbsurdSizesAndEmptyPicturesAreRefused) {
  std::vector<uint8_t> huge(18, 0);
  huge[12] = huge[13] = huge[14] = huge[15] = 0xFF;  // 65535 x 65535
  huge[16] = 32;
  DecodedImage image;
  EXPECT_FALSE(DecodeTga(huge.data(), huge.size(), &image));
  EXPECT_EQ(image.width, 65535);
  EXPECT_EQ(image.height, 65535);

  std::vector<uint8_t> empty(18 + 12, 0);
  empty[12] = 0;
  empty[14] = 4;
  empty[16] = 24;
  EXPECT_FALSE(DecodeTga(empty.data(), empty.size(), &image));
  EXPECT_NE(ReadLog().find("WARNING: Invalid image size.\n"), std::string::npos);

  EXPECT_FALSE(DecodeTga(nullptr, 0, &image));
}

// The back-end refuses damaged files before it touches OpenGL, so this runs without
// a GL context.
TEST_F(TgaDecoderTest, GLRendererRefusesDamagedFilesAndReportsTheirHeader) {
  HeadlessPlatform platform;
  GLRenderer renderer(platform);
  RendererTexture texture;
  int width = -1, height = -1, bits = -1;
  std::vector<uint8_t> sixteen(18 + 8, 0);
  sixteen[12] = 2;
  sixteen[14] = 2;
  sixteen[16] = 16;
  EXPECT_FALSE(renderer.CreateTextureFromTga(sixteen.data(), sixteen.size(), &width, &height,
                                             &bits, texture));
  EXPECT_EQ(width, 2);
  EXPECT_EQ(height, 2);
  EXPECT_EQ(bits, 16);
  EXPECT_EQ(texture.glName, 0u);

  const std::vector<uint8_t> stub = {0, 0, 2};
  EXPECT_FALSE(
      renderer.CreateTextureFromTga(stub.data(), stub.size(), &width, &height, &bits, texture));
  EXPECT_EQ(width, 0);
}

TEST_F(TgaDecoderTest, GLRendererShutdownAfterFailedInitIsQuiet) {
  HeadlessPlatform platform;
  platform.SetFailGLContext(true);
  GLRenderer renderer(platform);
  EXPECT_THROW(renderer.Init(800, 600, 16, true), FatalError);
  EXPECT_TRUE(platform.InDisplayMode());
  SetErrorsRaise(true);
  EXPECT_NO_THROW(renderer.Shutdown());
  EXPECT_FALSE(platform.InDisplayMode());
  EXPECT_EQ(renderer.Kind(), kRendererGL);
}

}  // namespace
}  // namespace tav
