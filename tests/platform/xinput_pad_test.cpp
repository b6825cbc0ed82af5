// XInput's slots through a fake state source: the button and stick mapping, a
// controller plugged in later (empty slots are looked at only now and then) and one
// pulled out while a direction is held.
#include "platform/win32/xinput_pad.h"

#include <gtest/gtest.h>

#include <vector>

namespace tav {
namespace {

class FakeXInput {
 public:
  XInputGamepad slots[XInputPads::kSlots];
  bool present[XInputPads::kSlots] = {};
  int emptyReads = 0;

  XInputStateSource Source() {
    return [this](int slot, XInputGamepad* state) {
      if (!present[slot]) {
        ++emptyReads;
        return false;
      }
      *state = slots[slot];
      return true;
    };
  }
};

std::vector<InputKey> Poll(XInputPads& pads, uint32_t now) {
  std::deque<PlatformEvent> out;
  pads.Poll(now, &out);
  std::vector<InputKey> keys;
  for (const PlatformEvent& event : out) keys.push_back(event.keyPress.key);
  return keys;
}

TEST(XInputPadTest, ButtonsAndStickMapToTheGamesKeys) {
  FakeXInput fake;
  fake.present[0] = true;
  XInputPads pads(fake.Source());
  EXPECT_TRUE(Poll(pads, 0).empty());
  const std::pair<uint16_t, InputKey> buttons[] = {
      {XInputGamepad::kA, InputKey::kPadA},         {XInputGamepad::kB, InputKey::kPadB},
      {XInputGamepad::kStart, InputKey::kPadStart}, {XInputGamepad::kBack, InputKey::kPadBack},
      {XInputGamepad::kDpadUp, InputKey::kUp},      {XInputGamepad::kDpadDown, InputKey::kDown},
      {XInputGamepad::kDpadLeft, InputKey::kLeft},  {XInputGamepad::kDpadRight, InputKey::kRight},
  };
  uint32_t now = 10;
  for (const auto& [bit, key] : buttons) {
    fake.slots[0].buttons = bit;
    EXPECT_EQ(Poll(pads, now), std::vector<InputKey>{key}) << bit;
    fake.slots[0].buttons = 0;
    Poll(pads, now + 5);
    now += 10;
  }
  // XInput's stick grows upwards, as the game's does.
  fake.slots[0].thumbLY = 30000;
  EXPECT_EQ(Poll(pads, now), std::vector<InputKey>{InputKey::kUp});
  fake.slots[0].thumbLY = -30000;
  EXPECT_EQ(Poll(pads, now + 10), std::vector<InputKey>{InputKey::kDown});
}

TEST(XInputPadTest, ControllersComeAndGoAndEmptySlotsAreReadOnlyNowAndThen) {
  FakeXInput fake;
  XInputPads pads(fake.Source());
  EXPECT_TRUE(Poll(pads, 0).empty());
  EXPECT_EQ(fake.emptyReads, XInputPads::kSlots);
  for (uint32_t now = 16; now < XInputPads::kEmptySlotPeriod; now += 16) Poll(pads, now);
  EXPECT_EQ(fake.emptyReads, XInputPads::kSlots);  // not once per frame

  // Plugged into slot 3 holding A: found at the next look, and A counts.
  fake.present[2] = true;
  fake.slots[2].buttons = XInputGamepad::kA | XInputGamepad::kDpadRight;
  EXPECT_EQ(Poll(pads, XInputPads::kEmptySlotPeriod),
            (std::vector<InputKey>{InputKey::kRight, InputKey::kPadA}));
  EXPECT_EQ(pads.ConnectedCount(), 1);

  // Pulled out while Right is held: nothing repeats, and plugged in again it counts anew.
  fake.present[2] = false;
  EXPECT_TRUE(Poll(pads, XInputPads::kEmptySlotPeriod + 100).empty());
  EXPECT_EQ(pads.ConnectedCount(), 0);
  EXPECT_TRUE(Poll(pads, XInputPads::kEmptySlotPeriod + PadKeys::kRepeatDelay + 200).empty());
  fake.present[2] = true;
  EXPECT_EQ(Poll(pads, 3 * XInputPads::kEmptySlotPeriod + 200),
            (std::vector<InputKey>{InputKey::kRight, InputKey::kPadA}));
}

TEST(XInputPadTest, WithoutXInputThereAreNoControllers) {
  XInputPads pads;
  EXPECT_FALSE(pads.Available());
  EXPECT_TRUE(Poll(pads, 0).empty());
}

}  // namespace
}  // namespace tav
