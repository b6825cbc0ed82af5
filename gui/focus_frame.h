// The frame that shows which control has the keyboard focus: a thin gold border just
// outside the control's area, in the colour of the game's frames and scroll edges.
#pragma once

#include "gui/geometry.h"

namespace tav {

// Draws the border around `area`, at the window's opacity.
void DrawFocusFrame(const Rect& area, float alpha);

}  // namespace tav
