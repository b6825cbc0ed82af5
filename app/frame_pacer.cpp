// Frame pacing for displays that do not wait for the refresh at presentation.
#include "app/frame_pacer.h"

#include <algorithm>
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

void PacingDecision::AddSwap(double busySeconds, double processorSeconds) {
  const bool early = busySeconds < kUnsyncedShare * periodSeconds_ ||
                     processorSeconds >= kSeveralCoresShare * busySeconds;
  if (pacing_) {
    if (probeSwapsLeft_ == 0) return;  // a paced swap: its timing depends on the wait
    if (probeSwapsLeft_ < kProbeSwaps && !early) ++probeHeldSwaps_;
    if (--probeSwapsLeft_ > 0) return;
    if (2 * probeHeldSwaps_ >= kProbeSwaps - 1) {
      // The display holds swaps again: it keeps the time from now on.
      pacing_ = false;
      framesInWindow_ = 0;
      earlyFrames_ = 0;
    }
    return;
  }
  if (early) ++earlyFrames_;
  if (++framesInWindow_ < kWindowFrames) return;
  pacing_ = 2 * earlyFrames_ > framesInWindow_;
  framesInWindow_ = 0;
  earlyFrames_ = 0;
}

void PacingDecision::StartProbe() {
  if (!pacing_) return;
  probeSwapsLeft_ = kProbeSwaps;
  probeHeldSwaps_ = 0;
}

FramePacer::FramePacer(Platform& platform, int refreshHz, bool enabled,
                       double (*processorSeconds)())
    : platform_(platform),
      enabled_(enabled),
      decision_(refreshHz),
      processorSeconds_(processorSeconds) {
  if (!platform_.QueryFrequency(&ticksPerSecond_)) ticksPerSecond_ = 0;
}

double FramePacer::Now() {
  if (ticksPerSecond_ != 0) {
    return static_cast<double>(platform_.QueryCounter()) / static_cast<double>(ticksPerSecond_);
  }
  return platform_.MilliTicks() / 1000.0;
}

void FramePacer::FrameStart() {
  frameStart_ = Now();
  if (enabled_) processorStart_ = processorSeconds_();
  if (decision_.Pacing() && !decision_.Probing() &&
      frameStart_ - lastProbe_ >= probeInterval_) {
    decision_.StartProbe();
    lastProbe_ = frameStart_;
  }
}

void FramePacer::FrameEnd(bool swapped) {
  if (!enabled_) return;
  const double now = Now();
  const bool wasPacing = decision_.Pacing();
  const bool probing = decision_.Probing();
  if (swapped) decision_.AddSwap(now - frameStart_, processorSeconds_() - processorStart_);
  if (!decision_.Pacing()) {
    deadline_ = -1.0;
    return;
  }
  // The first probe comes a whole interval after pacing began.
  if (!wasPacing) {
    lastProbe_ = now;
    probeInterval_ = kProbeIntervalSeconds;
  }
  // The swaps of a probe follow one another without waits; the series of deadlines
  // starts again after it.
  if (probing) {
    if (!decision_.Probing()) {
      probeInterval_ = std::min(2.0 * probeInterval_, kLongestProbeIntervalSeconds);
    }
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
