// Presentation timing of the stand-in displays.
#include "platform/headless/fake_display.h"

namespace tav {

uint64_t FakeDisplay::SwapReturnTime(uint64_t nowMicroseconds) {
  if (swapsAtOnce_ > 0) {
    --swapsAtOnce_;
    return nowMicroseconds;
  }
  if (kind_ == DisplayKind::kNoVsync) return nowMicroseconds;
  const auto refreshAt = [this](uint64_t index) {
    return index * 1000000 / static_cast<uint64_t>(refreshHz_);
  };
  uint64_t index = nowMicroseconds * static_cast<uint64_t>(refreshHz_) / 1000000;
  while (refreshAt(index) <= nowMicroseconds) ++index;
  return refreshAt(index);
}

}  // namespace tav
