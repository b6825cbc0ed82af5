// Builds the game-screen tests' temporary game folder with the scene's generated
// pictures, each of the size the real one has, and installs the recording
// renderer, sound device and game clock around the run.
#include "tests/screens_game/game_screen_test_support.h"

#include <fstream>
#include <string>

#include "base/log.h"
#include "base/package_file_system.h"
#include "screens/game_resources.h"
#include "screens/screen_parts.h"
#include "tests/support/scene_pictures.h"

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

class GameScreenEnvironment : public GuiTestEnvironment {
 public:
  GameScreenEnvironment() : GuiTestEnvironment("tav_game_screen_test_") {}

 protected:
  void WriteData(const fs::path& data) override {
    fs::create_directories(data / "Audio");
    WriteScenePictures(std::string(TAV_SOURCE_DIR) + "/assets/manifest.txt", data.string());
    WriteLevels(data / "Levels.ini");
  }
  void Install() override {
    SetErrorsRaise(true);
    PackageFileSystem::ClearPackages();
    SetGameClock(&GameTestClock());
  }
  void Load() override {
    SharedShade().SetTexture("Black.tga");
    StartRecordingSound();
    LoadGameResources();
  }
  void Unload() override {
    UnloadGameResources();
    StopRecordingSound();
  }
  void Uninstall() override { SetGameClock(nullptr); }
};

const bool kEnvironmentAdded =
    (::testing::AddGlobalTestEnvironment(new GameScreenEnvironment), true);

}  // namespace

FixedStepClock& GameTestClock() {
  static FixedStepClock clock(0.05f);
  return clock;
}

}  // namespace tav::test
