// How a finished frame reaches the window: the whole present policy of the OpenGL
// back-end in one function, chosen each frame from a few plain facts. The picture on
// a swapped back buffer is undefined afterwards (drivers keep several buffers and
// may reallocate them), so a frame that is not swapped can only be presented in parts
// while the back buffer is known to still hold the last presented frame.
#pragma once

namespace tav {

enum class PresentMode {
  kSwap,         // the whole drawable composed (picture and black bars) and swapped
  kCopyWhole,    // the whole drawable composed and copied to the window, without a swap
  kCopyChanges,  // only the changed parts of the picture scaled again and copied
  kNothing,      // the window already shows this very frame
};

struct PresentState {
  // The main loop paces frames itself because the display does not hold swaps, and
  // does not measure this frame: it need not be swapped.
  bool swapOptional = false;
  // Parts of the back buffer can be copied to the window, and the picture is kept
  // outside the back buffer and scaled in one step (so that the back buffer is
  // touched only where something is presented).
  bool canCopyParts = false;
  // The back buffer holds the last presented frame, bars included (it was copied,
  // not swapped).
  bool backBufferKept = false;
  // The window still shows the last presented frame (not uncovered, shown again or
  // resized since).
  bool pictureIntact = false;
  // This frame draws exactly what the last presented one did.
  bool frameUnchanged = false;
};

PresentMode ChoosePresentMode(const PresentState& state);

}  // namespace tav
