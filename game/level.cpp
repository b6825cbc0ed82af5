// Reading and checking a level section of Levels.ini.
#include "game/level.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "base/ini_file.h"
#include "game/piece.h"

namespace tav {

bool ParseLevelInt(const std::string& text, int* value) {
  const char* start = text.c_str();
  while (*start == ' ' || *start == '\t' || *start == '\n' || *start == '\r' || *start == '\f' ||
         *start == '\v') {
    ++start;
  }
  char* end = nullptr;
  errno = 0;
  long long parsed = std::strtoll(start, &end, 10);
  if (end == start) return false;
  if (parsed > INT_MAX || (errno == ERANGE && parsed > 0)) parsed = INT_MAX;
  if (parsed < INT_MIN || (errno == ERANGE && parsed < 0)) parsed = INT_MIN;
  *value = static_cast<int>(parsed);
  return true;
}

std::string CheckLevel(const LevelDefinition& level) {
  if (level.levelData.size() < kLevelDataLength) {
    return "LevelData holds " + std::to_string(level.levelData.size()) + " characters, 200 needed";
  }
  for (size_t i = 0; i < kLevelDataLength; i += 2) {
    char kind = level.levelData[i];
    char direction = level.levelData[i + 1];
    if (kind < '0' || kind > '8') {
      return "LevelData character " + std::to_string(i + 1) + " is not a kind digit 0-8";
    }
    if (direction < '0' || direction > '3') {
      return "LevelData character " + std::to_string(i + 2) + " is not a direction digit 0-3";
    }
  }
  if (level.priorities.size() != kPieceKindCount) return "the priorities are incomplete";
  long long sum = 0;
  for (size_t k = 0; k < level.priorities.size(); ++k) {
    if (level.priorities[k] < 0) {
      return "Association_" + std::to_string(k) + "_priority is negative";
    }
    sum += level.priorities[k];
  }
  if (sum <= 0) return "the priorities sum to 0";
  if (sum > INT_MAX) return "the priorities sum past the int range";
  if (level.blocksTarget <= 0) return "Blocks is not positive";
  if (level.timeLimit < 0 || level.timeLimit > kMaxTimeLimit) {
    return "Time " + std::to_string(level.timeLimit) + " is outside 0 to " +
           std::to_string(kMaxTimeLimit) + " seconds";
  }
  return std::string();
}

bool ReadLevel(IniFile& file, const std::string& name, LevelDefinition* level, std::string* fault) {
  *level = LevelDefinition();
  level->name = name;
  // One value buffer for every key, as the level files have always been read: a key
  // that is missing leaves the previous value in it.
  std::string buffer;
  auto read = [&](const std::string& key) {
    std::string value;
    if (file.Get(name, key, &value)) buffer = value;
    return buffer;
  };
  ParseLevelInt(read("LetterProbability"), &level->letterProbability);
  std::string levelData;
  if (!file.Get(name, "LevelData", &levelData)) {
    *fault = "no LevelData";
    return false;
  }
  buffer = levelData;
  level->levelData = levelData;
  for (int k = 0; k < kPieceKindCount; ++k) {
    int priority = 0;
    ParseLevelInt(read("Association_" + std::to_string(k) + "_priority"), &priority);
    level->priorities.push_back(priority);
  }
  ParseLevelInt(read("Blocks"), &level->blocksTarget);
  ParseLevelInt(read("Time"), &level->timeLimit);
  *fault = CheckLevel(*level);
  return fault->empty();
}

}  // namespace tav
