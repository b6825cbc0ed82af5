// Keeps the game from drawing frames nobody sees when the display does not hold each
// presentation until the next refresh (software GL, many virtual machines, remote
// desktops, Wine): it notices that frames return much faster than the display
// refreshes and then waits out the rest of each refresh period itself. The frame
// clock still measures the real frame times, so the game's timing is unchanged.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

namespace tav {

// The pacing decision, kept apart from any clock so that it can be driven with
// made-up frame times.
class PacingDecision {
 public:
  // Frames measured before each new decision.
  static constexpr int kWindowFrames = 30;
  // A frame shorter than this share of the refresh period did not wait for the display.
  static constexpr double kUnsyncedShare = 0.75;

  explicit PacingDecision(double refreshHz = 60.0);

  // The time from one frame's start to the return of its presentation, before any
  // pacing wait. Every kWindowFrames frames the decision is taken again: pacing is
  // on when more than half of those frames came back early.
  void AddFrame(double busySeconds);
  bool Pacing() const { return pacing_; }
  double PeriodSeconds() const { return periodSeconds_; }

 private:
  double periodSeconds_;
  int framesInWindow_ = 0;
  int earlyFrames_ = 0;
  bool pacing_ = false;
};

// Waits between frames on the platform's clock. Sleeps in whole milliseconds up to
// about a millisecond before each deadline, then yields until it, so that frames stay
// evenly spaced; deadlines advance by whole periods so that the rate does not drift,
// and a frame that overran starts a new series instead of rushing to catch up.
class FramePacer {
 public:
  // `refreshHz` of 0 or less means unknown: 60. `measure`: frames go to a display
  // whose presentation is timed (false: nothing is measured or paced). `mayWait`:
  // pacing is allowed; without it frames are still measured, so that DisplayUnsynced
  // still answers.
  FramePacer(Platform& platform, int refreshHz, bool measure, bool mayWait = true);

  // At the start of each frame's work.
  void FrameStart();
  // After the frame was presented: measures it and, when pacing, waits.
  void FrameEnd();

  const PacingDecision& Decision() const { return decision_; }
  // Frames are being paced here (not by the display).
  bool Pacing() const { return mayWait_ && decision_.Pacing(); }
  // Presentations come back without waiting for the display's refresh.
  bool DisplayUnsynced() const { return measure_ && decision_.Pacing(); }

 private:
  double Now();
  void WaitUntil(double deadline);

  Platform& platform_;
  bool measure_;
  bool mayWait_;
  PacingDecision decision_;
  uint64_t ticksPerSecond_ = 0;
  double frameStart_ = 0.0;
  double deadline_ = -1.0;
};

// Whether pacing may be used, from the environment: TAV_FRAME_PACING=off (or 0)
// turns it off so that benchmarks can measure the unpaced frame rate.
bool FramePacingAllowedByEnvironment();

}  // namespace tav
