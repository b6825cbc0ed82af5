// The game screen in a real window under a virtual X server: a level's board,
// drawn by the game window and the piece visuals through the OpenGL renderer
// with generated pictures, after the pieces have fallen in, with a lightning
// arrow fired, a combo text, a magic symbol on its way and the game screen's
// panels. The screenshot is saved as build/tests/scene/game_scene.tga; the pixel
// checks catch pieces drawn in the wrong place, colour or orientation.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "audio/sound_manager.h"
#include "base/frame_clock.h"
#include "base/log.h"
#include "base/package_file_system.h"
#include "game/board.h"
#include "game/click_record.h"
#include "game/game_clock.h"
#include "game/random_source.h"
#include "gui/frame_delta.h"
#include "render/bitmap_font.h"
#include "render/texture_catalogue.h"
#include "screens/game_resources.h"
#include "screens/game_window.h"
#include "screens/screen_parts.h"
#include "tests/support/gl_frame.h"
#include "tests/support/scene_pictures.h"

namespace fs = std::filesystem;

namespace tav {
namespace {

using test::Rgb;

// Level "7": rows of the nine kinds in turn, bottom row first, each cell's
// direction turning with its column; a lightning arrow pointing right in row 6.
std::string SceneLevelData() {
  std::string cells;
  for (int row = 0; row < 10; ++row) {
    for (int column = 0; column < 10; ++column) {
      int kind = (row + column) % 9;
      int direction = (column + row / 3) % 4;
      if (row == 0 && column < 3) {  // blue, red and green arrows pointing up
        kind = column == 0 ? 0 : column == 1 ? 1 : 3;
        direction = 0;
      }
      if (row == 6 && column == 4) {
        kind = 7;
        direction = 1;
      }
      cells += static_cast<char>('0' + kind);
      cells += static_cast<char>('0' + direction);
    }
  }
  return cells;
}

class GameScene : public ::testing::Test {
 public:
  static void SetUpTestSuite() {
    const fs::path base = fs::path(TAV_BINARY_DIR) / "tests" / "scene_base";
    fs::remove_all(base);
    fs::create_directories(base / "Data" / "Audio");
    test::WriteScenePictures(std::string(TAV_SOURCE_DIR) + "/assets/manifest.txt",
                             (base / "Data").string());
    fs::copy_file(fs::path(TAV_SOURCE_DIR) / "assets" / "Textures.ini",
                  base / "Data" / "Textures.ini", fs::copy_options::overwrite_existing);
    {
      std::ofstream levels(base / "Data" / "Levels.ini");
      levels << "[7]\nLetterProbability = 12\nLevelData = " << SceneLevelData() << "\n";
      for (int kind = 0; kind < 9; ++kind) levels << "Association_" << kind << "_priority = 1\n";
      levels << "Blocks = 80\nTime = 120\n";
    }
    LogStart(base.string());
    SetErrorsRaise(true);
    PackageFileSystem::ClearPackages();
    window_.Open(30);
    BitmapFont::Shared().Load("xFont.tga");
    BitmapFont::Shared().SetMetrics(1, 5, 15);
    SharedShade().SetTexture("Black.tga");
    LoadGameResources();
    SetGameClock(&gameClock_);
  }

  static void TearDownTestSuite() {
    SetGameClock(nullptr);
    UnloadGameResources();
    BitmapFont::Shared().Release();
    window_.Close();
  }

  // One frame of the game screen as the main loop runs it; `keep` leaves the
  // picture in the back buffer for reading instead of presenting it.
  static void Frame(GameWindow& window, bool keep = false) {
    window_.DrainEvents();
    // The game advances by a fixed 1/60 s a frame, however fast the machine draws,
    // so the scene reaches the same state on a loaded machine and an idle one.
    gameClock_.AdvanceFrame();
    FrameClock::Instance().FrameStart();
    ASSERT_TRUE(window_.renderer->BeginFrame());
    window_.renderer->BeginScene();
    window_.renderer->Clear(0, 0, 0);
    SetFrameDelta(gameClock_.FrameTime());
    NotificationQueue queue;
    window.Update(queue);
    window.Draw();
    window.DrawOverlay();
    if (!keep) window_.renderer->EndFrame();
    FrameClock::Instance().FrameEnd();
  }

  static Rgb At(int gameX, int gameY) { return window_.At(gameX, gameY); }

  static void Save(const std::string& name) {
    const fs::path directory = fs::path(TAV_BINARY_DIR) / "tests" / "scene";
    test::SaveGameScreenshot(*window_.renderer, directory, name);
  }

  static void EndFrame() { window_.renderer->EndFrame(); }

 protected:
  static test::GlTestWindow window_;
  static FixedStepClock gameClock_;
};

test::GlTestWindow GameScene::window_;
FixedStepClock GameScene::gameClock_;

// What a scene checks in its pictures: generated ones have known colours.
enum class Pictures { kGenerated, kGameData };

// Level 7 on the game screen: the pieces land, then the lightning arrow of row 6
// is fired, a combo reported and a symbol sent flying; `screenshot` is saved a
// few frames later.
void PlayScene(GameScene& scene, Pictures pictures, const std::string& screenshot) {
  SeedGameRandom(7);
  GameWindow window;
  window.Command("SetClassicLevel 7");
  Board* board = window.GetBoard();
  ASSERT_NE(board, nullptr);
  // The pieces fall in from above the board; give them time to land, with the
  // board frozen so no chain goes off before the checks.
  window.Command("Disable");
  for (int i = 0; i < 90; ++i) scene.Frame(window);
  for (int x = 0; x < 10; ++x) {
    for (int y = 0; y < 10; ++y) {
      ASSERT_NE(board->PieceAt(x, y), nullptr);
      EXPECT_TRUE(board->PieceAt(x, y)->IsResting());
    }
  }

  if (pictures == Pictures::kGenerated) {
    // The three arrows of the bottom-left corner point up and show their colours
    // in the shaft and the head, the tile around them dark.
    scene.Frame(window, true);
    const Rgb blue = scene.At(275, 60);
    const Rgb red = scene.At(325, 90);
    const Rgb green = scene.At(375, 60);
    EXPECT_GT(blue.b, 180);
    EXPECT_LT(blue.r, 100);
    EXPECT_GT(red.r, 180);
    EXPECT_LT(red.b, 100);
    EXPECT_GT(green.g, 180);
    EXPECT_LT(green.r, 100);
    // Upright: the head is wide near the top of the cell, the shaft narrow below.
    const Rgb headSide = scene.At(265, 80);
    const Rgb shaftSide = scene.At(265, 62);
    EXPECT_GT(headSide.b, 150);
    EXPECT_LT(shaftSide.b, 100);
    scene.EndFrame();
  }
  window.Command("Enable");

  Piece* lightning = board->PieceAt(4, 6);
  ASSERT_NE(lightning, nullptr);
  ASSERT_EQ(lightning->Kind(), kLightningArrow);
  lightning->Mark(0.01f);
  board->ReportChain(494, 420, 5);
  board->Symbols().Add(400, 300, 2);
  for (int i = 0; i < 8; ++i) scene.Frame(window);
  scene.Frame(window, true);
  scene.Save(screenshot);
  // The blast runs across row 6 while the arrow lingers: bright bolt pixels.
  int bright = 0;
  for (int x = 300; x < 700; x += 10) {
    const Rgb p = scene.At(x, 375);
    bright += (p.r > 120 && p.g > 160 && p.b > 200) ? 1 : 0;
  }
  EXPECT_GT(bright, 5) << "no lightning across the row";
  scene.EndFrame();
  window.Command("ClearLevel");
  Clicks().Clear();
}

TEST_F(GameScene, BoardOfALevelThroughThePieceVisuals) {
  PlayScene(*this, Pictures::kGenerated, "game_scene");
}

#ifdef TAV_GAME_DATA_PKG
// The same with the game's own pictures from the built package, for review.
TEST_F(GameScene, BoardOfALevelWithTheGamePictures) {
  UnloadGameResources();
  BitmapFont::Shared().Release();
  PackageFileSystem::AddPackage(TAV_GAME_DATA_PKG);
  BitmapFont::Shared().Load("xFont.tga");
  BitmapFont::Shared().SetMetrics(1, 5, 15);
  SharedShade().SetTexture("Black.tga");
  LoadGameResources();
  PlayScene(*this, Pictures::kGameData, "game_scene_data");
  PackageFileSystem::ClearPackages();
}
#endif

}  // namespace
}  // namespace tav
