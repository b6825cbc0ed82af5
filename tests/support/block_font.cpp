// Paints the block font picture.
#include "tests/support/block_font.h"

#include "tests/support/tga_bytes.h"

namespace tav::test {

std::vector<uint8_t> MakeBlockFontTga(int glyphColumns, int wideGlyphColumns) {
  constexpr int kSize = 256, kCell = 16;
  return MakeTga(kSize, kSize, 32, [=](int x, int yFromTop) {
    const int code = (yFromTop / kCell) * 16 + x / kCell;
    const int columns = code == 'W' ? wideGlyphColumns : glyphColumns;
    // Ink in the cell's rows 2 to 11 counted from its bottom.
    const int rowFromCellBottom = kCell - 1 - yFromTop % kCell;
    const bool ink = code >= '!' && code <= '~' && x % kCell < columns && rowFromCellBottom >= 2 &&
                     rowFromCellBottom < 12;
    return Bgra{0, 0, 0, static_cast<uint8_t>(ink ? 0xFF : 0)};
  });
}

}  // namespace tav::test
