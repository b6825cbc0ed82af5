// The game controllers SDL knows, with hot-plug: every controller plugged in (before
// or during the game) is opened, one pulled out is closed, and the state of all of
// them together becomes the game's key presses through PadKeys. A machine without
// controller support simply has none.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "platform/pad_keys.h"
#include "platform/platform.h"

union SDL_Event;
struct _SDL_GameController;

namespace tav {

class SdlGameControllers {
 public:
  SdlGameControllers() = default;
  ~SdlGameControllers() { Stop(); }
  SdlGameControllers(const SdlGameControllers&) = delete;
  SdlGameControllers& operator=(const SdlGameControllers&) = delete;

  // Starts SDL's controller support; false (logged) when it cannot.
  bool Start();
  void Stop();
  // Takes the controller arrivals and departures; false for any other event.
  bool HandleEvent(const SDL_Event& event);
  // Appends the presses since the last call.
  void Poll(uint32_t nowMilliseconds, std::deque<PlatformEvent>* out);
  size_t OpenCount() const { return controllers_.size(); }

 private:
  void Open(int deviceIndex);
  void Close(int32_t instanceId);

  std::vector<_SDL_GameController*> controllers_;
  PadKeys keys_;
  bool started_ = false;
};

}  // namespace tav
