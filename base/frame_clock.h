// The frame clock: one clamped frame time per frame that every animation, fade, timer
// and game motion advances by, and the Stopwatches it advances at every frame end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

namespace tav {

// Where the clock reads time from. The platform layer supplies the real one;
// tests install a fake. A source without a high-resolution counter returns false
// from QueryFrequency and the clock falls back to MilliTicks.
class TimeSource {
 public:
  virtual ~TimeSource() = default;
  virtual bool QueryFrequency(uint64_t* ticksPerSecond) = 0;
  virtual uint64_t QueryCounter() = 0;
  virtual uint32_t MilliTicks() = 0;  // milliseconds since some fixed start
};

// Installs the process-wide time source (not owned). Null restores a source that
// reads the system's steady clock. The clock queries a new source's frequency on
// its next use.
void SetTimeSource(TimeSource* source);
TimeSource& GetTimeSource();

class Stopwatch;

class FrameClock {
 public:
  static FrameClock& Instance();

  void FrameStart();
  void FrameEnd();
  float FrameTime() const { return frameTime_; }

  void Register(Stopwatch* watch);
  void Unregister(Stopwatch* watch);
  size_t StopwatchCount() const { return watches_.size(); }

  // Back to the state of a fresh process: frame time 0.01, the high-resolution
  // decision not yet made. Stopwatches stay registered. For tests: call it after
  // SetTimeSource so the new source's frequency is queried.
  void ResetForTests();

  static constexpr float kMaxFrameTime = 0.05f;
  static constexpr float kInitialFrameTime = 0.01f;

 private:
  // Seconds since the frame mark; moves the mark to now.
  double TakeElapsed();
  uint64_t Now();  // counter ticks, or milliseconds on the fallback path

  bool decided_ = false;
  TimeSource* decidedSource_ = nullptr;  // a newly installed source is asked again
  bool highResolution_ = false;
  uint64_t frequency_ = 0;
  uint64_t markTicks_ = 0;  // counter ticks, or milliseconds on the fallback path
  float frameTime_ = kInitialFrameTime;
  std::deque<Stopwatch*> watches_;
};

// Shorthand for FrameClock::Instance().FrameTime().
float FrameTime();

// A float accumulator advanced by the frame time at every frame end.
class Stopwatch {
 public:
  Stopwatch();
  ~Stopwatch();
  Stopwatch(const Stopwatch&) = delete;
  Stopwatch& operator=(const Stopwatch&) = delete;

  float Get() const { return value_; }
  void Set(float seconds) { value_ = seconds; }
  void Advance(float seconds) { value_ += seconds; }

 private:
  float value_ = 0.0f;
};

}  // namespace tav
