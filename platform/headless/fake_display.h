// Stand-ins for the ways real displays return from a presentation, on a fake
// microsecond clock: drivers that hold each swap until the next refresh, with and
// without a way to copy parts of the back buffer to the window, and the software
// rasteriser that never holds one. The machines the game is developed on have no
// GPU, so the pacing and present logic is proven against these models instead.
#pragma once

#include <cstdint>

namespace tav {

enum class DisplayKind {
  kVsync,        // swaps return at the next refresh; regions can be copied (Mesa on hardware)
  kVsyncNoCopy,  // swaps return at the next refresh; no region copies (the closed drivers)
  kNoVsync,      // swaps return at once; regions can be copied (llvmpipe, Wine)
};

class FakeDisplay {
 public:
  explicit FakeDisplay(DisplayKind kind = DisplayKind::kVsync, int refreshHz = 60)
      : kind_(kind), refreshHz_(refreshHz > 0 ? refreshHz : 60) {}

  // The display changes behaviour from the next swap on (a window hidden or shown, a
  // compositor that stops or resumes throttling).
  void SetKind(DisplayKind kind) { kind_ = kind; }
  DisplayKind Kind() const { return kind_; }
  int RefreshHz() const { return refreshHz_; }
  bool CopiesRegions() const { return kind_ != DisplayKind::kVsyncNoCopy; }
  // The next `count` swaps return at once whatever the kind, as when the driver still
  // has free buffers queued (the first swaps of a run).
  void ReturnNextSwapsAtOnce(int count) { swapsAtOnce_ = count; }

  // When a swap issued at `nowMicroseconds` returns: at once, or at the first refresh
  // after it (refresh k at k / refreshHz seconds, in whole microseconds).
  uint64_t SwapReturnTime(uint64_t nowMicroseconds);

 private:
  DisplayKind kind_;
  int refreshHz_;
  int swapsAtOnce_ = 0;
};

}  // namespace tav
