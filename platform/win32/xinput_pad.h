// Game controllers on Windows through XInput, which the game loads at run time
// (xinput1_4.dll, else xinput9_1_0.dll; without either there are simply no
// controllers). The four XInput slots are read once per pump and their state becomes
// key presses through PadKeys. Reading an empty slot is slow on real systems, so an
// empty slot is looked at again only every kEmptySlotPeriod; a controller plugged in
// is found within that time.
//
// The state source is a function, so that tests can play a controller without
// Windows; this header needs no Windows headers.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>

#include "platform/pad_keys.h"
#include "platform/platform.h"

namespace tav {

// XINPUT_GAMEPAD's fields the game reads, with XInput's own button bits.
struct XInputGamepad {
  static constexpr uint16_t kDpadUp = 0x0001;
  static constexpr uint16_t kDpadDown = 0x0002;
  static constexpr uint16_t kDpadLeft = 0x0004;
  static constexpr uint16_t kDpadRight = 0x0008;
  static constexpr uint16_t kStart = 0x0010;
  static constexpr uint16_t kBack = 0x0020;
  static constexpr uint16_t kA = 0x1000;
  static constexpr uint16_t kB = 0x2000;
  uint16_t buttons = 0;
  int16_t thumbLX = 0;
  int16_t thumbLY = 0;  // grows upwards, as the game's stick does
};

// Reads one slot (0-3): true and the state when a controller is there.
using XInputStateSource = std::function<bool(int slot, XInputGamepad* state)>;

PadState PadFromXInput(const XInputGamepad& gamepad);

class XInputPads {
 public:
  static constexpr int kSlots = 4;
  static constexpr uint32_t kEmptySlotPeriod = 2000;  // milliseconds

  // Without a source (no XInput on this system) Poll does nothing.
  explicit XInputPads(XInputStateSource source = {}) : source_(std::move(source)) {}

  void Poll(uint32_t nowMilliseconds, std::deque<PlatformEvent>* out);
  bool Available() const { return static_cast<bool>(source_); }
  int ConnectedCount() const;

 private:
  XInputStateSource source_;
  bool connected_[kSlots] = {};
  uint32_t nextLook_[kSlots] = {};
  PadKeys keys_;
};

// The state source of the system's XInput, loaded at run time; empty when there is
// none (and always on other systems).
XInputStateSource LoadSystemXInput();

}  // namespace tav
