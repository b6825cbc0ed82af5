// Frame pacing for displays that do not wait for the refresh at presentation.
#include "app/frame_pacer.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace tav {

namespace {

constexpr double kDefaultRefreshHz = 60.0;
// How long before a deadline sleeping stops and yielding takes over.
constexpr double kYieldSeconds = 0.001;
// Far more yields than fit into that millisecond on any machine.
constexpr int kMaxYields = 100000;

}  // namespace

PacingDecision::PacingDecision(double refreshHz)
    : periodSeconds_(1.0 / (refreshHz > 0.0 ? refreshHz : kDefaultRefreshHz)) {}

void PacingDecision::AddFrame(double busySeconds) {
  if (busySeconds < kUnsyncedShare * periodSeconds_) ++earlyFrames_;
  if (++framesInWindow_ < kWindowFrames) return;
  pacing_ = 2 * earlyFrames_ > framesInWindow_;
  framesInWindow_ = 0;
  earlyFrames_ = 0;
}

FramePacer::FramePacer(Platform& platform, int refreshHz, bool measure, bool mayWait)
    : platform_(platform), measure_(measure), mayWait_(mayWait), decision_(refreshHz) {
  if (!platform_.QueryFrequency(&ticksPerSecond_)) ticksPerSecond_ = 0;
}

double FramePacer::Now() {
  if (ticksPerSecond_ != 0) {
    return static_cast<double>(platform_.QueryCounter()) / static_cast<double>(ticksPerSecond_);
  }
  return platform_.MilliTicks() / 1000.0;
}

void FramePacer::FrameStart() { frameStart_ = Now(); }

void FramePacer::FrameEnd() {
  if (!measure_) return;
  const double now = Now();
  decision_.AddFrame(now - frameStart_);
  if (!Pacing()) {
    deadline_ = -1.0;
    return;
  }
  const double period = decision_.PeriodSeconds();
  deadline_ = (deadline_ < 0.0 ? frameStart_ : deadline_) + period;
  // A frame that ran past its deadline starts a new series from now.
  if (deadline_ <= now) {
    deadline_ = now;
    return;
  }
  WaitUntil(deadline_);
}

void FramePacer::WaitUntil(double deadline) {
  // A clock that stands still (a stub) must not hold the loop here for ever.
  for (int yields = 0; yields < kMaxYields;) {
    const double left = deadline - Now();
    if (left <= 0.0) return;
    // Whole milliseconds, rounded so that on average about kYieldSeconds is left.
    const auto sleepMilliseconds =
        static_cast<uint32_t>(std::lround((left - kYieldSeconds) * 1000.0));
    if (left > kYieldSeconds && sleepMilliseconds > 0) {
      platform_.Sleep(sleepMilliseconds);
    } else {
      platform_.Sleep(0);  // gives the processor away without a timer's coarseness
      ++yields;
    }
  }
}

bool FramePacingAllowedByEnvironment() {
  const char* value = std::getenv("TAV_FRAME_PACING");
  if (value == nullptr) return true;
  return std::strcmp(value, "off") != 0 && std::strcmp(value, "0") != 0;
}

}  // namespace tav
