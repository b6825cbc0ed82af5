// Frame time measurement, clamping, the millisecond fallback and Stopwatch registry.
#include "base/frame_clock.h"

#include <gtest/gtest.h>

#include <memory>

namespace tav {
namespace {

// A clock that moves only when the test says so.
class FakeTimeSource : public TimeSource {
 public:
  explicit FakeTimeSource(bool highResolution) : highResolution_(highResolution) {}
  bool QueryFrequency(uint64_t* ticksPerSecond) override {
    ++frequencyQueries;
    *ticksPerSecond = highResolution_ ? kFrequency : 0;
    return highResolution_;
  }
  uint64_t QueryCounter() override { return ticks; }
  uint32_t MilliTicks() override { return milliseconds; }

  void AdvanceSeconds(double seconds) {
    ticks += static_cast<uint64_t>(seconds * kFrequency);
    milliseconds += static_cast<uint32_t>(seconds * 1000.0);
  }

  static constexpr uint64_t kFrequency = 10000000;  // 100 ns ticks
  uint64_t ticks = 5000000000ull;
  uint32_t milliseconds = 123456;
  int frequencyQueries = 0;

 private:
  bool highResolution_;
};

class FrameClockTest : public ::testing::Test {
 protected:
  void Use(FakeTimeSource* source) {
    SetTimeSource(source);
    clock().ResetForTests();
  }
  void TearDown() override {
    SetTimeSource(nullptr);
    clock().ResetForTests();
  }
  FrameClock& clock() { return FrameClock::Instance(); }

  // One frame that lasts `seconds` between frame start and frame end.
  void RunFrame(FakeTimeSource& source, double seconds) {
    clock().FrameStart();
    source.AdvanceSeconds(seconds);
    clock().FrameEnd();
  }
};

TEST_F(FrameClockTest, MeasuresFramesAndClampsLongOnes) {
  FakeTimeSource source(true);
  Use(&source);
  EXPECT_FLOAT_EQ(FrameTime(), 0.01f);  // before the first frame end

  RunFrame(source, 0.016);
  EXPECT_FLOAT_EQ(FrameTime(), 0.016f);

  RunFrame(source, 1.0);  // a stall: every animation moves by no more than 0.05
  EXPECT_EQ(FrameTime(), FrameClock::kMaxFrameTime);

  // Time spent between frames (message pump, minimised) is not counted.
  source.AdvanceSeconds(3.0);
  RunFrame(source, 0.02);
  EXPECT_FLOAT_EQ(FrameTime(), 0.02f);

  // No lower clamp: a frame of no measurable length is 0.
  RunFrame(source, 0.0);
  EXPECT_EQ(FrameTime(), 0.0f);
  EXPECT_EQ(source.frequencyQueries, 1);  // decided once
}

TEST_F(FrameClockTest, FallsBackToMillisecondsWithoutHighResolutionCounter) {
  FakeTimeSource source(false);
  Use(&source);
  RunFrame(source, 0.030);
  EXPECT_FLOAT_EQ(FrameTime(), 0.030f);

  RunFrame(source, 0.0004);  // under a millisecond
  EXPECT_EQ(FrameTime(), 0.0f);

  // The millisecond counter wraps after about 49 days; the frame is still short.
  source.milliseconds = 0xFFFFFFF0u;
  clock().FrameStart();
  source.milliseconds += 0x20;  // wraps to 0x10
  clock().FrameEnd();
  EXPECT_FLOAT_EQ(FrameTime(), 0.032f);
}

TEST_F(FrameClockTest, ANewTimeSourceIsAskedForItsFrequency) {
  FakeTimeSource counter(true);
  Use(&counter);
  RunFrame(counter, 0.02);
  FakeTimeSource milliseconds(false);
  SetTimeSource(&milliseconds);  // no reset: the clock notices the change itself
  RunFrame(milliseconds, 0.03);
  EXPECT_FLOAT_EQ(FrameTime(), 0.03f);
  EXPECT_EQ(milliseconds.frequencyQueries, 1);
}

TEST_F(FrameClockTest, StopwatchesAdvanceAtFrameEndUntilTheyUnregister) {
  FakeTimeSource source(true);
  Use(&source);
  size_t before = clock().StopwatchCount();
  auto first = std::make_unique<Stopwatch>();
  auto middle = std::make_unique<Stopwatch>();
  auto last = std::make_unique<Stopwatch>();
  EXPECT_EQ(clock().StopwatchCount(), before + 3);

  RunFrame(source, 0.02);
  EXPECT_FLOAT_EQ(first->Get(), 0.02f);
  EXPECT_FLOAT_EQ(last->Get(), 0.02f);

  // A Stopwatch made during a frame gets that whole frame's time.
  clock().FrameStart();
  source.AdvanceSeconds(0.01);
  Stopwatch late;
  source.AdvanceSeconds(0.01);
  clock().FrameEnd();
  EXPECT_FLOAT_EQ(late.Get(), 0.02f);

  middle.reset();  // removal from the middle of the registry
  EXPECT_EQ(clock().StopwatchCount(), before + 3);
  first->Set(0.0f);
  RunFrame(source, 0.04);
  EXPECT_FLOAT_EQ(first->Get(), 0.04f);
  EXPECT_FLOAT_EQ(last->Get(), 0.08f);
  EXPECT_FLOAT_EQ(late.Get(), 0.06f);

  // Unregistering something not registered changes nothing.
  Stopwatch* stranger = first.get();
  clock().Unregister(stranger);
  clock().Unregister(stranger);
  EXPECT_EQ(clock().StopwatchCount(), before + 2);
  clock().Register(stranger);  // give it back so its destructor finds it
}

}  // namespace
}  // namespace tav
