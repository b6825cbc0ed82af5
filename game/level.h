// A level as written in Levels.ini: the starting board, the generation weights of
// the nine kinds, the magic-symbol probability, the block target and the time limit.
#pragma once

#include <string>
#include <vector>

namespace tav {

class IniFile;

struct LevelDefinition {
  std::string name;
  int letterProbability = 0;
  // 10 groups of 20 characters, bottom row first: kind digit, direction digit.
  std::string levelData;
  std::vector<int> priorities;  // weights of kinds 0 ... 8
  int blocksTarget = 0;
  int timeLimit = 0;
};

constexpr size_t kLevelDataLength = 200;
// The longest time limit a level may have, in seconds: a day. The level clock counts
// in floats, which stay exact to a few milliseconds well past this.
constexpr int kMaxTimeLimit = 86400;

// Reads section `name` from an open Levels.ini. Keys are read in file order into one
// value buffer, so a missing key repeats the value read before it (a missing
// "LetterProbability" gives 0). Returns false, with `fault` set, when the section has
// no "LevelData" or holds a level the board cannot play (short or out-of-range
// "LevelData", priorities summing to 0 or negative or past the int range, a "Blocks"
// that is not positive, a "Time" outside 0 to kMaxTimeLimit).
bool ReadLevel(IniFile& file, const std::string& name, LevelDefinition* level, std::string* fault);

// Why a level cannot be played, or empty when it can.
std::string CheckLevel(const LevelDefinition& level);

// Parses the leading integer of `text` the way "%d" does (leading spaces, a sign,
// digits); false, with `value` unchanged, when there is none. Out-of-range numbers
// are clamped to the int range.
bool ParseLevelInt(const std::string& text, int* value);

}  // namespace tav
