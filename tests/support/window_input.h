// Driving a GUI window from a test: frames with a chosen delta, what the window
// posted, and mouse clicks.
#pragma once

#include <string>
#include <vector>

#include "gui/window.h"

namespace tav::test {

// Updates the window `frames` times with the frame delta `dt` and returns what
// it posted, as "Word" or "Word argument".
std::vector<std::string> RunFrames(Window& window, int frames, float dt = 0.05f);

// A click: move there, press, release.
void Click(Window& window, float x, float y);

}  // namespace tav::test
