// The frame clock, its time source and the Stopwatches it advances.
#include "base/frame_clock.h"

#include <algorithm>
#include <chrono>

namespace tav {
namespace {

// Reads the system's steady clock in nanoseconds: always high resolution.
class SteadyTimeSource : public TimeSource {
 public:
  bool QueryFrequency(uint64_t* ticksPerSecond) override {
    *ticksPerSecond = 1000000000ull;
    return true;
  }
  uint64_t QueryCounter() override {
    auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
  }
  uint32_t MilliTicks() override {
    auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
  }
};

SteadyTimeSource g_steadySource;
TimeSource* g_timeSource = &g_steadySource;

}  // namespace

void SetTimeSource(TimeSource* source) {
  g_timeSource = source ? source : &g_steadySource;
}
TimeSource& GetTimeSource() {
  return *g_timeSource;
}

FrameClock& FrameClock::Instance() {
  static FrameClock clock;
  return clock;
}

uint64_t FrameClock::Now() {
  TimeSource& source = GetTimeSource();
  if (!decided_ || decidedSource_ != &source) {
    decided_ = true;
    decidedSource_ = &source;
    uint64_t frequency = 0;
    highResolution_ = source.QueryFrequency(&frequency) && frequency != 0;
    frequency_ = highResolution_ ? frequency : 0;
  }
  return highResolution_ ? source.QueryCounter() : source.MilliTicks();
}

double FrameClock::TakeElapsed() {
  uint64_t now = Now();
  double elapsed;
  if (highResolution_) {
    elapsed = static_cast<double>(now - markTicks_) / static_cast<double>(frequency_);
  } else {
    // Millisecond ticks wrap after about 49 days; the 32-bit difference stays right.
    uint32_t milliseconds = static_cast<uint32_t>(now) - static_cast<uint32_t>(markTicks_);
    elapsed = milliseconds * 0.001;
  }
  markTicks_ = now;
  return elapsed;
}

void FrameClock::FrameStart() {
  markTicks_ = Now();
}

void FrameClock::FrameEnd() {
  double elapsed = TakeElapsed();
  frameTime_ = static_cast<float>(std::min(elapsed, static_cast<double>(kMaxFrameTime)));
  for (Stopwatch* watch : watches_) watch->Advance(frameTime_);
}

void FrameClock::Register(Stopwatch* watch) {
  watches_.push_back(watch);
}

void FrameClock::Unregister(Stopwatch* watch) {
  auto found = std::find(watches_.begin(), watches_.end(), watch);
  // deque::erase closes the gap from whichever side is shorter; order is kept.
  if (found != watches_.end()) watches_.erase(found);
}

void FrameClock::ResetForTests() {
  decided_ = false;
  decidedSource_ = nullptr;
  highResolution_ = false;
  frequency_ = 0;
  markTicks_ = 0;
  frameTime_ = kInitialFrameTime;
}

float FrameTime() {
  return FrameClock::Instance().FrameTime();
}

Stopwatch::Stopwatch() {
  FrameClock::Instance().Register(this);
}
Stopwatch::~Stopwatch() {
  FrameClock::Instance().Unregister(this);
}

}  // namespace tav
