// Reading what the OpenGL renderer drew in a test under a virtual X server: single
// pixels at game coordinates and whole screenshots saved as TGA files for review,
// and the game-sized window the scene tests draw in.
#pragma once

#include <filesystem>
#include <memory>
#include <ostream>
#include <string>

#include "platform/sdl/sdl_platform.h"
#include "render/gl/gl_renderer.h"

namespace tav::test {

struct Rgb {
  int r, g, b;
};
std::ostream& operator<<(std::ostream& out, const Rgb& colour);

// The colour at a point of game space (800 x 600, y up), read from the back buffer
// where the renderer draws this frame's picture (its batched draws flushed first).
Rgb ReadGamePixel(GLRenderer& renderer, int gameX, int gameY);

// Writes the game's part of the back buffer as the 24-bit TGA <directory>/<name>.tga.
void SaveGameScreenshot(GLRenderer& renderer, const std::filesystem::path& directory,
                        const std::string& name);

// An 800 x 600 game window with the OpenGL renderer installed as the process
// renderer, as the game opens it.
class GlTestWindow {
 public:
  // Opens the window and draws `settleFrames` empty frames so that it has reached
  // its size before a test draws.
  void Open(int settleFrames);
  // Shuts the renderer down, uninstalls it and closes the window.
  void Close();
  // Handles every pending window event.
  void DrainEvents();

  Rgb At(int gameX, int gameY) { return ReadGamePixel(*renderer, gameX, gameY); }

  std::unique_ptr<SdlPlatform> platform;
  std::unique_ptr<GLRenderer> renderer;
};

}  // namespace tav::test
