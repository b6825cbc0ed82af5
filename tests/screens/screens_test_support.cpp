// The screen tests' environment: writes every picture the screens ask for into a
// temporary Data folder, points the log base there, and installs the recording
// renderer, the fake clock and the recording sound device.
#include "screens_test_support.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "audio/sound_manager.h"
#include "base/log.h"
#include "gui/frame_delta.h"
#include "render/bitmap_font.h"
#include "render/texture_catalogue.h"
#include "screens/screen_parts.h"

namespace tav {
namespace test {

namespace {

struct TestPicture {
  const char* name;
  int width;
  int height;
};

const char* const kButtonStems[] = {"start", "options",  "help", "hiscore", "exit",
                                    "up",    "down",     "ok",   "left",    "right",
                                    "play",  "exitmenu", "prev", "next"};

const TestPicture kPictures[] = {
    {"Black.tga", 8, 8},
    {"back.tga", 128, 128},
    {"stenkal.tga", 16, 16},
    {"stenkar.tga", 16, 16},
    {"menu_bgr.tga", 16, 16},
    {"menu_bgr_down.tga", 16, 16},
    {"top_bar_logo.tga", 256, 37},
    {"top_bar.tga", 256, 37},
    {"x_Loop.tga", 32, 32},
    {"x_Focus.tga", 32, 32},
    {"x_down.tga", 32, 32},
    {"_Loop.tga", 32, 32},
    {"_Focus.tga", 32, 32},
    {"_down.tga", 32, 32},
    {"hiscore_window.tga", 16, 16},
    {"window_options.tga", 16, 16},
    {"Plus1.tga", 20, 32},
    {"Plus2.tga", 20, 32},
    {"slider.tga", 190, 8},
    {"Checked1.tga", 16, 16},
    {"Checked2.tga", 16, 16},
    {"Unchecked1.tga", 16, 16},
    {"Unchecked2.tga", 16, 16},
    {"pause_window.tga", 16, 16},
    {"gameover_window.tga", 16, 16},
    {"Help_p1.tga", 16, 16},
    {"Help_p2.tga", 16, 16},
    {"tavrolith_logo.tga", 64, 32},
    {"zelto_logo.tga", 32, 16},
    {"Ind1.tga", 8, 8},
    {"Ind2.tga", 8, 8},
    {"rc_window.tga", 16, 16},
    {"papirus1.tga", 16, 16},
    {"papirus2.tga", 16, 16},
    {"papirus3.tga", 16, 16},
    {"papirus4.tga", 16, 16},
    {"papirus5.tga", 16, 16},
    {"papirus6.tga", 16, 16},
};

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

void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

void WritePicture(const std::filesystem::path& path, int width, int height) {
  std::vector<uint8_t> bytes = TgaHeader(width, height);
  bytes.resize(bytes.size() + static_cast<size_t>(width * height * 4), 0xFF);
  WriteBytes(path, bytes);
}

// A 256x256 font of 16-pixel cells in which every printable glyph is five
// columns wide.
void WriteFont(const std::filesystem::path& path) {
  constexpr int kSize = 256, kCell = 16;
  std::vector<uint8_t> bytes = TgaHeader(kSize, kSize);
  std::vector<uint8_t> pixels(static_cast<size_t>(kSize * kSize * 4), 0);
  for (int code = '!'; code <= '~'; ++code) {
    const int cellLeft = (code % 16) * kCell;
    const int cellBottom = (15 - code / 16) * kCell;
    for (int row = cellBottom + 2; row < cellBottom + 12; ++row) {
      for (int column = cellLeft; column < cellLeft + 5; ++column) {
        pixels[(static_cast<size_t>(row) * kSize + column) * 4 + 3] = 0xFF;
      }
    }
  }
  bytes.insert(bytes.end(), pixels.begin(), pixels.end());
  WriteBytes(path, bytes);
}

FakeTimeSource& FakeTime() {
  static FakeTimeSource time;
  return time;
}

std::string& Folder() {
  static std::string folder;
  return folder;
}

class ScreensEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    char pattern[] = "/tmp/tav_screens_test_XXXXXX";
    const char* made = mkdtemp(pattern);
    ASSERT_NE(made, nullptr);
    Folder() = made;
    const std::filesystem::path data = std::filesystem::path(made) / "Data";
    std::filesystem::create_directories(data / "Audio");
    for (const TestPicture& picture : kPictures) {
      WritePicture(data / picture.name, picture.width, picture.height);
    }
    for (const char* stem : kButtonStems) {
      for (const char* ending : {"_loop.tga", "_focus.tga", "_down.tga"}) {
        WritePicture(data / (std::string(stem) + ending), 8, 8);
      }
    }
    WriteFont(data / "xFont.tga");
    LogStart(made);
    SetErrorsRaise(false);
    SetRenderer(&Recorder());
    SetTimeSource(&FakeTime());
    BitmapFont::Shared().Load("xFont.tga");
    BitmapFont::Shared().SetMetrics(1, 5, 15);
    SharedShade().SetTexture("Black.tga");
    SoundRecorder().SetOpenAnyPath(true);
    SoundManager::Instance().SetDevice(&SoundRecorder());
    SoundManager::Instance().Start();
  }

  void TearDown() override {
    SoundManager::Instance().ResetForTests();
    TextureCatalogue::Instance().Clear();
    BitmapFont::Shared().Release();
    SetRenderer(nullptr);
    SetTimeSource(nullptr);
    std::error_code ignored;
    std::filesystem::remove_all(Folder(), ignored);
  }
};

const bool kEnvironmentAdded = (::testing::AddGlobalTestEnvironment(new ScreensEnvironment), true);

}  // namespace

RecordingRenderer& Recorder() {
  static RecordingRenderer renderer;
  return renderer;
}

RecordingAudioDevice& SoundRecorder() {
  static RecordingAudioDevice device;
  return device;
}

const std::string& GameFolder() {
  return Folder();
}

std::string GamePath(const std::string& relative) {
  return Folder() + "/" + relative;
}

unsigned TextureOf(const std::string& pictureName) {
  Texture& texture = TextureCatalogue::Instance().Get(pictureName);
  return texture.actions.at(0)->frames.at(0).glName;
}

std::vector<std::string> RunFrames(Window& window, int frames, float dt) {
  SetFrameDelta(dt);
  std::vector<std::string> words;
  for (int i = 0; i < frames; ++i) {
    NotificationQueue queue;
    window.Update(queue);
    for (const Notification& notification : queue) {
      words.push_back(notification.argument.empty()
                          ? notification.word
                          : notification.word + " " + notification.argument);
    }
  }
  return words;
}

std::vector<RecordedCall> DrawsOf(const std::string& pictureName) {
  const unsigned texture = TextureOf(pictureName);
  std::vector<RecordedCall> draws;
  for (const RecordedCall& call : Recorder().Draws()) {
    if (call.boundTexture == texture) draws.push_back(call);
  }
  return draws;
}

void Click(Window& window, float x, float y) {
  window.OnMouseMove({x, y});
  window.OnLeftDown({x, y});
  window.OnLeftUp({x, y});
}

}  // namespace test
}  // namespace tav
