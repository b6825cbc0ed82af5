// The board of the level being played: the 10 x 10 cells, the rules that run on
// them every frame (clicks, chain search, refill, move check), the level's progress,
// clocks, end conditions and the texts of the heads-up display.
//
// Cell (x, y): column x from the left, row y from the bottom, drawn at screen
// (250 + 50x, 50 + 50y) - (300 + 50x, 100 + 50y).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "game/level.h"
#include "game/piece.h"
#include "game/symbol_collection.h"

namespace tav {

// A scoring chain as the scoring rules saw it.
struct ChainReport {
  int n = 0;         // newly marked pieces, cascades included
  int x = 0, y = 0;  // screen point of the line's middle
  int points = 0;
};

class Board {
 public:
  static constexpr int kSize = 10;
  static constexpr int kCellCount = kSize * kSize;
  static constexpr float kChainStep = 0.15f;  // seconds between explosions of a line
  static constexpr float kChainStart = 0.01f;
  static constexpr float kMoveCheckDelay = 8.0f;  // no move check before this
  static constexpr float kHintIdleTime = 15.0f;
  static constexpr float kTickInterval = 0.757f;
  static constexpr float kCompleteWait = 0.75f;
  static constexpr float kStartSoundTime = 1.2f;
  // The displayed progress snaps to the ratio once the gap is this small, so a
  // level whose cleared count equals its target completes.
  static constexpr double kProgressSnap = 1e-4;

  // Becomes the current board.
  Board();
  ~Board();
  Board(const Board&) = delete;
  Board& operator=(const Board&) = delete;

  // Loads section `name` of "Data\Levels.ini". False (no pieces) when the level is
  // missing or cannot be played; the fault is then in LoadFault() and, for a level
  // that exists but is broken, in a "WARNING: " log line.
  bool LoadLevel(const std::string& name, bool timed);
  // The same from a Levels.ini at a native path (tools and tests).
  bool LoadLevelFromFile(const std::string& path, const std::string& name, bool timed);
  // Sets up a level that passed CheckLevel: name, probability, pieces falling in
  // from above, weights, target and time limit.
  void SetUpLevel(const LevelDefinition& level, bool timed);
  const std::string& LoadFault() const { return loadFault_; }

  // A new piece of a weighted random kind; nothing when there are no weights.
  std::unique_ptr<Piece> GeneratePiece();

  // One frame of play and of drawing the board.
  void Frame();
  // Draws the late effects and tutorial pictures; 0 playing, 1 complete, 2 game over.
  int Status();
  // Locks the board while another screen is in front; Thaw restores the lock.
  void Freeze();
  void Thaw();

  // The rules, as Frame runs them.
  void ChainSearch();
  void Refill();
  void MoveCheck();
  void ReportChain(int x, int y, int n);
  void DrawLinks();

  // The piece at (x, y), or null off the board or in an empty cell.
  Piece* PieceAt(int x, int y) const;
  // Puts a piece into a cell (replacing the old one) and sets its cell.
  void PlacePiece(int x, int y, std::unique_ptr<Piece> piece);
  static bool OnBoard(int x, int y) { return x >= 0 && x < kSize && y >= 0 && y < kSize; }

  SymbolCollection& Symbols() { return symbols_; }

  const std::string& LevelName() const { return levelName_; }
  bool IsTimed() const { return timed_; }
  bool IsLocked() const { return locked_; }
  bool IsClockStarted() const { return clockStarted_; }
  void SetClockStarted(bool started) { clockStarted_ = started; }
  float Elapsed() const { return elapsed_; }
  bool IsComplete() const { return complete_; }
  bool IsGameOver() const { return gameOver_; }
  double DisplayedProgress() const { return displayedProgress_; }
  float IdleTime() const { return idleTime_; }
  float MoveCheckTime() const { return moveCheckTime_; }
  int LetterProbability() const { return letterProbability_; }
  const std::vector<int>& Priorities() const { return priorities_; }
  int BlocksCleared() const { return blocksCleared_; }
  void SetBlocksCleared(int blocks) { blocksCleared_ = blocks; }
  int BlocksTarget() const { return blocksTarget_; }
  int TimeLimit() const { return timeLimit_; }
  // Whole seconds left on the level clock, floor(timeLimit - elapsed), clamped to the
  // int range so that no time limit a level may hold overflows the conversion.
  int RemainingSeconds() const;
  const std::string& ScoreText() const { return scoreText_; }
  const std::string& LevelText() const { return levelText_; }
  const std::string& TimeText() const { return timeText_; }

  // Told about every scoring chain (the simulator's event list).
  std::function<void(const ChainReport&)> onChain;

 private:
  void UpdateProgress(float frameTime);
  void UpdateTexts();
  void DrawTutorial(float frameTime);
  // The tutorial picture of this level ("1" to "4"), or null.
  const char* TutorialPicture() const;
  // A tutorial picture covers the board now; the level clock waits meanwhile.
  bool TutorialShowing() const;
  int CountMarked() const;
  void DeleteAllPieces();

  std::array<std::unique_ptr<Piece>, kCellCount> cells_;
  std::string levelName_ = "No name";
  std::string loadFault_;
  bool timed_ = true;
  int letterProbability_ = 0;
  std::vector<int> priorities_;
  int64_t prioritySum_ = 0;
  int blocksTarget_ = 0;
  int timeLimit_ = 0;
  int blocksCleared_ = 0;

  bool locked_ = false;
  bool savedLocked_ = false;
  bool clockStarted_ = false;
  float elapsed_ = 0.0f;
  bool complete_ = false;
  float completeTime_ = 0.0f;
  bool gameOver_ = false;
  bool timeOutHandled_ = false;
  double displayedProgress_ = 0.0;
  float idleTime_ = 0.0f;
  float moveCheckTime_ = 0.0f;
  float tickTime_ = 0.0f;
  float startTime_ = 0.0f;
  bool startSoundPlayed_ = false;
  float hintClock_ = 0.0f;
  float hintFade_ = 0.0f;
  std::string scoreText_, levelText_, timeText_;

  SymbolCollection symbols_;
};

// The board being played, or null.
Board* CurrentBoard();

// The frame counter shared by every board of the run.
uint64_t FrameCounter();

// Back to a fresh process: symbol counter, frame counter, score store, clicks.
void ResetGameStateForTests();

// Where the board's warnings go (a level that exists but cannot be played): the
// game's log file unless replaced. A tool that keeps no log file installs its own,
// so that it never leaves a log.txt in the directory it happens to run in. Each
// text ends with its own line end.
using WarningSink = void (*)(const std::string& text);
void SetWarningSink(WarningSink sink);  // null restores the log file

}  // namespace tav
