// Builds the game-screen tests' temporary game folder with the scene's generated
// pictures, each of the size the real one has, and installs the recording
// renderer, sound device and game clock around the run.
#include "tests/screens_game/game_screen_test_support.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "audio/sound_manager.h"
#include "base/log.h"
#include "base/package_file_system.h"
#include "render/bitmap_font.h"
#include "render/texture_catalogue.h"
#include "screens/game_resources.h"
#include "screens/screen_parts.h"
#include "tests/scene/scene_pictures.h"

namespace fs = std::filesystem;

namespace tav::test {
namespace {

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
    scene::WriteScenePictures(std::string(TAV_SOURCE_DIR) + "/assets/manifest.txt", data.string());
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
