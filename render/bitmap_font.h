// Proportional text from one 32-bit font picture of 16x16 character cells; each
// glyph's width comes from the alpha columns of its cell.
#pragma once

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

  // The shared game font ("xFont.tga"), loaded by the application set-up.
  static BitmapFont& Shared();

  ~BitmapFont();
  void Load(const std::string& pictureName);  // failures are fatal reports
  void Release();                             // frees the texture (before renderer shutdown)
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
  float LineHeight() const { return lineHeight_; }
  float SpaceWidth() const { return spaceWidth_; }
  float LetterSpacing() const { return letterSpacing_; }
  bool IsLoaded() const { return loaded_; }
  float CellSize() const { return cellSize_; }

 private:
  void DrawText(float x, float y, std::string_view text);
  // How far the pen moves after the glyph of `code` (not for space or line feed).
  float Advance(unsigned char code) const;

  Glyph glyphs_[256];
  RendererTexture texture_;
  bool loaded_ = false;
  float spaceWidth_ = 15;
  float letterSpacing_ = 1;
  float lineHeight_ = 25;
  float cellSize_ = 0;
  double red_ = 1, green_ = 1, blue_ = 1, alpha_ = 1;
};

}  // namespace tav
