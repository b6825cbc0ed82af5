// The bitmap font: glyph metrics scanned from the alpha channel of a 16x16 grid of
// character cells, and text drawn one quad per character.
#include "render/bitmap_font.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "base/log.h"
#include "base/package_file_system.h"
#include "base/utf8.h"
#include "render/texture_catalogue.h"

namespace tav {

namespace {
constexpr size_t kTgaHeaderSize = 18;
constexpr int kGridSize = BitmapFont::kGridColumns;
}  // namespace

// Never destroyed, for the same reason as the texture catalogue: Release() runs
// before the renderer shuts down, a destructor at process exit might run after.
BitmapFont& BitmapFont::Shared() {
  static BitmapFont* font = new BitmapFont();
  return *font;
}

BitmapFont::~BitmapFont() { Release(); }

void BitmapFont::Release() {
  if (loaded_ && GetRenderer() != nullptr) GetRenderer()->DestroyTexture(texture_);
  texture_ = RendererTexture();
  loaded_ = false;
  scale_ = 1;
}

void BitmapFont::Load(const std::string& pictureName) {
  Release();
  for (Glyph& glyph : glyphs_) glyph = Glyph();
  cellSize_ = 0;

  MemoryFile file;
  if (!file.Open(pictureName)) {
    ReportFatal("Failed to open font-texture %s.", pictureName.c_str());
    return;
  }
  Renderer* renderer = GetRenderer();
  int width = 0, height = 0, bits = 0, madeScale = 1;
  if (renderer == nullptr ||
      !TextureCatalogue::Instance().MakeTextureInUse(pictureName, file.Data(), file.Size(),
                                                     &width, &height, &bits, &madeScale,
                                                     texture_)) {
    texture_ = RendererTexture();
    ReportFatal("Failed to generate font-texture %s.", pictureName.c_str());
    return;
  }
  loaded_ = true;
  pictureName_ = pictureName;
  pictureWidth_ = width;
  pictureHeight_ = height;
  scale_ = madeScale;
  if (bits != 32) {
    Release();
    ReportFatal("Font BPP != 32.");
    return;
  }

  const int cell = width / kGridSize;
  cellSize_ = static_cast<float>(cell);
  // A picture narrower than the grid has no cells to scan.
  if (cell <= 0 || height <= 0) {
    LogLine("WARNING: Font picture %s is too small for 16x16 cells.\n", pictureName.c_str());
    return;
  }

  // Alpha of the file's own pixels, rows bottom first as stored. Pixels the file
  // does not actually hold count as invisible.
  const uint8_t* pixels = file.Data() + std::min<size_t>(kTgaHeaderSize, file.Size());
  const size_t pixelBytes = file.Size() > kTgaHeaderSize ? file.Size() - kTgaHeaderSize : 0;
  auto alphaAt = [&](int column, int rowFromBottom) -> uint8_t {
    size_t offset =
        (static_cast<size_t>(rowFromBottom) * static_cast<size_t>(width) + column) * 4 + 3;
    return offset < pixelBytes ? pixels[offset] : 0;
  };

  const bool direct3d = renderer->Kind() == kRendererD3D8;
  const float w = static_cast<float>(width);
  const float h = static_cast<float>(height);
  const float texel = 1.0f / w;
  // The rows count from the picture's top; a picture of 16 rows holds Latin-1 only.
  const int gridRows = std::min(height / cell, kMaxGridRows);
  for (int y0 = 0; y0 < height; y0 += cell) {
    const int gridRow = gridRows - 1 - y0 / cell;
    if (gridRow < 0) break;  // rows beyond the last have no character
    for (int x0 = 0; x0 < width; x0 += cell) {
      const int gridColumn = x0 / cell;
      if (gridColumn >= kGridSize) break;
      int minX = -1, maxX = -1;
      for (int row = y0; row < std::min(y0 + cell, height); ++row) {
        for (int column = x0; column < std::min(x0 + cell, width); ++column) {
          if (alphaAt(column, row) == 0) continue;
          if (minX < 0 || column < minX) minX = column;
          if (column > maxX) maxX = column;
        }
      }
      Glyph& glyph = glyphs_[gridRow * kGridSize + gridColumn];
      if (minX < 0) continue;  // an empty cell: width 0, never drawn
      glyph.uLeft = minX / w - texel;
      glyph.uRight = maxX / w + texel;
      if (direct3d) {
        glyph.width = static_cast<float>(maxX - minX + 3);
        glyph.vBottom = 1.0f - y0 / h;
        glyph.vTop = 1.0f - (y0 + cell) / h + texel;
        glyph.height = static_cast<float>(cell);
      } else {
        glyph.width = static_cast<float>(maxX - minX + 2);
        glyph.vBottom = 1.0f - y0 / h + texel;
        glyph.vTop = 1.0f - (y0 + cell) / h;
        glyph.height = static_cast<float>(cell + 1);
      }
    }
  }
}

void BitmapFont::UsePictureScale(int scale) {
  Renderer* renderer = GetRenderer();
  if (!loaded_ || renderer == nullptr || scale == scale_) return;
  RendererTexture made;
  if (!TextureCatalogue::Instance().MakePictureTexture(pictureName_, scale, pictureWidth_,
                                                       pictureHeight_, 32, made)) {
    return;
  }
  renderer->DestroyTexture(texture_);
  texture_ = made;
  scale_ = scale == 2 ? 2 : 1;
}

void BitmapFont::SetMetrics(float letterSpacing, float spaceWidth, float lineHeight) {
  letterSpacing_ = letterSpacing;
  spaceWidth_ = spaceWidth;
  lineHeight_ = lineHeight;
}

void BitmapFont::SetColor(double red, double green, double blue, double alpha) {
  red_ = red;
  green_ = green;
  blue_ = blue;
  alpha_ = alpha;
}

// The Direct3D glyphs are one unit wider, so their advance takes one off: both
// kinds move the pen by the same amount. An empty cell moves it by the spacing.
float BitmapFont::Advance(uint32_t code) const {
  const Glyph& glyph = glyphs_[code];
  if (glyph.width <= 0) return letterSpacing_;
  Renderer* renderer = GetRenderer();
  bool direct3d = renderer != nullptr && renderer->Kind() == kRendererD3D8;
  return glyph.width + letterSpacing_ - (direct3d ? 1.0f : 0.0f);
}

void BitmapFont::DrawText(float x, float y, std::string_view text) {
  Renderer* renderer = GetRenderer();
  if (!loaded_ || renderer == nullptr) return;
  text = text.substr(0, kMaxText);
  renderer->BindTexture(texture_);
  renderer->SetBlendMode(kBlendNormal);
  renderer->SetFilter(kFilterNearest);
  const float red = static_cast<float>(red_), green = static_cast<float>(green_),
              blue = static_cast<float>(blue_), alpha = static_cast<float>(alpha_);
  int pen = 0;
  for (size_t pos = 0; pos < text.size();) {
    const uint32_t code = CellFor(NextUtf8Letter(text, &pos));
    if (code == ' ') {
      pen = static_cast<int>(pen + spaceWidth_);
    } else if (code == '\n') {
      y -= lineHeight_;
      pen = 0;
    } else {
      const Glyph& glyph = glyphs_[code];
      if (glyph.width > 0) {
        const float left = x + pen;
        const Vertex corners[4] = {{left, y, glyph.uLeft, glyph.vBottom},
                                   {left + glyph.width, y, glyph.uRight, glyph.vBottom},
                                   {left + glyph.width, y + glyph.height, glyph.uRight,
                                    glyph.vTop},
                                   {left, y + glyph.height, glyph.uLeft, glyph.vTop}};
        renderer->DrawQuad(corners, red, green, blue, alpha);
      }
      pen = static_cast<int>(pen + Advance(code));
    }
  }
}

void BitmapFont::PrintText(float x, float y, std::string_view text) { DrawText(x, y, text); }

void BitmapFont::PrintTextWithShadow(float x, float y, std::string_view text) {
  const double red = red_, green = green_, blue = blue_;
  red_ = green_ = blue_ = 0.0;
  DrawText(x + 1.0f, y - 1.0f, text);
  red_ = red;
  green_ = green;
  blue_ = blue;
  DrawText(x, y, text);
}

// Formats into the fixed buffer; the text is cut at kMaxText characters.
static std::string_view FormatText(char (&buffer)[BitmapFont::kMaxText + 1], const char* format,
                                   va_list arguments) {
  int length = std::vsnprintf(buffer, sizeof buffer, format, arguments);
  if (length < 0) return std::string_view();
  return std::string_view(buffer, std::min<size_t>(static_cast<size_t>(length),
                                                   BitmapFont::kMaxText));
}

void BitmapFont::Print(float x, float y, const char* format, ...) {
  char buffer[kMaxText + 1];
  va_list arguments;
  va_start(arguments, format);
  std::string_view text = FormatText(buffer, format, arguments);
  va_end(arguments);
  DrawText(x, y, text);
}

void BitmapFont::PrintWithShadow(float x, float y, const char* format, ...) {
  char buffer[kMaxText + 1];
  va_list arguments;
  va_start(arguments, format);
  std::string_view text = FormatText(buffer, format, arguments);
  va_end(arguments);
  PrintTextWithShadow(x, y, text);
}

uint32_t BitmapFont::CellFor(uint32_t letter) const {
  auto drawable = [this](uint32_t code) {
    return code < static_cast<uint32_t>(kGlyphCount) && glyphs_[code].width > 0;
  };
  // Space and line feed have no glyph; they move the pen instead.
  if (letter == ' ' || letter == '\n' || drawable(letter)) return letter;
  const uint32_t plain = PlainLetter(letter);
  if (plain != 0 && drawable(plain)) return plain;
  // Control bytes stay what they are (an empty cell) as they always were.
  return letter < 0x20 ? letter : '?';
}

int BitmapFont::TextWidth(std::string_view text) const {
  int pen = 0;
  for (size_t pos = 0; pos < text.size();) {
    const uint32_t code = CellFor(NextUtf8Letter(text, &pos));
    if (code == ' ') pen = static_cast<int>(pen + spaceWidth_);
    else pen = static_cast<int>(pen + Advance(code));
  }
  return pen;
}

}  // namespace tav
