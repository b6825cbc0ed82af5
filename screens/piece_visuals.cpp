// The game's pictures and effects drawn with sprites, particles, floating texts and
// lightning bolts, at the places and with the timings the board's cells dictate.
#include "screens/piece_visuals.h"

#include <algorithm>
#include <cmath>

#include "base/case_compare.h"
#include "game/game_clock.h"
#include "render/renderer.h"

namespace tav {
namespace {

constexpr float kCellSize = 50.0f;
constexpr float kBoardLeft = 250.0f;
constexpr float kBoardBottom = 50.0f;

const char* const kKindColourNames[kPieceKindCount] = {"blue",  "red", "blue", "green", "red",
                                                       "green", "rgb", "moln", "no"};
const char kDirectionLetters[4] = {'u', 'r', 'd', 'l'};

// The particle picture names live for the whole run so emitting them never
// builds a string.
const std::string kOutlineNames[4] = {"sterlka_u.tga", "sterlka_r.tga", "sterlka_d.tga",
                                      "sterlka_l.tga"};
const std::string kBlueDebris1 = "blue_strelka_particle1.tga";
const std::string kBlueDebris2 = "blue_strelka_particle2.tga";
const std::string kRedDebris1 = "red_strelka_particle1.tga";
const std::string kRedDebris2 = "red_strelka_particle2.tga";
const std::string kGreenDebris1 = "green_strelka_particle1.tga";
const std::string kGreenDebris2 = "green_strelka_particle2.tga";
const std::string kNoDebris1 = "No_strelka_particle1.tga";
const std::string kNoDebris2 = "No_strelka_particle2.tga";
const std::string kRing = "kolco.tga";
const std::string kStar = "zvezda.tga";
const std::string kBox = "box.tga";
const std::string kLinkBolt = "moln3.tga";
const std::string kBlastBolt = "moln.tga";
const std::string kBeamBolt = "moln2.tga";

const char* const kHintNames[4] = {"Hint.tga", "Hint1.tga", "Hint2.tga", "Hint3.tga"};
const char* const kEmptySlotNames[PieceVisuals::kSlots] = {"a0.tga", "r0.tga", "q0.tga",
                                                           "o0.tga", "w0.tga", "s0.tga"};
const char* const kCollectedSlotNames[PieceVisuals::kSlots] = {"a1.tga", "r1.tga", "q1.tga",
                                                               "o1.tga", "w1.tga", "s1.tga"};

// Debris spin per unit of throw: a tenth of a turn per second for each 10 units.
constexpr float kDebrisSpin = 0.06283186f;
constexpr float kDebrisGravity = 600.0f;
constexpr float kDebrisLife = 1.5f;

float CellLeft(int column) {
  return kBoardLeft + kCellSize * static_cast<float>(column);
}
float CellBottom(int row) {
  return kBoardBottom + kCellSize * static_cast<float>(row);
}

}  // namespace

PieceVisuals::PieceVisuals() {
  for (int kind = 0; kind < kPieceKindCount; ++kind) {
    for (int direction = 0; direction < 4; ++direction) {
      arrows_[kind][direction].SetTexture(ArrowPictureName(kind, direction));
    }
  }
  bombFlare_.SetTexture("bomb_flare.tga");
  lightningFlare_.SetTexture("moln_flare.tga");
  symbolSphere_.SetTexture("letter_sphere.tga");
  symbolSphereInner_.SetTexture("letter_sphere1.tga");
  blackLine_.SetTexture("black_line.tga");
  gameBack_.SetTexture("game_back.tga");
  leftPanel_.SetTexture("left_panel.tga");
  panel_.SetTexture("panel.tga");
  bevelUp_.SetTexture("gamebavel_up.tga");
  bevelDown_.SetTexture("gamebavel_down.tga");
  bevelLeft_.SetTexture("gamebavel_left.tga");
  bevelRight_.SetTexture("gamebavel_right.tga");
  indicatorEmpty_.SetTexture("Indicator1.tga");
  indicatorFull_.SetTexture("Indicator2.tga");
  indicatorFlare_.SetTexture("flare.tga");
  for (int i = 0; i < kSlots; ++i) {
    emptySlots_[i].SetTexture(kEmptySlotNames[i]);
    collectedSlots_[i].SetTexture(kCollectedSlotNames[i]);
  }
  for (size_t i = 0; i < hints_.size(); ++i) hints_[i].SetTexture(kHintNames[i]);

  // Two bolts across the gap to the right neighbour and two across the gap to the
  // one above; the second of each pair trembles faster so they never move as one.
  for (int row = 0; row < 10; ++row) {
    for (int column = 0; column < 10; ++column) {
      auto& bolts = linkBolts_[static_cast<size_t>(row * 10 + column)];
      const float x = CellLeft(column);
      const float y = CellBottom(row);
      bolts[0].Set(kLinkBolt, x + 40.0f, y + 25.0f, x + 57.0f, y + 25.0f, 6, 5, 20, 5);
      bolts[1].Set(kLinkBolt, x + 40.0f, y + 25.0f, x + 57.0f, y + 25.0f, 6, 5, 25, 5);
      bolts[2].Set(kLinkBolt, x + 24.0f, y + 42.0f, x + 24.0f, y + 60.0f, 6, 5, 20, 5);
      bolts[3].Set(kLinkBolt, x + 24.0f, y + 42.0f, x + 24.0f, y + 60.0f, 6, 5, 25, 5);
    }
  }
}

std::string PieceVisuals::ArrowPictureName(int kind, int direction) {
  if (kind < 0 || kind >= kPieceKindCount || direction < 0 || direction > 3) return {};
  std::string name = Piece::IsBomb(kind) ? "sterlkab_" : "sterlka_";
  name += kDirectionLetters[direction];
  name += '_';
  name += kKindColourNames[kind];
  name += ".tga";
  return name;
}

const std::string& PieceVisuals::FirstDebrisName(int kind) {
  switch (kind) {
    case kBlueArrow:
    case kBlueBombArrow:
      return kBlueDebris1;
    case kGreenArrow:
    case kGreenBombArrow:
      return kGreenDebris1;
    case kNoArrow:
      return kNoDebris1;
    default:  // red arrows, rgb and lightning
      return kRedDebris1;
  }
}

const std::string& PieceVisuals::SecondDebrisName(int kind) {
  switch (kind) {
    case kBlueArrow:
    case kBlueBombArrow:
    case kRgbArrow:
    case kLightningArrow:
      return kBlueDebris2;
    case kGreenArrow:
    case kGreenBombArrow:
      return kGreenDebris2;
    case kNoArrow:
      return kNoDebris2;
    default:  // red arrows
      return kRedDebris2;
  }
}

float PieceVisuals::DebrisThrow() {
  float r = Random(200.0f);
  while (std::fabs(r - 100.0f) < 30.0f) r = Random(200.0f);
  return r - 100.0f;
}

bool PieceVisuals::OnBoard(int column, int row) {
  return column >= 0 && column < 10 && row >= 0 && row < 10;
}

float PieceVisuals::PieceLeft(const Piece& piece) {
  return CellLeft(piece.Column());
}
float PieceVisuals::PieceBottom(const Piece& piece) {
  return CellBottom(piece.Row()) + piece.FallHeight();
}
float PieceVisuals::PieceCentreX(const Piece& piece) {
  return PieceLeft(piece) + 24.0f;
}
float PieceVisuals::PieceCentreY(const Piece& piece) {
  return PieceBottom(piece) + 25.0f;
}

void PieceVisuals::ClearFrame() {
  // Black: the background pictures cover the screen, and anything they leave open
  // should stay dark.
  if (Renderer* renderer = GetRenderer()) renderer->Clear(0.0f, 0.0f, 0.0f);
}

void PieceVisuals::DrawBackground() {
  blackLine_.Draw(50.0f, -1.0f);
  gameBack_.DrawRotated(494.0f, 306.0f, 0.0f, 1.25f, 1.0f);
  leftPanel_.Draw(0.0f, -10.0f);
  leftPanel_.Draw(0.0f, 220.0f);
  leftPanel_.Draw(0.0f, 440.0f);
  panel_.Draw(243.0f, 43.0f);
  bevelUp_.Draw(243.0f, 547.0f);
  bevelDown_.Draw(243.0f, -77.0f);
  bevelLeft_.Draw(123.0f, 43.0f);
  bevelRight_.Draw(748.0f, 43.0f);
}

void PieceVisuals::DrawPiece(const Piece& piece) {
  const int kind = piece.Kind();
  const int direction = piece.Direction();
  if (kind < 0 || kind >= kPieceKindCount || direction < 0 || direction > 3) return;
  arrows_[kind][direction].Draw(PieceLeft(piece), PieceBottom(piece));
  const float ms = static_cast<float>(GameMilliTicks());
  if (Piece::IsBomb(kind)) {
    bombFlare_.DrawRotated(PieceCentreX(piece), PieceCentreY(piece), 0.001f * ms, 2.0f, 0.7f);
  } else if (kind == kLightningArrow) {
    const float scale = 0.8f + 0.4f * std::fabs(std::sin(0.0033333f * ms));
    lightningFlare_.DrawRotated(PieceCentreX(piece), PieceCentreY(piece), 0.0005f * ms, scale,
                                0.7f);
  }
}

void PieceVisuals::DrawSymbolSphere(const Piece& piece) {
  const float ms = static_cast<float>(GameMilliTicks());
  const float x = PieceCentreX(piece);
  const float y = PieceCentreY(piece);
  symbolSphere_.DrawRotated(x, y, 0.002f * ms, 0.7f + 0.2f * std::fabs(std::sin(0.0025f * ms)),
                            0.3f);
  symbolSphereInner_.DrawRotated(x, y, 0.005f * ms,
                                 0.7f + 0.2f * std::fabs(std::sin(0.00125f * ms)), 0.3f);
}

void PieceVisuals::DrawLightningBlast(const Piece& piece) {
  if (!OnBoard(piece.Column(), piece.Row())) return;
  for (LightningBolt& bolt : blastBolts_[static_cast<size_t>(piece.Row() * 10 + piece.Column())]) {
    bolt.Draw();
  }
}

void PieceVisuals::StartLightningBlast(const Piece& piece, bool /*horizontal*/, GamePoint from,
                                       GamePoint to) {
  if (!OnBoard(piece.Column(), piece.Row())) return;
  for (LightningBolt& bolt : blastBolts_[static_cast<size_t>(piece.Row() * 10 + piece.Column())]) {
    bolt.Set(kBlastBolt, from.x, from.y, to.x, to.y, 15, 12, 30, 25);
  }
}

void PieceVisuals::DrawProgress(double progress, float elapsed) {
  Renderer* renderer = GetRenderer();
  if (renderer == nullptr) return;
  const float p = static_cast<float>(std::clamp(progress, 0.0, 1.0));
  const float top = 40.0f + 512.0f * p;
  if (indicatorEmpty_.Bind()) {
    const Vertex quad[4] = {{718.0f, 40.0f, 0.0f, 1.0f},
                            {846.0f, 40.0f, 1.0f, 1.0f},
                            {846.0f, 552.0f, 1.0f, 0.0f},
                            {718.0f, 552.0f, 0.0f, 0.0f}};
    renderer->DrawQuad(quad, 1.0f, 1.0f, 1.0f, 1.0f);
  }
  // The filled bar shows the lower part of its picture, as much as is filled, so
  // it grows upward without stretching.
  if (indicatorFull_.Bind()) {
    const float topV = 1.0f - p;
    const Vertex quad[4] = {{718.0f, 40.0f, 0.0f, 1.0f},
                            {846.0f, 40.0f, 1.0f, 1.0f},
                            {846.0f, top, 1.0f, topV},
                            {718.0f, top, 0.0f, topV}};
    renderer->DrawQuad(quad, 1.0f, 1.0f, 1.0f, 1.0f);
  }
  indicatorFlare_.DrawRotated(782.0f, top, 2.0f * elapsed, 1.0f, 1.0f);
}

void PieceVisuals::DrawSymbolSlot(int index, bool collected) {
  if (index < 0 || index >= kSlots) return;
  Sprite& slot = collected ? collectedSlots_[index] : emptySlots_[index];
  slot.Draw(344.0f + 50.0f * static_cast<float>(index), 0.0f);
}

void PieceVisuals::StartSymbolBeams(int index, GamePoint from, GamePoint to) {
  if (index < 0 || index >= kSlots) return;
  const float distance = std::hypot(to.x - from.x, to.y - from.y);
  const int points = 4 + static_cast<int>(std::floor(0.025f * distance));
  for (LightningBolt& bolt : beams_[index]) {
    bolt.Set(kBeamBolt, from.x, from.y, to.x, to.y, 10, 10, 50, points);
  }
}

void PieceVisuals::DrawSymbolBeams(int index) {
  if (index < 0 || index >= kSlots) return;
  for (LightningBolt& bolt : beams_[index]) bolt.Draw();
}

void PieceVisuals::DrawLinkBolts(int column, int row, bool vertical) {
  if (!OnBoard(column, row)) return;
  auto& bolts = linkBolts_[static_cast<size_t>(row * 10 + column)];
  const size_t first = vertical ? 2 : 0;
  bolts[first].Draw();
  bolts[first + 1].Draw();
}

void PieceVisuals::UpdateAndDrawEffects() {
  ParticlePool& particles = ParticlePool::Instance();
  FloatingTextList& texts = FloatingTextList::Instance();
  particles.Update();
  particles.Draw();
  texts.Update();
  texts.Draw();
}

void PieceVisuals::DrawHint(const std::string& picture, float x, float y, bool centred, float scale,
                            float alpha) {
  for (size_t i = 0; i < hints_.size(); ++i) {
    if (!EqualIgnoringCase(picture, kHintNames[i])) continue;
    if (centred) {
      hints_[i].DrawRotated(x, y, 0.0f, scale, alpha);
    } else {
      hints_[i].Draw(x, y, scale, alpha);
    }
    return;
  }
}

void PieceVisuals::Burst(const Piece& piece) {
  const int kind = piece.Kind();
  const float ex = CellLeft(piece.Column()) + 25.0f;
  const float ey = CellBottom(piece.Row()) + 25.0f;
  const float c = DebrisThrow();
  ParticlePool& pool = ParticlePool::Instance();

  FlashOutline(piece, 0.75f);
  pool.Emit(FirstDebrisName(kind), ex, ey, 1, 0, 2.0f * c, 300, kDebrisLife, -kDebrisSpin * c, true,
            kDebrisGravity);
  pool.Emit(SecondDebrisName(kind), ex, ey + 10.0f, 1, 0, -1.5f * c - Random(50.0f), 200,
            kDebrisLife, kDebrisSpin * c, true, kDebrisGravity);
  if (kind == kRgbArrow || kind == kLightningArrow) {
    pool.Emit(kGreenDebris2, ex, ey + 10.0f, 1, 0, 1.8f * c - Random(60.0f), 200, kDebrisLife,
              kDebrisSpin * c, true, kDebrisGravity);
  }
  if (Piece::IsBomb(kind)) pool.Emit(kRing, ex, ey, 1, 3.0f, 0, 0, 0.75f, 0, false, 0);
  for (int i = 0; i < 8; ++i) {
    const float angle = static_cast<float>(i) * 0.7853982f;
    pool.Emit(kStar, ex, ey, 1, 0, 100.0f * std::cos(angle), 100.0f * std::sin(angle), 1.0f, 0,
              false, 0);
  }
}

void PieceVisuals::FlashOutline(const Piece& piece, float lifetime) {
  const int direction = piece.Direction();
  if (direction < 0 || direction > 3) return;
  ParticlePool::Instance().Emit(kOutlineNames[direction], CellLeft(piece.Column()) + 32.0f,
                                CellBottom(piece.Row()) + 32.0f, 1, 0, 0, 0, lifetime, 0, false, 0);
}

void PieceVisuals::BoxBurst(GamePoint at, float lifetime) {
  ParticlePool::Instance().Emit(kBox, at.x, at.y, 1, 0, 0, 0, lifetime, 0, false, 0);
}

void PieceVisuals::AddText(const GameText& text) {
  FloatingTextList::Instance().Add(text.text, text.x, text.y, 0.0f, text.riseSpeed, text.lifetime,
                                   text.red, text.green, text.blue, text.acceleration);
}

void PieceVisuals::ClearParticles() {
  ParticlePool::Instance().Clear();
}

void PieceVisuals::ClearEffects() {
  ParticlePool::Instance().Clear();
  FloatingTextList::Instance().Clear();
}

}  // namespace tav
