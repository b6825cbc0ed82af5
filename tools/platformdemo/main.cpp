// platformdemo: opens the game's window through the real Linux entry (SDL2, OpenGL,
// SDL2_mixer) with a small application instead of the game, to check by eye the
// letterboxed picture, the mouse mapping, the buttons, typed text and minimising.
// A square follows the cursor (red while the left button is held, blue for the
// right); the picture's edges are framed so the bars are easy to see; typed
// characters are written to log.txt; Enter leaves, as does the optional time limit.
//
// Usage: platformdemo [seconds]
#include <cstdio>
#include <cstdlib>

#include "app/sdl_entry.h"
#include "base/frame_clock.h"
#include "base/log.h"
#include "platform/platform.h"
#include "render/renderer.h"

namespace tav {
namespace {

class DemoApplication : public Application {
 public:
  explicit DemoApplication(float seconds) : seconds_(seconds) {}

  void SetUp() override {
    static const uint8_t white[4] = {255, 255, 255, 255};
    GetRenderer()->CreateTextureFromPixels(white, 1, 1, 32, white_);
    GetPlatform().ShowCursor(true);
  }

  void FrameStep() override {
    Renderer& renderer = *GetRenderer();
    renderer.Clear(0.15f, 0.15f, 0.2f);
    renderer.BindTexture(white_);
    renderer.SetBlendMode(kBlendNormal);
    // A frame one unit inside the picture's edges.
    Rect(0, 0, 800, 2, 0.9f, 0.9f, 0.2f);
    Rect(0, 598, 800, 600, 0.9f, 0.9f, 0.2f);
    Rect(0, 0, 2, 600, 0.9f, 0.9f, 0.2f);
    Rect(798, 0, 800, 600, 0.9f, 0.9f, 0.2f);

    int cursorX = 0, cursorY = 0;
    Platform& platform = GetPlatform();
    platform.GetCursorPos(&cursorX, &cursorY);
    const float x = static_cast<float>(cursorX);
    const float y = 600.0f - static_cast<float>(cursorY);
    const bool left = platform.IsButtonDown(MouseButton::kLeft);
    const bool right = platform.IsButtonDown(MouseButton::kRight);
    const float grey = (left || right) ? 0.0f : 0.8f;
    Rect(x - 10, y - 10, x + 10, y + 10, left ? 1.0f : grey, grey, right ? 1.0f : grey);

    elapsed_ += FrameTime();
    if (seconds_ > 0 && elapsed_ >= seconds_) RequestQuit();
  }

  void TearDown() override { GetRenderer()->DestroyTexture(white_); }

  void OnLeftButtonDown() override { LogPoint("left down"); }
  void OnLeftButtonUp() override { LogPoint("left up"); }
  void OnRightButtonDown() override { LogPoint("right down"); }
  void OnRightButtonUp() override { LogPoint("right up"); }
  void OnChar(int code, int keyData) override {
    LogLine("char %d (key data 0x%04x)\n", code, keyData);
    if (code == 13) RequestQuit();
  }

 private:
  static void Rect(float x0, float y0, float x1, float y1, float r, float g, float b) {
    const Vertex quad[4] = {{x0, y0, 0, 1}, {x1, y0, 1, 1}, {x1, y1, 1, 0}, {x0, y1, 0, 0}};
    GetRenderer()->DrawQuad(quad, r, g, b, 1.0f);
  }

  static void LogPoint(const char* what) {
    int x = 0, y = 0;
    GetPlatform().GetCursorPos(&x, &y);
    LogLine("%s at %d, %d\n", what, x, 600 - y);
  }

  RendererTexture white_;
  float seconds_;
  float elapsed_ = 0.0f;
};

}  // namespace
}  // namespace tav

int main(int argc, char** argv) {
  const float seconds = argc > 1 ? std::strtof(argv[1], nullptr) : 0.0f;
  tav::DemoApplication demo(seconds);
  return tav::RunSdlGame(demo);
}
