// The scratch folder and log of the fuzz targets.
#include "fuzz/support/fuzz_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "base/log.h"

namespace tav {
namespace fuzz {

namespace {

void RemoveScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(ScratchFolder(), ignored);
}

}  // namespace

const std::string& ScratchFolder() {
  static const std::string folder = [] {
    char pattern[] = "/tmp/tav-fuzz-XXXXXX";
    if (mkdtemp(pattern) == nullptr) std::abort();
    std::filesystem::create_directories(std::string(pattern) + "/Data/Audio");
    return std::string(pattern);
  }();
  static const bool cleanupRegistered = [] { return std::atexit(RemoveScratchFolder) == 0; }();
  (void)cleanupRegistered;
  return folder;
}

std::string WriteScratchFile(const std::string& relative, const uint8_t* data, size_t size) {
  const std::string path = ScratchFolder() + "/" + relative;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);
  return path;
}

std::string WriteScratchFile(const std::string& relative, const std::string& bytes) {
  return WriteScratchFile(relative, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

void ResetLog() {
  // Truncating the log costs two file openings; every few thousand inputs is enough
  // to keep it small.
  static unsigned calls = 0;
  if (calls++ % 4096 == 0) LogStart(ScratchFolder());
  SetErrorsRaise(true);
}

}  // namespace fuzz
}  // namespace tav
