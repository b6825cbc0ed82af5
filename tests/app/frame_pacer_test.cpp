// The pacing decision from made-up frame times, and the pacer's waits on the
// headless platform's clock (which moves only when the pacer sleeps or the test says).
#include "app/frame_pacer.h"

#include <gtest/gtest.h>

#include "platform/headless/headless_platform.h"

namespace tav {
namespace {

void AddFrames(PacingDecision& decision, int count, double seconds) {
  for (int i = 0; i < count; ++i) decision.AddFrame(seconds);
}

TEST(PacingDecision, PacesOnlyWhileMostFramesReturnBeforeTheDisplayRefreshes) {
  PacingDecision decision(60.0);
  const int window = PacingDecision::kWindowFrames;
  // Frames held to the 60 Hz refresh: nothing to do.
  AddFrames(decision, window, 0.0166);
  EXPECT_FALSE(decision.Pacing());
  // Frames coming back in 3 ms: the presentation does not wait.
  AddFrames(decision, window - 1, 0.003);
  EXPECT_FALSE(decision.Pacing()) << "decided before the window was full";
  decision.AddFrame(0.003);
  EXPECT_TRUE(decision.Pacing());
  // One slow frame (loading a level) among fast ones does not end pacing.
  decision.AddFrame(0.4);
  AddFrames(decision, window - 1, 0.003);
  EXPECT_TRUE(decision.Pacing());
  // Frames slower than the refresh (a slow machine) are never paced.
  AddFrames(decision, window, 0.03);
  EXPECT_FALSE(decision.Pacing());
}

TEST(PacingDecision, AnUnknownRefreshRateCountsAsSixtyHertz) {
  EXPECT_DOUBLE_EQ(PacingDecision(0.0).PeriodSeconds(), 1.0 / 60.0);
  EXPECT_DOUBLE_EQ(PacingDecision(144.0).PeriodSeconds(), 1.0 / 144.0);
}

TEST(FramePacer, FastFramesAreSpacedOneRefreshPeriodApart) {
  HeadlessPlatform platform;
  // A yield lets a tenth of a millisecond pass.
  platform.SetSleepHook([&](uint32_t milliseconds) {
    if (milliseconds == 0) platform.AdvanceClock(100);
  });
  FramePacer pacer(platform, 50, true);  // 20 ms period
  std::vector<uint64_t> frameStarts;
  for (int frame = 0; frame < 3 * PacingDecision::kWindowFrames; ++frame) {
    frameStarts.push_back(platform.QueryCounter());
    pacer.FrameStart();
    platform.AdvanceClock(2000);  // 2 ms of work and presentation
    pacer.FrameEnd();
  }
  ASSERT_TRUE(pacer.Decision().Pacing());
  // Once pacing, each frame starts one period after the one before, to within one
  // yield; before, frames ran back to back.
  EXPECT_EQ(frameStarts[1] - frameStarts[0], 2000u);
  for (size_t i = frameStarts.size() - 20; i < frameStarts.size(); ++i) {
    EXPECT_NEAR(static_cast<double>(frameStarts[i] - frameStarts[i - 1]), 20000.0, 100.0)
        << "frame " << i;
  }
  // The deadlines advance by whole periods: no drift over many frames.
  EXPECT_NEAR(static_cast<double>(frameStarts.back() - frameStarts[frameStarts.size() - 21]),
              400000.0, 100.0);
  // A frame that overran its period is not followed by a rush of short ones.
  pacer.FrameStart();
  platform.AdvanceClock(50000);
  pacer.FrameEnd();
  const uint64_t afterSlow = platform.QueryCounter();
  pacer.FrameStart();
  platform.AdvanceClock(2000);
  pacer.FrameEnd();
  EXPECT_NEAR(static_cast<double>(platform.QueryCounter() - afterSlow), 20000.0, 100.0);
}

TEST(FramePacer, TurnedOffItNeverWaits) {
  HeadlessPlatform platform;
  FramePacer pacer(platform, 60, false);
  for (int frame = 0; frame < 3 * PacingDecision::kWindowFrames; ++frame) {
    pacer.FrameStart();
    pacer.FrameEnd();
  }
  EXPECT_TRUE(platform.Sleeps().empty());
  EXPECT_FALSE(pacer.DisplayUnsynced());

  // Pacing forbidden (a benchmark's unpaced run): frames are still measured, so that
  // the renderer learns that presentations do not wait, but nothing waits here.
  FramePacer measuring(platform, 60, true, false);
  for (int frame = 0; frame < PacingDecision::kWindowFrames; ++frame) {
    measuring.FrameStart();
    measuring.FrameEnd();
  }
  EXPECT_TRUE(platform.Sleeps().empty());
  EXPECT_FALSE(measuring.Pacing());
  EXPECT_TRUE(measuring.DisplayUnsynced());
}

}  // namespace
}  // namespace tav
