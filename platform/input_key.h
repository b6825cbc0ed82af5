// The keys and game-controller buttons the game reacts to, as the platform hands
// them over: already translated from the system's own codes, so that nothing above
// the platform layer knows SDL, Win32 or XInput. The controller's d-pad and left
// stick arrive as the arrow keys; its four buttons keep their own names, because
// what they mean depends on the screen.
#pragma once

namespace tav {

enum class InputKey {
  kNone,
  kUp,
  kDown,
  kLeft,
  kRight,
  kEnter,
  kSpace,
  kEscape,
  kTab,
  kW,
  kA,
  kS,
  kD,
  kPadA,      // the controller's bottom face button
  kPadB,      // the right face button
  kPadStart,
  kPadBack,   // Back / Select
};

// One key press (or one repeat of a held key).
struct KeyPress {
  InputKey key = InputKey::kNone;
  bool shift = false;
  bool repeat = false;
};

}  // namespace tav
