// The focus frame: four bars of the plain white picture, tinted gold.
#include "gui/focus_frame.h"

#include "render/renderer.h"
#include "render/sprite.h"

namespace tav {

namespace {

constexpr float kGap = 2.0f;        // between the control's area and the border
constexpr float kThickness = 2.0f;
constexpr float kRed = 1.0f, kGreen = 0.82f, kBlue = 0.3f;

void DrawBar(float x0, float y0, float x1, float y1, float alpha) {
  const Vertex corners[4] = {
      {x0, y0, 0.0f, 1.0f}, {x1, y0, 1.0f, 1.0f}, {x1, y1, 1.0f, 0.0f}, {x0, y1, 0.0f, 0.0f}};
  GetRenderer()->DrawQuad(corners, kRed, kGreen, kBlue, alpha);
}

}  // namespace

void DrawFocusFrame(const Rect& area, float alpha) {
  // Looked up at every draw: the catalogue may have been emptied and filled again
  // since the last one.
  static Sprite white;
  white.SetTexture("white.tga");
  if (GetRenderer() == nullptr || !white.Bind()) return;
  const float x0 = area.x0 - kGap - kThickness, x1 = area.x1 + kGap + kThickness;
  const float y0 = area.y0 - kGap - kThickness, y1 = area.y1 + kGap + kThickness;
  DrawBar(x0, y0, x1, y0 + kThickness, alpha);
  DrawBar(x0, y1 - kThickness, x1, y1, alpha);
  DrawBar(x0, y0, x0 + kThickness, y1, alpha);
  DrawBar(x1 - kThickness, y0, x1, y1, alpha);
}

}  // namespace tav
