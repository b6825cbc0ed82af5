// Runs the game's real loader, chain search and move check on each level's
// starting board. The move check answers only after the board has been up for the
// check's delay, so the board is frozen (no clicks, chains or refills) and played
// forward on a fixed clock until the check has run.
#include "tools/levelcheck/level_check.h"

#include <cmath>

#include "base/ini_file.h"
#include "game/board.h"
#include "game/game_clock.h"
#include "game/level.h"
#include "game/random_source.h"

namespace tav {
namespace {

constexpr float kFrameTime = 1.0f / 60.0f;

int CountMarked(const Board& board) {
  int marked = 0;
  for (int x = 0; x < Board::kSize; ++x) {
    for (int y = 0; y < Board::kSize; ++y) {
      const Piece* piece = board.PieceAt(x, y);
      if (piece && piece->IsMarked()) ++marked;
    }
  }
  return marked;
}

// Pieces that the first chain search would mark on the untouched start.
int StartingLineCells(const LevelDefinition& level) {
  Board board;
  board.SetUpLevel(level, false);
  board.ChainSearch();
  return CountMarked(board);
}

// Whether a classic game of the level survives its first move check.
bool StartHasMove(const LevelDefinition& level) {
  FixedStepClock clock(kFrameTime);
  SetGameClock(&clock);
  Board board;
  board.SetUpLevel(level, false);
  board.Freeze();
  // The check runs on every 10th frame once its delay has passed.
  const int frames = static_cast<int>(std::ceil(Board::kMoveCheckDelay / kFrameTime)) + 20;
  for (int i = 0; i < frames && !board.IsGameOver(); ++i) {
    board.Frame();
    clock.AdvanceFrame();
  }
  const bool hasMove = !board.IsGameOver();
  SetGameClock(nullptr);
  return hasMove;
}

}  // namespace

const std::vector<std::string>& LevelKeys() {
  static const std::vector<std::string> keys = {"LetterProbability",
                                                "LevelData",
                                                "Association_0_priority",
                                                "Association_1_priority",
                                                "Association_2_priority",
                                                "Association_3_priority",
                                                "Association_4_priority",
                                                "Association_5_priority",
                                                "Association_6_priority",
                                                "Association_7_priority",
                                                "Association_8_priority",
                                                "Blocks",
                                                "Time"};
  return keys;
}

LevelReport CheckOneLevel(const std::string& path, const std::string& name) {
  LevelReport report;
  report.name = name;
  IniFile file;
  if (!file.OpenPath(path)) {
    report.problems.push_back("cannot open " + path);
    return report;
  }
  // The loader quietly repeats the previous value for a missing key, so presence
  // is checked on its own.
  for (const std::string& key : LevelKeys()) {
    std::string value;
    if (!file.Get(name, key, &value)) report.problems.push_back("no \"" + key + "\"");
  }
  LevelDefinition level;
  std::string fault;
  if (!ReadLevel(file, name, &level, &fault)) {
    report.problems.push_back("does not load: " + fault);
    return report;
  }
  if (level.timeLimit <= 0) report.problems.push_back("\"Time\" is not positive");
  if (level.letterProbability < 0) {
    report.problems.push_back("\"LetterProbability\" is negative");
  }

  SeededRandom random(1);
  SetRandomSource(&random);
  report.lineCells = StartingLineCells(level);
  report.hasMove = StartHasMove(level);
  SetRandomSource(nullptr);
  if (report.lineCells > 0) {
    report.problems.push_back("starts with a complete line (" + std::to_string(report.lineCells) +
                              " pieces marked)");
  }
  if (!report.hasMove) report.problems.push_back("starts without a move");
  return report;
}

std::vector<LevelReport> CheckLevelsFile(const std::string& path, int expectedCount,
                                         std::vector<std::string>* problems) {
  std::vector<LevelReport> reports;
  IniFile file;
  if (!file.OpenPath(path)) {
    problems->push_back("cannot open " + path);
    return reports;
  }
  for (int n = 1;; ++n) {
    const std::string name = std::to_string(n);
    std::string data;
    if (!file.Get(name, "LevelData", &data)) break;
    reports.push_back(CheckOneLevel(path, name));
  }
  const int count = static_cast<int>(reports.size());
  if (expectedCount > 0 && count != expectedCount) {
    problems->push_back("holds " + std::to_string(count) + " levels, expected " +
                        std::to_string(expectedCount));
  }
  return reports;
}

}  // namespace tav
