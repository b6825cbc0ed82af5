// The present policy of the OpenGL back-end.
#include "render/gl/present_policy.h"

namespace tav {

PresentMode ChoosePresentMode(const PresentState& state) {
  // Swapped frames are what tells the main loop whether the display holds them; a
  // display that does must get every frame swapped.
  if (!state.swapOptional) return PresentMode::kSwap;
  if (state.frameUnchanged && state.pictureIntact) return PresentMode::kNothing;
  if (!state.canCopyParts) return PresentMode::kSwap;
  if (state.backBufferKept && state.pictureIntact) return PresentMode::kCopyChanges;
  return PresentMode::kCopyWhole;
}

}  // namespace tav
