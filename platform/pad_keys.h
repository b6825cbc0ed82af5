// Turns the state of a game controller, read once per pump, into the game's key
// presses: a button counts when it goes down; the d-pad and the left stick (outside a
// dead zone, along its stronger axis) give an arrow when a direction starts and then
// repeat it while it is held, as a held key does. Shared by every platform's
// controller code (SDL's game controllers, XInput), which only fill in a PadState.
#pragma once

#include <cstdint>
#include <deque>

#include "platform/platform.h"

namespace tav {

// One controller's state, or several merged. The stick's y grows upwards.
struct PadState {
  bool up = false, down = false, left = false, right = false;
  bool a = false, b = false, start = false, back = false;
  int stickX = 0;  // -32768 .. 32767
  int stickY = 0;
};

// Both states at once: a button down on either is down, the stick further out wins.
PadState MergePads(const PadState& first, const PadState& second);

class PadKeys {
 public:
  // A stick nearer the centre than this (of 32767) points nowhere; drifting sticks
  // rest well inside it.
  static constexpr int kDeadZone = 12000;
  // A held direction repeats after this long, then at this interval (milliseconds).
  static constexpr uint32_t kRepeatDelay = 400;
  static constexpr uint32_t kRepeatInterval = 110;

  // Appends to `out` the presses since the last update at `nowMilliseconds`.
  void Update(const PadState& state, uint32_t nowMilliseconds, std::deque<PlatformEvent>* out);
  // Forgets what was held (a controller went away, the window lost its focus).
  void Reset() { *this = PadKeys(); }

 private:
  PadState previous_;
  InputKey heldDirection_ = InputKey::kNone;
  uint32_t nextRepeat_ = 0;
};

}  // namespace tav
