// The two clocks the game reads: the frame time every rule advances by, and the
// millisecond tick count that drives the pulsing of pictures. The real game reads
// both from the frame clock; tests and the simulator install a fixed-step clock.
#pragma once

#include <cstdint>

namespace tav {

class GameClock {
 public:
  virtual ~GameClock() = default;
  virtual float FrameTime() = 0;
  virtual uint32_t MilliTicks() = 0;
};

// Every frame lasts the same time; the tick count moves only when told.
class FixedStepClock : public GameClock {
 public:
  explicit FixedStepClock(float frameTime = 1.0f / 60.0f) : frameTime_(frameTime) {}
  float FrameTime() override { return frameTime_; }
  uint32_t MilliTicks() override { return static_cast<uint32_t>(milliseconds_); }
  void SetFrameTime(float seconds) { frameTime_ = seconds; }
  // Moves the tick count on by one frame time.
  void AdvanceFrame() { milliseconds_ += static_cast<double>(frameTime_) * 1000.0; }

 private:
  float frameTime_;
  double milliseconds_ = 0.0;
};

// Installs the process-wide clock (not owned). Null restores the frame clock.
void SetGameClock(GameClock* clock);
GameClock& GetGameClock();

float GameFrameTime();
uint32_t GameMilliTicks();

}  // namespace tav
