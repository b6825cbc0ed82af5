// Helpers of the rendering tests: temp Data tree, in-memory pictures, manual clock.
#include "tests/render/render_test_support.h"

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <stdlib.h>

#include "base/log.h"
#include "base/package_file_system.h"
#include "render/texture_catalogue.h"

namespace tav::test {

namespace {
void PutU16(std::vector<uint8_t>& bytes, size_t offset, int value) {
  bytes[offset] = static_cast<uint8_t>(value & 0xff);
  bytes[offset + 1] = static_cast<uint8_t>((value >> 8) & 0xff);
}
void AppendU32(std::vector<uint8_t>& bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}
}  // namespace

std::vector<uint8_t> MakeTga(int width, int height, int bits, const PixelFunction& pixel) {
  std::vector<uint8_t> bytes(18, 0);
  bytes[2] = 2;
  PutU16(bytes, 12, width);
  PutU16(bytes, 14, height);
  bytes[16] = static_cast<uint8_t>(bits);
  bytes[17] = bits == 32 ? 8 : 0;
  const int bytesPerPixel = bits / 8;
  for (int yFromBottom = 0; yFromBottom < height; ++yFromBottom) {
    for (int x = 0; x < width; ++x) {
      Pixel value = pixel(x, height - 1 - yFromBottom);
      for (int b = 0; b < bytesPerPixel; ++b) bytes.push_back(value[static_cast<size_t>(b)]);
    }
  }
  return bytes;
}

std::vector<uint8_t> MakeTga(int width, int height, int bits) {
  return MakeTga(width, height, bits, [](int, int) { return Pixel{10, 20, 30, 255}; });
}

std::vector<uint8_t> MakeSpt(int width, int height, int bits,
                             const std::vector<SptActionSpec>& actions, float frameDuration) {
  const char magic[20] = "SPT Pictures list  ";
  std::vector<uint8_t> bytes(magic, magic + 20);
  AppendU32(bytes, static_cast<uint32_t>(width));
  AppendU32(bytes, static_cast<uint32_t>(height));
  AppendU32(bytes, static_cast<uint32_t>(bits));
  AppendU32(bytes, static_cast<uint32_t>(actions.size()));
  for (int corner : {1, 2, 3, 4}) AppendU32(bytes, static_cast<uint32_t>(corner));
  uint32_t durationBits;
  std::memcpy(&durationBits, &frameDuration, 4);
  AppendU32(bytes, durationBits);
  bytes.push_back(1);  // dynamic
  bytes.push_back(0);  // no collision
  bytes.push_back(0);
  bytes.push_back(0);
  const size_t frameBytes = static_cast<size_t>(width) * height * (bits / 8);
  uint8_t serial = 0;
  for (const SptActionSpec& action : actions) {
    char name[32] = {};
    std::strncpy(name, action.name.c_str(), 31);
    bytes.insert(bytes.end(), name, name + 32);
    bytes.push_back(static_cast<uint8_t>(action.frameCount));
    for (int f = 0; f < action.frameCount; ++f) bytes.insert(bytes.end(), frameBytes, ++serial);
  }
  return bytes;
}

void RenderTest::SetUp() {
  std::string pattern =
      (std::filesystem::temp_directory_path() / "tav-render-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  base_ = pattern;
  std::filesystem::create_directories(base_ + "/Data");
  LogStart(base_);
  PackageFileSystem::ClearPackages();
  SetErrorsRaise(true);
  SetRenderer(&renderer_);
  TextureCatalogue::Instance().Clear();
  SetTimeSource(&time_);
  FrameClock::Instance().ResetForTests();
}

void RenderTest::TearDown() {
  TextureCatalogue::Instance().Clear();
  SetRenderer(nullptr);
  SetTimeSource(nullptr);
  FrameClock::Instance().ResetForTests();
  SetErrorsRaise(true);
  std::error_code ignored;
  std::filesystem::remove_all(base_, ignored);
}

void RenderTest::WriteDataFile(const std::string& name, const std::vector<uint8_t>& bytes) {
  std::ofstream out(base_ + "/Data/" + name, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void RenderTest::WriteTexturesIni(const std::string& text) {
  WriteDataFile("Textures.ini", std::vector<uint8_t>(text.begin(), text.end()));
}

std::string RenderTest::LogText() const {
  std::ifstream in(base_ + "/log.txt", std::ios::binary);
  std::stringstream contents;
  contents << in.rdbuf();
  return contents.str();
}

void RenderTest::RunFrame(float seconds) {
  FrameClock::Instance().FrameStart();
  time_.counter += static_cast<uint64_t>(std::llround(seconds * 1e6));
  time_.milliTicks += static_cast<uint32_t>(std::llround(seconds * 1e3));
  FrameClock::Instance().FrameEnd();
}

}  // namespace tav::test
