// SDL game controllers: opening and closing on hot-plug, and their merged state.
#include "platform/sdl/sdl_game_controllers.h"

#include <SDL.h>

#include <algorithm>

#include "base/log.h"

namespace tav {

namespace {

PadState ReadPad(SDL_GameController* controller) {
  auto down = [controller](SDL_GameControllerButton button) {
    return SDL_GameControllerGetButton(controller, button) != 0;
  };
  PadState state;
  state.up = down(SDL_CONTROLLER_BUTTON_DPAD_UP);
  state.down = down(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
  state.left = down(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
  state.right = down(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
  state.a = down(SDL_CONTROLLER_BUTTON_A);
  state.b = down(SDL_CONTROLLER_BUTTON_B);
  state.start = down(SDL_CONTROLLER_BUTTON_START);
  state.back = down(SDL_CONTROLLER_BUTTON_BACK);
  state.stickX = SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTX);
  // SDL's stick grows downwards.
  state.stickY = -static_cast<int>(SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTY));
  return state;
}

}  // namespace

bool SdlGameControllers::Start() {
  if (started_) return true;
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
    LogLine("SDL: no game controllers: %s\n", SDL_GetError());
    return false;
  }
  started_ = true;
  // Controllers already plugged in are announced as arrivals by the event queue.
  return true;
}

void SdlGameControllers::Stop() {
  if (!started_) return;
  for (SDL_GameController* controller : controllers_) SDL_GameControllerClose(controller);
  controllers_.clear();
  keys_.Reset();
  SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
  started_ = false;
}

void SdlGameControllers::Open(int deviceIndex) {
  SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
  if (controller == nullptr) {
    LogLine("SDL: game controller %d: %s\n", deviceIndex, SDL_GetError());
    return;
  }
  // An arrival can be reported twice (present at start and announced); keep one.
  if (std::find(controllers_.begin(), controllers_.end(), controller) != controllers_.end()) {
    SDL_GameControllerClose(controller);  // the second open only counted a reference
    return;
  }
  const char* name = SDL_GameControllerName(controller);
  LogLine("Game controller: %s\n", name != nullptr ? name : "(no name)");
  controllers_.push_back(controller);
}

void SdlGameControllers::Close(int32_t instanceId) {
  auto found = std::find_if(controllers_.begin(), controllers_.end(), [&](SDL_GameController* c) {
    return SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(c)) == instanceId;
  });
  if (found == controllers_.end()) return;
  SDL_GameControllerClose(*found);
  controllers_.erase(found);
  // What it held must not stay held (nor repeat) after it is gone.
  keys_.Reset();
  LogLine("Game controller removed\n");
}

bool SdlGameControllers::HandleEvent(const SDL_Event& event) {
  switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
      if (started_) Open(event.cdevice.which);
      return true;
    case SDL_CONTROLLERDEVICEREMOVED:
      Close(event.cdevice.which);
      return true;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
    case SDL_CONTROLLERAXISMOTION:
      return true;  // read as state in Poll
    default:
      return false;
  }
}

void SdlGameControllers::Poll(uint32_t nowMilliseconds, std::deque<PlatformEvent>* out) {
  if (controllers_.empty()) return;
  PadState merged;
  for (SDL_GameController* controller : controllers_) merged = MergePads(merged, ReadPad(controller));
  keys_.Update(merged, nowMilliseconds, out);
}

}  // namespace tav
