// Reads a window's pixels through Xlib (kept apart: Xlib's macros clash with gtest).
#include "tests/render_gl/window_pixels.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace tav::test {

std::vector<uint8_t> ReadWindowPixels(SDL_Window* window, int width, int height,
                                      std::string* error) {
  std::vector<uint8_t> pixels;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (window == nullptr || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) {
    *error = "not an X11 window";
    return pixels;
  }
  XImage* image =
      XGetImage(info.info.x11.display, info.info.x11.window, 0, 0, static_cast<unsigned>(width),
                static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (image == nullptr || image->bits_per_pixel != 32) {
    *error = "the window's pixels cannot be read as 32-bit pixels";
    if (image != nullptr) XDestroyImage(image);
    return pixels;
  }
  pixels.reserve(static_cast<size_t>(width) * height * 4);
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      const unsigned long pixel = XGetPixel(image, x, y);
      pixels.insert(pixels.end(),
                    {static_cast<uint8_t>(pixel >> 16), static_cast<uint8_t>(pixel >> 8),
                     static_cast<uint8_t>(pixel), 255});
    }
  }
  XDestroyImage(image);
  return pixels;
}

}  // namespace tav::test
