// Loading pictures and picture lists: lookup by name, Textures.ini settings and the
// fatal reports for files that cannot be used.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/log.h"
#include "render/bitmap_font.h"
#include "render/texture_catalogue.h"
#include "tools/pkgtool/package_writer.h"
#include "tests/render/render_test_support.h"

namespace tav::test {
namespace {

using TextureCatalogueTest = RenderTest;

TEST_F(TextureCatalogueTest, SameNameInOtherCaseIsLoadedOnce) {
  WriteDataFile("circle.tga", MakeTga(4, 4, 24));
  Texture& first = TextureCatalogue::Instance().Get("circle.tga");
  Texture& again = TextureCatalogue::Instance().Get("CIRCLE.TGA");
  EXPECT_EQ(&first, &again);
  EXPECT_EQ(renderer_.CreatedTextureCount(), 1);
  EXPECT_EQ(first.ActionCount(), 1);
  EXPECT_EQ(first.FirstActionName(), "Loop");
  EXPECT_EQ(first.currentActionName, "Loop");
  EXPECT_EQ(first.Width(), 4);
  EXPECT_EQ(first.BitsPerPixel(), 24);
}

TEST_F(TextureCatalogueTest, TexturesIniSectionsAndDefaults) {
  WriteTexturesIni(
      "[Defaults]\r\nFilter = linear\r\nMode = dynamic\r\nCollision = false\r\n"
      "BlendMode = multiply\r\nBoundingBox_x1 = 9\r\n"
      "[glow.tga]\r\nBlendMode = Multiply\r\nBoundingBox_x2 = 12\r\nBoundingBox_y2 = x7\r\n"
      "[flat.tga]\r\nFilter = nearest\r\nBlendMode = normal\r\n"
      "[odd.tga]\r\nFilter = blurry\r\nBlendMode = shiny\r\n");
  WriteDataFile("plain32.tga", MakeTga(2, 2, 32));
  WriteDataFile("plain24.tga", MakeTga(2, 2, 24));
  WriteDataFile("glow.tga", MakeTga(2, 2, 32));
  WriteDataFile("flat.tga", MakeTga(2, 2, 24));
  WriteDataFile("odd.tga", MakeTga(2, 2, 32));
  auto& catalogue = TextureCatalogue::Instance();

  // Without a section: Filter, Mode and Collision from Defaults, never BlendMode
  // or the bounding box; the blend follows the depth.
  Texture& plain32 = catalogue.Get("plain32.tga");
  EXPECT_EQ(plain32.filter, kFilterLinear);
  EXPECT_EQ(plain32.mode, 1);
  EXPECT_EQ(plain32.collision, 0);
  EXPECT_EQ(plain32.blendMode, kBlendNormal);
  EXPECT_EQ(plain32.boundingBox[0], 0);
  EXPECT_EQ(catalogue.Get("plain24.tga").blendMode, kBlendNone);

  Texture& glow = catalogue.Get("GLOW.tga");
  EXPECT_EQ(glow.blendMode, kBlendMultiply);
  EXPECT_EQ(glow.boundingBox[2], 12);
  EXPECT_EQ(glow.boundingBox[3], 0);  // not a number: left as it was

  Texture& flat = catalogue.Get("flat.tga");
  EXPECT_EQ(flat.filter, kFilterNearest);
  EXPECT_EQ(flat.blendMode, kBlendNormal);

  // Unknown words leave the fields as they were.
  Texture& odd = catalogue.Get("odd.tga");
  EXPECT_EQ(odd.filter, kFilterNearest);
  EXPECT_EQ(odd.blendMode, kBlendNormal);
}

TEST_F(TextureCatalogueTest, PictureListOfTwoActionsMakesOneTexturePerFrame) {
  WriteDataFile("clock.spt", MakeSpt(3, 2, 24, {{"Spin", 4}, {"Stop", 1}}, 0.1f));
  Texture& clock = TextureCatalogue::Instance().Get("clock.spt");
  EXPECT_EQ(renderer_.CreatedTextureCount(), 5);
  ASSERT_EQ(clock.ActionCount(), 2);
  EXPECT_EQ(clock.Action(0)->frames.size(), 4u);
  EXPECT_EQ(clock.Action(1)->frames.size(), 1u);
  EXPECT_EQ(clock.FindAction("STOP"), clock.Action(1));
  EXPECT_EQ(clock.Action(2), nullptr);
  EXPECT_EQ(clock.FirstActionName(), "Spin");
  EXPECT_FLOAT_EQ(clock.frameDuration, 0.1f);
  EXPECT_EQ(clock.mode, 1);
  EXPECT_EQ(clock.collision, 0);
  EXPECT_EQ(clock.boundingBox[0], 1);
  EXPECT_EQ(clock.boundingBox[3], 4);
  // Each frame was made from its own bytes: the read position advanced by exactly
  // one frame after every frame and one action header after every action.
  for (int frame = 0; frame < 4; ++frame) {
    const RecordedTexture* recorded =
        renderer_.FindTexture(clock.Action(0)->frames[static_cast<size_t>(frame)].glName);
    ASSERT_NE(recorded, nullptr);
    EXPECT_EQ(recorded->pixels, std::vector<uint8_t>(18, static_cast<uint8_t>(frame + 1)));
  }
  EXPECT_EQ(renderer_.FindTexture(clock.Action(1)->frames[0].glName)->pixels,
            std::vector<uint8_t>(18, 5));

  TextureCatalogue::Instance().Clear();
  EXPECT_EQ(renderer_.DestroyedTextureCount(), 5);
  EXPECT_TRUE(renderer_.LiveTextures().empty());
}

TEST_F(TextureCatalogueTest, NegativeFrameCountMeansNoFrames) {
  // 200 as a signed byte is negative: the action has no frames and no bytes.
  std::vector<uint8_t> bytes = MakeSpt(2, 2, 32, {{"Gone", 0}, {"Here", 1}});
  bytes[60 + 32] = 200;
  WriteDataFile("empty.spt", bytes);
  Texture& texture = TextureCatalogue::Instance().Get("empty.spt");
  EXPECT_TRUE(texture.Action(0)->frames.empty());
  EXPECT_EQ(texture.Action(1)->frames.size(), 1u);
}

// Each bad file is a fatal report with its exact text, and leaves nothing behind.
TEST_F(TextureCatalogueTest, UnusableFilesAreFatalWithTheirMessages) {
  auto expectFatal = [&](const std::string& name, const std::string& message) {
    SetErrorsRaise(true);
    EXPECT_THROW(TextureCatalogue::Instance().Get(name), FatalError) << name;
    EXPECT_NE(LogText().find("ERROR: " + message + "\n"), std::string::npos) << LogText();
    EXPECT_EQ(TextureCatalogue::Instance().Count(), 0u);
    EXPECT_TRUE(renderer_.LiveTextures().empty());
  };
  expectFatal("picture", "Unkown texture format picture.");
  expectFatal("picture.png", "Unkown texture format picture.png.");
  expectFatal("Data\\dir.tga\\x", "Unkown texture format Data\\dir.tga\\x.");
  expectFatal("missing.tga", "Failed to open texture missing.tga.");

  WriteDataFile("deep.tga", MakeTga(2, 2, 16, [](int, int) { return Bgra{}; }));
  expectFatal("deep.tga", "Failed to generate texture deep.tga");

  auto spt = MakeSpt(2, 2, 32, {{"Loop", 3}});
  auto badMagic = spt;
  badMagic[17] = 'X';
  WriteDataFile("magic.spt", badMagic);
  expectFatal("magic.spt", "Invalid .spt header magic.spt.");
  WriteDataFile("short.spt", std::vector<uint8_t>(spt.begin(), spt.begin() + 40));
  expectFatal("short.spt", "Invalid .spt header short.spt.");

  // A file cut inside its second frame: nothing is read past the end, and the
  // first frame's texture is freed again.
  WriteDataFile("cut.spt", std::vector<uint8_t>(spt.begin(), spt.end() - 20));
  expectFatal("cut.spt", "Failed to generate texture cut.spt");
  auto hugeFrames = spt;
  hugeFrames[20] = 0xff;
  hugeFrames[21] = 0xff;
  hugeFrames[22] = 0xff;
  hugeFrames[23] = 0x7f;
  WriteDataFile("huge.spt", hugeFrames);
  expectFatal("huge.spt", "Failed to generate texture huge.spt");
  auto manyActions = spt;
  manyActions[35] = 0x7f;
  WriteDataFile("many.spt", manyActions);
  expectFatal("many.spt", "Invalid .spt header many.spt.");
}

TEST_F(TextureCatalogueTest, FailedLoadIsRetriedOnceTheFileExists) {
  SetErrorsRaise(false);
  Texture& missing = TextureCatalogue::Instance().Get("late.tga");
  EXPECT_EQ(missing.ActionCount(), 0);
  EXPECT_EQ(TextureCatalogue::Instance().Count(), 0u);
  WriteDataFile("late.tga", MakeTga(2, 2, 32));
  EXPECT_EQ(TextureCatalogue::Instance().Get("late.tga").ActionCount(), 1);
}

}  // namespace
}  // namespace tav::test

namespace tav::test {
namespace {

// The twice-size set: pictures remade in place from whichever set is in use, sizes in
// game units throughout, and only one set's textures held at a time.
TEST_F(TextureCatalogueTest, TwiceSizeSetReplacesPicturesInPlaceAndReleasesTheOtherSet) {
  auto& catalogue = TextureCatalogue::Instance();
  WriteDataFile("circle.tga", MakeTga(4, 4, 24));
  WriteDataFile("wrong.tga", MakeTga(3, 3, 32));
  WriteDataFile("late.tga", MakeTga(2, 1, 32));
  WriteDataFile("font.tga", MakeTga(32, 32, 32, [](int x, int) {
                  return Bgra{255, 255, 255, uint8_t(x % 2 == 0 ? 255 : 0)};
                }));
  // The twice-size pictures, one of them not twice its own size.
  const auto sharp = folder_.Path() / "sharp";
  std::filesystem::create_directories(sharp);
  const auto write = [&](const char* name, const std::vector<uint8_t>& bytes) {
    std::ofstream((sharp / name).string(), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return (sharp / name).string();
  };
  const std::string package = (folder_.Data() / "data@2x.pkg").string();
  std::string error;
  ASSERT_TRUE(WritePackage(package,
                           {write("circle.tga", MakeTga(8, 8, 24)),
                            write("wrong.tga", MakeTga(5, 5, 32)),
                            write("late.tga", MakeTga(4, 2, 32)),
                            write("font.tga", MakeTga(64, 64, 32))},
                           &error))
      << error;
  EXPECT_FALSE(catalogue.SharpSetPresent()) << "no package named yet";
  catalogue.SetSharpPackage((folder_.Data() / "missing@2x.pkg").string());
  EXPECT_FALSE(catalogue.SharpSetPresent());
  catalogue.SetSharpPackage(package);
  EXPECT_TRUE(catalogue.SharpSetPresent());

  Texture& circle = catalogue.Get("circle.tga");
  Texture& wrong = catalogue.Get("wrong.tga");
  BitmapFont font;
  font.Load("font.tga");
  const Glyph glyph = font.GetGlyph('A');
  const auto textureWidth = [&](const Texture& texture) {
    const RecordedTexture* made =
        renderer_.FindTexture(texture.actions.front()->frames.front().glName);
    return made ? made->width : -1;
  };
  ASSERT_EQ(renderer_.LiveTextures().size(), 3u);

  catalogue.UsePictureScale(2);
  font.UsePictureScale(2);
  EXPECT_EQ(circle.scale, 2);
  EXPECT_EQ(circle.Width(), 4) << "sizes stay in game units";
  EXPECT_EQ(textureWidth(circle), 8);
  EXPECT_EQ(wrong.scale, 1) << "a picture of the wrong size keeps its own";
  EXPECT_EQ(textureWidth(wrong), 3);
  EXPECT_NE(LogText().find("wrong.tga is 5x5"), std::string::npos) << LogText();
  EXPECT_EQ(font.GetGlyph('A').width, glyph.width) << "font metrics stay the game's";
  font.PrintText(0, 0, "A");
  ASSERT_NE(renderer_.FindTexture(renderer_.BoundTexture()), nullptr);
  EXPECT_EQ(renderer_.FindTexture(renderer_.BoundTexture())->width, 64);
  // A picture first asked for now comes from the set in use, uploaded once; so does a
  // font loaded now.
  const int createdBefore = renderer_.CreatedTextureCount();
  Texture& late = catalogue.Get("late.tga");
  BitmapFont lateFont;
  lateFont.Load("font.tga");
  EXPECT_EQ(renderer_.CreatedTextureCount() - createdBefore, 2);
  lateFont.PrintText(0, 0, "A");
  ASSERT_NE(renderer_.FindTexture(renderer_.BoundTexture()), nullptr);
  EXPECT_EQ(renderer_.FindTexture(renderer_.BoundTexture())->width, 64);
  lateFont.Release();
  EXPECT_EQ(late.scale, 2);
  EXPECT_EQ(late.Height(), 1);
  EXPECT_EQ(textureWidth(late), 4);
  EXPECT_EQ(renderer_.LiveTextures().size(), 4u) << "the other set's textures are released";

  catalogue.UsePictureScale(1);
  font.UsePictureScale(1);
  EXPECT_EQ(textureWidth(circle), 4);
  EXPECT_EQ(textureWidth(late), 2);
  EXPECT_EQ(circle.scale, 1);
  EXPECT_EQ(renderer_.LiveTextures().size(), 4u);
  font.Release();
}

}  // namespace
}  // namespace tav::test
