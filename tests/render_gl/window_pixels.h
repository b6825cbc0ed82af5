// Reads an SDL window's pixels as the X server holds them: what reached the screen,
// whichever way it was presented.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct SDL_Window;

namespace tav::test {

// The `width` x `height` pixels from the window's bottom-left corner, bottom row
// first, as R, G, B, A bytes (the layout of glReadPixels). Empty, with `error` set,
// when the window is not an X11 window or its pixels are not 32-bit.
std::vector<uint8_t> ReadWindowPixels(SDL_Window* window, int width, int height,
                                      std::string* error);

}  // namespace tav::test
