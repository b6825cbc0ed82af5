// The whole Linux entry inside a virtual X server: SDL2 window, OpenGL renderer and
// SDL2_mixer (dummy driver) around the main loop, with a small application that
// draws and leaves by quitting, by a termination signal or by a fatal error.
#include "app/sdl_entry.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "base/log.h"
#include "platform/platform.h"
#include "render/renderer.h"

namespace tav {
namespace {

class DrawingApplication : public Application {
 public:
  int frames = 0;
  int quitAfterFrames = 5;
  std::vector<std::string> calls;
  std::function<void(int)> onFrame;
  bool rendererWasGL = false;
  bool cursorHidden = false;

  void SetUp() override {
    LogLine("application set-up\n");
    calls.push_back("SetUp");
    static const uint8_t white[4] = {255, 255, 255, 255};
    GetRenderer()->CreateTextureFromPixels(white, 1, 1, 32, texture_);
  }
  void FrameStep() override {
    ++frames;
    Renderer& renderer = *GetRenderer();
    rendererWasGL = renderer.Kind() == kRendererGL;
    cursorHidden = SDL_ShowCursor(SDL_QUERY) == SDL_DISABLE;
    renderer.Clear(0.0f, 0.0f, 0.0f);
    renderer.BindTexture(texture_);
    const Vertex quad[4] = {{100, 100, 0, 1}, {300, 100, 1, 1}, {300, 300, 1, 0}, {100, 300, 0, 0}};
    renderer.DrawQuad(quad, 1.0f, 0.5f, 0.0f, 1.0f);
    if (onFrame) onFrame(frames);
    if (frames >= quitAfterFrames) RequestQuit();
  }
  void TearDown() override {
    LogLine("application teardown\n");
    calls.push_back("TearDown");
    GetRenderer()->DestroyTexture(texture_);
  }
  void OnLeftButtonDown() override {
    int x = 0, y = 0;
    GetPlatform().GetCursorPos(&x, &y);
    calls.push_back("LeftDown " + std::to_string(x) + " " + std::to_string(y));
  }
  void OnLeftButtonUp() override { calls.push_back("LeftUp"); }
  void OnRightButtonDown() override {}
  void OnRightButtonUp() override {}
  void OnChar(int code, int) override { calls.push_back("Char " + std::to_string(code)); }

 private:
  RendererTexture texture_;
};

class SdlEntryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    directory_ = std::filesystem::path(TAV_BINARY_DIR) / "tests" / "sdl_entry_test";
    std::filesystem::create_directories(directory_);
    SetErrorsRaise(true);
  }
  std::string Log() const {
    std::ifstream file(directory_ / "log.txt");
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }
  std::filesystem::path directory_;
  DrawingApplication app_;
};

TEST_F(SdlEntryTest, StartsOnOpenGLWithSoundRunsAndQuits) {
  EXPECT_EQ(RunSdlGame(app_, directory_.string()), 0);

  EXPECT_EQ(Log(),
            "log start\n"
            "SDL_Init()\n"
            "SDL_CreateWindow()\n"
            "SDL_SetWindowFullscreen()\n"
            "SDL_GL_CreateContext()\n"
            "SDL_GL_MakeCurrent()\n"
            "sound initialization\n"
            "OpenDevice( \"directsound\" )\n"
            "OpenDevice( \"winmm\" )\n"
            "OpenDevice( \"\" )\n"
            "AUDIERE DEVICE: SDL2_mixer on dummy.\n"
            // The OpenGL back-end could draw sharp; this game folder has no big pictures.
            "Pictures classic: the twice-size pictures or a back-end for them are "
            "missing.\n"
            "application set-up\n"
            "destroy exception\n"
            "application teardown\n");
  EXPECT_EQ(app_.frames, 5);
  EXPECT_TRUE(app_.rendererWasGL);
  EXPECT_TRUE(app_.cursorHidden);
  EXPECT_EQ(GetRenderer(), nullptr);
}

TEST_F(SdlEntryTest, ClicksAndTextArriveBetweenFrames) {
  app_.onFrame = [](int frame) {
    if (frame != 1) return;
    GetPlatform().SetCursorPos(400, 300);
    SDL_PumpEvents();
    SDL_Event e = {};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.button = SDL_BUTTON_LEFT;
    SDL_PushEvent(&e);
    e.type = SDL_MOUSEBUTTONUP;
    SDL_PushEvent(&e);
    SDL_Event text = {};
    text.type = SDL_TEXTINPUT;
    SDL_strlcpy(text.text.text, "\xC3\xBC", sizeof text.text.text);
    SDL_PushEvent(&text);
  };
  RunSdlGame(app_, directory_.string());
  const std::vector<std::string> expected = {"SetUp", "LeftDown 400 300", "LeftUp", "Char 252",
                                             "TearDown"};
  EXPECT_EQ(app_.calls, expected);
}

TEST_F(SdlEntryTest, TerminationSignalRunsTeardown) {
  app_.quitAfterFrames = 1000000;
  app_.onFrame = [](int frame) {
    if (frame == 3) std::raise(SIGTERM);
  };
  EXPECT_EQ(RunSdlGame(app_, directory_.string()), 0);
  EXPECT_EQ(app_.frames, 3);
  EXPECT_EQ(app_.calls.back(), "TearDown");
  EXPECT_EQ(Log().find("ERROR"), std::string::npos);
}

}  // namespace
}  // namespace tav
