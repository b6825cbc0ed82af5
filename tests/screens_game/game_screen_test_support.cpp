// Builds the game-screen tests' temporary game folder from the picture list of
// assets/manifest.txt, so every picture has the size the real one has, and
// installs the recording renderer, sound device and game clock around the run.
#include "tests/screens_game/game_screen_test_support.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "audio/sound_manager.h"
#include "base/log.h"
#include "base/package_file_system.h"
#include "render/bitmap_font.h"
#include "render/texture_catalogue.h"
#include "screens/game_resources.h"
#include "screens/screen_parts.h"
#include "tests/render/render_test_support.h"

namespace fs = std::filesystem;

namespace tav::test {
namespace {

void WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

// Every "picture <name> <w>x<h> <bits>" row of the manifest, written as a plain
// picture (a picture list gets one four-frame action "Loop").
void WriteManifestPictures(const fs::path& data) {
  std::ifstream manifest(std::string(TAV_SOURCE_DIR) + "/assets/manifest.txt");
  ASSERT_TRUE(manifest.good());
  std::string line;
  while (std::getline(manifest, line)) {
    std::istringstream row(line);
    std::string kind, name, size;
    int bits = 0;
    if (!(row >> kind >> name >> size >> bits) || kind != "picture") continue;
    const size_t cross = size.find('x');
    const int width = std::stoi(size.substr(0, cross));
    const int height = std::stoi(size.substr(cross + 1));
    if (name.size() > 4 && name.substr(name.size() - 4) == ".spt") {
      WriteBytes(data / name, MakeSpt(width, height, 32, {{"Loop", 4}}));
    } else if (name != "xFont.tga") {
      WriteBytes(data / name, MakeTga(width, height, 32, [](int, int) {
                   return Pixel{255, 255, 255, 255};
                 }));
    }
  }
}

// A font whose printable glyphs are five columns wide.
void WriteFont(const fs::path& path) {
  WriteBytes(path, MakeTga(256, 256, 32, [](int x, int yFromTop) {
               const int code = (yFromTop / 16) * 16 + x / 16;
               const bool ink = code > ' ' && code < 127 && x % 16 < 5 && yFromTop % 16 > 2 &&
                                yFromTop % 16 < 12;
               return Pixel{255, 255, 255, static_cast<uint8_t>(ink ? 255 : 0)};
             }));
}

std::string QuietBoardData() {
  static const char kKinds[3] = {'0', '1', '3'};
  std::string cells;
  for (int row = 0; row < 10; ++row) {
    for (int column = 0; column < 10; ++column) {
      cells += kKinds[(row + column) % 3];
      cells += '0';
    }
  }
  return cells;
}

void WriteLevels(const fs::path& path) {
  std::ofstream out(path);
  for (const char* name : {"1", "5"}) {
    out << "[" << name << "]\nLetterProbability = 0\nLevelData = " << QuietBoardData() << "\n";
    for (int kind = 0; kind < 9; ++kind) {
      out << "Association_" << kind << "_priority = " << (kind == 0 || kind == 1 || kind == 3)
          << "\n";
    }
    out << "Blocks = 50\nTime = 60\n\n";
  }
}

std::string& Folder() {
  static std::string folder;
  return folder;
}

class GameScreenEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    char pattern[] = "/tmp/tav_game_screen_test_XXXXXX";
    const char* made = mkdtemp(pattern);
    ASSERT_NE(made, nullptr);
    Folder() = made;
    const fs::path data = fs::path(made) / "Data";
    fs::create_directories(data / "Audio");
    WriteManifestPictures(data);
    WriteFont(data / "xFont.tga");
    WriteLevels(data / "Levels.ini");
    LogStart(made);
    SetErrorsRaise(true);
    PackageFileSystem::ClearPackages();
    SetRenderer(&Recorder());
    SetGameClock(&GameTestClock());
    BitmapFont::Shared().Load("xFont.tga");
    BitmapFont::Shared().SetMetrics(1, 5, 15);
    SharedShade().SetTexture("Black.tga");
    SoundRecorder().SetOpenAnyPath(true);
    SoundManager::Instance().SetDevice(&SoundRecorder());
    SoundManager::Instance().Start();
    LoadGameResources();
  }

  void TearDown() override {
    UnloadGameResources();
    SoundManager::Instance().ResetForTests();
    BitmapFont::Shared().Release();
    SetGameClock(nullptr);
    SetRenderer(nullptr);
    std::error_code ignored;
    fs::remove_all(Folder(), ignored);
  }
};

const bool kEnvironmentAdded =
    (::testing::AddGlobalTestEnvironment(new GameScreenEnvironment), true);

}  // namespace

RecordingRenderer& Recorder() {
  static RecordingRenderer renderer;
  return renderer;
}

RecordingAudioDevice& SoundRecorder() {
  static RecordingAudioDevice device;
  return device;
}

FixedStepClock& GameTestClock() {
  static FixedStepClock clock(0.05f);
  return clock;
}

unsigned TextureOf(const std::string& pictureName) {
  Texture& texture = TextureCatalogue::Instance().Get(pictureName);
  return texture.actions.at(0)->frames.at(0).glName;
}

std::vector<RecordedCall> DrawsOf(const std::string& pictureName) {
  const unsigned texture = TextureOf(pictureName);
  std::vector<RecordedCall> draws;
  for (const RecordedCall& call : Recorder().Draws()) {
    if (call.boundTexture == texture) draws.push_back(call);
  }
  return draws;
}

float CentreX(const RecordedCall& quad) {
  float sum = 0;
  for (const Vertex& vertex : quad.vertices) sum += vertex.x;
  return sum / static_cast<float>(quad.vertices.size());
}

float CentreY(const RecordedCall& quad) {
  float sum = 0;
  for (const Vertex& vertex : quad.vertices) sum += vertex.y;
  return sum / static_cast<float>(quad.vertices.size());
}

}  // namespace tav::test
