// The whole frame path (main loop, pacer, OpenGL back-end) in a real window inside a
// virtual X server, presenting to stand-in displays that hold swaps like real
// drivers do, on a fake clock: what is presented, and when, on a display that waits
// for the refresh, one without region copies, one that never waits, and displays
// that change behaviour in the middle of a run.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "app/application.h"
#include "app/main_loop.h"
#include "audio/recording_audio_device.h"
#include "audio/sound_manager.h"
#include "base/frame_clock.h"
#include "base/log.h"
#include "platform/headless/fake_display.h"
#include "platform/sdl/sdl_platform.h"
#include "render/gl/gl_functions.h"
#include "render/gl/gl_renderer.h"

namespace tav {
namespace {

constexpr uint64_t kSecond = 1000000;
constexpr uint64_t kRefresh = kSecond / 60;  // 16666 or 16667 microseconds
constexpr uint64_t kWorkMicroseconds = 2000;  // each frame's own work
constexpr uint64_t kYieldMicroseconds = 50;   // what giving the processor away takes

// The SDL window and GL context are real; time and presentation timing are the fake
// display's.
class FakeDisplayPlatform : public SdlPlatform {
 public:
  FakeDisplay display;
  uint64_t now = 0;
  long swaps = 0;
  long regions = 0;
  long sleeps = 0;

  bool QueryFrequency(uint64_t* ticksPerSecond) override {
    *ticksPerSecond = kSecond;
    return true;
  }
  uint64_t QueryCounter() override { return now; }
  uint32_t MilliTicks() override { return static_cast<uint32_t>(now / 1000); }
  void Sleep(uint32_t milliseconds) override {
    ++sleeps;
    now += milliseconds == 0 ? kYieldMicroseconds : milliseconds * uint64_t{1000};
  }
  void SwapGLBuffers() override {
    SdlPlatform::SwapGLBuffers();
    ++swaps;
    now = display.SwapReturnTime(now);
  }
  bool CanPresentRegions() override {
    return display.CopiesRegions() && SdlPlatform::CanPresentRegions();
  }
  void PresentRegion(int x, int y, int width, int height) override {
    SdlPlatform::PresentRegion(x, y, width, height);
    ++regions;
  }
  bool PresentsToDisplay() override { return true; }
  int DisplayRefreshRate() override { return display.RefreshHz(); }
};

// What the platform had counted when a frame's step began.
struct FrameSample {
  uint64_t start;
  long swaps;
  long regions;
  long sleeps;
};

// Draws a backdrop and a square that moves while `moving` says so; ends the run after
// `seconds` of fake time.
class ScriptedGame : public Application {
 public:
  ScriptedGame(FakeDisplayPlatform& platform, uint64_t seconds)
      : platform_(platform), end_(seconds * kSecond) {}

  std::function<bool(uint64_t now)> moving = [](uint64_t) { return false; };
  std::function<void(uint64_t now)> onFrame = [](uint64_t) {};
  std::vector<FrameSample> samples;
  bool partsPossible = false;

  // The window reaches the screen's size only once the X server has configured it,
  // which on a busy machine can take longer than a whole run of fake time: the run
  // starts on the letterboxed screen. SDL_PumpEvents leaves the loop's events queued.
  void SetUp() override {
    ASSERT_STREQ(SDL_GetCurrentVideoDriver(), "x11");
    // Whether this X server and GL context can present in parts at all: a context
    // without framebuffer objects (seen rarely on a loaded machine) cannot.
    partsPossible = platform_.SdlPlatform::CanPresentRegions() &&
                    LoadFramebufferFunctions(platform_) != nullptr;
    SDL_DisplayMode desktop;
    ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &desktop), 0);
    for (int attempt = 0; attempt < 500; ++attempt) {
      SDL_PumpEvents();
      const GameViewport viewport = platform_.Viewport();
      if (viewport.drawableWidth == desktop.w && viewport.drawableHeight == desktop.h) return;
      SDL_Delay(10);
    }
    FAIL() << "the window never covered the screen";
  }
  void TearDown() override {}
  void OnLeftButtonDown() override {}
  void OnLeftButtonUp() override {}
  void OnRightButtonDown() override {}
  void OnRightButtonUp() override {}
  void OnChar(int, int) override {}
  void FrameStep() override {
    samples.push_back({platform_.now, platform_.swaps, platform_.regions, platform_.sleeps});
    onFrame(platform_.now);
    Renderer& renderer = *GetRenderer();
    renderer.Clear(0.2f, 0.3f, 0.4f);
    renderer.SetBlendMode(kBlendNone);
    if (moving(platform_.now)) ++position_;
    const float x = static_cast<float>(position_ % 700);
    const Vertex square[4] = {{x, 100, 0, 0}, {x + 64, 100, 1, 0}, {x + 64, 164, 1, 1},
                              {x, 164, 0, 1}};
    renderer.DrawQuad(square, 1.0f, 0.5f, 0.0f, 1.0f);
    platform_.now += kWorkMicroseconds;
    if (platform_.now >= end_) RequestQuit();
  }

 private:
  FakeDisplayPlatform& platform_;
  uint64_t end_;
  long position_ = 0;
};

// What the frames that began within [from, to) did, from the samples of one run.
struct Stretch {
  int frames = 0;
  long swaps = 0;
  long regions = 0;
  long waits = 0;       // sleeps of the pacer
  int unpresented = 0;  // frames that neither swapped nor copied a region
  uint64_t shortestInterval = ~uint64_t{0};
  uint64_t longestInterval = 0;
  uint64_t longestWithoutSwap = 0;
};

Stretch Measure(const std::vector<FrameSample>& samples, uint64_t from, uint64_t to) {
  Stretch stretch;
  uint64_t lastSwap = from;
  for (size_t i = 0; i + 1 < samples.size(); ++i) {
    const FrameSample& frame = samples[i];
    const FrameSample& next = samples[i + 1];
    if (frame.start < from || frame.start >= to) continue;
    ++stretch.frames;
    const long swaps = next.swaps - frame.swaps, regions = next.regions - frame.regions;
    stretch.swaps += swaps;
    stretch.regions += regions;
    stretch.waits += next.sleeps - frame.sleeps;
    if (swaps == 0 && regions == 0) ++stretch.unpresented;
    const uint64_t interval = next.start - frame.start;
    stretch.shortestInterval = std::min(stretch.shortestInterval, interval);
    stretch.longestInterval = std::max(stretch.longestInterval, interval);
    if (swaps > 0) {
      stretch.longestWithoutSwap = std::max(stretch.longestWithoutSwap, next.start - lastSwap);
      lastSwap = next.start;
    }
  }
  return stretch;
}

class PresentModesTest : public ::testing::Test {
 protected:
  // SDL's video stays up between the runs: started again and again in one process it
  // has fallen back to its offscreen driver, which has no region copies.
  static void SetUpTestSuite() {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
  }
  static void TearDownTestSuite() { SDL_QuitSubSystem(SDL_INIT_VIDEO); }

  void SetUp() override {
    directory_ = std::filesystem::path(TAV_BINARY_DIR) / "tests" / "present_modes_test";
    std::filesystem::create_directories(directory_);
    SetErrorsRaise(true);
    FrameClock::Instance().ResetForTests();
    SoundManager::Instance().ResetForTests();
    SoundManager::Instance().SetDevice(&audio_);
    unsetenv("TAV_FRAME_PACING");
  }
  void TearDown() override {
    SoundManager::Instance().ResetForTests();
    unsetenv("TAV_FRAME_PACING");
  }

  // One run of the game from the start of the fake clock.
  void Run(ScriptedGame& game) {
    SetErrorsRaise(true);
    platform_.now = 0;
    platform_.swaps = platform_.regions = platform_.sleeps = 0;
    FrameClock::Instance().ResetForTests();
    SoundManager::Instance().ResetForTests();
    SoundManager::Instance().SetDevice(&audio_);
    const std::vector<RendererFactory> renderers = {
        [this]() -> std::unique_ptr<Renderer> { return std::make_unique<GLRenderer>(platform_); }};
    RunMainLoop(platform_, renderers, game, directory_.string());
  }

  // Frames all swapped, one refresh apart, nothing paced or copied in parts.
  static void ExpectSwappedEveryRefresh(const Stretch& stretch, const char* what) {
    EXPECT_GT(stretch.frames, 0) << what;
    EXPECT_EQ(stretch.waits, 0) << what << ": paced by the game";
    EXPECT_EQ(stretch.regions, 0) << what << ": presented in parts";
    EXPECT_EQ(stretch.unpresented, 0) << what << ": frames left out";
    EXPECT_EQ(stretch.swaps, stretch.frames) << what;
    EXPECT_GE(stretch.shortestInterval, kRefresh) << what;
    EXPECT_LE(stretch.longestInterval, kRefresh + 1) << what;
  }

  // Frames paced to 60 a second by the game, with a whole swap at least every second.
  static void ExpectPacedToSixty(const Stretch& stretch, const char* what) {
    EXPECT_GE(stretch.frames, 58) << what;
    EXPECT_LE(stretch.frames, 66) << what;
    EXPECT_GT(stretch.waits, 0) << what;
    EXPECT_LE(stretch.longestWithoutSwap, 11 * kSecond / 10) << what;
  }

  std::filesystem::path directory_;
  FakeDisplayPlatform platform_;
  RecordingAudioDevice audio_;
};

TEST_F(PresentModesTest, AVsyncDisplayIsNeverPacedAndGetsEveryFrameSwappedOneRefreshApart) {
  for (const DisplayKind kind : {DisplayKind::kVsync, DisplayKind::kVsyncNoCopy}) {
    SCOPED_TRACE(kind == DisplayKind::kVsync ? "vsync" : "vsync, no copy extension");
    platform_.display = FakeDisplay(kind);
    // The driver's queued buffers let the first swaps return at once.
    platform_.display.ReturnNextSwapsAtOnce(3);
    ScriptedGame game(platform_, 4);  // an idle picture: every frame the same
    Run(game);
    ExpectSwappedEveryRefresh(Measure(game.samples, kSecond / 10, 4 * kSecond), "whole run");
  }
}

TEST_F(PresentModesTest, WithoutVsyncTheGamePacesToSixtyAndPresentsOnlyWhatChanged) {
  platform_.display = FakeDisplay(DisplayKind::kNoVsync);
  ScriptedGame game(platform_, 6);
  game.moving = [](uint64_t now) { return now < 3 * kSecond; };
  Run(game);
  const Stretch moving = Measure(game.samples, kSecond, 3 * kSecond);
  ExpectPacedToSixty(Measure(game.samples, kSecond, 2 * kSecond), "moving");
  const Stretch idle = Measure(game.samples, 4 * kSecond, 5 * kSecond);
  ExpectPacedToSixty(idle, "idle");
  EXPECT_GT(idle.unpresented, idle.frames / 2) << "unchanged frames are left out";
  if (!game.partsPossible) GTEST_SKIP() << "no region copies or framebuffer objects here";
  EXPECT_GT(moving.regions, 0) << "the moving square was presented in parts";
}

// A compositor that stops throttling (or a window hidden behind others) for a few
// seconds, then throttles again: the game paces while swaps return at once and hands
// the timing back to the display once it holds them again.
TEST_F(PresentModesTest, AfterTheDisplayChangesTheRightModeIsBackWithinTwoSeconds) {
  for (const DisplayKind kind : {DisplayKind::kVsync, DisplayKind::kVsyncNoCopy}) {
    SCOPED_TRACE(kind == DisplayKind::kVsync ? "vsync" : "vsync, no copy extension");
    platform_.display = FakeDisplay(kind);
    ScriptedGame game(platform_, 10);
    game.moving = [](uint64_t now) { return (now / kSecond) % 2 == 0; };
    game.onFrame = [&](uint64_t now) {
      platform_.display.SetKind(now >= 2 * kSecond && now < 5 * kSecond ? DisplayKind::kNoVsync
                                                                       : kind);
    };
    Run(game);
    ExpectSwappedEveryRefresh(Measure(game.samples, kSecond / 10, 2 * kSecond), "before");
    ExpectPacedToSixty(Measure(game.samples, 4 * kSecond, 5 * kSecond), "not throttled");
    ExpectSwappedEveryRefresh(Measure(game.samples, 7 * kSecond, 10 * kSecond), "throttled again");
  }
}

TEST_F(PresentModesTest, PacingTurnedOffSwapsEveryFrameWhole) {
  setenv("TAV_FRAME_PACING", "off", 1);
  platform_.display = FakeDisplay(DisplayKind::kNoVsync);
  ScriptedGame game(platform_, 2);
  game.moving = [](uint64_t now) { return now < kSecond; };
  Run(game);
  const Stretch stretch = Measure(game.samples, 0, 2 * kSecond);
  EXPECT_EQ(stretch.waits, 0);
  EXPECT_EQ(stretch.regions, 0);
  EXPECT_EQ(stretch.unpresented, 0);
  EXPECT_EQ(stretch.swaps, stretch.frames);
  EXPECT_EQ(stretch.longestInterval, kWorkMicroseconds);
}

}  // namespace
}  // namespace tav
