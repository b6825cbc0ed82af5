// One cell occupant of the board: an arrow of some colour (or the unturnable "no
// arrow"), its direction, and its life cycle from falling in through being marked,
// exploding and lingering to dying. The nine kinds differ in colour compatibility
// and in what they take with them when marked.
#pragma once

#include <memory>

namespace tav {

enum PieceKind {
  kBlueArrow = 0,
  kRedArrow = 1,
  kBlueBombArrow = 2,
  kGreenArrow = 3,
  kRedBombArrow = 4,
  kGreenBombArrow = 5,
  kRgbArrow = 6,
  kLightningArrow = 7,
  kNoArrow = 8,
};
constexpr int kPieceKindCount = 9;

enum Direction { kUp = 0, kRight = 1, kDown = 2, kLeft = 3 };

// The step of a direction code: up (0, +1), right (+1, 0), down (0, -1), left (-1, 0).
int DirectionStepX(int direction);
int DirectionStepY(int direction);

// Magic symbols: six kinds, handed out in turn by one counter for the whole run.
constexpr int kSymbolCount = 6;
int SymbolCounter();
void ResetSymbolCounter();  // for tests

class Piece {
 public:
  static constexpr float kFallSpeed = 1400.0f;  // pixels per second
  static constexpr float kLinger = 0.4f;        // seconds a dead piece keeps its cell

  virtual ~Piece() = default;
  Piece(const Piece&) = delete;
  Piece& operator=(const Piece&) = delete;

  virtual void Reset() { linger_ = kLinger; }
  // Called just before the board deletes the piece at teardown.
  virtual void Release() {}
  // The per-frame life cycle: click, fall, countdown, explosion, linger, death.
  virtual void Update();
  virtual void Draw();
  virtual void DrawOverlay() {}
  virtual void Rotate(bool clockwise);
  // Dooms the piece: it explodes `delay` seconds from now. Only the first mark counts.
  virtual void Mark(float delay);
  virtual bool Matches(const Piece& other) const;
  // Matches and points the same way.
  bool Links(const Piece& other) const { return Matches(other) && direction_ == other.direction_; }

  int Kind() const { return kind_; }
  int Direction() const { return direction_; }
  void SetDirection(int direction) { direction_ = direction; }
  int Column() const { return column_; }
  int Row() const { return row_; }
  void SetCell(int column, int row) {
    column_ = column;
    row_ = row;
  }
  float FallHeight() const { return fallHeight_; }
  void SetFallHeight(float height) { fallHeight_ = height; }
  bool IsVisible() const { return visible_; }
  bool IsAlive() const { return alive_; }
  bool IsMarked() const { return marked_; }
  bool IsResting() const { return fallHeight_ <= 0.0f; }
  float ExplodeDelay() const { return explodeDelay_; }
  float LingerTime() const { return linger_; }
  int Letter() const { return letter_; }
  void SetLetter(int letter) { letter_ = letter; }

  // The digit of a kind's character in the level files.
  static bool IsBomb(int kind) {
    return kind == kBlueBombArrow || kind == kRedBombArrow || kind == kGreenBombArrow;
  }

 protected:
  // Draws the letter with the current board's letter probability.
  explicit Piece(int kind);

  // What the kind takes with it on its first mark.
  virtual void MarkExtras(float /*delay*/) {}
  // The kind's own explosion sound besides "boom.wav" (empty for none).
  virtual const char* ExtraExplosionSound() const { return nullptr; }

  // Marks the piece at (column, row) if that cell exists and holds one.
  static void MarkCell(int column, int row, float delay);

  float linger_ = 0.0f;

 private:
  void HandleClick();
  bool CellContains(int x, int y) const;
  void Explode();

  int kind_;
  int direction_ = 0;
  int column_ = 0;
  int row_ = 0;
  float fallHeight_ = 0.0f;
  bool visible_ = true;
  bool alive_ = true;
  float explodeDelay_ = 0.0f;
  bool marked_ = false;
  int letter_ = -1;
};

// Kinds 0, 1, 3 and 6: plain arrows.
class ArrowPiece : public Piece {
 public:
  explicit ArrowPiece(int kind) : Piece(kind) {}
};

// Kinds 2, 4 and 5: take their four neighbours with them.
class BombArrowPiece : public Piece {
 public:
  explicit BombArrowPiece(int kind) : Piece(kind) {}

  // Neighbour delays after the bomb's own: right, left, above, below.
  static constexpr float kRightDelay = 0.12f;
  static constexpr float kLeftDelay = 0.24f;
  static constexpr float kAboveDelay = 0.35999998f;
  static constexpr float kBelowDelay = 0.48f;

 protected:
  void MarkExtras(float delay) override;
  const char* ExtraExplosionSound() const override { return "boom2.wav"; }
};

// Kind 7: takes its whole row (pointing right or left) or column with it.
class LightningArrowPiece : public Piece {
 public:
  static constexpr float kLinger = 0.7f;
  LightningArrowPiece() : Piece(kLightningArrow) {}
  void Reset() override { linger_ = kLinger; }
  void DrawOverlay() override;

 protected:
  void MarkExtras(float delay) override;
  const char* ExtraExplosionSound() const override { return "moln.wav"; }
};

// Kind 8: matches only its own kind and cannot be turned.
class NoArrowPiece : public Piece {
 public:
  NoArrowPiece();
  void Rotate(bool clockwise) override;
};

// Makes the piece of a kind digit 0 ... 8; nothing for any other digit.
std::unique_ptr<Piece> CreatePiece(int kind);

}  // namespace tav
