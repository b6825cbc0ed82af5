// The entry sequence, main loop and shutdown. Leaving the game is an exception
// (QuitRequest, FatalError) that unwinds to the handler here; the errors-raise flag
// tells the expected ones from anything else.
#include "app/main_loop.h"

#include <cstdlib>

#include "app/frame_pacer.h"
#include "app/frame_rate_file.h"
#include "audio/sound_manager.h"
#include "base/frame_clock.h"
#include "base/log.h"

namespace tav {

namespace {

// What the event handling of the loop keeps between passes.
struct LoopState {
  bool active = false;
  bool focused = false;
  bool wasShown = true;
};

void DispatchEvent(const PlatformEvent& event, LoopState& state, Application& application) {
  switch (event.type) {
    case PlatformEventType::kActivate:
      state.active = !event.minimised;
      break;
    case PlatformEventType::kSetFocus:
      state.focused = true;
      break;
    case PlatformEventType::kKillFocus:
      state.focused = false;
      break;
    case PlatformEventType::kClose:
      application.OnCloseRequest();
      break;
    case PlatformEventType::kChar:
      application.OnChar(event.charCode, event.keyData);
      break;
    case PlatformEventType::kKeyDown:
      application.OnKey(event.keyPress);
      break;
    case PlatformEventType::kLeftButtonDown:
      application.OnLeftButtonDown();
      break;
    case PlatformEventType::kLeftButtonUp:
      application.OnLeftButtonUp();
      break;
    case PlatformEventType::kRightButtonDown:
      application.OnRightButtonDown();
      break;
    case PlatformEventType::kRightButtonUp:
      application.OnRightButtonUp();
      break;
    case PlatformEventType::kTerminate:
      // Leave as the quit button does, so that teardown saves everything.
      RequestQuit();
      break;
  }
}

// Initialises the first back-end that starts. Every back-end but the last may fail:
// its failure is caught, it is shut down and destroyed, and the next is tried.
void SelectRenderer(const std::vector<RendererFactory>& renderers,
                    std::unique_ptr<Renderer>& renderer) {
  if (renderers.empty()) {
    ReportFatal("No renderer available.");
    return;
  }
  for (size_t i = 0; i + 1 < renderers.size(); ++i) {
    try {
      renderer = renderers[i]();
      SetRenderer(renderer.get());
      renderer->Init(kScreenWidth, kScreenHeight, kScreenBitsPerPixel, true);
      return;
    } catch (...) {
      SetErrorsRaise(true);
      if (renderer) renderer->Shutdown();
      SetRenderer(nullptr);
      renderer.reset();
    }
  }
  renderer = renderers.back()();
  SetRenderer(renderer.get());
  renderer->Init(kScreenWidth, kScreenHeight, kScreenBitsPerPixel, true);
}

void RunFrames(Platform& platform, Renderer& renderer, Application& application) {
  LoopState state;
  SoundManager& sound = SoundManager::Instance();
  FrameClock& clock = FrameClock::Instance();
  FramePacer pacer(platform, platform.DisplayRefreshRate(),
                   platform.PresentsToDisplay() && FramePacingAllowedByEnvironment());
  FrameRateFile frameRate(platform, std::getenv("TAV_FRAME_RATE_FILE"));
  for (;;) {
    PlatformEvent event;
    if (platform.PollEvent(&event)) {
      DispatchEvent(event, state, application);
      continue;  // every pending event is handled before the next frame
    }
    if (state.active && state.focused) {
      if (!state.wasShown) {
        platform.BringToFront();
        sound.ResumeMusic();
        state.wasShown = true;
      }
      if (!renderer.BeginFrame()) continue;
      clock.FrameStart();
      pacer.FrameStart();
      // A paced loop keeps its rate without swapping, except for the swaps it measures.
      renderer.SetSwapOptional(pacer.SwapOptional());
      renderer.BeginScene();
      application.FrameStep();
      renderer.EndFrame();
      pacer.FrameEnd(renderer.LastFrameSwapped());
      clock.FrameEnd();
      frameRate.FrameEnd();
    } else {
      platform.Sleep(kInactiveSleepMilliseconds);
      if (state.wasShown) {
        platform.YieldForeground();
        sound.PauseMusic();
        state.wasShown = false;
      }
    }
  }
}

}  // namespace

int RunMainLoop(Platform& platform, const std::vector<RendererFactory>& renderers,
                Application& application, const std::string& baseDirectory) {
  SetPlatform(&platform);
  SetTimeSource(&platform);
  std::unique_ptr<Renderer> renderer;
  bool setUpEntered = false;

  try {
    LogStart(baseDirectory);
    platform.CreateMainWindow(kWindowCaption, kScreenWidth, kScreenHeight);
    platform.ShowMainWindow();
    SelectRenderer(renderers, renderer);
    SoundManager::Instance().Start();
    setUpEntered = true;
    application.SetUp();
    platform.ShowCursor(false);
    RunFrames(platform, *renderer, application);
  } catch (...) {
    LogLine("destroy exception\n");
    if (ErrorsRaise()) {
      // Neither a quit request nor a fatal report: something unexpected.
      SetErrorsRaise(false);
      ReportFatal("Invalid exception.");
    }
  }

  try {
    // An application whose set-up never ran has nothing to save; tearing it down
    // would overwrite the player's files with defaults.
    if (setUpEntered) application.TearDown();
    if (renderer) {
      renderer->Shutdown();
      SetRenderer(nullptr);
      renderer.reset();
    }
    SoundManager::Instance().Stop();
    platform.DestroyMainWindow();
  } catch (...) {
    LogLine("WARNING: Application destroying exception.\n");
  }

  SetRenderer(nullptr);
  SetTimeSource(nullptr);
  SetPlatform(nullptr);
  return 0;
}

}  // namespace tav
