// Reading and writing the window-mode file, and the opening size of a window.
#include "platform/window_mode.h"

#include <algorithm>
#include <cstdint>

#include "base/atomic_file.h"
#include "base/ini_file.h"
#include "platform/letterbox.h"

namespace tav {

bool ReadWindowedChoice(const std::string& path) {
  IniFile ini;
  if (!ini.OpenPath(path)) return false;
  std::string value;
  if (!ini.Get("Window", "Windowed", &value)) return false;
  return value == "1";
}

bool WriteWindowedChoice(const std::string& path, bool windowed) {
  std::string text = std::string("[Window]\nWindowed = ") + (windowed ? "1" : "0") + "\n";
  // The player's picture choice shares the file and is kept as it was. The file is
  // closed again before it is replaced: Windows refuses to replace an open file.
  std::string pictures;
  {
    IniFile ini;
    if (!ini.OpenPath(path) || !ini.Get("Window", "Pictures", &pictures) ||
        pictures.find_first_of("\r\n") != std::string::npos) {
      pictures.clear();
    }
  }
  if (!pictures.empty()) text += "Pictures = " + pictures + "\n";
  return WriteFileAtomically(path, text);
}

WindowSize OpeningWindowSize(int desktopWidth, int desktopHeight, int gameWidth,
                             int gameHeight) {
  if (gameWidth <= 0 || gameHeight <= 0) return WindowSize{};
  if (desktopWidth <= 0 || desktopHeight <= 0) return WindowSize{gameWidth, gameHeight};
  // Three quarters of the desktop, in 64 bits so that no size can overflow.
  const int64_t usableWidth = int64_t{desktopWidth} * 3 / 4;
  const int64_t usableHeight = int64_t{desktopHeight} * 3 / 4;
  const int64_t multiple = std::min(usableWidth / gameWidth, usableHeight / gameHeight);
  if (multiple >= 1) {
    return WindowSize{static_cast<int>(multiple * gameWidth),
                      static_cast<int>(multiple * gameHeight)};
  }
  if (desktopWidth >= gameWidth && desktopHeight >= gameHeight) {
    return WindowSize{gameWidth, gameHeight};
  }
  const LetterboxRect box = ComputeLetterbox(desktopWidth, desktopHeight, gameWidth, gameHeight);
  return WindowSize{box.width, box.height};
}

}  // namespace tav
