// Small pieces the menu and dialog screens share: the shade picture stretched
// over the screen, text centred on a point, the three-picture buttons built from
// a picture stem, and the opacity of a dialog's fade.
#pragma once

#include <string>
#include <string_view>

#include "gui/button.h"
#include "gui/window.h"
#include "render/sprite.h"

namespace tav {

constexpr float kScreenWidth = 800.0f;
constexpr float kScreenHeight = 600.0f;

// The shared black picture that the menu and the dialogs stretch over the whole
// screen to darken what lies behind them. The application's set-up gives it its
// picture ("Black.tga"); until then nothing is drawn with it.
Sprite& SharedShade();

// Draws the sprite's current frame as one quad from (x0, y0) to (x1, y1), the
// whole picture stretched over it, colour (1, 1, 1, alpha).
void DrawStretched(Sprite& sprite, float x0, float y0, float x1, float y1, float alpha);
// The sprite over the whole 800x600 screen.
void DrawScreenShade(Sprite& sprite, float alpha);

// Prints with the shared font, the left edge at centreX - width / 2 (the width
// halved as a whole number), so the text is centred on centreX.
void PrintCentred(float centreX, float y, std::string_view text);

// A RectangularButton named `name` with the pictures <stem>_loop.tga,
// <stem>_focus.tga and <stem>_down.tga drawn at (x, y), reacting inside
// (x0, y0) - (x1, y1), added to the window.
RectangularButton* AddRectangularButton(Window& window, const std::string& name,
                                        const std::string& stem, float x, float y, float x0,
                                        float y0, float x1, float y1);
// A PictureControl showing `picture` with its bottom-left corner at (x, y).
PictureControl* AddPicture(Window& window, const std::string& name, const std::string& picture,
                           float x, float y);

// The opacity of a dialog whose blend runs from 1 down to 0 while it appears and
// from -1 up to 0 while it disappears: 1 - blend, -blend, or 1 at rest.
float DialogOpacity(float blend);

// The start of every dialog's drawing: the window takes the opacity and the
// shared shade darkens the screen behind it to 40 % at full opacity.
void DrawDialogBackdrop(Window& window, float opacity);

// Moves a dialog's blend towards 0 by rate * dt. Returns true when a
// disappearing fade (negative blend) has just arrived at 0; an appearing one
// arrives silently.
bool AdvanceDialogBlend(float& blend, float rate, float dt);

}  // namespace tav
