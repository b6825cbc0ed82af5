// The entry sequence, main loop and shutdown. Leaving the game is an exception
// (QuitRequest, FatalError) that unwinds to the handler here; the errors-raise flag
// tells the expected ones from anything else.
#include "app/main_loop.h"

#include <cstdlib>

#include "app/frame_pacer.h"
#include "app/frame_rate_file.h"
#include "app/picture_mode.h"
#include "app/processor_time.h"
#include "audio/sound_manager.h"
#include "base/data_path.h"
#include "base/frame_clock.h"
#include "base/log.h"
#include "platform/window_mode.h"
#include "render/bitmap_font.h"
#include "render/texture_catalogue.h"

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

// Keeps the renderer and the pictures in the mode the decision asks for, and gives the
// decision each frame's situation and cost. A back-end without the sharp mode always
// draws classic, and nothing is decided or logged for it.
class PictureModeKeeper {
 public:
  PictureModeKeeper(Platform& platform, Renderer& renderer)
      : platform_(platform), renderer_(renderer) {
    TextureCatalogue& catalogue = TextureCatalogue::Instance();
    catalogue.SetSharpPackage(DataPath(kSharpPictureFile));
    situation_.choice = ReadPicturesChoice(PlayerFilePath(kWindowModeFile));
    situation_.sharpPossible = renderer.SupportsSharpPictures() && catalogue.SharpSetPresent();
    situation_.pictureWidth = kScreenWidth;
    situation_.pictureHeight = kScreenHeight;
    uint64_t ticksPerSecond = 0;
    if (platform.QueryFrequency(&ticksPerSecond)) ticksPerSecond_ = ticksPerSecond;
  }

  // Before each frame (and once before the pictures are first loaded). The frame
  // before is weighed here, now that its processor time up to this frame is known.
  void FrameStart() {
    if (!renderer_.SupportsSharpPictures()) return;
    if (framePending_) {
      decision_.AddFrame(frameSpan_, ProcessorSeconds() - processorStart_, framePeriod_);
      framePending_ = false;
    }
    // The back-end's own limits can change between frames (Direct3D 8 refuses full
    // screen); a change is a new situation, decided and logged afresh.
    const char* refusal = renderer_.SharpPicturesRefusal();
    situation_.backEndRefusal = refusal != nullptr ? refusal : "";
    const GameViewport viewport = platform_.Viewport();
    situation_.letterboxWidth = viewport.width;
    situation_.letterboxHeight = viewport.height;
    const PictureMode mode = decision_.Choose(situation_);
    if (decision_.TakeNewDecision()) LogLine("Pictures %s.\n", decision_.Reason().c_str());
    if (mode != applied_) {
      // The other set's textures are released as this one's are made.
      const int scale = mode == PictureMode::kSharp ? 2 : 1;
      TextureCatalogue::Instance().UsePictureScale(scale);
      BitmapFont::Shared().UsePictureScale(scale);
      renderer_.SetPictureMode(mode);
      applied_ = mode;
    }
    // Timed after any switch, whose loading is no frame's cost.
    frameStart_ = Now();
    processorStart_ = ProcessorSeconds();
  }

  // After the frame was presented, before any pacing wait.
  void FrameEnd(double periodSeconds) {
    if (!renderer_.SupportsSharpPictures()) return;
    frameSpan_ = Now() - frameStart_;
    framePeriod_ = periodSeconds;
    framePending_ = true;
  }

 private:
  double Now() {
    if (ticksPerSecond_ != 0) {
      return static_cast<double>(platform_.QueryCounter()) / static_cast<double>(ticksPerSecond_);
    }
    return platform_.MilliTicks() / 1000.0;
  }

  Platform& platform_;
  Renderer& renderer_;
  PictureSituation situation_;
  PictureModeDecision decision_;
  PictureMode applied_ = PictureMode::kClassic;
  uint64_t ticksPerSecond_ = 0;
  double frameStart_ = 0.0;
  double processorStart_ = 0.0;
  // The last frame, until the next one starts.
  bool framePending_ = false;
  double frameSpan_ = 0.0;
  double framePeriod_ = 0.0;
};

void RunFrames(Platform& platform, Renderer& renderer, Application& application,
               PictureModeKeeper& pictures) {
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
      pictures.FrameStart();
      // A paced loop keeps its rate without swapping, except for the swaps it measures.
      renderer.SetSwapOptional(pacer.SwapOptional());
      renderer.BeginScene();
      application.FrameStep();
      renderer.EndFrame();
      pictures.FrameEnd(pacer.Decision().PeriodSeconds());
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
    // Decided before the pictures are loaded, so that they are made from the set in use.
    PictureModeKeeper pictures(platform, *renderer);
    pictures.FrameStart();
    setUpEntered = true;
    application.SetUp();
    platform.ShowCursor(false);
    RunFrames(platform, *renderer, application, pictures);
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
