// The screen tests' world: a temporary game folder with small pictures of every
// name the screens load and a font, the recording renderer, a fake millisecond
// clock and a recording sound device (see tests/support for the helpers this
// brings in to run windows and read what they drew).
#pragma once

#include <string>

#include "tests/support/gui_test_environment.h"
#include "tests/support/recorded_draws.h"
#include "tests/support/window_input.h"

namespace tav::test {

// The native path of a file below the game folder ("Data/Hiscore.dat").
std::string GamePath(const std::string& relative);

}  // namespace tav::test
