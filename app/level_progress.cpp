// Reading and writing Data\Last.dat, defensively: the file is untrusted, so any
// length is accepted and read as far as it holds whole counts.
#include "app/level_progress.h"

#include <algorithm>
#include <fstream>

#include "base/atomic_file.h"
#include "base/file_system.h"
#include "base/log.h"

namespace tav {

namespace {

void AppendLittleEndian(std::string& bytes, int32_t value) {
  const uint32_t bits = static_cast<uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) {
    bytes.push_back(static_cast<char>((bits >> shift) & 0xFF));
  }
}

int32_t ReadLittleEndian(const std::string& bytes, size_t offset) {
  uint32_t bits = 0;
  for (int i = 0; i < 4; ++i) {
    bits |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[offset + i])) << (8 * i);
  }
  return static_cast<int32_t>(bits);
}

}  // namespace

std::string SerializeLevelProgress(const LevelProgress& progress) {
  std::string bytes;
  AppendLittleEndian(bytes, progress.unlockedTimeLevels);
  AppendLittleEndian(bytes, progress.unlockedClassicLevels);
  return bytes;
}

bool ParseLevelProgress(const std::string& bytes, LevelProgress* progress,
                        std::string* problem) {
  *progress = LevelProgress();
  if (bytes.size() >= 4) progress->unlockedTimeLevels = ReadLittleEndian(bytes, 0);
  if (bytes.size() >= 8) progress->unlockedClassicLevels = ReadLittleEndian(bytes, 4);
  bool wellFormed = true;
  std::string why;
  if (bytes.size() != kLevelProgressBytes) {
    wellFormed = false;
    why = bytes.size() > kLevelProgressBytes
              ? std::string("it is longer than 8 bytes")
              : "it has " + std::to_string(bytes.size()) + " bytes instead of 8";
  }
  if (progress->unlockedTimeLevels < 1 || progress->unlockedClassicLevels < 1) {
    // A first run is written as 1; anything lower is damage, and level 1 must
    // stay startable.
    if (wellFormed) why = "a count is below 1";
    wellFormed = false;
    if (progress->unlockedTimeLevels < 1) progress->unlockedTimeLevels = 1;
    if (progress->unlockedClassicLevels < 1) progress->unlockedClassicLevels = 1;
  }
  if (problem != nullptr) *problem = why;
  return wellFormed;
}

bool LoadLevelProgress(const std::string& nativePath, LevelProgress* progress) {
  *progress = LevelProgress();
  std::ifstream in(FileSystemPath(nativePath), std::ios::binary);
  if (!in) return false;
  // Only the first bytes matter; a huge file is not read whole.
  std::string bytes(kLevelProgressBytes + 1, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<size_t>(in.gcount()));
  std::string problem;
  if (!ParseLevelProgress(bytes, progress, &problem)) {
    LogLine("WARNING: %s is damaged (%s); unlocked levels: %d time attack, %d classic.\n",
            kLevelProgressFile, problem.c_str(), progress->unlockedTimeLevels,
            progress->unlockedClassicLevels);
  }
  return true;
}

bool SaveLevelProgress(const std::string& nativePath, const LevelProgress& progress,
                       LevelProgress* merged) {
  LevelProgress result = progress;
  LevelProgress onDisk;
  if (LoadLevelProgress(nativePath, &onDisk)) {
    result.unlockedTimeLevels = std::max(result.unlockedTimeLevels, onDisk.unlockedTimeLevels);
    result.unlockedClassicLevels =
        std::max(result.unlockedClassicLevels, onDisk.unlockedClassicLevels);
  }
  if (merged != nullptr) *merged = result;
  return WriteFileAtomically(nativePath, SerializeLevelProgress(result));
}

}  // namespace tav
