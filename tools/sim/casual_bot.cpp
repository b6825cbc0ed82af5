// The casual player: think times, what it sees, and how it picks among what it sees.
#include "tools/sim/casual_bot.h"

#include <cmath>
#include <numeric>
#include <numbers>
#include <vector>

#include "game/board.h"

namespace tav {
namespace {

// A turn: one left press turns clockwise, one right press counter-clockwise, two
// left presses half round.
struct Turn {
  int quarterTurns;
  bool left;
  int presses;
};
constexpr Turn kTurns[] = {{1, true, 1}, {3, false, 1}, {2, true, 2}};

}  // namespace

CasualPlayer::CasualPlayer(uint64_t seed, const CasualParameters& parameters)
    // The seed is spread so that seed n of the player is unrelated to seed n of the
    // game's random source.
    : parameters_(parameters), state_(seed * 0x9E3779B97F4A7C15ull + 0xC0FFEE) {}

// splitmix64: small, fast, and the same on every compiler, unlike the standard
// library's distributions.
double CasualPlayer::Uniform() {
  uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  z ^= z >> 31;
  return static_cast<double>(z >> 11) * 0x1.0p-53;
}

// Box-Muller; 1 - Uniform() lies in (0, 1], so the logarithm is finite.
double CasualPlayer::Normal() {
  double radius = std::sqrt(-2.0 * std::log(1.0 - Uniform()));
  return radius * std::cos(2.0 * std::numbers::pi * Uniform());
}

double CasualPlayer::DrawThinkTime() {
  return parameters_.thinkMedian * std::exp(parameters_.thinkSpread * Normal());
}

BotMove CasualPlayer::Choose(const Board& board) {
  // A fresh random share of the cells: a partial shuffle of the cell numbers.
  std::vector<int> cells(Board::kCellCount);
  std::iota(cells.begin(), cells.end(), 0);
  int seenCount = static_cast<int>(std::lround(parameters_.seenShare * Board::kCellCount));
  seen_.reset();
  for (int i = 0; i < seenCount; ++i) {
    int j = i + static_cast<int>(Uniform() * (Board::kCellCount - i));
    std::swap(cells[i], cells[j]);
    seen_.set(cells[i]);
  }

  std::vector<BotMove> lines, pairs, aimless;
  std::vector<double> weights;
  for (int y = 0; y < Board::kSize; ++y) {
    for (int x = 0; x < Board::kSize; ++x) {
      const Piece* piece = board.PieceAt(x, y);
      if (!seen_.test(x + Board::kSize * y) || !Turnable(piece)) continue;
      int current = LineLengthIfTurned(board, x, y, piece->Direction(), &seen_);
      if (current >= 3) continue;  // already in a line that is about to explode
      for (const Turn& turn : kTurns) {
        int length =
            LineLengthIfTurned(board, x, y, (piece->Direction() + turn.quarterTurns) % 4, &seen_);
        BotMove move{true, x, y, turn.left, length, turn.presses};
        if (length >= 3) {
          lines.push_back(move);
          weights.push_back(std::pow(parameters_.longerLineWeight, length - 3));
        } else if (turn.presses == 1) {
          aimless.push_back(move);
          if (length == 2 && current == 1) pairs.push_back(move);
        }
      }
    }
  }

  auto pick = [this](const std::vector<BotMove>& moves) {
    return moves[static_cast<size_t>(Uniform() * moves.size())];
  };
  bool wander = Uniform() < parameters_.aimlessShare;
  if (lines.empty()) {
    // Nothing seen forms a line: start one where it can, else turn anything.
    if (!pairs.empty()) return pick(pairs);
    return aimless.empty() ? BotMove() : pick(aimless);
  }
  if (wander && !aimless.empty()) return pick(aimless);
  double total = std::accumulate(weights.begin(), weights.end(), 0.0);
  double r = Uniform() * total;
  for (size_t i = 0; i < lines.size(); ++i) {
    r -= weights[i];
    if (r < 0.0) return lines[i];
  }
  return lines.back();
}

bool CasualPlayer::Act(const Board& board, double now, BotPress* press) {
  if (pressesLeft_ == 0) {
    if (!thinking_ && now >= nextTime_) {
      thinking_ = true;
      nextTime_ = now + DrawThinkTime();
    }
    if (!thinking_ || now < nextTime_) return false;
    thinking_ = false;
    planned_ = Choose(board);
    if (!planned_.found) {
      // Nothing to do in what it saw: it looks again.
      thinking_ = true;
      nextTime_ = now + DrawThinkTime();
      return false;
    }
    pressesLeft_ = planned_.presses;
  }
  if (now < nextTime_) return false;
  *press = {planned_.column, planned_.row, planned_.left};
  --pressesLeft_;
  nextTime_ = now + 1.0 / parameters_.clicksPerSecond;
  return true;
}

}  // namespace tav
