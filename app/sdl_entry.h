// The Linux entry: the SDL2 platform, the SDL2_mixer sound device and the OpenGL
// renderer, put together around the portable main loop.
#pragma once

#include <string>

#include "app/application.h"

namespace tav {

// Runs the game on SDL2 until it is left; returns the process's exit code: 0, or 1
// after a fatal error, which is then also written to standard error and shown in a
// message box that waits for the player. The log
// and every relative data path are under `baseDirectory` (the current directory
// when empty).
int RunSdlGame(Application& application, const std::string& baseDirectory = std::string());

}  // namespace tav
