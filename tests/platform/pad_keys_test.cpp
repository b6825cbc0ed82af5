// Controller state to key presses: button edges, the dead zone, the stick's stronger
// axis, and the key-like repeat of a held direction on the fake millisecond clock.
#include "platform/pad_keys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tav {
namespace {

// The presses an update made, as "<key>" or "<key>+" for a repeat.
std::vector<std::string> Update(PadKeys& keys, const PadState& state, uint32_t now) {
  std::deque<PlatformEvent> out;
  keys.Update(state, now, &out);
  std::vector<std::string> presses;
  for (const PlatformEvent& event : out) {
    EXPECT_EQ(event.type, PlatformEventType::kKeyDown);
    presses.push_back(std::to_string(static_cast<int>(event.keyPress.key)) +
                      (event.keyPress.repeat ? "+" : ""));
  }
  return presses;
}

std::string Key(InputKey key) { return std::to_string(static_cast<int>(key)); }

TEST(PadKeysTest, ButtonsCountOnceWhenTheyGoDown) {
  PadKeys keys;
  PadState state;
  state.a = true;
  state.start = true;
  EXPECT_EQ(Update(keys, state, 0),
            (std::vector<std::string>{Key(InputKey::kPadA), Key(InputKey::kPadStart)}));
  EXPECT_TRUE(Update(keys, state, 1000).empty());  // held buttons do not repeat
  state.a = false;
  state.b = true;
  state.back = true;
  EXPECT_EQ(Update(keys, state, 1010),
            (std::vector<std::string>{Key(InputKey::kPadB), Key(InputKey::kPadBack)}));
  state = PadState();
  state.a = true;
  EXPECT_EQ(Update(keys, state, 1020), std::vector<std::string>{Key(InputKey::kPadA)});
}

TEST(PadKeysTest, AHeldDirectionRepeatsLikeAKeyAndTheStickHasADeadZone) {
  PadKeys keys;
  PadState stick;
  stick.stickX = PadKeys::kDeadZone - 1;  // a drifting stick points nowhere
  stick.stickY = -(PadKeys::kDeadZone - 1);
  EXPECT_TRUE(Update(keys, stick, 0).empty());
  stick.stickX = 20000;
  stick.stickY = -25000;  // the stronger axis wins: down
  EXPECT_EQ(Update(keys, stick, 10), std::vector<std::string>{Key(InputKey::kDown)});
  EXPECT_TRUE(Update(keys, stick, 10 + PadKeys::kRepeatDelay - 1).empty());
  EXPECT_EQ(Update(keys, stick, 10 + PadKeys::kRepeatDelay),
            std::vector<std::string>{Key(InputKey::kDown) + "+"});
  EXPECT_TRUE(Update(keys, stick, 10 + PadKeys::kRepeatDelay + PadKeys::kRepeatInterval - 1)
                  .empty());
  EXPECT_EQ(Update(keys, stick, 10 + PadKeys::kRepeatDelay + PadKeys::kRepeatInterval),
            std::vector<std::string>{Key(InputKey::kDown) + "+"});
  // The d-pad overrides the stick; a new direction starts at once, without repeat.
  PadState pad = stick;
  pad.left = true;
  EXPECT_EQ(Update(keys, pad, 700), std::vector<std::string>{Key(InputKey::kLeft)});
  // Let go and pressed again: a new press, the repeat delay starts over.
  EXPECT_TRUE(Update(keys, PadState(), 710).empty());
  EXPECT_EQ(Update(keys, pad, 720), std::vector<std::string>{Key(InputKey::kLeft)});
  EXPECT_TRUE(Update(keys, pad, 720 + PadKeys::kRepeatDelay - 1).empty());
  // A controller pulled out while held leaves nothing held.
  keys.Reset();
  EXPECT_EQ(Update(keys, pad, 2000), std::vector<std::string>{Key(InputKey::kLeft)});
}

TEST(PadKeysTest, TwoControllersMergeButtonsAndTheFurtherStick) {
  PadState first, second;
  first.a = true;
  first.stickX = -3000;
  second.stickX = 30000;
  second.start = true;
  const PadState merged = MergePads(first, second);
  EXPECT_TRUE(merged.a);
  EXPECT_TRUE(merged.start);
  EXPECT_EQ(merged.stickX, 30000);
}

}  // namespace
}  // namespace tav
