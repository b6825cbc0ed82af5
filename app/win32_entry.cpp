// Wires the Win32 platform, the renderer back-ends and the sound device into the
// main loop. The main loop tries the back-ends in list order and falls back to the
// next whenever one fails to start, so the list alone decides the fallback.
#include "app/win32_entry.h"

#include <cstdio>

#include "app/fatal_report.h"
#include "app/single_instance.h"
#include "audio/sound_manager.h"
#include "audio/win32/windows_audio_device.h"
#include "base/data_path.h"
#include "base/log.h"
#include "base/win32/wide_text.h"
#include "render/d3d8/d3d8_renderer.h"
#include "render/gl/gl_renderer.h"

namespace tav {

std::vector<RendererFactory> WindowsRendererFactories(Win32Platform& platform) {
  std::vector<RendererFactory> renderers;
  // Direct3D 8 goes first, ahead of OpenGL.
  renderers.push_back([&platform]() -> std::unique_ptr<Renderer> {
    return std::make_unique<D3D8Renderer>(platform);
  });
  renderers.push_back([&platform]() -> std::unique_ptr<Renderer> {
    return std::make_unique<GLRenderer>(platform);
  });
  return renderers;
}

std::unique_ptr<AudioDevice> CreateWindowsAudioDevice() {
  // Made before the window exists: DirectSound ties itself to the desktop window,
  // and its sounds keep playing whichever window has the focus (the game stops its
  // music itself when it is deactivated).
  return std::make_unique<WindowsAudioDevice>(nullptr);
}

int RunWin32Game(HINSTANCE instance, Application& application,
                 const std::string& baseDirectory) {
  InstanceLock lock;
  if (AnotherGameRuns(lock, baseDirectory)) return 0;
  Win32Platform platform(instance);
  std::unique_ptr<AudioDevice> audioDevice = CreateWindowsAudioDevice();
  SoundManager& sound = SoundManager::Instance();
  sound.SetDevice(audioDevice.get());

  const int exitCode =
      RunMainLoop(platform, WindowsRendererFactories(platform), application, baseDirectory);

  sound.Stop();
  sound.SetDevice(nullptr);
  platform.DestroyMainWindow();
  if (!FatalMessage().empty()) {
    // The game stops on an error: say so on standard error (seen from a console)
    // and in a box, with where the details are, and end with a failure status.
    const std::string logPath = PlayerFilePath("log.txt");
    std::fprintf(stderr, "%s\n", FatalStopLine(FatalMessage(), logPath).c_str());
    std::fflush(stderr);
    // The path is UTF-8 and may hold any character: the box is shown through the
    // wide-character call.
    MessageBoxW(nullptr, WideFromUtf8(FatalBoxText(FatalMessage(), logPath)).c_str(),
                L"Tavrolith", MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
    return 1;
  }
  return exitCode;
}

}  // namespace tav
