// The simulator's greedy player.
#include "tools/sim/greedy_bot.h"

#include "game/board.h"

namespace tav {
namespace {

// Counts linked, unmarked pieces from (x, y) in steps of (dx, dy), the first one
// tested against `start` pointing `direction`.
int CountLinked(const Board& board, const Piece& start, int direction, int x, int y, int dx,
                int dy, const SeenCells* seen) {
  int count = 0;
  const Piece* nearer = &start;
  for (int step = 1; step < Board::kSize; ++step) {
    int cx = x + dx * step;
    int cy = y + dy * step;
    const Piece* next = board.PieceAt(cx, cy);
    if (!next || (seen && !seen->test(cx + Board::kSize * cy)) || next->IsMarked() || next->Direction() != direction || !next->Matches(*nearer)) {
      break;
    }
    nearer = next;
    ++count;
  }
  return count;
}

// Whether the row or column through (x, y) along (dx, dy) holds at least three
// compatible pieces in a row around it, whatever their directions: only then can a
// pair there grow into a line.
bool CanGrowToALine(const Board& board, int x, int y, int dx, int dy) {
  const Piece* centre = board.PieceAt(x, y);
  int run = 1;
  for (int sign : {-1, 1}) {
    const Piece* nearer = centre;
    for (int step = 1; step < Board::kSize; ++step) {
      const Piece* next = board.PieceAt(x + sign * dx * step, y + sign * dy * step);
      if (!next || next->IsMarked() || !next->Matches(*nearer)) break;
      nearer = next;
      ++run;
    }
  }
  return run >= 3;
}

// The last resort: three compatible pieces side by side that no one or two turns
// make a line. Turns the first of them that does not yet point along their row or
// column one step toward doing so.
BotMove TurnTowardATriple(const Board& board) {
  for (bool vertical : {false, true}) {
    int dx = vertical ? 0 : 1;
    int dy = vertical ? 1 : 0;
    for (int y = 0; y + 2 * dy < Board::kSize; ++y) {
      for (int x = 0; x + 2 * dx < Board::kSize; ++x) {
        const Piece* triple[3];
        bool usable = true;
        for (int i = 0; i < 3; ++i) {
          triple[i] = board.PieceAt(x + i * dx, y + i * dy);
          usable = usable && Turnable(triple[i]);
        }
        if (!usable || !triple[0]->Matches(*triple[1]) || !triple[0]->Matches(*triple[2]) ||
            !triple[1]->Matches(*triple[2])) {
          continue;
        }
        int target = vertical ? kUp : kRight;
        for (int i = 0; i < 3; ++i) {
          int turn = (target - triple[i]->Direction() + 4) % 4;
          if (turn == 0) continue;
          return {true, x + i * dx, y + i * dy, turn != 3, 0};
        }
      }
    }
  }
  return BotMove();
}

}  // namespace

bool Turnable(const Piece* piece) {
  return piece && piece->IsAlive() && !piece->IsMarked() && piece->IsResting() &&
         piece->Kind() != kNoArrow;
}

int LineLengthIfTurned(const Board& board, int x, int y, int direction, const SeenCells* seen) {
  const Piece* piece = board.PieceAt(x, y);
  if (!piece) return 0;
  int dx = DirectionStepX(direction);
  int dy = DirectionStepY(direction);
  return 1 + CountLinked(board, *piece, direction, x, y, -dx, -dy, seen) +
         CountLinked(board, *piece, direction, x, y, dx, dy, seen);
}

BotMove ChooseGreedyMove(const Board& board) {
  // First single turns; when none helps, half turns, of which this press is the
  // first half (the next choice then finds the second as a single turn).
  for (int quarterTurns : {1, 2}) {
    BotMove best;
    for (int y = 0; y < Board::kSize; ++y) {
      for (int x = 0; x < Board::kSize; ++x) {
        const Piece* piece = board.PieceAt(x, y);
        if (!Turnable(piece)) continue;
        int current = LineLengthIfTurned(board, x, y, piece->Direction());
        // A piece already in a complete line is about to explode: leave it.
        if (current >= 3) continue;
        for (bool left : {true, false}) {
          if (quarterTurns == 2 && !left) continue;  // the same half turn either way
          int step = quarterTurns == 2 ? 2 : (left ? 1 : 3);
          int length = LineLengthIfTurned(board, x, y, (piece->Direction() + step) % 4);

          // Completing a line always counts; a pair only when the piece had none and
          // the pair can grow into a line.
          int direction = (piece->Direction() + step) % 4;
          bool useful = length >= 3 || (length == 2 && current == 1 &&
                                        CanGrowToALine(board, x, y, DirectionStepX(direction),
                                                       DirectionStepY(direction)));
          if (useful && length > best.lineLength) best = {true, x, y, left, length};
        }
      }
    }
    if (best.found) return best;
  }
  return TurnTowardATriple(board);
}

}  // namespace tav
