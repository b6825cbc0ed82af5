// Letterbox arithmetic, in 64-bit integers so that no screen size can overflow it.
#include "platform/letterbox.h"

#include <algorithm>
#include <cstdint>

namespace tav {

LetterboxRect ComputeLetterbox(int screenWidth, int screenHeight, int gameWidth,
                               int gameHeight) {
  LetterboxRect box;
  if (screenWidth <= 0 || screenHeight <= 0 || gameWidth <= 0 || gameHeight <= 0) {
    return box;
  }
  const int64_t sw = screenWidth, sh = screenHeight, gw = gameWidth, gh = gameHeight;
  if (sw * gh >= sh * gw) {
    // The screen is wider than the picture: full height, bars left and right.
    box.height = screenHeight;
    box.width = static_cast<int>(sh * gw / gh);
  } else {
    // The screen is taller: full width, bars above and below.
    box.width = screenWidth;
    box.height = static_cast<int>(sw * gh / gw);
  }
  box.width = std::max(box.width, 1);
  box.height = std::max(box.height, 1);
  box.x = (screenWidth - box.width) / 2;
  box.y = (screenHeight - box.height) / 2;
  return box;
}

namespace {

// Floor division that also rounds negative quotients down.
int64_t FloorDivide(int64_t numerator, int64_t denominator) {
  int64_t quotient = numerator / denominator;
  if ((numerator % denominator != 0) && ((numerator < 0) != (denominator < 0))) {
    --quotient;
  }
  return quotient;
}

int ScreenToGameAxis(int screen, int boxStart, int boxSize, int gameSize) {
  if (boxSize <= 0 || gameSize <= 0) return 0;
  // The game pixel under the centre of the screen pixel.
  const int64_t game = FloorDivide(
      (2 * (static_cast<int64_t>(screen) - boxStart) + 1) * gameSize, 2 * int64_t{boxSize});
  return static_cast<int>(std::clamp<int64_t>(game, 0, gameSize - 1));
}

int GameToScreenAxis(int game, int boxStart, int boxSize, int gameSize) {
  if (gameSize <= 0) return boxStart;
  const int64_t clamped = std::clamp<int64_t>(game, 0, gameSize - 1);
  // The screen pixel under the centre of the game pixel.
  return static_cast<int>(boxStart + (2 * clamped + 1) * boxSize / (2 * int64_t{gameSize}));
}

}  // namespace

void ScreenToGame(const LetterboxRect& box, int gameWidth, int gameHeight, int screenX,
                  int screenY, int* gameX, int* gameY) {
  *gameX = ScreenToGameAxis(screenX, box.x, box.width, gameWidth);
  *gameY = ScreenToGameAxis(screenY, box.y, box.height, gameHeight);
}

void GameToScreen(const LetterboxRect& box, int gameWidth, int gameHeight, int gameX,
                  int gameY, int* screenX, int* screenY) {
  *screenX = GameToScreenAxis(gameX, box.x, box.width, gameWidth);
  *screenY = GameToScreenAxis(gameY, box.y, box.height, gameHeight);
}

GameViewport ToViewport(const LetterboxRect& box, int screenWidth, int screenHeight) {
  GameViewport viewport;
  viewport.drawableWidth = screenWidth;
  viewport.drawableHeight = screenHeight;
  viewport.x = box.x;
  viewport.y = screenHeight - (box.y + box.height);
  viewport.width = box.width;
  viewport.height = box.height;
  return viewport;
}

}  // namespace tav
