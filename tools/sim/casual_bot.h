// A model of a casual player for the simulator, beside the greedy expert: it thinks
// before each move, looks at only part of the board, does not always take the
// longest line it sees, and now and then turns an arrow that forms no line. The
// level report tunes the difficulty curve against it (docs/levels.md says why its
// numbers are what they are).
#pragma once

#include <cstdint>

#include "tools/sim/greedy_bot.h"

namespace tav {

class Board;

// Everything that makes the casual player what it is, in one place.
struct CasualParameters {
  // Think time before each move: log-normal, median 1.5 s; a spread of 0.5 in the
  // logarithm puts about nine draws in ten between 0.7 s and 4 s.
  double thinkMedian = 1.5;
  double thinkSpread = 0.5;
  // Presses once the move is chosen, each taking half a second.
  double clicksPerSecond = 2.0;
  // Share of the cells looked at for one decision, drawn afresh each time.
  double seenShare = 0.6;
  // Share of moves that form no line although a line was seen.
  double aimlessShare = 0.2;
  // A seen line one longer is this many times as likely to be chosen.
  double longerLineWeight = 2.0;
};

inline constexpr CasualParameters kCasualPlayer{};

// One bot press: the cell and the button.
struct BotPress {
  int column = 0;
  int row = 0;
  bool left = true;
};

class CasualPlayer {
 public:
  // Deterministic for a seed; its draws never touch the game's random source, so
  // the refill of a seed is the same whoever plays.
  explicit CasualPlayer(uint64_t seed, const CasualParameters& parameters = kCasualPlayer);

  // One think time in seconds.
  double DrawThinkTime();
  // Looks at a fresh random share of the cells and picks a move among what it saw
  // (not found when nothing seen can be turned).
  BotMove Choose(const Board& board);
  // The cells the last Choose looked at.
  const SeenCells& Seen() const { return seen_; }

  // Called every frame with the time since the start: the press to make in this
  // frame, if any. It thinks, chooses on the board as it is when the thinking
  // ends, presses, and starts thinking again once its last press is done.
  bool Act(const Board& board, double now, BotPress* press);

 private:
  double Uniform();  // in [0, 1)
  double Normal();

  CasualParameters parameters_;
  uint64_t state_;
  SeenCells seen_;
  bool thinking_ = false;
  double nextTime_ = 0.0;  // end of the thinking, or time of the next press
  BotMove planned_;
  int pressesLeft_ = 0;
};

}  // namespace tav
