// The main loop driven headless: a scripted platform, a recording renderer, a
// recording sound device and a fake application that can quit, fail or stall.
#include "app/main_loop.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "audio/recording_audio_device.h"
#include "audio/sound_manager.h"
#include "base/frame_clock.h"
#include "base/log.h"
#include "platform/headless/headless_platform.h"
#include "render/recording_renderer.h"

namespace tav {
namespace {

// What a renderer saw, kept after the loop has destroyed it.
struct RendererRecord {
  std::vector<std::string> ops;
  int beginFrameCalls = 0;
  bool destroyed = false;
};

// A recording renderer whose BeginFrame can fail a number of times, and whose Init
// can fail like a back-end that cannot start.
class ObservedRenderer : public RecordingRenderer {
 public:
  ObservedRenderer(RendererRecord* record, int failingFrames, const char* initFailure)
      : record_(record), failingFrames_(failingFrames), initFailure_(initFailure) {}
  ~ObservedRenderer() override {
    for (const RecordedCall& call : Calls()) record_->ops.push_back(call.op);
    record_->destroyed = true;
  }
  void Init(int width, int height, int bits, bool fullScreen) override {
    RecordingRenderer::Init(width, height, bits, fullScreen);
    if (initFailure_ != nullptr) ReportFatal("%s", initFailure_);
  }
  bool BeginFrame() override {
    ++record_->beginFrameCalls;
    SetBeginFrameResult(failingFrames_ <= 0);
    --failingFrames_;
    return RecordingRenderer::BeginFrame();
  }

 private:
  RendererRecord* record_;
  int failingFrames_;
  const char* initFailure_;
};

// The application: records every call; what it does in a frame is up to the test.
class FakeApplication : public Application {
 public:
  std::vector<std::string> calls;
  int frames = 0;
  int quitAfterFrames = 3;
  std::function<void(int frame)> onFrame;
  std::function<void()> onSetUp;
  std::function<void()> onTearDown;

  void SetUp() override {
    calls.push_back("SetUp");
    LogLine("application set-up\n");
    if (onSetUp) onSetUp();
  }
  void FrameStep() override {
    ++frames;
    calls.push_back("FrameStep");
    if (onFrame) onFrame(frames);
    if (frames >= quitAfterFrames) RequestQuit();
  }
  void TearDown() override {
    calls.push_back("TearDown");
    LogLine("application teardown\n");
    if (onTearDown) onTearDown();
  }
  void OnLeftButtonDown() override { calls.push_back("LeftDown"); }
  void OnLeftButtonUp() override { calls.push_back("LeftUp"); }
  void OnRightButtonDown() override { calls.push_back("RightDown"); }
  void OnRightButtonUp() override { calls.push_back("RightUp"); }
  void OnChar(int code, int keyData) override {
    calls.push_back("Char " + std::to_string(code) + " " + std::to_string(keyData));
  }
  void OnKey(const KeyPress& press) override {
    calls.push_back("Key " + std::to_string(static_cast<int>(press.key)) +
                    (press.shift ? " shift" : ""));
  }
  void OnCloseRequest() override {
    calls.push_back("Close");
    Application::OnCloseRequest();
  }
};

class MainLoopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_ = std::filesystem::path(TAV_BINARY_DIR) / "tests" / "main_loop_test" /
                 ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::filesystem::remove_all(directory_);
    std::filesystem::create_directories(directory_ / "Data" / "Audio");
    SetErrorsRaise(true);
    FrameClock::Instance().ResetForTests();
    SoundManager::Instance().ResetForTests();
    SoundManager::Instance().SetDevice(&audio_);
  }
  void TearDown() override {
    SoundManager::Instance().ResetForTests();
    SetErrorsRaise(true);
  }

  void WriteSoundFile(const std::string& name) {
    std::ofstream(directory_ / "Data" / "Audio" / name) << "sound";
  }

  RendererFactory Observed(RendererRecord* record, int failingFrames = 0,
                           const char* initFailure = nullptr) {
    return [=]() -> std::unique_ptr<Renderer> {
      return std::make_unique<ObservedRenderer>(record, failingFrames, initFailure);
    };
  }

  int Run(std::vector<RendererFactory> renderers) {
    return RunMainLoop(platform_, renderers, app_, directory_.string());
  }
  int Run() { return Run({Observed(&record_)}); }

  std::string Log() const {
    std::ifstream file(directory_ / "log.txt");
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }

  std::filesystem::path directory_;
  HeadlessPlatform platform_;
  RecordingAudioDevice audio_;
  FakeApplication app_;
  RendererRecord record_;
};

TEST_F(MainLoopTest, StartsUpInOrderRunsFramesAndShutsDownOnQuit) {
  bool rendererReadyAtSetUp = false, soundReadyAtSetUp = false, cursorShownAtFrame = true;
  app_.onSetUp = [&] {
    auto* renderer = static_cast<RecordingRenderer*>(GetRenderer());
    rendererReadyAtSetUp = renderer != nullptr && renderer->Initialised() &&
                           renderer->Width() == 800 && renderer->Height() == 600 &&
                           renderer->BitsPerPixel() == 16;
    soundReadyAtSetUp = SoundManager::Instance().DeviceOpen();
  };
  app_.onFrame = [&](int) { cursorShownAtFrame = platform_.CursorShown(); };

  EXPECT_EQ(Run(), 0);

  EXPECT_EQ(Log(),
            "log start\n"
            "sound initialization\n"
            "OpenDevice( \"directsound\" )\n"
            "OpenDevice( \"winmm\" )\n"
            "OpenDevice( \"\" )\n"
            "AUDIERE DEVICE: recorder.\n"
            "application set-up\n"
            "destroy exception\n"
            "application teardown\n");
  EXPECT_TRUE(rendererReadyAtSetUp);
  EXPECT_TRUE(soundReadyAtSetUp);
  EXPECT_FALSE(cursorShownAtFrame);
  EXPECT_EQ(platform_.Caption(), "Tavrolith");
  EXPECT_EQ(app_.frames, 3);

  // Every frame is BeginFrame, BeginScene, the step, EndFrame; the quit in the third
  // step leaves the loop before its EndFrame; then Shutdown.
  const std::vector<std::string> expected = {
      "Init",       "BeginFrame", "BeginScene", "EndFrame",   "BeginFrame",
      "BeginScene", "EndFrame",   "BeginFrame", "BeginScene", "Shutdown"};
  EXPECT_EQ(record_.ops, expected);
  EXPECT_TRUE(record_.destroyed);
  EXPECT_EQ(GetRenderer(), nullptr);
  EXPECT_FALSE(SoundManager::Instance().DeviceOpen());
  EXPECT_FALSE(platform_.WindowExists());
  EXPECT_EQ(audio_.Calls().back(), "close");
}

TEST_F(MainLoopTest, FrameSkippedWhenBeginFrameFails) {
  Stopwatch watch;
  std::vector<float> watchAtFrame;
  app_.quitAfterFrames = 2;
  app_.onFrame = [&](int) {
    watchAtFrame.push_back(watch.Get());
    platform_.AdvanceClock(20000);
  };

  Run({Observed(&record_, /*failingFrames=*/3)});

  EXPECT_EQ(record_.beginFrameCalls, 5);
  EXPECT_EQ(app_.frames, 2);
  // The skipped passes neither drew nor advanced the clock.
  const std::vector<std::string> expected = {
      "Init",       "BeginFrame", "BeginFrame", "BeginFrame", "BeginFrame",
      "BeginScene", "EndFrame",   "BeginFrame", "BeginScene", "Shutdown"};
  EXPECT_EQ(record_.ops, expected);
  ASSERT_EQ(watchAtFrame.size(), 2u);
  EXPECT_FLOAT_EQ(watchAtFrame[0], 0.0f);
  EXPECT_FLOAT_EQ(watchAtFrame[1], 0.02f);
}

TEST_F(MainLoopTest, StalledFrameIsClampedAndNextFrameMeasuresOnlyItself) {
  std::vector<float> frameTimeAtFrame;
  app_.onFrame = [&](int frame) {
    frameTimeAtFrame.push_back(FrameTime());
    platform_.AdvanceClock(frame == 1 ? 1000000 : 10000);
  };

  Run();

  ASSERT_EQ(frameTimeAtFrame.size(), 3u);
  EXPECT_FLOAT_EQ(frameTimeAtFrame[0], FrameClock::kInitialFrameTime);
  EXPECT_FLOAT_EQ(frameTimeAtFrame[1], FrameClock::kMaxFrameTime);
  EXPECT_NEAR(frameTimeAtFrame[2], 0.01f, 1e-6);
}

TEST_F(MainLoopTest, LosingFocusMinimisesSleepsAndStopsMusicUntilFocusReturns) {
  WriteSoundFile("Music.ogg");
  app_.onSetUp = [] {
    SoundHandle& music = SoundManager::Instance().MusicHandle();
    music.Load("Music.ogg", SoundManager::Instance().MusicLibrary());
    music.Play(true);
  };
  app_.quitAfterFrames = 4;
  int framesWhileAway = -1;
  std::vector<bool> musicPlayingDuringSleeps;
  app_.onFrame = [&](int frame) {
    platform_.AdvanceClock(10000);
    if (frame == 2) platform_.PushFocus(false);
  };
  platform_.SetSleepHook([&](uint32_t) {
    musicPlayingDuringSleeps.push_back(audio_.Find("Music.ogg")->playing);
    if (platform_.Sleeps().size() == 3) {
      framesWhileAway = app_.frames;
      // The player restores the minimised window.
      platform_.PushActivate(false);
      platform_.PushFocus(true);
    }
  });
  Stopwatch watch;

  Run();

  EXPECT_EQ(platform_.Sleeps(), (std::vector<uint32_t>{200, 200, 200}));
  EXPECT_EQ(framesWhileAway, 2);
  EXPECT_EQ(platform_.MinimiseCount(), 1);
  EXPECT_EQ(platform_.BringToFrontCount(), 1);
  // The first sleep happens before the music is stopped; the others are silent.
  EXPECT_EQ(musicPlayingDuringSleeps, (std::vector<bool>{true, false, false}));
  const RecordedSound* music = audio_.Find("Music.ogg");
  EXPECT_EQ(music->stops, 1);
  EXPECT_EQ(music->resumes, 1);
  EXPECT_TRUE(music->playing);
  EXPECT_EQ(app_.frames, 4);
  // The 600 ms away are in no frame's time: three ended frames of 10 ms each (the
  // fourth is left by the quit before its end).
  EXPECT_NEAR(watch.Get(), 0.03f, 1e-5);
}

TEST_F(MainLoopTest, MinimisingFromTheApplicationDeactivatesUntilRestored) {
  app_.quitAfterFrames = 2;
  app_.onFrame = [&](int frame) {
    if (frame == 1) GetPlatform().Minimise();  // the top bar's minimise button
  };
  platform_.SetSleepHook([&](uint32_t) {
    if (platform_.Sleeps().size() == 2) platform_.PushActivate(false);
  });

  Run();

  EXPECT_EQ(platform_.Sleeps().size(), 2u);
  EXPECT_EQ(platform_.MinimiseCount(), 2);  // by the application, then by the loop
  EXPECT_EQ(platform_.BringToFrontCount(), 1);
  EXPECT_EQ(app_.frames, 2);
}

TEST_F(MainLoopTest, InputReachesTheApplicationBetweenFramesAndCloseLeavesThroughTeardown) {
  app_.quitAfterFrames = 100;
  app_.onFrame = [&](int frame) {
    if (frame == 3) platform_.PushClose();
    if (frame != 1) return;
    platform_.PushButton(MouseButton::kLeft, true);
    platform_.PushButton(MouseButton::kLeft, false);
    platform_.PushKey(InputKey::kEnter, true);
    platform_.PushButton(MouseButton::kRight, true);
    platform_.PushButton(MouseButton::kRight, false);
    PlatformEvent typed;
    typed.type = PlatformEventType::kChar;
    typed.charCode = 0xE9;
    typed.keyData = 0x12;
    platform_.PushEvent(typed);
  };

  Run();

  const std::vector<std::string> expected = {
      "SetUp",   "FrameStep",   "LeftDown",  "LeftUp",    "Key 5 shift", "RightDown",
      "RightUp", "Char 233 18", "FrameStep", "FrameStep", "Close",       "TearDown"};
  EXPECT_EQ(app_.calls, expected);
}

TEST_F(MainLoopTest, TerminationSignalLeavesThroughTeardown) {
  app_.quitAfterFrames = 100;
  app_.onFrame = [&](int frame) {
    if (frame == 2) platform_.PushTerminate();
  };

  Run();

  EXPECT_EQ(app_.frames, 2);
  EXPECT_EQ(app_.calls.back(), "TearDown");
  EXPECT_EQ(Log().find("ERROR"), std::string::npos);
  EXPECT_NE(Log().find("destroy exception\napplication teardown\n"), std::string::npos);
}

TEST_F(MainLoopTest, FatalErrorInSetUpEndsInOrderlyShutdown) {
  app_.onSetUp = [] { ReportFatal("Failed to load %s", "xFont.tga"); };

  EXPECT_EQ(Run(), 0);

  EXPECT_EQ(app_.frames, 0);
  EXPECT_EQ(app_.calls, (std::vector<std::string>{"SetUp", "TearDown"}));
  const std::string log = Log();
  EXPECT_NE(log.find("application set-up\n"
                     "ERROR: Failed to load xFont.tga\n"
                     "destroy exception\n"
                     "application teardown\n"),
            std::string::npos);
  EXPECT_EQ(log.find("Invalid exception"), std::string::npos);
  EXPECT_EQ(record_.ops.back(), "Shutdown");
  EXPECT_FALSE(SoundManager::Instance().DeviceOpen());
  EXPECT_FALSE(platform_.WindowExists());
}

TEST_F(MainLoopTest, UnexpectedExceptionIsReportedAsInvalid) {
  app_.onFrame = [](int) { throw std::runtime_error("boom"); };

  EXPECT_EQ(Run(), 0);

  EXPECT_NE(Log().find("destroy exception\n"
                       "ERROR: Invalid exception.\n"
                       "application teardown\n"),
            std::string::npos);
  EXPECT_EQ(record_.ops.back(), "Shutdown");
  EXPECT_FALSE(platform_.WindowExists());
}

TEST_F(MainLoopTest, FailingFirstRendererFallsBackToTheNext) {
  RendererRecord failed;
  app_.quitAfterFrames = 1;

  Run({Observed(&failed, 0, "CreateDevice() failed."), Observed(&record_)});

  EXPECT_EQ(failed.ops, (std::vector<std::string>{"Init", "Shutdown"}));
  EXPECT_TRUE(failed.destroyed);
  EXPECT_EQ(app_.frames, 1);
  const std::string log = Log();
  EXPECT_NE(log.find("log start\nERROR: CreateDevice() failed.\nsound initialization\n"),
            std::string::npos);
  // The quit at the end still raised: the flag was set again after the fallback.
  EXPECT_NE(log.find("destroy exception\n"), std::string::npos);
  EXPECT_EQ(log.find("Invalid exception"), std::string::npos);
}

TEST_F(MainLoopTest, WhenEveryRendererFailsNothingIsSetUp) {
  RendererRecord first;

  Run({Observed(&first, 0, "Direct3DCreate8() failed."),
       Observed(&record_, 0, "SDL_GL_CreateContext() failed.")});

  EXPECT_TRUE(app_.calls.empty());
  EXPECT_EQ(Log(),
            "log start\n"
            "ERROR: Direct3DCreate8() failed.\n"
            "ERROR: SDL_GL_CreateContext() failed.\n"
            "destroy exception\n");
  EXPECT_EQ(record_.ops, (std::vector<std::string>{"Init", "Shutdown"}));
  EXPECT_FALSE(platform_.WindowExists());
}

TEST_F(MainLoopTest, WindowFailureShutsDownWhatExists) {
  platform_.SetFailWindowCreation(true);

  EXPECT_EQ(Run(), 0);

  EXPECT_TRUE(app_.calls.empty());
  EXPECT_TRUE(record_.ops.empty());
  EXPECT_EQ(Log(), "log start\nERROR: CreateWindow() failed.\ndestroy exception\n");
}

TEST_F(MainLoopTest, ExceptionDuringTeardownSkipsTheRestWithAWarning) {
  app_.quitAfterFrames = 1;
  app_.onTearDown = [] { throw std::runtime_error("teardown"); };

  EXPECT_EQ(Run(), 0);

  EXPECT_NE(Log().find("application teardown\nWARNING: Application destroying exception.\n"),
            std::string::npos);
  EXPECT_TRUE(platform_.WindowExists());
  EXPECT_EQ(GetRenderer(), nullptr);
}

}  // namespace
}  // namespace tav
