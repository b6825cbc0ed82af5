// Writes the main loop's frame rate for benchmarks.
#include "app/frame_rate_file.h"

#include "base/file_system.h"
#include "base/log.h"

namespace tav {

namespace {
constexpr uint32_t kPeriodMilliseconds = 250;
}  // namespace

FrameRateFile::FrameRateFile(TimeSource& clock, const char* path) : clock_(clock) {
  if (path == nullptr || path[0] == '\0') return;
  file_ = OpenFile(path, "w");
  if (file_ == nullptr) LogLine("WARNING: The frame rate file cannot be written.\n");
  periodStart_ = clock_.MilliTicks();
}

FrameRateFile::~FrameRateFile() {
  if (file_ != nullptr) std::fclose(file_);
}

void FrameRateFile::FrameEnd() {
  if (file_ == nullptr) return;
  ++frames_;
  const uint32_t elapsed = clock_.MilliTicks() - periodStart_;
  if (elapsed < kPeriodMilliseconds) return;
  std::fprintf(file_, "%.1f\n", frames_ * 1000.0 / elapsed);
  std::fflush(file_);
  periodStart_ += elapsed;
  frames_ = 0;
}

}  // namespace tav
