// The piece life cycle, the colour rules of the nine kinds and the piece factory.
#include "game/piece.h"

#include "game/board.h"
#include "game/click_record.h"
#include "game/game_clock.h"
#include "game/game_sound.h"
#include "game/presentation.h"
#include "game/random_source.h"

namespace tav {
namespace {

int g_symbolCounter = 0;

// Colour groups; wild pieces join any group, the no arrow only its own kind.
enum ColourGroup { kBlue, kRed, kGreen, kWild, kNone };

ColourGroup GroupOf(int kind) {
  switch (kind) {
    case kBlueArrow:
    case kBlueBombArrow:
      return kBlue;
    case kRedArrow:
    case kRedBombArrow:
      return kRed;
    case kGreenArrow:
    case kGreenBombArrow:
      return kGreen;
    case kRgbArrow:
    case kLightningArrow:
      return kWild;
    default:
      return kNone;
  }
}

}  // namespace

int DirectionStepX(int direction) {
  return direction == kRight ? 1 : direction == kLeft ? -1 : 0;
}
int DirectionStepY(int direction) {
  return direction == kUp ? 1 : direction == kDown ? -1 : 0;
}

int SymbolCounter() {
  return g_symbolCounter;
}
void ResetSymbolCounter() {
  g_symbolCounter = 0;
}

Piece::Piece(int kind) : kind_(kind) {
  Board* board = CurrentBoard();
  int probability = board ? board->LetterProbability() : 0;
  if (probability != 0 && RandomNumber() % static_cast<unsigned>(probability) == 1u) {
    letter_ = g_symbolCounter;
    g_symbolCounter = (g_symbolCounter + 1) % kSymbolCount;
  }
}

bool Piece::Matches(const Piece& other) const {
  if (kind_ == other.kind_) return true;
  ColourGroup mine = GroupOf(kind_);
  ColourGroup theirs = GroupOf(other.kind_);
  if (mine == kNone || theirs == kNone) return false;
  return mine == kWild || theirs == kWild || mine == theirs;
}

void Piece::Rotate(bool clockwise) {
  if (!alive_) return;
  PlaySound("rotate.wav");
  direction_ = (direction_ + (clockwise ? 1 : 3)) % 4;
}

void Piece::Mark(float delay) {
  if (marked_) return;
  marked_ = true;
  explodeDelay_ = delay;
  MarkExtras(delay);
}

void Piece::MarkCell(int column, int row, float delay) {
  Board* board = CurrentBoard();
  if (!board) return;
  if (Piece* piece = board->PieceAt(column, row)) piece->Mark(delay);
}

void Piece::Draw() {
  if (visible_) GetPresentation().DrawPiece(*this);
}

bool Piece::CellContains(int x, int y) const {
  int left = 250 + 50 * column_;
  int bottom = 50 + 50 * row_;
  return left < x && x < left + 50 && bottom < y && y < bottom + 50;
}

void Piece::HandleClick() {
  Board* board = CurrentBoard();
  if (!board || board->IsLocked() || fallHeight_ > 0.0f || marked_ || !alive_) return;
  const ClickRecord& clicks = Clicks();
  bool turned = false;
  if (clicks.leftClick &&
      CellContains(clicks.leftClickPos.x, clicks.leftClickPos.y)) {
    Rotate(true);
    turned = true;
  }
  if (clicks.rightClick &&
      CellContains(clicks.rightClickPos.x, clicks.rightClickPos.y)) {
    Rotate(false);
    turned = true;
  }
  if (!turned) return;
  int dx = DirectionStepX(direction_);
  int dy = DirectionStepY(direction_);
  Piece* ahead = board->PieceAt(column_ + dx, row_ + dy);
  if (ahead && Links(*ahead)) PlaySound("laser.wav");
  Piece* behind = board->PieceAt(column_ - dx, row_ - dy);
  if (behind && Links(*behind)) PlaySound("laser.wav");
}

void Piece::Update() {
  if (!alive_) return;
  float dt = GameFrameTime();
  HandleClick();
  if (fallHeight_ > 0.0f) {
    fallHeight_ -= kFallSpeed * dt;
    if (fallHeight_ < 0.0f) fallHeight_ = 0.0f;
  }
  if (!marked_) return;
  // An exploded piece waits out its linger and dies. The explosion is told by the
  // piece having gone invisible rather than by its countdown, so a piece marked with
  // a delay of 0 (the first "Extra Bonus" blast) explodes too instead of dying
  // silently.
  if (!visible_) {
    if (linger_ <= 0.0f) alive_ = false;
    linger_ -= dt;
    return;
  }
  explodeDelay_ -= dt;
  if (explodeDelay_ > 0.0f) return;
  Explode();
}

void Piece::Explode() {
  GetPresentation().Burst(*this);
  visible_ = false;
  PlaySound("boom.wav");
  if (const char* extra = ExtraExplosionSound()) PlaySound(extra);
  if (letter_ >= 0) {
    if (Board* board = CurrentBoard()) {
      board->Symbols().Add(275 + 50 * column_,
                           static_cast<int>(76.0f + 50.0f * static_cast<float>(row_) + fallHeight_),
                           letter_);
    }
  }
}

void BombArrowPiece::MarkExtras(float delay) {
  int x = Column();
  int y = Row();
  MarkCell(x + 1, y, delay + kRightDelay);
  MarkCell(x - 1, y, delay + kLeftDelay);
  MarkCell(x, y + 1, delay + kAboveDelay);
  MarkCell(x, y - 1, delay + kBelowDelay);
}

void LightningArrowPiece::MarkExtras(float delay) {
  int x = Column();
  int y = Row();
  bool horizontal = Direction() == kRight || Direction() == kLeft;
  if (horizontal) {
    for (int column = x - 1; column >= 0; --column) MarkCell(column, y, delay);
    for (int column = Board::kSize - 1; column > x; --column) MarkCell(column, y, delay);
    float boltY = 75.0f + 50.0f * static_cast<float>(y);
    GetPresentation().StartLightningBlast(*this, true, {268.0f, boltY}, {720.0f, boltY});
  } else {
    for (int row = y - 1; row >= 0; --row) MarkCell(x, row, delay);
    for (int row = Board::kSize - 1; row > y; --row) MarkCell(x, row, delay);
    float boltX = 275.0f + 50.0f * static_cast<float>(x);
    GetPresentation().StartLightningBlast(*this, false, {boltX, 80.0f}, {boltX, 527.0f});
  }
}

void LightningArrowPiece::DrawOverlay() {
  if (IsMarked() && IsAlive() && !IsVisible()) GetPresentation().DrawLightningBlast(*this);
}

NoArrowPiece::NoArrowPiece() : Piece(kNoArrow) {
  // A no arrow takes part in the letter draw (the counter moves on) but never
  // carries a symbol.
  SetLetter(-1);
}

void NoArrowPiece::Rotate(bool /*clockwise*/) {
  if (IsAlive()) PlaySound("rotate_no.wav");
}

std::unique_ptr<Piece> CreatePiece(int kind) {
  switch (kind) {
    case kBlueArrow:
    case kRedArrow:
    case kGreenArrow:
    case kRgbArrow:
      return std::make_unique<ArrowPiece>(kind);
    case kBlueBombArrow:
    case kRedBombArrow:
    case kGreenBombArrow:
      return std::make_unique<BombArrowPiece>(kind);
    case kLightningArrow:
      return std::make_unique<LightningArrowPiece>();
    case kNoArrow:
      return std::make_unique<NoArrowPiece>();
    default:
      return nullptr;
  }
}

}  // namespace tav
