// Clocks for tests: time sources whose counters move only when a test moves them.
#pragma once

#include <cstdint>

#include "base/frame_clock.h"

namespace tav::test {

// A time source counting whole milliseconds, set by the test.
class FakeTimeSource : public TimeSource {
 public:
  bool QueryFrequency(uint64_t* ticksPerSecond) override {
    *ticksPerSecond = 1000;
    return true;
  }
  uint64_t QueryCounter() override { return milliseconds; }
  uint32_t MilliTicks() override { return milliseconds; }
  uint32_t milliseconds = 0;
};

// A time source whose counter only moves when told to (a million ticks a second).
class ManualTimeSource : public TimeSource {
 public:
  bool QueryFrequency(uint64_t* ticksPerSecond) override {
    *ticksPerSecond = 1000000;
    return true;
  }
  uint64_t QueryCounter() override { return counter; }
  uint32_t MilliTicks() override { return milliTicks; }

  uint64_t counter = 0;
  uint32_t milliTicks = 0;
};

// The millisecond clock a GUI test environment installs for the whole run.
inline FakeTimeSource& FakeTime() {
  static FakeTimeSource time;
  return time;
}

}  // namespace tav::test
