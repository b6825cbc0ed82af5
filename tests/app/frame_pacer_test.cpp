// The pacing decision from made-up frame times, and the pacer's waits on the
// headless platform's clock (which moves only when the pacer sleeps or the test says).
#include "app/frame_pacer.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/headless/fake_display.h"
#include "platform/headless/headless_platform.h"

namespace tav {
namespace {

void AddFrames(PacingDecision& decision, int count, double seconds) {
  for (int i = 0; i < count; ++i) decision.AddSwap(seconds);
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
  decision.AddSwap(0.003);
  EXPECT_TRUE(decision.Pacing());
  // One slow frame (loading a level) among fast ones does not end pacing.
  decision.AddSwap(0.4);
  AddFrames(decision, window - 1, 0.003);
  EXPECT_TRUE(decision.Pacing());
  // Paced swaps say nothing, however long they take: their time depends on the wait.
  AddFrames(decision, 3 * window, 0.03);
  EXPECT_TRUE(decision.Pacing());
  // A probe on a display that still returns swaps at once.
  decision.StartProbe();
  AddFrames(decision, PacingDecision::kProbeSwaps, 0.003);
  EXPECT_FALSE(decision.Probing());
  EXPECT_TRUE(decision.Pacing());
  // A display that holds swaps again, behind one queued buffer: the probe's first swap
  // (after a wait) and second return early, the others a period later.
  decision.StartProbe();
  AddFrames(decision, 2, 0.003);
  AddFrames(decision, PacingDecision::kProbeSwaps - 2, 0.0166);
  EXPECT_FALSE(decision.Pacing());
  // Frames slower than the refresh (a slow machine) are never paced.
  AddFrames(decision, window, 0.03);
  EXPECT_FALSE(decision.Pacing());
}

// A software rasteriser drawing a large screen whole: frames longer than three
// quarters of the period, with its threads computing on two cores throughout. They
// were not held, so they pace, and a probe of such frames keeps pacing; a driver that
// spins on one core while the display holds the swap still counts as held.
TEST(PacingDecision, FramesComputedOnSeveralCoresWereNotHeld) {
  PacingDecision decision(60.0);
  for (int i = 0; i < PacingDecision::kWindowFrames; ++i) decision.AddSwap(0.014, 0.025);
  EXPECT_TRUE(decision.Pacing());
  decision.StartProbe();
  for (int i = 0; i < PacingDecision::kProbeSwaps; ++i) decision.AddSwap(0.019, 0.030);
  EXPECT_TRUE(decision.Pacing());
  decision.StartProbe();
  for (int i = 0; i < PacingDecision::kProbeSwaps; ++i) decision.AddSwap(0.0166, 0.0166);
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
  for (int frame = 0; frame < 2 * PacingDecision::kWindowFrames; ++frame) {
    frameStarts.push_back(platform.QueryCounter());
    pacer.FrameStart();
    platform.AdvanceClock(2000);  // 2 ms of work and presentation
    pacer.FrameEnd(true);
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
  pacer.FrameEnd(true);
  const uint64_t afterSlow = platform.QueryCounter();
  pacer.FrameStart();
  platform.AdvanceClock(2000);
  pacer.FrameEnd(true);
  EXPECT_NEAR(static_cast<double>(platform.QueryCounter() - afterSlow), 20000.0, 100.0);
}

// An idle picture, whose frames are left out whenever a swap is optional, on a display
// that returns swaps at once for ten seconds, then holds them to its refresh, returns
// them at once again from 16 s and holds them again from 18 s. The pacer must notice
// each change from its probes alone, since left-out frames say nothing; the probes
// come less often while nothing changes and often again once pacing starts anew.
TEST(FramePacer, ProbesBackOffWhileTheDisplayStaysTheSameAndStillNoticeItHoldingSwaps) {
  HeadlessPlatform platform;
  platform.SetSleepHook([&](uint32_t milliseconds) {
    if (milliseconds == 0) platform.AdvanceClock(50);
  });
  FakeDisplay display(DisplayKind::kNoVsync);
  FramePacer pacer(platform, 60, true);
  int probeSwapsWithoutVsync = 0;
  std::vector<uint64_t> pacingEnds;
  bool wasPacing = false;
  while (platform.QueryCounter() < 22000000) {
    const uint64_t start = platform.QueryCounter();
    const bool vsync = (start >= 10000000 && start < 16000000) || start >= 18000000;
    display.SetKind(vsync ? DisplayKind::kVsync : DisplayKind::kNoVsync);
    pacer.FrameStart();
    platform.AdvanceClock(2000);
    const bool swapped = !pacer.SwapOptional();
    if (swapped) {
      platform.AdvanceClock(display.SwapReturnTime(platform.QueryCounter()) -
                            platform.QueryCounter());
    }
    if (swapped && pacer.Pacing() && start < 10000000) ++probeSwapsWithoutVsync;
    pacer.FrameEnd(swapped);
    if (wasPacing && !pacer.Pacing()) pacingEnds.push_back(start);
    wasPacing = pacer.Pacing();
    // Once noticed, while the display holds swaps, every frame is swapped.
    if (pacingEnds.size() == 1 && start < 16000000) {
      EXPECT_FALSE(pacer.SwapOptional()) << start;
    }
    if (start >= 9000000 && start < 10000000) EXPECT_TRUE(pacer.Pacing()) << start;
  }
  // Every second, ten seconds would have taken nine probes; backing off, three.
  EXPECT_LE(probeSwapsWithoutVsync, 3 * PacingDecision::kProbeSwaps);
  ASSERT_EQ(pacingEnds.size(), 2u) << "still pacing on a display that holds swaps";
  EXPECT_LE(pacingEnds[0], 10000000u + 4100000u);
  // Pacing began again at about 16 s, with its first probe a second later.
  EXPECT_LE(pacingEnds[1], 18000000u + 2100000u);
}

TEST(FramePacer, TurnedOffItNeverWaitsAndNeverLetsAFrameGoUnswapped) {
  HeadlessPlatform platform;
  FramePacer pacer(platform, 60, false);
  for (int frame = 0; frame < 3 * PacingDecision::kWindowFrames; ++frame) {
    pacer.FrameStart();
    EXPECT_FALSE(pacer.SwapOptional());
    pacer.FrameEnd(true);
  }
  EXPECT_TRUE(platform.Sleeps().empty());
}

}  // namespace
}  // namespace tav
