// The Windows entry: the Win32 platform, the renderer back-ends in the order they
// are tried (Direct3D 8 first where it is built, then OpenGL), and the Windows sound
// device where one is built, put together around the portable main loop.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/main_loop.h"
#include "audio/audio_device.h"
#include "platform/win32/win32_platform.h"

namespace tav {

// The back-ends to try, in order, each made on `platform`.
std::vector<RendererFactory> WindowsRendererFactories(Win32Platform& platform);

// The sound device, or null when the game runs silent.
std::unique_ptr<AudioDevice> CreateWindowsAudioDevice();

// Runs the game until it is left; returns the process's exit code.
int RunWin32Game(HINSTANCE instance, Application& application,
                 const std::string& baseDirectory = std::string());

}  // namespace tav
