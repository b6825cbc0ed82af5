// How the game looks: the pieces with their flares and symbol halos, the board's
// background and frame, the progress bar, the symbol slots and their beams, the
// link bolts between linked arrows, the lightning blasts, the explosion bursts,
// the outline flashes and the floating texts. The game core calls these through
// its presentation interface; everything here draws with sprites, the particle
// pool, the floating-text list and lightning bolts.
//
// Every sprite and bolt is made once, in the constructor, so a frame of play
// loads nothing and allocates nothing apart from what the effect primitives do.
#pragma once

#include <array>
#include <string>

#include "game/piece.h"
#include "game/presentation.h"
#include "render/effects.h"
#include "render/sprite.h"

namespace tav {

class PieceVisuals : public Presentation {
 public:
  static constexpr int kCells = 100;
  static constexpr int kSlots = kSymbolCount;
  static constexpr int kBeamsPerSlot = 3;

  // Loads every picture it draws through the texture catalogue (the game-screen
  // resource set must be available).
  PieceVisuals();

  void ClearFrame() override;
  void DrawBackground() override;
  void DrawPiece(const Piece& piece) override;
  void DrawLightningBlast(const Piece& piece) override;
  void DrawProgress(double progress, float elapsed) override;
  void DrawSymbolSlot(int index, bool collected) override;
  void DrawSymbolBeams(int index) override;
  void DrawSymbolSphere(const Piece& piece) override;
  void DrawLinkBolts(int column, int row, bool vertical) override;
  void UpdateAndDrawEffects() override;
  void DrawHint(const std::string& picture, float x, float y, bool centred, float scale,
                float alpha) override;
  void StartLightningBlast(const Piece& piece, bool horizontal, GamePoint from,
                           GamePoint to) override;
  void StartSymbolBeams(int index, GamePoint from, GamePoint to) override;
  void Burst(const Piece& piece) override;
  void FlashOutline(const Piece& piece, float lifetime) override;
  void BoxBurst(GamePoint at, float lifetime) override;
  void AddText(const GameText& text) override;
  void ClearParticles() override;
  void ClearEffects() override;

  // The picture of a piece kind (0 ... 8) pointing in a direction (0 ... 3), as
  // "sterlka_u_blue.tga"; empty for an unknown kind or direction.
  static std::string ArrowPictureName(int kind, int direction);
  // The two debris pictures a kind's burst throws.
  static const std::string& FirstDebrisName(int kind);
  static const std::string& SecondDebrisName(int kind);

  // The horizontal throw c of a burst's debris: random(200) - 100 drawn again
  // until it is at least 30 away from 0, so no debris flies straight up.
  static float DebrisThrow();

 private:
  // Draws with the piece's fall height added to its cell's place.
  static float PieceLeft(const Piece& piece);
  static float PieceBottom(const Piece& piece);
  static float PieceCentreX(const Piece& piece);
  static float PieceCentreY(const Piece& piece);
  static bool OnBoard(int column, int row);

  std::array<std::array<Sprite, 4>, kPieceKindCount> arrows_;
  Sprite bombFlare_, lightningFlare_;
  Sprite symbolSphere_, symbolSphereInner_;
  Sprite blackLine_, gameBack_, leftPanel_, panel_;
  Sprite bevelUp_, bevelDown_, bevelLeft_, bevelRight_;
  Sprite indicatorEmpty_, indicatorFull_, indicatorFlare_;
  std::array<Sprite, kSlots> emptySlots_, collectedSlots_;
  std::array<Sprite, 4> hints_;

  // Per cell: the horizontal pair, then the vertical pair of link bolts.
  std::array<std::array<LightningBolt, 4>, kCells> linkBolts_;
  // Per cell: the two bolts of a lightning arrow's blast.
  std::array<std::array<LightningBolt, 2>, kCells> blastBolts_;
  std::array<std::array<LightningBolt, kBeamsPerSlot>, kSlots> beams_;
};

}  // namespace tav
