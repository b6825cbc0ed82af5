// The frame rate for benchmarks: with TAV_FRAME_RATE_FILE naming a file, the main
// loop writes there, every quarter second, the frames per second it finished in that
// time, one number per line (the form of Mesa's HUD dump). It counts every finished
// frame, also those presented part by part, which Mesa's HUD does not see.
#pragma once

#include <cstdint>
#include <cstdio>

#include "base/frame_clock.h"

namespace tav {

class FrameRateFile {
 public:
  // `path` null or empty: nothing is written.
  FrameRateFile(TimeSource& clock, const char* path);
  ~FrameRateFile();
  FrameRateFile(const FrameRateFile&) = delete;
  FrameRateFile& operator=(const FrameRateFile&) = delete;

  void FrameEnd();

 private:
  TimeSource& clock_;
  std::FILE* file_ = nullptr;
  uint32_t periodStart_ = 0;
  int frames_ = 0;
};

}  // namespace tav
