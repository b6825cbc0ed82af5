// Proportional text from one 32-bit font picture of character cells, 16 to a
// row; each glyph's width comes from the alpha columns of its cell. Texts are
// UTF-8: the cell of a letter is its code (rows 0 to 15 Latin-1, rows 16 to 23
// Latin Extended-A, U+0100 to U+017F); a letter without a glyph is drawn as its
// nearest plain letter (Z for Z with dot above), anything else as '?', so no
// letter of a name is ever left out.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "render/renderer.h"

namespace tav {

struct Glyph {
  float uLeft = 0, vBottom = 0, uRight = 0, vTop = 0;
  float width = 0, height = 0;
};

class BitmapFont {
 public:
  static constexpr size_t kMaxText = 1023;
  static constexpr int kGridColumns = 16;
  static constexpr int kMaxGridRows = 24;
  static constexpr int kGlyphCount = kGridColumns * kMaxGridRows;

  // The shared game font ("xFont.tga"), loaded by the application set-up.
  static BitmapFont& Shared();

  ~BitmapFont();
  void Load(const std::string& pictureName);  // failures are fatal reports
  void Release();                             // frees the texture (before renderer shutdown)
  // Makes the font's texture from the picture set of `scale` (see TextureCatalogue):
  // the metrics stay those of the game's own picture, in game units. A twice-size
  // picture that is missing or of a wrong size leaves the texture as it is (logged).
  void UsePictureScale(int scale);
  void SetMetrics(float letterSpacing, float spaceWidth, float lineHeight);
  void SetColor(double red, double green, double blue, double alpha);

  // printf-style; the formatted text is cut at 1023 characters.
  void Print(float x, float y, const char* format, ...) __attribute__((format(printf, 4, 5)));
  void PrintWithShadow(float x, float y, const char* format, ...)
      __attribute__((format(printf, 4, 5)));
  // Draws the text literally (no formatting). Texts longer than kMaxText are cut.
  void PrintText(float x, float y, std::string_view text);
  void PrintTextWithShadow(float x, float y, std::string_view text);
  // The pen advance of the text as one line (a line feed counts like a letter).
  int TextWidth(std::string_view text) const;

  const Glyph& GetGlyph(unsigned char code) const { return glyphs_[code]; }
  // The cell a letter is drawn with: its own when it has a glyph, else its
  // plain letter's, else '?'.
  uint32_t CellFor(uint32_t letter) const;
  float LineHeight() const { return lineHeight_; }
  float SpaceWidth() const { return spaceWidth_; }
  float LetterSpacing() const { return letterSpacing_; }
  bool IsLoaded() const { return loaded_; }
  float CellSize() const { return cellSize_; }

 private:
  void DrawText(float x, float y, std::string_view text);
  // How far the pen moves after the glyph of cell `code` (not for space or line feed).
  float Advance(uint32_t code) const;

  Glyph glyphs_[kGlyphCount];
  RendererTexture texture_;
  bool loaded_ = false;
  // The loaded picture, in game units, and the set its texture was made from.
  std::string pictureName_;
  int pictureWidth_ = 0;
  int pictureHeight_ = 0;
  int scale_ = 1;
  float spaceWidth_ = 15;
  float letterSpacing_ = 1;
  float lineHeight_ = 25;
  float cellSize_ = 0;
  double red_ = 1, green_ = 1, blue_ = 1, alpha_ = 1;
};

}  // namespace tav
