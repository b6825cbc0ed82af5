// The bitmap font on a font picture drawn by the test: glyph metrics for both
// renderer kinds, the pen advance, line breaks, the shadow and the text bound.
#include <gtest/gtest.h>

#include <string>

#include "base/log.h"
#include "render/bitmap_font.h"
#include "tests/render/render_test_support.h"

namespace tav::test {
namespace {

// A 128x128 picture of 8x8 cells: 'A' is visible in columns 2-4 of its cell,
// 'B' in column 3 only, every other cell is empty.
std::vector<uint8_t> MakeFontPicture(int bits = 32) {
  return MakeTga(128, 128, bits, [](int x, int yFromTop) {
    const int code = (yFromTop / 8) * 16 + x / 8;
    const int column = x % 8;
    const bool visible =
        (code == 'A' && column >= 2 && column <= 4) || (code == 'B' && column == 3);
    return Bgra{255, 255, 255, uint8_t(visible ? 200 : 0)};
  });
}

class BitmapFontTest : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    WriteDataFile("font.tga", MakeFontPicture());
  }
  std::vector<RecordedCall> PrintAndRecord(BitmapFont& font, const std::string& text) {
    renderer_.ClearCalls();
    font.PrintText(100, 200, text);
    return renderer_.Draws();
  }
};

TEST_F(BitmapFontTest, OpenGLGlyphMetricsComeFromTheAlphaColumns) {
  BitmapFont font;
  font.Load("font.tga");
  EXPECT_EQ(font.CellSize(), 8);
  const Glyph& a = font.GetGlyph('A');
  // 'A' sits in grid row 4, column 1: picture columns 10-12, rows 88-95 from the bottom.
  EXPECT_FLOAT_EQ(a.width, 4);
  EXPECT_FLOAT_EQ(a.height, 9);
  EXPECT_FLOAT_EQ(a.uLeft, 9.0f / 128);
  EXPECT_FLOAT_EQ(a.uRight, 13.0f / 128);
  EXPECT_FLOAT_EQ(a.vBottom, 1.0f - 88.0f / 128 + 1.0f / 128);
  EXPECT_FLOAT_EQ(a.vTop, 1.0f - 96.0f / 128);
  EXPECT_FLOAT_EQ(font.GetGlyph('B').width, 2);
  EXPECT_EQ(font.GetGlyph('C').width, 0);
}

TEST_F(BitmapFontTest, Direct3DGlyphsAreWiderButAdvanceTheSame) {
  RecordingRenderer direct3d(kRendererD3D8);
  SetRenderer(&direct3d);
  BitmapFont font;
  font.Load("font.tga");
  const Glyph& a = font.GetGlyph('A');
  EXPECT_FLOAT_EQ(a.width, 5);
  EXPECT_FLOAT_EQ(a.height, 8);
  EXPECT_FLOAT_EQ(a.vBottom, 1.0f - 88.0f / 128);
  EXPECT_FLOAT_EQ(a.vTop, 1.0f - 96.0f / 128 + 1.0f / 128);
  font.SetMetrics(1, 5, 15);
  EXPECT_EQ(font.TextWidth("AB"), (4 + 1) + (2 + 1));  // as with OpenGL
  font.Release();
  SetRenderer(&renderer_);
}

TEST_F(BitmapFontTest, PenAdvancesByWidthSpacingAndSpace) {
  BitmapFont font;
  font.Load("font.tga");
  font.SetMetrics(1, 5, 15);
  auto draws = PrintAndRecord(font, "A B");
  ASSERT_EQ(draws.size(), 2u);
  EXPECT_FLOAT_EQ(draws[0].vertices[0].x, 100);
  EXPECT_FLOAT_EQ(draws[0].vertices[1].x, 104);
  EXPECT_FLOAT_EQ(draws[0].vertices[2].y, 209);
  EXPECT_FLOAT_EQ(draws[1].vertices[0].x, 100 + 4 + 1 + 5);
  EXPECT_EQ(font.TextWidth("A B"), 4 + 1 + 5 + 2 + 1);
  EXPECT_EQ(font.TextWidth(""), 0);
  // The texture, normal blending and nearest filtering are set for the print.
  EXPECT_EQ(renderer_.CallsNamed("SetBlendMode").back().mode, kBlendNormal);
  EXPECT_EQ(renderer_.CallsNamed("SetFilter").back().mode, kFilterNearest);
  EXPECT_EQ(draws[0].boundTexture, renderer_.CallsNamed("BindTexture").back().texture);

  // A line feed starts again at x one line lower; an empty cell draws nothing
  // and moves the pen by the letter spacing only.
  draws = PrintAndRecord(font, "AB\nB\x01" "A");
  ASSERT_EQ(draws.size(), 4u);
  EXPECT_FLOAT_EQ(draws[2].vertices[0].x, 100);
  EXPECT_FLOAT_EQ(draws[2].vertices[0].y, 185);
  EXPECT_FLOAT_EQ(draws[3].vertices[0].x, 100 + 3 + 1);

  // Spacing and space width are truncated into the whole-number pen.
  font.SetMetrics(0.5f, 2.7f, 15);
  draws = PrintAndRecord(font, "A A");
  EXPECT_FLOAT_EQ(draws[1].vertices[0].x, 100 + 4 + 2);
}

// Texts are UTF-8: a letter of the Latin Extended-A rows is drawn from its own
// cell, one the picture lacks as its plain letter, anything else as '?'.
TEST_F(BitmapFontTest, LettersBeyondLatin1UseTheirRowsOrTheirPlainLetter) {
  // 128x192: 24 rows of 8x8 cells; 'Z', '?' and U+017B (Z with dot above) drawn.
  WriteDataFile("wide.tga", MakeTga(128, 192, 32, [](int x, int yFromTop) {
    const int code = (yFromTop / 8) * 16 + x / 8;
    const int column = x % 8;
    const bool visible = (code == 'Z' && column <= 5 && column >= 1) ||
                         (code == '?' && column == 2) || (code == 0x17B && column == 4);
    return Bgra{255, 255, 255, uint8_t(visible ? 200 : 0)};
  }));
  BitmapFont font;
  font.Load("wide.tga");
  font.SetMetrics(1, 5, 15);
  EXPECT_EQ(font.CellFor(0x17B), 0x17Bu);
  EXPECT_EQ(font.CellFor(0x179), static_cast<uint32_t>('Z'));  // Z with acute: no glyph
  EXPECT_EQ(font.CellFor(0x20AC), static_cast<uint32_t>('?'));  // the euro sign
  // "Ż", "Ź", "€" and a broken byte: four quads, none left out.
  auto draws = PrintAndRecord(font, "\xC5\xBB\xC5\xB9\xE2\x82\xAC\xC5");
  ASSERT_EQ(draws.size(), 4u);
  // U+017B sits in grid row 23 (the picture's bottom row), column 11.
  EXPECT_FLOAT_EQ(draws[0].vertices[0].v, 1.0f - 0.0f / 192 + 1.0f / 128);
  EXPECT_FLOAT_EQ(draws[0].vertices[0].u, (11 * 8 + 4) / 128.0f - 1.0f / 128);
  EXPECT_FLOAT_EQ(draws[1].vertices[0].u, font.GetGlyph('Z').uLeft);
  EXPECT_FLOAT_EQ(draws[2].vertices[0].u, font.GetGlyph('?').uLeft);
  EXPECT_EQ(font.TextWidth("\xC5\xB9"), font.TextWidth("Z"));
}

TEST_F(BitmapFontTest, ShadowIsABlackCopyOneDownRight) {
  BitmapFont font;
  font.Load("font.tga");
  font.SetColor(1.0, 0.5, 0.25, 0.8);
  renderer_.ClearCalls();
  font.PrintWithShadow(10, 10, "%c", 'A');
  auto draws = renderer_.Draws();
  ASSERT_EQ(draws.size(), 2u);
  EXPECT_FLOAT_EQ(draws[0].vertices[0].x, 11);
  EXPECT_FLOAT_EQ(draws[0].vertices[0].y, 9);
  EXPECT_EQ(draws[0].red + draws[0].green + draws[0].blue, 0.0f);
  EXPECT_FLOAT_EQ(draws[0].alpha, 0.8f);
  EXPECT_FLOAT_EQ(draws[1].vertices[0].x, 10);
  EXPECT_FLOAT_EQ(draws[1].green, 0.5f);
  // The colour is unchanged afterwards.
  renderer_.ClearCalls();
  font.Print(0, 0, "A");
  EXPECT_FLOAT_EQ(renderer_.Draws()[0].blue, 0.25f);
}

TEST_F(BitmapFontTest, FormattedTextIsCutAt1023Characters) {
  BitmapFont font;
  font.Load("font.tga");
  const std::string longText(3000, 'A');
  renderer_.ClearCalls();
  font.Print(0, 0, "%s%s", longText.c_str(), "B");
  EXPECT_EQ(renderer_.Draws().size(), BitmapFont::kMaxText);
  renderer_.ClearCalls();
  font.PrintText(0, 0, longText);
  EXPECT_EQ(renderer_.Draws().size(), BitmapFont::kMaxText);
}

TEST_F(BitmapFontTest, LoadFailuresAreFatal) {
  BitmapFont font;
  EXPECT_THROW(font.Load("nofont.tga"), FatalError);
  EXPECT_NE(LogText().find("ERROR: Failed to open font-texture nofont.tga.\n"),
            std::string::npos);

  WriteDataFile("font24.tga", MakeFontPicture(24));
  SetErrorsRaise(true);
  EXPECT_THROW(font.Load("font24.tga"), FatalError);
  EXPECT_NE(LogText().find("ERROR: Font BPP != 32.\n"), std::string::npos);
  EXPECT_FALSE(font.IsLoaded());
  EXPECT_TRUE(renderer_.LiveTextures().empty());

  WriteDataFile("font16.tga", MakeTga(16, 16, 16, [](int, int) { return Bgra{}; }));
  SetErrorsRaise(true);
  EXPECT_THROW(font.Load("font16.tga"), FatalError);
  EXPECT_NE(LogText().find("ERROR: Failed to generate font-texture font16.tga.\n"),
            std::string::npos);

  // A picture narrower than 16 pixels has no cells: it loads with empty glyphs
  // instead of scanning forever.
  WriteDataFile("tiny.tga", MakeTga(8, 8, 32));
  font.Load("tiny.tga");
  EXPECT_TRUE(font.IsLoaded());
  EXPECT_EQ(font.GetGlyph('A').width, 0);
}

}  // namespace
}  // namespace tav::test
