// XInput slots to key presses, and the run-time loading of XInput on Windows.
#include "platform/win32/xinput_pad.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include "base/log.h"

namespace tav {

PadState PadFromXInput(const XInputGamepad& gamepad) {
  PadState state;
  state.up = (gamepad.buttons & XInputGamepad::kDpadUp) != 0;
  state.down = (gamepad.buttons & XInputGamepad::kDpadDown) != 0;
  state.left = (gamepad.buttons & XInputGamepad::kDpadLeft) != 0;
  state.right = (gamepad.buttons & XInputGamepad::kDpadRight) != 0;
  state.start = (gamepad.buttons & XInputGamepad::kStart) != 0;
  state.back = (gamepad.buttons & XInputGamepad::kBack) != 0;
  state.a = (gamepad.buttons & XInputGamepad::kA) != 0;
  state.b = (gamepad.buttons & XInputGamepad::kB) != 0;
  state.stickX = gamepad.thumbLX;
  state.stickY = gamepad.thumbLY;
  return state;
}

int XInputPads::ConnectedCount() const {
  int count = 0;
  for (bool connected : connected_) count += connected ? 1 : 0;
  return count;
}

void XInputPads::Poll(uint32_t nowMilliseconds, std::deque<PlatformEvent>* out) {
  if (!source_) return;
  PadState merged;
  bool lost = false;
  for (int slot = 0; slot < kSlots; ++slot) {
    if (!connected_[slot] && static_cast<int32_t>(nowMilliseconds - nextLook_[slot]) < 0) continue;
    XInputGamepad gamepad;
    const bool present = source_(slot, &gamepad);
    if (present != connected_[slot]) {
      LogLine(present ? "Game controller %d connected\n" : "Game controller %d removed\n", slot + 1);
      lost = lost || !present;
    }
    connected_[slot] = present;
    if (present) {
      merged = MergePads(merged, PadFromXInput(gamepad));
    } else {
      nextLook_[slot] = nowMilliseconds + kEmptySlotPeriod;
    }
  }
  // What a removed controller held must not stay held (nor repeat).
  if (lost) keys_.Reset();
  keys_.Update(merged, nowMilliseconds, out);
}

#ifdef _WIN32

namespace {

// XINPUT_STATE as xinput1_4.dll and xinput9_1_0.dll fill it.
struct SystemGamepad {
  WORD wButtons;
  BYTE bLeftTrigger;
  BYTE bRightTrigger;
  SHORT sThumbLX;
  SHORT sThumbLY;
  SHORT sThumbRX;
  SHORT sThumbRY;
};
struct SystemState {
  DWORD dwPacketNumber;
  SystemGamepad Gamepad;
};
using GetStateFunction = DWORD(WINAPI*)(DWORD, SystemState*);

}  // namespace

XInputStateSource LoadSystemXInput() {
  for (const char* name : {"xinput1_4.dll", "xinput9_1_0.dll"}) {
    HMODULE library = LoadLibraryA(name);
    if (library == nullptr) continue;
    const auto getState =
        reinterpret_cast<GetStateFunction>(GetProcAddress(library, "XInputGetState"));
    if (getState == nullptr) {
      FreeLibrary(library);
      continue;
    }
    LogLine("XInput: %s\n", name);
    // The library stays loaded for the rest of the run.
    return [getState](int slot, XInputGamepad* gamepad) {
      SystemState state = {};
      if (getState(static_cast<DWORD>(slot), &state) != ERROR_SUCCESS) return false;
      gamepad->buttons = state.Gamepad.wButtons;
      gamepad->thumbLX = state.Gamepad.sThumbLX;
      gamepad->thumbLY = state.Gamepad.sThumbLY;
      return true;
    };
  }
  return {};
}

#else

XInputStateSource LoadSystemXInput() { return {}; }

#endif

}  // namespace tav
