// The player's choice between full screen and a window, kept between runs in a small
// file of its own among the player's files ("Data\Window.ini"), and the size a new
// window opens at.
#pragma once

#include <string>

namespace tav {

// The player's files name this file; PlayerFilePath puts it beside the others.
constexpr const char* kWindowModeFile = "Data\\Window.ini";

// True when the file at the native `path` asks for a window. A missing, unreadable
// or damaged file means full screen, the game's default.
bool ReadWindowedChoice(const std::string& path);
// Writes the choice to the native `path` atomically, keeping the file's picture choice
// ("Pictures", read by the main loop); false (logged) on failure.
bool WriteWindowedChoice(const std::string& path, bool windowed);

struct WindowSize {
  int width = 0;
  int height = 0;
};

// The size a window opens at on a desktop of this size: the largest whole multiple
// of the game's picture that fits in three quarters of the desktop; the picture's
// own size when only that fits on the desktop; on a desktop smaller than the
// picture, the largest size of the picture's shape that fits. A desktop without
// area gives the picture's own size.
WindowSize OpeningWindowSize(int desktopWidth, int desktopHeight, int gameWidth,
                             int gameHeight);

}  // namespace tav
