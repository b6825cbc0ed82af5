// The built pictures through the game's own loaders and OpenGL renderer, in a real
// window inside a virtual X server: the game screen with all nine piece kinds and a
// burst, the menu, the intro and every dialog are composed at their screen places and
// saved as screenshots (build/tests/picture_scenes/*.tga) for review; the pixels read
// back check that pieces come out upright and in their colours and that Textures.ini's
// additive glows are drawn additively.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "base/log.h"
#include "base/package_file_system.h"
#include "render/bitmap_font.h"
#include "render/sprite.h"
#include "render/texture_catalogue.h"
#include "tests/support/gl_frame.h"

namespace fs = std::filesystem;

namespace tav {
namespace {

using test::Rgb;

class PictureScene : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // A base directory of our own with Data/Textures.ini, so the run leaves the game
    // folder alone; the package is registered by its full path.
    const fs::path base = fs::path(TAV_BINARY_DIR) / "tests" / "picture_scene_base";
    fs::create_directories(base / "Data");
    fs::copy_file(fs::path(TAV_DATA_DIR) / "Textures.ini", base / "Data" / "Textures.ini",
                  fs::copy_options::overwrite_existing);
    LogStart(base.string());
    SetErrorsRaise(true);
    PackageFileSystem::ClearPackages();
    PackageFileSystem::AddPackage(std::string(TAV_DATA_DIR) + "/data.pkg");
    window_.Open(50);
    BitmapFont::Shared().Load("xFont.tga");
    BitmapFont::Shared().SetMetrics(1, 5, 15);
  }
  static void TearDownTestSuite() {
    BitmapFont::Shared().Release();
    TextureCatalogue::Instance().Clear();
    window_.Close();
    PackageFileSystem::ClearPackages();
  }

  void SetUp() override {
    ASSERT_TRUE(window_.renderer->BeginFrame());
    window_.renderer->BeginScene();
    window_.renderer->Clear(0.0f, 0.0f, 0.0f);
  }
  void TearDown() override { window_.renderer->EndFrame(); }

  static void Draw(const std::string& name, float x, float y, float alpha = 1.0f) {
    Sprite sprite;
    sprite.SetTexture(name);
    sprite.Draw(x, y, 1.0f, alpha);
  }
  static void Centred(const std::string& name, float x, float y, float scale = 1.0f,
                      float alpha = 1.0f, float angle = 0.0f) {
    Sprite sprite;
    sprite.SetTexture(name);
    sprite.DrawRotated(x, y, angle, scale, alpha);
  }
  static void Shade(float alpha) {
    Sprite sprite;
    sprite.SetTexture("Black.tga");
    if (!sprite.Bind()) return;
    const Vertex v[4] = {{0, 0, 0, 1}, {800, 0, 1, 1}, {800, 600, 1, 0}, {0, 600, 0, 0}};
    window_.renderer->DrawQuad(v, 1, 1, 1, alpha);
  }
  static void Text(float x, float y, const std::string& text, float r = 1, float g = 1,
                   float b = 1) {
    BitmapFont::Shared().SetColor(r, g, b, 1);
    BitmapFont::Shared().PrintTextWithShadow(x, y, text);
    BitmapFont::Shared().SetColor(1, 1, 1, 1);
  }

  static Rgb At(int gameX, int gameY) { return window_.At(gameX, gameY); }

  // Writes the game's picture as a 24-bit TGA for review.
  static void Save(const std::string& name) {
    const fs::path directory = fs::path(TAV_BINARY_DIR) / "tests" / "picture_scenes";
    test::SaveGameScreenshot(*window_.renderer, directory, name);
  }

  // Draws one scene and saves it. With TAV_SCENE_FRAME_REUSE=on (the second run of
  // these tests) the scene is drawn as frames the way the game draws an unchanged
  // picture: once in full, then with frame reuse until the frame is drawn from the
  // kept copy (where that pays: `copyPays`), and the last frame must equal the full
  // one exactly.
  static void Scene(const std::string& name, const std::function<void()>& draw,
                    bool copyPays = true) {
    const char* reuse = std::getenv("TAV_SCENE_FRAME_REUSE");
    if (reuse == nullptr || std::string(reuse) != "on") {
      draw();
      Save(name);
      return;
    }
    GLRenderer& renderer = *window_.renderer;
    const long fromCopyBefore = renderer.FramesDrawnFromCopy();
    std::vector<uint8_t> full, reused(800 * 600 * 4);
    for (int frame = 0; frame < 5; ++frame) {
      renderer.EndFrame();
      if (frame < 2) renderer.SetFrameReuse(frame == 1);
      ASSERT_TRUE(renderer.BeginFrame());
      renderer.BeginScene();
      renderer.Clear(0.0f, 0.0f, 0.0f);
      draw();
      renderer.ComposeFrame();
      glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, reused.data());
      if (frame == 0) full = reused;
    }
    if (copyPays) {
      EXPECT_GT(renderer.FramesDrawnFromCopy(), fromCopyBefore) << name << ": no copy used";
    }
    EXPECT_TRUE(full == reused) << name << " drawn from the kept copy differs from the full frame";
    Save(name);
  }

  // Text centred on x, as the game centres its labels (half the width, truncated).
  static void CentredText(float x, float y, const std::string& text, float grey = 1.0f) {
    Text(x - static_cast<float>(BitmapFont::Shared().TextWidth(text) / 2), y, text, grey, grey,
         grey);
  }

  static void HelpPage(const char* page, const char* prev, const char* next) {
    Draw(page, 144, 44);
    Draw("ok_loop.tga", 336, 140);
    Draw(prev, 224, 140);
    Draw(next, 448, 140);
  }

  static void TopBar() {
    Draw("top_bar_logo.tga", 0, 563);
    for (int x : {256, 512, 768}) Draw("top_bar.tga", static_cast<float>(x), 563);
    Draw("x_Loop.tga", 760, 573);
    Draw("_Loop.tga", 737, 573);
  }

  // The game screen in the order the board and the game window draw it.
  static void GameScreen() {
    Draw("black_line.tga", 50, -1);
    Centred("game_back.tga", 494, 306, 1.25f);
    for (int y : {-10, 220, 440}) Draw("left_panel.tga", 0, static_cast<float>(y));
    Draw("panel.tga", 243, 43);
    Draw("gamebavel_up.tga", 243, 547);
    Draw("gamebavel_down.tga", 243, -77);
    Draw("gamebavel_left.tga", 123, 43);
    Draw("gamebavel_right.tga", 748, 43);
    static const char* kKinds[9] = {"sterlka_%c_blue.tga",  "sterlka_%c_red.tga",
                                    "sterlkab_%c_blue.tga", "sterlka_%c_green.tga",
                                    "sterlkab_%c_red.tga",  "sterlkab_%c_green.tga",
                                    "sterlka_%c_rgb.tga",   "sterlka_%c_moln.tga",
                                    "sterlka_%c_no.tga"};
    const char dirs[4] = {'u', 'r', 'd', 'l'};
    for (int x = 0; x < 10; ++x) {
      for (int y = 0; y < 10; ++y) {
        const int kind = (x * 7 + y * 3 + (x * y) % 5) % 9;
        const char dir = dirs[(x + 2 * y) % 4];
        char name[40];
        std::snprintf(name, sizeof name, kKinds[kind], dir);
        if (x == 0 && y == 0) std::snprintf(name, sizeof name, "sterlka_u_blue.tga");
        if (x == 1 && y == 0) std::snprintf(name, sizeof name, "sterlka_u_red.tga");
        if (x == 2 && y == 0) std::snprintf(name, sizeof name, "sterlka_u_green.tga");
        if (x == 6 && y == 5) continue;  // exploded: the burst is drawn there
        Draw(name, 250.0f + 50 * x, 50.0f + 50 * y);
        const float cx = 274.0f + 50 * x, cy = 75.0f + 50 * y;
        if (kind == 2 || kind == 4 || kind == 5) Centred("bomb_flare.tga", cx, cy, 2.0f, 0.7f, 1.0f);
        if (kind == 7) Centred("moln_flare.tga", cx, cy, 1.0f, 0.7f, 0.5f);
      }
    }
    // A piece carrying a magic symbol, an outline flash and a burst with its debris.
    Centred("letter_sphere.tga", 424, 175, 0.8f, 0.3f, 0.4f);
    Centred("letter_sphere1.tga", 424, 175, 0.8f, 0.3f, 1.1f);
    Centred("sterlka_r.tga", 282 + 50 * 3, 82 + 50 * 7);
    Centred("sterlka_u.tga", 282 + 50 * 6, 82 + 50 * 5, 1.0f, 0.6f);
    Centred("kolco.tga", 575, 325, 1.8f, 0.6f);
    for (int i = 0; i < 8; ++i) {
      const float a = static_cast<float>(i) * 0.7853982f;
      Centred("zvezda.tga", 575 + 30 * std::cos(a), 325 + 30 * std::sin(a), 1.0f, 0.8f);
    }
    Centred("blue_strelka_particle1.tga", 548, 352, 1.0f, 0.9f, 0.8f);
    Centred("Blue_strelka_particle2.tga", 602, 360, 1.0f, 0.9f, -0.6f);
    Centred("Green_strelka_particle2.tga", 592, 300, 1.0f, 0.9f, 2.0f);
    // Link bolts and a lightning blast along a row.
    for (int i = 0; i < 2; ++i) {
      Sprite bolt;
      bolt.SetTexture(i == 0 ? "moln.tga" : "moln3.tga");
      if (!bolt.Bind()) continue;
      const float y = i == 0 ? 425.0f : 125.0f;
      const float half = i == 0 ? 15.0f : 6.0f;
      float px = 268, py = y;
      for (int s = 1; s <= 8; ++s) {
        const float qx = 268 + 56.5f * s, qy = y + ((s % 2) ? 8.0f : -8.0f) * (s < 8);
        const Vertex v[4] = {{px, py + half, 0, 0}, {qx, qy + half, 1, 0},
                             {qx, qy - half, 1, 1}, {px, py - half, 0, 1}};
        window_.renderer->DrawQuad(v, 1, 1, 1, 1);
        px = qx;
        py = qy;
      }
    }
    // Progress tube at 60 %.
    const float p = 0.6f, top = 40 + 512 * p;
    Draw("Indicator1.tga", 718, 40);
    Sprite fill;
    fill.SetTexture("Indicator2.tga");
    if (fill.Bind()) {
      const Vertex v[4] = {{718, 40, 0, 0}, {846, 40, 1, 0}, {846, top, 1, p}, {718, top, 0, p}};
      window_.renderer->DrawQuad(v, 1, 1, 1, 1);
    }
    Centred("flare.tga", 782, top, 1.0f, 1.0f, 0.7f);
    const char* symbols[6] = {"a1.tga", "r0.tga", "q1.tga", "o0.tga", "w0.tga", "s1.tga"};
    for (int i = 0; i < 6; ++i) Draw(symbols[i], 344.0f + 50 * i, 0);
    // Panels, buttons, icons and texts of the left column.
    Centred("score_panel.tga", 140, 524);
    Centred("round_panel.tga", 140, 456);
    Centred("time_panel.tga", 140, 388);
    Text(23, 497, "12450");
    Text(23, 429, "7");
    Text(23, 361, "143");
    Draw("button_pause_loop.tga", 0, 243);
    Draw("button_options_focus.tga", 0, 173);
    Draw("button_help_loop.tga", 0, 103);
    Draw("button_hiscore_down.tga", 0, 33);
    Draw("coin.spt", 150, 499);
    Draw("level.tga", 150, 431);
    Draw("clock.spt", 150, 363);
    const std::string combo = "Combo x4";
    Text(575.0f - BitmapFont::Shared().TextWidth(combo) / 2, 355, combo, 1, 1, 0);
    Text(575.0f - BitmapFont::Shared().TextWidth("+200") / 2, 335, "+200", 1, 1, 0);
  }

  static void MenuScreen() {
    for (int x : {180, 308, 436, 564}) {
      for (int r = 0; r <= 768; r += 128) Draw("back.tga", static_cast<float>(x), r - 37.0f);
    }
    Draw("menu_bgr.tga", 272, 300);
    Draw("stenkal.tga", 0, 64);
    Draw("stenkar.tga", 544, 64);
    Draw("menu_bgr_down.tga", 0, -40);
    CentredText(99, 142, "03");
    Text(716.0f - BitmapFont::Shared().TextWidth("12") / 2, 139, "12", 1, 0, 0);
    Draw("start_loop.tga", 28, 75);
    Draw("start_focus.tga", 644, 75);
    Draw("options_loop.tga", 160, 0);
    Draw("help_focus.tga", 280, 0);
    Draw("hiscore_loop.tga", 400, 0);
    Draw("exit_down.tga", 520, 0);
    Draw("up_loop.tga", 120, 158);
    Draw("down_loop.tga", 120, 141);
    Draw("up_focus.tga", 739, 155);
    Draw("down_loop.tga", 739, 138);
  }

  static test::GlTestWindow window_;
};

test::GlTestWindow PictureScene::window_;

bool Whitish(const Rgb& c) { return c.r > 200 && c.g > 200 && c.b > 190; }

TEST_F(PictureScene, GameScreenShowsUprightPiecesInTheirColours) {
  Scene("game", [] {
    GameScreen();
    TopBar();
  });
  // Cells (0..2, 0) hold up arrows in blue, red and green. Inside the arrow head, nine
  // pixels left of the centre line just above the head's base, an upright arrow is
  // white; a picture stored upside down has the narrow shaft there and shows the tile.
  for (int x = 0; x < 3; ++x) {
    EXPECT_TRUE(Whitish(At(266 + 50 * x, 80))) << "cell " << x << " is not upright";
  }
  // Cell (0, 9) holds a blue down arrow: there the same spot is beside the shaft.
  EXPECT_FALSE(Whitish(At(266, 530)));
  const Rgb blue = At(258, 75), red = At(308, 75), green = At(358, 75);
  EXPECT_GT(blue.b, blue.r + 40);
  EXPECT_GT(red.r, red.b + 40);
  EXPECT_GT(green.g, green.r + 30);
  // The top bar and the left column are drawn, not left black.
  const Rgb bar = At(400, 590), column = At(100, 320);
  EXPECT_GT(bar.r + bar.g + bar.b, 30);
  EXPECT_GT(column.r + column.g + column.b, 30);
}

TEST_F(PictureScene, GlowsAreAddedToWhatLiesBehindThem) {
  // Mid grey everywhere, then the round glow at half opacity: drawn additively (its
  // Textures.ini setting) its centre brightens the grey to nearly white, while normal
  // blending would stop at three quarters.
  Sprite grey;
  grey.SetTexture("white.tga");
  if (grey.Bind()) {
    const Vertex v[4] = {{0, 0, 0, 1}, {800, 0, 1, 1}, {800, 600, 1, 0}, {0, 600, 0, 0}};
    window_.renderer->DrawQuad(v, 0.5f, 0.5f, 0.5f, 1.0f);
  }
  Centred("circle.tga", 400, 300, 1.0f, 0.5f);
  const Rgb centre = At(400, 300);
  EXPECT_GT(centre.r, 225) << "circle.tga is not drawn additively";
}

TEST_F(PictureScene, MenuAndIntro) {
  Scene("menu", [] {
    MenuScreen();
    TopBar();
  });
  const Rgb plaque = At(96, 228);
  EXPECT_GT(plaque.r + plaque.g + plaque.b, 60);
  Scene("intro", [] {
    window_.renderer->Clear(0, 0, 0);
    Centred("tavrolith_logo.tga", 400, 360);
    Centred("zelto_logo.tga", 750, 70);
    for (int i = 0; i < 14; ++i) {
      Centred(i < 8 ? "Ind2.tga" : "Ind1.tga", 300 + 200.0f * i / 13, 300);
    }
  }, /*copyPays=*/false);  // a few logos on black: cheaper drawn than copied
}

TEST_F(PictureScene, DialogsOverTheGame) {
  struct Dialog {
    const char* name;
    void (*draw)();
  };
  const Dialog dialogs[] = {
      {"pause",
       [] {
         Draw("pause_window.tga", 272, 200);
         Draw("play_loop.tga", 336, 318);
         Draw("exitmenu_focus.tga", 336, 268);
         Draw("exit_loop.tga", 336, 218);
       }},
      {"gameover",
       [] {
         Draw("gameover_window.tga", 272, 270);
         Draw("ok_focus.tga", 336, 270);
       }},
      {"options",
       [] {
         Draw("window_options.tga", 272, 200);
         Draw("ok_loop.tga", 336, 200);
         Draw("slider.tga", 303, 400);
         Centred("Plus1.tga", 307 + 183 * 0.7f, 403);
         Draw("slider.tga", 303, 340);
         Centred("Plus2.tga", 307 + 183 * 0.35f, 343);
         Draw("Checked1.tga", 310, 296);
         Draw("Unchecked2.tga", 310, 270);
         CentredText(400, 410, "Sound volume");
         CentredText(400, 350, "Music volume");
         Text(337, 288, "Enable sound");
         Text(337, 262, "Enable music");
       }},
      {"hiscore",
       [] {
         Draw("hiscore_window.tga", 144, 33);
         Draw("ok_loop.tga", 336, 125);
         Draw("left_loop.tga", 314, 483);
         Draw("right_focus.tga", 470, 483);
         const char* names[3] = {"Mira", "Tomas", "Ana"};
         const int scores[3] = {52300, 31050, 12000};
         for (int r = 0; r < 10; ++r) {
           const float y = 452.0f - 30 * r;
           Text(210, y, (r < 3 ? std::string(names[r]) : std::string()) + "..........", 0.7f,
                0.7f, 0.7f);
           Text(180, y, (r < 9 ? " " : "") + std::to_string(r + 1) + ".", 0.9f, 0.9f, 0.9f);
           Text(550, y, std::to_string(r < 3 ? scores[r] : 0), 0.9f, 0.9f, 0.9f);
         }
         CentredText(398, 483, "Classic Mode", 0.9f);
       }},
      {"help1", [] { HelpPage("Help_p1.tga", "prev_loop.tga", "next_focus.tga"); }},
      {"help2", [] { HelpPage("Help_p2.tga", "prev_focus.tga", "next_loop.tga"); }},
      {"levelcomplete",
       [] {
         Draw("rc_window.tga", 371, 70);
         Draw("ok_loop.tga", 438, 63);
         Sprite scroll;
         scroll.SetTexture("papirus2.tga");
         if (scroll.Bind()) {
           for (int i = 0; i <= 4; ++i) {  // levels 11 to 15 done, the 15th fading in
             const float y0 = 495.0f - 37 * i, y1 = 495.0f - 37 * (i + 1);
             const float v0 = 0.28f + 0.072f * i, v1 = 0.28f + 0.072f * (i + 1);
             const Vertex v[4] = {{371, y1, 0, v1}, {627, y1, 1, v1}, {627, y0, 1, v0},
                                  {371, y0, 0, v0}};
             window_.renderer->DrawQuad(v, 1, 1, 1, i == 4 ? 0.6f : 1.0f);
           }
         }
       }},
      {"hint", [] { Draw("Hint.tga", 385, 235); }},
      {"hint1", [] { Centred("Hint1.tga", 494, 328); }},
      {"hint2", [] { Centred("Hint2.tga", 494, 328); }},
      {"hint3", [] { Centred("Hint3.tga", 494, 328); }},
  };
  for (const Dialog& dialog : dialogs) {
    Scene(dialog.name, [&dialog] {
      window_.renderer->Clear(0, 0, 0);
      GameScreen();
      const bool hint = std::string(dialog.name).rfind("hint", 0) == 0;
      if (!hint) Shade(std::string(dialog.name) == "levelcomplete" ? 0.75f : 0.6f);
      dialog.draw();
      TopBar();
    });
    if (std::string(dialog.name) == "levelcomplete") {
      // The scroll's bands lie on the frame's paper: parchment, not the shaded game.
      const Rgb paper = At(470, 440);
      EXPECT_GT(paper.r, 150);
      EXPECT_GT(paper.r, paper.b + 30);
    }
  }
}

}  // namespace
}  // namespace tav
