// A simple player for the simulator: it turns the arrow that completes the longest
// line it can see, and when no turn completes a line, one that pairs an arrow with
// a neighbour so that a later turn can.
#pragma once

#include <bitset>

namespace tav {

class Board;
class Piece;

struct BotMove {
  bool found = false;
  int column = 0;
  int row = 0;
  bool left = true;  // left press turns clockwise, right press counter-clockwise
  int lineLength = 0;
  int presses = 1;   // 2 for a half turn made as two presses of the same button
};

// Cells a player looked at, bit x + 10 * y.
using SeenCells = std::bitset<100>;

// The best turn on the board. Only resting, unmarked, living arrows are turned.
// Longer lines win; ties go to the lowest cell in scan order (rows from the bottom,
// columns from the left), then to the left press. When no single turn helps, the
// first press of a helpful half turn.
BotMove ChooseGreedyMove(const Board& board);

// The length of the line through (x, y) if its piece pointed `direction`, counting
// only unmarked pieces that link along it and, given `seen`, only seen cells (an
// unseen cell ends the line as an empty one would).
int LineLengthIfTurned(const Board& board, int x, int y, int direction,
                       const SeenCells* seen = nullptr);

// Whether the piece can be turned now: resting, unmarked, living, with an arrow.
bool Turnable(const Piece* piece);

}  // namespace tav
