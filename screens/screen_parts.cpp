// The shared shade, stretched drawing, centred text and button construction of
// the menu and dialog screens.
#include "screens/screen_parts.h"

#include <memory>

#include "render/bitmap_font.h"
#include "render/renderer.h"

namespace tav {

Sprite& SharedShade() {
  static Sprite shade;
  return shade;
}

void DrawStretched(Sprite& sprite, float x0, float y0, float x1, float y1, float alpha) {
  if (!sprite.Bind()) return;
  const Vertex corners[4] = {
      {x0, y0, 0.0f, 1.0f}, {x1, y0, 1.0f, 1.0f}, {x1, y1, 1.0f, 0.0f}, {x0, y1, 0.0f, 0.0f}};
  GetRenderer()->DrawQuad(corners, 1.0f, 1.0f, 1.0f, alpha);
}

void DrawScreenShade(Sprite& sprite, float alpha) {
  DrawStretched(sprite, 0.0f, 0.0f, kScreenWidth, kScreenHeight, alpha);
}

void PrintCentred(float centreX, float y, std::string_view text) {
  BitmapFont& font = BitmapFont::Shared();
  const int halfWidth = font.TextWidth(text) / 2;
  font.PrintText(centreX - static_cast<float>(halfWidth), y, text);
}

RectangularButton* AddRectangularButton(Window& window, const std::string& name,
                                        const std::string& stem, float x, float y, float x0,
                                        float y0, float x1, float y1) {
  auto button = std::make_unique<RectangularButton>(name);
  button->Create(stem + "_loop.tga", stem + "_focus.tga", stem + "_down.tga", x, y);
  button->SetRect(x0, y0, x1, y1);
  return window.AddControl(std::move(button));
}

PictureControl* AddPicture(Window& window, const std::string& name, const std::string& picture,
                           float x, float y) {
  auto control = std::make_unique<PictureControl>(name);
  control->Create(Vec2(x, y), picture);
  return window.AddControl(std::move(control));
}

float DialogOpacity(float blend) {
  if (blend > 0.0f) return 1.0f - blend;
  if (blend < 0.0f) return -blend;
  return 1.0f;
}

void DrawDialogBackdrop(Window& window, float opacity) {
  window.SetAlpha(opacity);
  DrawScreenShade(SharedShade(), 0.6f * opacity);
}

bool AdvanceDialogBlend(float& blend, float rate, float dt) {
  if (blend > 0.0f) {
    blend -= rate * dt;
    if (blend <= 0.0f) blend = 0.0f;
  }
  if (blend < 0.0f) {
    blend += rate * dt;
    if (blend >= 0.0f) {
      blend = 0.0f;
      return true;
    }
  }
  return false;
}

}  // namespace tav
