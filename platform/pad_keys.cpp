// Controller state to key presses: button edges, direction start and repeat.
#include "platform/pad_keys.h"

#include <cstdlib>

namespace tav {

namespace {

void PushKey(InputKey key, bool repeat, std::deque<PlatformEvent>* out) {
  PlatformEvent event;
  event.type = PlatformEventType::kKeyDown;
  event.keyPress.key = key;
  event.keyPress.repeat = repeat;
  out->push_back(event);
}

// The one direction the pad points in: the d-pad first, else the stick's stronger
// axis when it is outside the dead zone.
InputKey Direction(const PadState& state) {
  if (state.up) return InputKey::kUp;
  if (state.down) return InputKey::kDown;
  if (state.left) return InputKey::kLeft;
  if (state.right) return InputKey::kRight;
  const int x = std::abs(state.stickX);
  const int y = std::abs(state.stickY);
  if (x < PadKeys::kDeadZone && y < PadKeys::kDeadZone) return InputKey::kNone;
  if (x > y) return state.stickX > 0 ? InputKey::kRight : InputKey::kLeft;
  return state.stickY > 0 ? InputKey::kUp : InputKey::kDown;
}

int Further(int first, int second) { return std::abs(first) >= std::abs(second) ? first : second; }

}  // namespace

PadState MergePads(const PadState& first, const PadState& second) {
  PadState merged;
  merged.up = first.up || second.up;
  merged.down = first.down || second.down;
  merged.left = first.left || second.left;
  merged.right = first.right || second.right;
  merged.a = first.a || second.a;
  merged.b = first.b || second.b;
  merged.start = first.start || second.start;
  merged.back = first.back || second.back;
  merged.stickX = Further(first.stickX, second.stickX);
  merged.stickY = Further(first.stickY, second.stickY);
  return merged;
}

void PadKeys::Update(const PadState& state, uint32_t nowMilliseconds,
                     std::deque<PlatformEvent>* out) {
  const InputKey direction = Direction(state);
  if (direction != heldDirection_) {
    heldDirection_ = direction;
    if (direction != InputKey::kNone) {
      PushKey(direction, false, out);
      nextRepeat_ = nowMilliseconds + kRepeatDelay;
    }
  } else if (direction != InputKey::kNone &&
             static_cast<int32_t>(nowMilliseconds - nextRepeat_) >= 0) {
    PushKey(direction, true, out);
    nextRepeat_ = nowMilliseconds + kRepeatInterval;
  }
  if (state.a && !previous_.a) PushKey(InputKey::kPadA, false, out);
  if (state.b && !previous_.b) PushKey(InputKey::kPadB, false, out);
  if (state.start && !previous_.start) PushKey(InputKey::kPadStart, false, out);
  if (state.back && !previous_.back) PushKey(InputKey::kPadBack, false, out);
  previous_ = state;
}

}  // namespace tav
