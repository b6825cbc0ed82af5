// The level progress kept between runs in Data\Last.dat: how many levels of each
// mode may be started from the menu. The file is 8 bytes, no header: the
// time-attack count, then the classic count, each a signed 32-bit little-endian
// number. It is replaced atomically, so a crash while saving leaves the old file.
#pragma once

#include <cstdint>
#include <string>

namespace tav {

struct LevelProgress {
  int32_t unlockedTimeLevels = 1;
  int32_t unlockedClassicLevels = 1;
};

// The file's path below the game folder.
constexpr const char* kLevelProgressFile = "Data\\Last.dat";
constexpr size_t kLevelProgressBytes = 8;

// The 8 bytes of the file.
std::string SerializeLevelProgress(const LevelProgress& progress);

// Reads what the bytes hold. A count the bytes do not reach stays 1, extra bytes
// are ignored, and a count below 1 becomes 1 (so the first level is always
// startable). Returns false, with the reason in `problem`, when the bytes are not
// exactly one well-formed record; the counts are then still as good as they go.
bool ParseLevelProgress(const std::string& bytes, LevelProgress* progress,
                        std::string* problem = nullptr);

// Reads the file at a native path into `progress` (both counts 1 first). A missing
// file is not an error and is not logged; a damaged one is read as far as it
// goes, with a warning in the log. Returns true when the file existed.
bool LoadLevelProgress(const std::string& nativePath, LevelProgress* progress);

// Replaces the file at a native path; false (logged by the writer) on failure.
// The file is read first and each count written is the larger of its count and
// the one given, so nothing another writer unlocked meanwhile is lost; the
// counts written go to `merged` when given.
bool SaveLevelProgress(const std::string& nativePath, const LevelProgress& progress,
                       LevelProgress* merged = nullptr);

}  // namespace tav
