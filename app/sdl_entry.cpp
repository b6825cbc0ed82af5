// Wires the SDL2 platform, SDL2_mixer and the OpenGL back-end into the main loop.
// There is no Direct3D back-end on Linux, so OpenGL is the only renderer tried.
#include "app/sdl_entry.h"

#include <SDL.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/fatal_report.h"
#include "app/main_loop.h"
#include "app/single_instance.h"
#include "audio/sdl_mixer_device.h"
#include "audio/sound_manager.h"
#include "base/data_path.h"
#include "base/log.h"
#include "platform/sdl/sdl_platform.h"
#include "render/gl/gl_renderer.h"

namespace tav {

namespace {

// Tells the player why the game stopped: one line on standard error and a message
// box, both naming the problem and the log file with the details. The box waits
// for the player; where no display can show it, SDL returns at once.
void ShowFatalError(const std::string& message) {
  const std::string logPath = PlayerFilePath("log.txt");
  std::fprintf(stderr, "%s\n", FatalStopLine(message, logPath).c_str());
  std::fflush(stderr);
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Tavrolith",
                           FatalBoxText(message, logPath).c_str(), nullptr);
}

}  // namespace

int RunSdlGame(Application& application, const std::string& baseDirectory) {
  InstanceLock lock;
  if (AnotherGameRuns(lock, baseDirectory)) return 0;
  SdlPlatform platform;
  SdlMixerDevice audioDevice;
  SoundManager& sound = SoundManager::Instance();
  sound.SetDevice(&audioDevice);

  const std::vector<RendererFactory> renderers = {
      [&platform]() -> std::unique_ptr<Renderer> {
        return std::make_unique<GLRenderer>(platform);
      },
  };
  const int exitCode = RunMainLoop(platform, renderers, application, baseDirectory);

  sound.Stop();
  sound.SetDevice(nullptr);
  platform.DestroyMainWindow();
  SDL_Quit();
  if (!FatalMessage().empty()) {
    ShowFatalError(FatalMessage());
    return 1;
  }
  return exitCode;
}

}  // namespace tav
