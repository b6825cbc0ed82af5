// The rules that run on the board every frame: the chain search, the refill, the
// move check with its hint and no-move responses, the chain reward and the links
// shown between two linked arrows.
#include <cstdio>

#include "game/board.h"
#include "game/game_sound.h"
#include "game/presentation.h"
#include "game/random_source.h"
#include "game/score_store.h"

namespace tav {

int Board::CountMarked() const {
  int count = 0;
  for (const auto& cell : cells_) {
    if (cell && cell->IsMarked()) ++count;
  }
  return count;
}

void Board::ChainSearch() {
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      Piece* start = PieceAt(x, y);
      if (!start || start->IsMarked()) continue;
      int dx = DirectionStepX(start->Direction());
      int dy = DirectionStepY(start->Direction());

      int back = 0;
      for (Piece* nearer = start; back < kSize - 1; ++back) {
        Piece* next = PieceAt(x - dx * (back + 1), y - dy * (back + 1));
        if (!next || next->IsMarked() || !next->Links(*nearer)) break;
        nearer = next;
      }
      int forward = 0;
      for (Piece* nearer = start; forward < kSize - 1; ++forward) {
        Piece* next = PieceAt(x + dx * (forward + 1), y + dy * (forward + 1));
        if (!next || next->IsMarked() || !next->Links(*nearer)) break;
        nearer = next;
      }
      if (back + forward < 2) continue;

      int before = CountMarked();
      for (int m = -back; m <= forward; ++m) {
        Piece* piece = PieceAt(x + dx * m, y + dy * m);
        piece->Mark(static_cast<float>(m + back) * kChainStep + kChainStart);
        GetPresentation().FlashOutline(*piece, 0.25f);
      }
      int newlyMarked = CountMarked() - before;
      if (newlyMarked >= 3) {
        int middle = (back + forward) / 2;
        int cx = x - dx * back + dx * middle;
        int cy = y - dy * back + dy * middle;
        ReportChain(272 + 50 * cx, 65 + 50 * cy, newlyMarked);
      }
    }
  }
}

void Board::Refill() {
  if (locked_) return;
  for (const auto& cell : cells_) {
    if (cell && cell->IsMarked() && cell->IsAlive()) return;
  }
  for (int y = 0; y < kSize; ++y) {
    int x = 0;
    // An empty cell (a kind the generator could not make) is refilled like a dead one.
    while (x < kSize && cells_[x * kSize + y] && cells_[x * kSize + y]->IsAlive()) ++x;
    if (x == kSize) continue;
    auto* column = &cells_[x * kSize];
    column[y].reset();
    for (int row = y + 1; row < kSize; ++row) {
      if (Piece* piece = column[row].get()) {
        piece->SetCell(x, row - 1);
        piece->SetFallHeight(piece->FallHeight() + 50.0f);
      }
      column[row - 1] = std::move(column[row]);
    }
    std::unique_ptr<Piece> fresh = GeneratePiece();
    if (fresh) {
      fresh->Reset();
      fresh->SetCell(x, kSize - 1);
      float below = column[kSize - 2] ? column[kSize - 2]->FallHeight() : 0.0f;
      fresh->SetFallHeight(below + 50.0f);
      fresh->SetDirection(RandomBelow(4));
    }
    column[kSize - 1] = std::move(fresh);
  }
}

namespace {

// Three pieces that could be turned into a line, whatever their directions.
bool IsTriple(const Piece* first, const Piece* second, const Piece* third) {
  if (!first || !second || !third) return false;
  return first->Kind() != kNoArrow && first->Matches(*second) && first->Matches(*third) &&
         second->Matches(*third);
}

}  // namespace

void Board::MoveCheck() {
  if (moveCheckTime_ < kMoveCheckDelay) return;
  Piece* triple[3] = {nullptr, nullptr, nullptr};
  for (int y = 0; y < kSize && !triple[0]; ++y) {
    for (int x = 0; x + 2 < kSize; ++x) {
      if (IsTriple(PieceAt(x, y), PieceAt(x + 1, y), PieceAt(x + 2, y))) {
        triple[0] = PieceAt(x, y), triple[1] = PieceAt(x + 1, y), triple[2] = PieceAt(x + 2, y);
        break;
      }
    }
  }
  for (int y = 0; y + 2 < kSize && !triple[0]; ++y) {
    for (int x = 0; x < kSize; ++x) {
      if (IsTriple(PieceAt(x, y), PieceAt(x, y + 1), PieceAt(x, y + 2))) {
        triple[0] = PieceAt(x, y), triple[1] = PieceAt(x, y + 1), triple[2] = PieceAt(x, y + 2);
        break;
      }
    }
  }
  if (triple[0]) {
    if (idleTime_ > kHintIdleTime && !locked_) {
      for (Piece* piece : triple) GetPresentation().FlashOutline(*piece, 1.0f);
      idleTime_ = 0.0f;
    }
    return;
  }
  if (!timed_) {
    gameOver_ = true;
  } else {
    for (int x = 0; x < kSize; ++x) {
      Piece* guard = PieceAt(x, kSize - 2);
      if (guard && guard->IsMarked()) continue;
      if (Piece* victim = PieceAt(x, RandomBelow(kSize))) {
        victim->Mark(0.2f * static_cast<float>(x));
      }
      --blocksCleared_;
    }
    GetPresentation().AddText({"Extra Bonus", 494.0f, 35.0f, 150.0f, 12.0f, 1, 1, 0, 80.0f});
  }
  moveCheckTime_ = 0.0f;
}

void Board::ReportChain(int x, int y, int n) {
  Presentation& presentation = GetPresentation();
  idleTime_ = 0.0f;
  int points = 100 * n - 200;
  Scores().AddScore(points);
  float fx = static_cast<float>(x);
  float fy = static_cast<float>(y);
  char text[48];
  if (n < 4) {
    presentation.AddText({"+100", fx, fy, 75.0f, 6.0f, 1, 1, 1, 80.0f});
  } else {
    PlaySound("bonus0.wav");
    std::snprintf(text, sizeof(text), n > 10 ? "Super Combo x%d" : "Combo x%d", n);
    presentation.AddText({text, fx, fy, 75.0f, 6.0f, 1, 1, 0, 80.0f});
    std::snprintf(text, sizeof(text), "+%d", points);
    presentation.AddText({text, fx, fy - 20.0f, 75.0f, 6.0f, 1, 1, 0, 80.0f});
  }
  if (n >= 11 && n <= 15) PlaySound("bonus1.wav");
  if (n >= 16) PlaySound("bonus2.wav");
  if (n >= 17) PlaySound("wow!.wav");
  blocksCleared_ += 2 * n - 3;
  if (onChain) onChain({n, x, y, points});
}

void Board::DrawLinks() {
  Presentation& presentation = GetPresentation();
  auto showsLink = [](const Piece* a, const Piece* b) {
    return a && b && a->Links(*b) && a->IsVisible() && a->IsAlive() && a->IsResting();
  };
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x + 1 < kSize; ++x) {
      const Piece* a = PieceAt(x, y);
      if (showsLink(a, PieceAt(x + 1, y)) &&
          (a->Direction() == kRight || a->Direction() == kLeft)) {
        presentation.DrawLinkBolts(x, y, false);
      }
    }
  }
  for (int y = 0; y + 1 < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      const Piece* a = PieceAt(x, y);
      if (showsLink(a, PieceAt(x, y + 1)) && (a->Direction() == kUp || a->Direction() == kDown)) {
        presentation.DrawLinkBolts(x, y, true);
      }
    }
  }
}

}  // namespace tav
