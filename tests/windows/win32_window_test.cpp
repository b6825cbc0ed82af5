// The game's window on a real (virtual) screen under Wine: Alt+Enter and F11 turn
// the full-screen popup into a framed window that fits the screen and back, the
// choice is kept for the next run, and the Direct3D 8 device follows the switch
// both ways, drawing the same picture in a window as full screen; a lost device
// pauses every frame until the game is back in front. Built into the
// back-end comparison's program, which runs on a 16-bit X screen.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/log.h"
#include "platform/win32/win32_platform.h"
#include "platform/window_mode.h"
#include "render/d3d8/d3d8_renderer.h"

namespace tav {
namespace {

namespace fs = std::filesystem;

// Log and player files (Data\Window.ini) in a folder of their own, the choice
// cleared; fatal reports raise.
class Win32WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::path(TAV_BINARY_DIR) / "window-mode";
    fs::create_directories(folder_ / "Data");
    fs::remove(ChoiceFile());
    LogStart(folder_.string());
    SetErrorsRaise(true);
  }
  void TearDown() override { fs::remove(ChoiceFile()); }

  std::string ChoiceFile() const { return (folder_ / "Data" / "Window.ini").string(); }

  std::string Log() const {
    std::ifstream file(folder_ / "log.txt");
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }

  // Hands one message to the window procedure's work and drains what it queued.
  static bool Send(Win32Platform& platform, UINT message, WPARAM wParam, LPARAM lParam,
                   std::vector<PlatformEvent>* events = nullptr) {
    LRESULT result = 0;
    const bool handled = platform.HandleMessage(message, wParam, lParam, &result);
    PlatformEvent event;
    while (platform.PollEvent(&event)) {
      if (events != nullptr) events->push_back(event);
    }
    return handled;
  }

  static SIZE ClientSize(HWND window) {
    RECT client = {0, 0, 0, 0};
    GetClientRect(window, &client);
    return SIZE{client.right - client.left, client.bottom - client.top};
  }

  fs::path folder_;
};

constexpr LPARAM kAltHeld = 0x20000001;      // a system key's lParam with Alt down
constexpr LPARAM kAltHeldRepeat = 0x60000001;  // the same, repeating

TEST_F(Win32WindowTest, AltEnterAndF11SwitchToAFramedWindowThatFitsAndBackAndAreRemembered) {
  Win32Platform platform(GetModuleHandleA(nullptr));
  platform.CreateMainWindow("Tavrolith", 800, 600);
  platform.ShowMainWindow();
  const auto window = static_cast<HWND>(platform.NativeWindowHandle());
  ASSERT_NE(window, nullptr);
  ASSERT_FALSE(platform.Windowed());  // full screen without a choice on file
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);

  // Alt+Enter presses no Enter in the game, and its character does not reach the
  // system (which would beep).
  std::vector<PlatformEvent> events;
  EXPECT_TRUE(Send(platform, WM_SYSKEYDOWN, VK_RETURN, kAltHeld, &events));
  EXPECT_TRUE(Send(platform, WM_SYSCHAR, VK_RETURN, kAltHeld, &events));
  for (const PlatformEvent& event : events) {
    EXPECT_NE(event.type, PlatformEventType::kKeyDown);
    EXPECT_NE(event.type, PlatformEventType::kChar);
  }
  ASSERT_TRUE(platform.Windowed());
  EXPECT_TRUE(ReadWindowedChoice(ChoiceFile()));
  const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
  EXPECT_EQ(style & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);
  EXPECT_EQ(style & WS_POPUP, 0);
  // The opening size where the frame fits on the screen, else as much of it as
  // does: the whole window stays on the screen, its title bar within reach.
  const WindowSize opening = OpeningWindowSize(screenWidth, screenHeight, 800, 600);
  const SIZE client = ClientSize(window);
  RECT outer = {0, 0, 0, 0};
  GetWindowRect(window, &outer);
  EXPECT_LE(client.cx, opening.width);
  EXPECT_LE(client.cy, opening.height);
  EXPECT_GT(client.cx, opening.width * 9 / 10);
  EXPECT_GT(client.cy, opening.height * 9 / 10);
  EXPECT_GE(outer.left, 0);
  EXPECT_GE(outer.top, 0);
  EXPECT_LE(outer.right, screenWidth);
  EXPECT_LE(outer.bottom, screenHeight);

  // The cursor maps through the letterbox of the client area: a game pixel set is
  // the game pixel read back, whatever the bars.
  platform.SetCursorPos(584, 567);
  int x = 0, y = 0;
  platform.GetCursorPos(&x, &y);
  EXPECT_EQ(x, 584);
  EXPECT_EQ(y, 567);

  // A window that loses the focus stays where it is; a held Alt+Enter does not
  // switch back and forth.
  platform.YieldForeground();
  EXPECT_FALSE(IsIconic(window));
  Send(platform, WM_SYSKEYDOWN, VK_RETURN, kAltHeldRepeat);
  EXPECT_TRUE(platform.Windowed());

  // The next run opens as a window.
  platform.DestroyMainWindow();
  platform.CreateMainWindow("Tavrolith", 800, 600);
  platform.ShowMainWindow();
  const auto reopened = static_cast<HWND>(platform.NativeWindowHandle());
  EXPECT_TRUE(platform.Windowed());
  EXPECT_EQ(GetWindowLongPtrW(reopened, GWL_STYLE) & WS_CAPTION, WS_CAPTION);
  EXPECT_EQ(ClientSize(reopened).cx, client.cx);

  // F11 goes back to a popup covering the screen, and that is remembered.
  Send(platform, WM_KEYDOWN, VK_F11, 1);
  EXPECT_FALSE(platform.Windowed());
  EXPECT_FALSE(ReadWindowedChoice(ChoiceFile()));
  EXPECT_EQ(GetWindowLongPtrW(reopened, GWL_STYLE) & (WS_POPUP | WS_CAPTION), WS_POPUP);
  const SIZE fullScreen = ClientSize(reopened);
  EXPECT_EQ(fullScreen.cx, screenWidth);
  EXPECT_EQ(fullScreen.cy, screenHeight);
  platform.DestroyMainWindow();
}

// One frame through the back-end: a dark blue clear and a bright quad at a known
// place, read back before it is presented. False when the frame was skipped (the
// frame in which the device is reset).
bool DrawFrame(D3D8Renderer& renderer, Platform& platform, std::vector<uint32_t>* frame) {
  PlatformEvent event;
  while (platform.PollEvent(&event)) {
  }
  if (!renderer.BeginFrame()) return false;
  renderer.BeginScene();
  renderer.Clear(0.0f, 0.0f, 0.5f);
  renderer.BindTexture(0, 0);
  renderer.SetBlendMode(kBlendNone);
  const Vertex quad[4] = {{100, 100, 0, 0}, {300, 100, 0, 0}, {300, 200, 0, 0}, {100, 200, 0, 0}};
  renderer.DrawQuad(quad, 1.0f, 1.0f, 0.0f, 1.0f);
  const bool read = renderer.ReadBackBuffer(frame);
  renderer.EndFrame();
  return read;
}

// Draws frames until one is drawn (a switch costs the frame of the reset).
std::vector<uint32_t> NextDrawnFrame(D3D8Renderer& renderer, Platform& platform) {
  std::vector<uint32_t> frame;
  for (int attempt = 0; attempt < 5; ++attempt) {
    if (DrawFrame(renderer, platform, &frame)) return frame;
  }
  ADD_FAILURE() << "no frame drawn in five tries";
  return frame;
}

TEST_F(Win32WindowTest, Direct3DDeviceFollowsTheSwitchBothWaysAndDrawsTheSamePicture) {
  // The fault-injecting d3d8.dll stands in for the first device of a process only
  // (after it is unloaded, the system's d3d8.dll it loaded answers by that name), and
  // the comparison beside this test is the one that needs it.
  if (std::getenv("TAV_D3D8_FAULTS") != nullptr) {
    GTEST_SKIP() << "faults are injected for the comparison";
  }
  Win32Platform platform(GetModuleHandleA(nullptr));
  platform.CreateMainWindow("Tavrolith", 800, 600);
  platform.ShowMainWindow();
  D3D8Renderer renderer(platform);
  try {
    renderer.Init(800, 600, 16, true);
    const std::vector<uint32_t> fullScreen = NextDrawnFrame(renderer, platform);
    ASSERT_EQ(fullScreen.size(), 800u * 600u);
    // The quad, in the back buffer's top-left-origin rows, is bright; the rest blue.
    EXPECT_GT((fullScreen[450 * 800 + 200] >> 16) & 0xFF, 200u);
    EXPECT_LT((fullScreen[100 * 800 + 600] >> 16) & 0xFF, 16u);

    Send(platform, WM_SYSKEYDOWN, VK_RETURN, kAltHeld);
    ASSERT_TRUE(platform.Windowed());
    std::vector<uint32_t> frame;
    EXPECT_FALSE(DrawFrame(renderer, platform, &frame));  // the frame of the reset
    const std::vector<uint32_t> windowed = NextDrawnFrame(renderer, platform);
    EXPECT_EQ(windowed, fullScreen) << "the picture changed in the window";
    // The device reset left the window framed, as the platform placed it.
    const auto window = static_cast<HWND>(platform.NativeWindowHandle());
    EXPECT_EQ(GetWindowLongPtrW(window, GWL_STYLE) & WS_CAPTION, WS_CAPTION);

    Send(platform, WM_KEYDOWN, VK_F11, 1);
    ASSERT_FALSE(platform.Windowed());
    EXPECT_EQ(NextDrawnFrame(renderer, platform), fullScreen);
    EXPECT_EQ(GetWindowLongPtrW(window, GWL_STYLE) & (WS_POPUP | WS_CAPTION), WS_POPUP);
  } catch (const FatalError&) {
    ADD_FAILURE() << "the Direct3D 8 back-end failed:\n" << Log();
    SetErrorsRaise(true);
  }
  const std::string log = Log();
  EXPECT_NE(log.find("Device to a window\nReset()\nDevice reset\n"), std::string::npos) << log;
  EXPECT_NE(log.find("Device to full screen\nReset()\nDevice reset\n"), std::string::npos) << log;
  EXPECT_EQ(log.find("ERROR"), std::string::npos) << log;
  renderer.Shutdown();

  // Started in a window (the choice kept above was full screen, so it is set
  // again), the device is made windowed from the start.
  ASSERT_TRUE(WriteWindowedChoice(ChoiceFile(), true));
  platform.DestroyMainWindow();
  platform.CreateMainWindow("Tavrolith", 800, 600);
  platform.ShowMainWindow();
  D3D8Renderer windowedRenderer(platform);
  try {
    windowedRenderer.Init(800, 600, 16, true);
    std::vector<uint32_t> frame;
    EXPECT_TRUE(DrawFrame(windowedRenderer, platform, &frame));
  } catch (const FatalError&) {
    ADD_FAILURE() << "the Direct3D 8 back-end did not start in a window:\n" << Log();
    SetErrorsRaise(true);
  }
  EXPECT_NE(Log().find("CreateDevice() in a window\n"), std::string::npos) << Log();
  windowedRenderer.Shutdown();
  platform.DestroyMainWindow();
}

// The Windows platform, counting the pauses asked of it (it still pauses).
class PauseCountingPlatform : public Win32Platform {
 public:
  using Win32Platform::Win32Platform;
  void Sleep(uint32_t milliseconds) override {
    ++pauses;
    Win32Platform::Sleep(milliseconds);
  }
  int pauses = 0;
};

TEST_F(Win32WindowTest, LostDevicePausesEveryFrameInsteadOfSpinningAndIsResetOnReturn) {
  if (std::getenv("TAV_D3D8_FAULTS") != nullptr) {
    GTEST_SKIP() << "faults are injected for the comparison";
  }
  PauseCountingPlatform platform(GetModuleHandleA(nullptr));
  platform.CreateMainWindow("Tavrolith", 800, 600);
  platform.ShowMainWindow();
  D3D8Renderer renderer(platform);
  try {
    renderer.Init(800, 600, 16, true);
    NextDrawnFrame(renderer, platform);
    // Sent away (as by Alt+Tab), a full-screen device is lost: no frame is drawn,
    // and every attempt pauses.
    platform.Minimise();
    std::vector<uint32_t> frame;
    int drawn = 0;
    for (int attempt = 0; attempt < 5; ++attempt) {
      if (DrawFrame(renderer, platform, &frame)) ++drawn;
    }
    EXPECT_EQ(drawn, 0);
    EXPECT_GE(platform.pauses, 5);
    // Back in front, the device is reset and draws again.
    platform.BringToFront();
    EXPECT_EQ(NextDrawnFrame(renderer, platform).size(), 800u * 600u);
  } catch (const FatalError&) {
    ADD_FAILURE() << "the Direct3D 8 back-end failed:\n" << Log();
    SetErrorsRaise(true);
  }
  const std::string log = Log();
  EXPECT_NE(log.find("Device lost\n"), std::string::npos) << log;
  EXPECT_NE(log.find("Reset()\nDevice reset\n"), std::string::npos) << log;
  renderer.Shutdown();
  platform.DestroyMainWindow();
}

}  // namespace
}  // namespace tav
