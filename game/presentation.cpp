// The process-wide presentation and the recording presentation used by tests.
#include "game/presentation.h"

#include "game/piece.h"

namespace tav {
namespace {

SilentPresentation g_silentPresentation;
Presentation* g_presentation = nullptr;

RecordingPresentation::Drawn DrawnPiece(const char* what, const Piece& piece) {
  RecordingPresentation::Drawn drawn;
  drawn.what = what;
  drawn.column = piece.Column();
  drawn.row = piece.Row();
  drawn.y = piece.FallHeight();
  return drawn;
}

RecordingPresentation::Event PieceEvent(const char* what, const Piece& piece) {
  RecordingPresentation::Event event;
  event.what = what;
  event.column = piece.Column();
  event.row = piece.Row();
  return event;
}

}  // namespace

void SetPresentation(Presentation* presentation) {
  g_presentation = presentation;
}
Presentation& GetPresentation() {
  return g_presentation ? *g_presentation : g_silentPresentation;
}

void RecordingPresentation::ClearFrame() {
  drawn.clear();
}

void RecordingPresentation::DrawPiece(const Piece& piece) {
  drawn.push_back(DrawnPiece("Piece", piece));
}

void RecordingPresentation::DrawLightningBlast(const Piece& piece) {
  drawn.push_back(DrawnPiece("Overlay", piece));
}

void RecordingPresentation::DrawProgress(double progress, float /*elapsed*/) {
  Drawn entry;
  entry.what = "Progress";
  entry.progress = progress;
  drawn.push_back(entry);
}

void RecordingPresentation::DrawSymbolSlot(int index, bool collected) {
  Drawn entry;
  entry.what = "Slot";
  entry.index = index;
  entry.flag = collected;
  drawn.push_back(entry);
}

void RecordingPresentation::DrawSymbolBeams(int index) {
  Drawn entry;
  entry.what = "Beams";
  entry.index = index;
  drawn.push_back(entry);
}

void RecordingPresentation::DrawSymbolSphere(const Piece& piece) {
  drawn.push_back(DrawnPiece("Sphere", piece));
}

void RecordingPresentation::DrawLinkBolts(int column, int row, bool vertical) {
  Drawn entry;
  entry.what = "Link";
  entry.column = column;
  entry.row = row;
  entry.flag = vertical;
  drawn.push_back(entry);
}

void RecordingPresentation::DrawHint(const std::string& picture, float x, float y, bool centred,
                                     float scale, float alpha) {
  Drawn entry;
  entry.what = "Hint";
  entry.text = picture;
  entry.x = x;
  entry.y = y;
  entry.flag = centred;
  entry.scale = scale;
  entry.alpha = alpha;
  drawn.push_back(entry);
}

void RecordingPresentation::StartLightningBlast(const Piece& piece, bool horizontal, GamePoint from,
                                                GamePoint to) {
  Event event = PieceEvent("LightningBlast", piece);
  event.value = horizontal ? 1.0f : 0.0f;
  event.x = from.x;
  event.y = from.y;
  event.toX = to.x;
  event.toY = to.y;
  events.push_back(event);
}

void RecordingPresentation::StartSymbolBeams(int index, GamePoint from, GamePoint to) {
  Event event;
  event.what = "SymbolBeams";
  event.index = index;
  event.x = from.x;
  event.y = from.y;
  event.toX = to.x;
  event.toY = to.y;
  events.push_back(event);
}

void RecordingPresentation::Burst(const Piece& piece) {
  Event event = PieceEvent("Burst", piece);
  event.index = piece.Kind();
  events.push_back(event);
}

void RecordingPresentation::FlashOutline(const Piece& piece, float lifetime) {
  Event event = PieceEvent("FlashOutline", piece);
  event.value = lifetime;
  event.index = piece.Direction();
  events.push_back(event);
}

void RecordingPresentation::BoxBurst(GamePoint at, float lifetime) {
  Event event;
  event.what = "BoxBurst";
  event.x = at.x;
  event.y = at.y;
  event.value = lifetime;
  events.push_back(event);
}

void RecordingPresentation::AddText(const GameText& text) {
  Event event;
  event.what = "Text";
  event.text = text.text;
  event.x = text.x;
  event.y = text.y;
  event.gameText = text;
  events.push_back(event);
}

void RecordingPresentation::ClearParticles() {
  Event event;
  event.what = "ClearParticles";
  events.push_back(event);
}

void RecordingPresentation::ClearEffects() {
  Event event;
  event.what = "ClearEffects";
  events.push_back(event);
}

int RecordingPresentation::Count(const std::string& what) const {
  int count = 0;
  for (const Event& event : events) count += event.what == what ? 1 : 0;
  return count;
}

int RecordingPresentation::DrawnCount(const std::string& what) const {
  int count = 0;
  for (const Drawn& entry : drawn) count += entry.what == what ? 1 : 0;
  return count;
}

std::vector<GameText> RecordingPresentation::Texts() const {
  std::vector<GameText> texts;
  for (const Event& event : events) {
    if (event.what == "Text") texts.push_back(event.gameText);
  }
  return texts;
}

}  // namespace tav
