// The game's entry sequence and main loop, the same on every platform: start-up in a
// fixed order, a loop that drains the platform's events before each frame and sleeps
// while the game is deactivated, and an orderly shutdown however the loop was left
// (the player quitting, a termination signal, a fatal error).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/application.h"
#include "platform/platform.h"
#include "render/renderer.h"

namespace tav {

// The game's display: 800 by 600 pixels at 16 bits, full screen.
constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;
constexpr int kScreenBitsPerPixel = 16;
constexpr const char* kWindowCaption = "Tavrolith";
// The twice-size pictures, beside the game's own data.pkg.
constexpr const char* kSharpPictureFile = "Data\\data@2x.pkg";
// How long each pass of the loop sleeps while the game is deactivated.
constexpr unsigned kInactiveSleepMilliseconds = 200;

// Makes one renderer back-end (not yet initialised).
using RendererFactory = std::function<std::unique_ptr<Renderer>()>;

// Runs the game from start to end and returns the process's exit code (0).
//
// Start-up: the log (in `baseDirectory`, or the current directory when empty); the
// window; the first renderer of `renderers` whose Init succeeds (a failure of any
// but the last is caught and the next one is tried; a failure of the last ends the
// run); the sound device of SoundManager::Instance() (install its device before);
// the application's SetUp; the cursor hidden. `platform` is installed as the
// process-wide platform and time source for the run.
int RunMainLoop(Platform& platform, const std::vector<RendererFactory>& renderers,
                Application& application, const std::string& baseDirectory = std::string());

}  // namespace tav
