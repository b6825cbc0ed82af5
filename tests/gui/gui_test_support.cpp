// The GUI tests' environment: writes the pictures and the font into a temporary
// Data folder, points the log base there, installs the recording renderer and the
// fake clock, and loads the shared font with the game's metrics.
#include "gui_test_support.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "base/log.h"
#include "render/bitmap_font.h"
#include "render/texture_catalogue.h"

namespace tav {
namespace test {

const TestPicture kTestPictures[] = {
    {"btn_loop.tga", 4, 2},     {"btn_focus.tga", 4, 2},    {"btn_down.tga", 4, 2},
    {"back.tga", 8, 8},         {"panel.tga", 65, 21},      {"knob.tga", 20, 32},
    {"knob_focus.tga", 20, 32}, {"knob_drag.tga", 20, 32},  {"track.tga", 190, 8},
    {"track_spare.tga", 190, 8}, {"track_drag.tga", 190, 8}, {"check0.tga", 16, 16},
    {"check1.tga", 16, 16},     {"check2.tga", 16, 16},     {"check3.tga", 16, 16},
    {"check4.tga", 16, 16},     {"check5.tga", 16, 16},
};
const size_t kTestPictureCount = sizeof kTestPictures / sizeof kTestPictures[0];

namespace {

std::vector<uint8_t> TgaHeader(int width, int height) {
  std::vector<uint8_t> bytes(18, 0);
  bytes[2] = 2;  // uncompressed true colour
  bytes[12] = static_cast<uint8_t>(width & 0xFF);
  bytes[13] = static_cast<uint8_t>(width >> 8);
  bytes[14] = static_cast<uint8_t>(height & 0xFF);
  bytes[15] = static_cast<uint8_t>(height >> 8);
  bytes[16] = 32;
  bytes[17] = 8;  // eight alpha bits, rows bottom first
  return bytes;
}

void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void WritePicture(const std::filesystem::path& path, int width, int height) {
  std::vector<uint8_t> bytes = TgaHeader(width, height);
  bytes.resize(bytes.size() + static_cast<size_t>(width * height * 4), 0xFF);
  WriteFile(path, bytes);
}

// A 256x256 font picture: 16x16 cells of 16 pixels, each printable glyph a block
// of visible columns starting at the cell's left edge.
void WriteFont(const std::filesystem::path& path) {
  constexpr int kSize = 256, kCell = 16;
  std::vector<uint8_t> bytes = TgaHeader(kSize, kSize);
  std::vector<uint8_t> pixels(static_cast<size_t>(kSize * kSize * 4), 0);
  for (int code = '!'; code <= '~'; ++code) {
    const int columns = code == 'W' ? kWideGlyphColumns : kGlyphColumns;
    const int cellLeft = (code % 16) * kCell;
    const int cellBottom = (15 - code / 16) * kCell;  // rows are stored bottom first
    for (int row = cellBottom + 2; row < cellBottom + 12; ++row) {
      for (int column = cellLeft; column < cellLeft + columns; ++column) {
        pixels[(static_cast<size_t>(row) * kSize + column) * 4 + 3] = 0xFF;
      }
    }
  }
  bytes.insert(bytes.end(), pixels.begin(), pixels.end());
  WriteFile(path, bytes);
}

class GuiEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    char pattern[] = "/tmp/tav_gui_test_XXXXXX";
    const char* made = mkdtemp(pattern);
    ASSERT_NE(made, nullptr);
    directory_ = made;
    std::filesystem::create_directories(directory_ / "Data");
    for (size_t i = 0; i < kTestPictureCount; ++i) {
      WritePicture(directory_ / "Data" / kTestPictures[i].name, kTestPictures[i].width,
                   kTestPictures[i].height);
    }
    WriteFont(directory_ / "Data" / "xFont.tga");
    LogStart(directory_.string());
    SetRenderer(&Recorder());
    SetTimeSource(&FakeTime());
    BitmapFont::Shared().Load("xFont.tga");
    BitmapFont::Shared().SetMetrics(1, 5, 15);
  }

  void TearDown() override {
    TextureCatalogue::Instance().Clear();
    BitmapFont::Shared().Release();
    SetRenderer(nullptr);
    SetTimeSource(nullptr);
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
  }

 private:
  std::filesystem::path directory_;
};

const bool kEnvironmentAdded = (::testing::AddGlobalTestEnvironment(new GuiEnvironment), true);

}  // namespace

RecordingRenderer& Recorder() {
  static RecordingRenderer renderer;
  return renderer;
}

FakeTimeSource& FakeTime() {
  static FakeTimeSource time;
  return time;
}

unsigned TextureOf(const std::string& pictureName) {
  Texture& texture = TextureCatalogue::Instance().Get(pictureName);
  return texture.actions.at(0)->frames.at(0).glName;
}

float QuadLeft(const RecordedCall& call) { return call.vertices.at(0).x; }
float QuadBottom(const RecordedCall& call) { return call.vertices.at(0).y; }

}  // namespace test
}  // namespace tav
