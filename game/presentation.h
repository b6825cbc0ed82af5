// Everything of the game that is seen. The board and its pieces call these at fixed
// moments of a frame; the game screen draws them with sprites, particles, floating
// texts and lightning bolts. Points are screen points (800 x 600, y up).
//
// Lifetime of the things the presentation keeps between calls:
// - Link bolts: one record per cell, built once; the board asks each frame which
//   ones to draw.
// - Lightning blast: started for a cell when its lightning arrow is marked and drawn
//   by that cell until the arrow dies; the arrow keeps its cell all that time.
// - Symbol beams: one set per symbol slot, restarted by every new flight.
#pragma once

#include <string>
#include <vector>

namespace tav {

class Piece;

struct GamePoint {
  float x = 0.0f;
  float y = 0.0f;
};

// A text that rises from (x, y), centred on x.
struct GameText {
  std::string text;
  float x = 0.0f;
  float y = 0.0f;
  float riseSpeed = 0.0f;  // pixels per second upward at the start
  float lifetime = 0.0f;   // seconds
  float red = 1.0f, green = 1.0f, blue = 1.0f;
  float acceleration = 0.0f;  // vertical, pixels per second squared
};

class Presentation {
 public:
  virtual ~Presentation() = default;

  // --- Board::Frame, in frame order ---
  // Clears the frame.
  virtual void ClearFrame() = 0;
  // The static frame around the board: back picture, side panels, bevels.
  virtual void DrawBackground() = 0;
  // A visible piece at its cell, raised by its fall height (kind, direction,
  // column, row and fall height are read from the piece).
  virtual void DrawPiece(const Piece& piece) = 0;
  // The blast of a lightning arrow, drawn every frame between its explosion and
  // its death (started by StartLightningBlast for the same cell).
  virtual void DrawLightningBlast(const Piece& piece) = 0;
  // The progress bar filled to `progress` (0 ... 1); its flare turns with `elapsed`.
  virtual void DrawProgress(double progress, float elapsed) = 0;
  // Symbol slot `index` (0 ... 5), empty or collected picture.
  virtual void DrawSymbolSlot(int index, bool collected) = 0;
  // The beams of a symbol flying to slot `index`, drawn while it flies.
  virtual void DrawSymbolBeams(int index) = 0;
  // The halo of a visible piece that carries a magic symbol.
  virtual void DrawSymbolSphere(const Piece& piece) = 0;

  // --- Board::Status ---
  // The short bolts between the piece at (column, row) and its neighbour to the
  // right (vertical false) or above (vertical true).
  virtual void DrawLinkBolts(int column, int row, bool vertical) = 0;
  // Moves and draws the particles and the floating texts.
  virtual void UpdateAndDrawEffects() = 0;
  // A tutorial picture at (x, y): its bottom-left corner, or its centre when
  // `centred`.
  virtual void DrawHint(const std::string& picture, float x, float y, bool centred, float scale,
                        float alpha) = 0;

  // --- Events ---
  // A lightning arrow was marked: its two bolts run from `from` to `to` across its
  // row (horizontal) or column.
  virtual void StartLightningBlast(const Piece& piece, bool horizontal, GamePoint from,
                                   GamePoint to) = 0;
  // A symbol starts flying from `from` to the target point `to` of slot `index`.
  virtual void StartSymbolBeams(int index, GamePoint from, GamePoint to) = 0;
  // A piece explodes at its cell (debris, ring, stars, its 0.75 s outline).
  virtual void Burst(const Piece& piece) = 0;
  // The outline arrow of the piece's direction at its cell for `lifetime` seconds
  // (0.25 joining a chain, 1.0 as a move hint).
  virtual void FlashOutline(const Piece& piece, float lifetime) = 0;
  // The symbol box flash at a slot's target point.
  virtual void BoxBurst(GamePoint at, float lifetime) = 0;
  virtual void AddText(const GameText& text) = 0;
  // Kills all particles (the time ran out).
  virtual void ClearParticles() = 0;
  // Kills all particles and floating texts (the board goes away).
  virtual void ClearEffects() = 0;
};

// Draws nothing: the simulator's choice.
class SilentPresentation : public Presentation {
 public:
  void ClearFrame() override {}
  void DrawBackground() override {}
  void DrawPiece(const Piece&) override {}
  void DrawLightningBlast(const Piece&) override {}
  void DrawProgress(double, float) override {}
  void DrawSymbolSlot(int, bool) override {}
  void DrawSymbolBeams(int) override {}
  void DrawSymbolSphere(const Piece&) override {}
  void DrawLinkBolts(int, int, bool) override {}
  void UpdateAndDrawEffects() override {}
  void DrawHint(const std::string&, float, float, bool, float, float) override {}
  void StartLightningBlast(const Piece&, bool, GamePoint, GamePoint) override {}
  void StartSymbolBeams(int, GamePoint, GamePoint) override {}
  void Burst(const Piece&) override {}
  void FlashOutline(const Piece&, float) override {}
  void BoxBurst(GamePoint, float) override {}
  void AddText(const GameText&) override {}
  void ClearParticles() override {}
  void ClearEffects() override {}
};

// Writes down the events (everything but the per-frame drawing) in order, and the
// drawing of the latest frame, for tests.
class RecordingPresentation : public Presentation {
 public:
  struct Event {
    std::string what;  // "Burst", "FlashOutline", "Text", "LightningBlast", ...
    int column = -1, row = -1, index = -1;
    float x = 0, y = 0, toX = 0, toY = 0, value = 0;
    std::string text;
    GameText gameText;
  };
  // One drawn thing of the latest frame.
  struct Drawn {
    std::string what;  // "Piece", "Overlay", "Sphere", "Slot", "Beams", "Link", "Hint", "Progress"
    int column = -1, row = -1, index = -1;
    bool flag = false;
    float x = 0, y = 0, scale = 0, alpha = 0;
    double progress = 0;
    std::string text;
  };

  void ClearFrame() override;
  void DrawBackground() override {}
  void DrawPiece(const Piece& piece) override;
  void DrawLightningBlast(const Piece& piece) override;
  void DrawProgress(double progress, float elapsed) override;
  void DrawSymbolSlot(int index, bool collected) override;
  void DrawSymbolBeams(int index) override;
  void DrawSymbolSphere(const Piece& piece) override;
  void DrawLinkBolts(int column, int row, bool vertical) override;
  void UpdateAndDrawEffects() override {}
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

  int Count(const std::string& what) const;
  int DrawnCount(const std::string& what) const;
  std::vector<GameText> Texts() const;
  void Clear() {
    events.clear();
    drawn.clear();
  }

  std::vector<Event> events;
  std::vector<Drawn> drawn;  // emptied by ClearFrame
};

// Installs the process-wide presentation (not owned). Null restores the silent one.
void SetPresentation(Presentation* presentation);
Presentation& GetPresentation();

}  // namespace tav
