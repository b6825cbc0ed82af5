// Fitting the game's fixed-size picture into a screen of another size: the largest
// rectangle with the picture's aspect ratio, centred, with black bars around it, and
// the mapping of screen points into game pixels and back.
#pragma once

#include "platform/platform.h"

namespace tav {

// A rectangle on the screen in screen pixels, origin top-left.
struct LetterboxRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// The largest centred rectangle of the game's aspect ratio inside the screen.
// A screen or game without area gives an empty rectangle.
LetterboxRect ComputeLetterbox(int screenWidth, int screenHeight, int gameWidth,
                               int gameHeight);

// A screen point (origin top-left) in game pixels (origin top-left), clamped to
// [0, gameWidth - 1] x [0, gameHeight - 1], so that a point on a bar lands on the
// nearest edge of the picture.
void ScreenToGame(const LetterboxRect& box, int gameWidth, int gameHeight, int screenX,
                  int screenY, int* gameX, int* gameY);

// The screen point at the centre of a game pixel; the inverse of ScreenToGame.
void GameToScreen(const LetterboxRect& box, int gameWidth, int gameHeight, int gameX,
                  int gameY, int* screenX, int* screenY);

// The same rectangle as a GL viewport (origin bottom-left) on a screen of this size.
GameViewport ToViewport(const LetterboxRect& box, int screenWidth, int screenHeight);

}  // namespace tav
