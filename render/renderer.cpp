// The process-wide renderer pointer. The entry code owns the renderer and installs it
// here; tests install a recording renderer the same way.
#include "render/renderer.h"

#include "base/log.h"

namespace tav {

namespace {
Renderer* currentRenderer = nullptr;
}  // namespace

Renderer* GetRenderer() { return currentRenderer; }

void SetRenderer(Renderer* renderer) { currentRenderer = renderer; }

bool TexturePixelsUsable(const uint8_t* pixels, int width, int height, int bitsPerPixel) {
  if (bitsPerPixel != 24 && bitsPerPixel != 32) {
    LogLine("WARNING: Invalid image depth.\n");
    return false;
  }
  if (pixels == nullptr || width <= 0 || height <= 0) {
    LogLine("WARNING: Invalid image size.\n");
    return false;
  }
  return true;
}

}  // namespace tav
