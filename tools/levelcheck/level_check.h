// Checks the levels of a Levels.ini before they ship: every level loads with the
// game's own loader, has every key, starts without a complete line (so it does not
// clear itself before the first click) and with at least one move, and has usable
// weights, target and time limit.
#pragma once

#include <string>
#include <vector>

namespace tav {

struct LevelReport {
  std::string name;
  std::vector<std::string> problems;  // empty when the level is good
  int lineCells = 0;                  // pieces a chain search marks at the start
  bool hasMove = false;
};

// The keys every level section must hold, in the order the loader reads them.
const std::vector<std::string>& LevelKeys();

// Checks one level section of the Levels.ini at `path`.
LevelReport CheckOneLevel(const std::string& path, const std::string& name);

// Checks the sections "1", "2", ... of the Levels.ini at `path` up to the first one
// without "LevelData" (where the game's level sequence ends). `problems` gets the
// faults that concern the file as a whole: it cannot be opened, or it does not
// hold exactly `expectedCount` levels (when expectedCount > 0).
std::vector<LevelReport> CheckLevelsFile(const std::string& path, int expectedCount,
                                         std::vector<std::string>* problems);

}  // namespace tav
