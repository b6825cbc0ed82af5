// The game-screen tests' world: a temporary game folder holding every picture of
// the game at its real size (generated), a font, the shade picture and a
// Levels.ini of quiet levels; the recording renderer and sound device; a
// fixed-step game clock; the resource set loaded once for the run (see
// tests/support for the helpers this brings in).
#pragma once

#include "game/game_clock.h"
#include "tests/support/gui_test_environment.h"
#include "tests/support/recorded_draws.h"

namespace tav::test {

FixedStepClock& GameTestClock();

// The levels of the test Levels.ini: "1" and "5" are quiet boards (no two
// compatible neighbours) of blue, red and green arrows all pointing up, with a
// target of 50 blocks and 60 seconds.
constexpr const char* kQuietLevel = "5";

}  // namespace tav::test
