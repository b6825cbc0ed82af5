// A synthetic font picture for tests: 16x16 cells of 16 pixels on a 256x256 picture,
// each printable glyph a block of visible columns at its cell's left edge, so text
// widths are known in advance.
#pragma once

#include <cstdint>
#include <vector>

namespace tav::test {

// Every printable character from '!' to '~' is `glyphColumns` wide, except 'W',
// which is `wideGlyphColumns` wide (so a test can tell it apart).
std::vector<uint8_t> MakeBlockFontTga(int glyphColumns, int wideGlyphColumns);

}  // namespace tav::test
