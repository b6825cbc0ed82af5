// The process-wide renderer pointer. The entry code owns the renderer and installs it
// here; tests install a recording renderer the same way.
#include "render/renderer.h"

namespace tav {

namespace {
Renderer* currentRenderer = nullptr;
}  // namespace

Renderer* GetRenderer() { return currentRenderer; }

void SetRenderer(Renderer* renderer) { currentRenderer = renderer; }

}  // namespace tav
