// The GUI tests' world: a temporary Data folder with small pictures and a font
// picture the controls load, the recording renderer and a fake millisecond clock
// (see tests/support for the helpers this brings in).
#pragma once

#include "tests/support/recorded_draws.h"
#include "tests/support/test_clocks.h"

namespace tav::test {

// The font picture's glyphs: every printable character from '!' to '~' is
// kGlyphColumns wide (advance kGlyphColumns + 2 with letter spacing 1), except 'W',
// which is kWideGlyphColumns wide.
constexpr int kGlyphColumns = 5;
constexpr int kWideGlyphColumns = 11;

}  // namespace tav::test
