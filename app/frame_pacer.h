// Keeps the game from drawing frames nobody sees when the display does not hold each
// swap until the next refresh (software GL, many virtual machines, remote desktops,
// Wine): it notices that swaps return much faster than the display refreshes and then
// waits out the rest of each refresh period itself. Only real swaps are evidence:
// while pacing, frames may be presented in parts or not at all, which return at once
// on any display, so the pacer now and then asks for a few whole swaps in a row (every
// second at first, less often while the display stays the same) and stops pacing as
// soon as the display holds them again (a window shown again, a compositor throttling
// again). The frame clock still measures the real frame times, so the game's timing
// is unchanged.
#pragma once

#include <cstddef>
#include <cstdint>

#include "app/processor_time.h"
#include "platform/platform.h"

namespace tav {

// The pacing decision, kept apart from any clock so that it can be driven with
// made-up swap times.
class PacingDecision {
 public:
  // Swaps measured before each new decision while not pacing.
  static constexpr int kWindowFrames = 30;
  // A swap returning before this share of the refresh period did not wait for it.
  static constexpr double kUnsyncedShare = 0.75;
  // Nor did one whose frame kept the process computing on more than one core on
  // average (processor time of all its threads at least this many times the frame's
  // span): a display that holds a swap leaves the process waiting, and a driver that
  // spins while it waits keeps one core busy at most. Such frames are a software
  // rasteriser's threads drawing a large screen whole, which can take longer than the
  // share above; judged held, they ended pacing, and every frame was then drawn whole
  // and swapped, as slow as the frames that had ended it.
  static constexpr double kSeveralCoresShare = 1.25;
  // Swaps in a row, without pacing waits, that test the display while pacing. The
  // first follows a wait and may return early on any display; most of the others
  // return a whole period later where the display holds swaps, even with a buffer
  // or two queued.
  static constexpr int kProbeSwaps = 4;

  explicit PacingDecision(double refreshHz = 60.0);

  // One swap, timed from its frame's start to its return, before any pacing wait,
  // with the processor time the whole process took meanwhile. Not pacing: every kWindowFrames swaps the decision is taken again, and pacing is
  // on when more than half of them came back early. Pacing: only the swaps of a
  // probe count; pacing ends when most of them (the first left aside) were held.
  void AddSwap(double busySeconds, double processorSeconds = 0.0);
  // Starts a probe: the next kProbeSwaps frames must be swapped, back to back.
  void StartProbe();
  bool Probing() const { return probeSwapsLeft_ > 0; }
  bool Pacing() const { return pacing_; }
  double PeriodSeconds() const { return periodSeconds_; }

 private:
  double periodSeconds_;
  int framesInWindow_ = 0;
  int earlyFrames_ = 0;
  int probeSwapsLeft_ = 0;
  int probeHeldSwaps_ = 0;
  bool pacing_ = false;
};

// Waits between frames on the platform's clock. Sleeps in whole milliseconds up to
// about a millisecond before each deadline, then yields until it, so that frames stay
// evenly spaced; deadlines advance by whole periods so that the rate does not drift,
// and a frame that overran starts a new series instead of rushing to catch up.
class FramePacer {
 public:
  // While pacing, the first probe of the display starts this long after pacing began.
  // Each probe that finds the display still not holding swaps doubles the time to the
  // next, up to the longest interval: a probe's whole swaps are the dearest frames
  // while pacing (a large screen drawn by a software rasteriser), and a display that
  // changes its mind mostly does so soon after it last did (a window shown again).
  static constexpr double kProbeIntervalSeconds = 1.0;
  static constexpr double kLongestProbeIntervalSeconds = 4.0;

  // `refreshHz` of 0 or less means unknown: 60. `enabled`: frames go to a display
  // whose swaps are timed and pacing is allowed (false: nothing is measured or paced,
  // and every frame is swapped whole). `processorSeconds`: the process's processor
  // time so far (ProcessorSeconds, or a stand-in in tests).
  FramePacer(Platform& platform, int refreshHz, bool enabled,
             double (*processorSeconds)() = ProcessorSeconds);

  // At the start of each frame's work.
  void FrameStart();
  // Whether this frame may end without a swap (see Renderer::SetSwapOptional): while
  // pacing, except for the frames of a probe. Valid after FrameStart.
  bool SwapOptional() const { return decision_.Pacing() && !decision_.Probing(); }
  // After the frame was presented (`swapped`: by a real swap): measures it and, when
  // pacing, waits.
  void FrameEnd(bool swapped);

  const PacingDecision& Decision() const { return decision_; }
  bool Pacing() const { return decision_.Pacing(); }

 private:
  double Now();
  void WaitUntil(double deadline);

  Platform& platform_;
  bool enabled_;
  PacingDecision decision_;
  uint64_t ticksPerSecond_ = 0;
  double (*processorSeconds_)();
  double frameStart_ = 0.0;
  double processorStart_ = 0.0;
  double deadline_ = -1.0;
  double lastProbe_ = 0.0;
  double probeInterval_ = kProbeIntervalSeconds;
};

// Whether pacing may be used, from the environment: TAV_FRAME_PACING=off (or 0)
// turns it off, and with it every way of presenting a frame without a swap, so that
// benchmarks can measure the unpaced frame rate.
bool FramePacingAllowedByEnvironment();

}  // namespace tav
