// Feeds bytes to the level progress reader as Data/Last.dat.
#include "app/level_progress.h"
#include "fuzz/support/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tav::fuzz::ResetLog();
  const std::string path = tav::fuzz::WriteScratchFile("Data/Last.dat", data, size);
  tav::LevelProgress progress;
  tav::LoadLevelProgress(path, &progress);
  // The first level of each mode can always be started.
  if (progress.unlockedTimeLevels < 1 || progress.unlockedClassicLevels < 1) __builtin_trap();
  return 0;
}
