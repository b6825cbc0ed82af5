// Wires the SDL2 platform, SDL2_mixer and the OpenGL back-end into the main loop.
// There is no Direct3D back-end on Linux, so OpenGL is the only renderer tried.
#include "app/sdl_entry.h"

#include <SDL.h>

#include <memory>
#include <vector>

#include "app/main_loop.h"
#include "audio/sdl_mixer_device.h"
#include "audio/sound_manager.h"
#include "platform/sdl/sdl_platform.h"
#include "render/gl/gl_renderer.h"

namespace tav {

int RunSdlGame(Application& application, const std::string& baseDirectory) {
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
  return exitCode;
}

}  // namespace tav
