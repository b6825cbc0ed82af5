// The OpenGL back-end on a real SDL window (run inside a virtual X server): each
// blend mode, both filters, TGA and raw-pixel textures, read back from the frame.
#include "render/gl/gl_renderer.h"

#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "base/log.h"
#include "platform/letterbox.h"
#include "platform/sdl/sdl_platform.h"
#include "tests/render_gl/window_pixels.h"
#include "tests/support/gl_frame.h"
#include "tests/support/temp_game_folder.h"
#include "tests/support/tga_bytes.h"

namespace tav {
namespace {

using test::Bgra;
using test::MakeTga;
using test::ReadLog;
using test::Rgb;

// 16-bit colour keeps 5 or 6 bits per channel.
constexpr int kTolerance = 12;

::testing::AssertionResult Near(const Rgb& actual, const Rgb& expected) {
  if (std::abs(actual.r - expected.r) <= kTolerance &&
      std::abs(actual.g - expected.g) <= kTolerance &&
      std::abs(actual.b - expected.b) <= kTolerance) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << actual << " is not near " << expected;
}

class GLRendererTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const auto directory = std::filesystem::path(TAV_BINARY_DIR) / "tests" / "gl_test";
    std::filesystem::create_directories(directory);
    LogStart(directory.string());
    SetErrorsRaise(true);
    platform_ = new SdlPlatform();
    platform_->CreateMainWindow("Tavrolith", 800, 600);
    platform_->ShowMainWindow();
    renderer_ = new GLRenderer(*platform_);
    renderer_->Init(800, 600, 16, true);
    WaitForFullScreen();
  }

  // The window reaches the desktop's size only once the X server has configured it;
  // until then the drawable still has the size it was created with.
  static void WaitForFullScreen() {
    SDL_DisplayMode desktop;
    ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &desktop), 0);
    for (int attempt = 0; attempt < 200; ++attempt) {
      PlatformEvent event;
      while (platform_->PollEvent(&event)) {
      }
      const GameViewport viewport = platform_->Viewport();
      if (viewport.drawableWidth == desktop.w && viewport.drawableHeight == desktop.h) {
        // The GL buffers follow the window's size at the next presentation.
        renderer_->BeginScene();
        renderer_->EndFrame();
        return;
      }
      SDL_Delay(10);
    }
    FAIL() << "the window never covered the screen";
  }
  static void TearDownTestSuite() {
    renderer_->Shutdown();
    delete renderer_;
    platform_->DestroyMainWindow();
    delete platform_;
  }

  void SetUp() override {
    ASSERT_TRUE(renderer_->BeginFrame());
    renderer_->BeginScene();
    renderer_->SetBlendMode(kBlendNone);
    renderer_->SetFilter(kFilterNearest);
    renderer_->Clear(0.0f, 0.0f, 1.0f);
  }
  void TearDown() override {
    renderer_->EndFrame();
    for (RendererTexture& texture : textures_) renderer_->DestroyTexture(texture);
  }

  RendererTexture Texture(const std::vector<Bgra>& topRowFirst, int width, int height, int bits) {
    std::vector<uint8_t> pixels;
    for (const Bgra& p : topRowFirst) {
      pixels.insert(pixels.end(), {p.b, p.g, p.r});
      if (bits == 32) pixels.push_back(p.a);
    }
    textures_.emplace_back();
    EXPECT_TRUE(
        renderer_->CreateTextureFromPixels(pixels.data(), width, height, bits, textures_.back()));
    return textures_.back();
  }

  // An axis-aligned quad from (x0, y0) to (x1, y1) showing the whole texture.
  static void Quad(float x0, float y0, float x1, float y1, float alpha = 1.0f) {
    const Vertex vertices[4] = {
        {x0, y0, 0.0f, 1.0f}, {x1, y0, 1.0f, 1.0f}, {x1, y1, 1.0f, 0.0f}, {x0, y1, 0.0f, 0.0f}};
    renderer_->DrawQuad(vertices, 1.0f, 1.0f, 1.0f, alpha);
  }

  // The window's pixels as the X server has them (what partial presents put there).
  static std::vector<uint8_t> ReadWindow(const GameViewport& viewport) {
    std::string error;
    std::vector<uint8_t> pixels = test::ReadWindowPixels(
        SDL_GL_GetCurrentWindow(), viewport.drawableWidth, viewport.drawableHeight, &error);
    if (pixels.empty()) ADD_FAILURE() << error;
    return pixels;
  }

  // Tells the platform, as X would, that the window was uncovered (its picture lost).
  static void UncoverWindow() {
    SDL_Event exposed{};
    exposed.type = SDL_WINDOWEVENT;
    exposed.window.event = SDL_WINDOWEVENT_EXPOSED;
    exposed.window.windowID = SDL_GetWindowID(SDL_GL_GetCurrentWindow());
    ASSERT_EQ(SDL_PushEvent(&exposed), 1);
    PlatformEvent event;
    while (platform_->PollEvent(&event)) {
    }
  }

  // The colour at a point of game space, read from the back buffer.
  static Rgb At(int gameX, int gameY) { return test::ReadGamePixel(*renderer_, gameX, gameY); }

  static SdlPlatform* platform_;
  static GLRenderer* renderer_;
  std::vector<RendererTexture> textures_;
};

SdlPlatform* GLRendererTest::platform_ = nullptr;
GLRenderer* GLRendererTest::renderer_ = nullptr;

TEST_F(GLRendererTest, InitLogsItsStepsAndSetsTheMode) {
  const std::string log = ReadLog();
  EXPECT_NE(log.find("SDL_Init()\nSDL_CreateWindow()\nSDL_SetWindowFullscreen()\n"
                     "SDL_GL_CreateContext()\nSDL_GL_MakeCurrent()\n"),
            std::string::npos)
      << log;
  EXPECT_EQ(renderer_->Width(), 800);
  EXPECT_EQ(renderer_->Height(), 600);
  EXPECT_EQ(renderer_->BitsPerPixel(), 16);
  EXPECT_EQ(renderer_->Kind(), kRendererGL);
}

TEST_F(GLRendererTest, ClearFillsThePicture) {
  renderer_->Clear(1.0f, 1.0f, 0.0f);
  EXPECT_TRUE(Near(At(0, 0), {255, 255, 0}));
  EXPECT_TRUE(Near(At(799, 599), {255, 255, 0}));
}

TEST_F(GLRendererTest, BlendModesOverABlueBackground) {
  renderer_->BindTexture(Texture({{0, 0, 255, 255}}, 1, 1, 32));

  renderer_->SetBlendMode(kBlendNone);  // the quad's alpha is ignored
  Quad(0, 0, 100, 100, 0.5f);
  renderer_->SetBlendMode(kBlendNormal);  // half red over blue
  Quad(200, 0, 300, 100, 0.5f);
  renderer_->SetBlendMode(kBlendMultiply);  // half red added to blue
  Quad(400, 0, 500, 100, 0.5f);

  EXPECT_TRUE(Near(At(50, 50), {255, 0, 0}));
  EXPECT_TRUE(Near(At(250, 50), {128, 0, 128}));
  EXPECT_TRUE(Near(At(450, 50), {128, 0, 255}));
  EXPECT_TRUE(Near(At(650, 50), {0, 0, 255}));
  EXPECT_EQ(renderer_->CurrentBlendMode(), kBlendMultiply);
}

TEST_F(GLRendererTest, TextureAlphaTimesVertexColour) {
  // White picture at alpha 0.5, drawn green at alpha 1 with normal blending.
  renderer_->BindTexture(Texture({{255, 255, 255, 128}}, 1, 1, 32));
  renderer_->SetBlendMode(kBlendNormal);
  const Vertex vertices[4] = {{0, 0, 0, 1}, {100, 0, 1, 1}, {100, 100, 1, 0}, {0, 100, 0, 0}};
  renderer_->DrawQuad(vertices, 0.0f, 1.0f, 0.0f, 1.0f);
  EXPECT_TRUE(Near(At(50, 50), {0, 128, 127}));
}

TEST_F(GLRendererTest, NearestAndLinearFilterAreAppliedToTheTextureBoundAtDrawTime) {
  // Two black-and-white pictures; each drawn 200 units wide.
  const RendererTexture first = Texture({{0, 0, 0, 0}, {255, 255, 255, 0}}, 2, 1, 24);
  const RendererTexture second = Texture({{0, 0, 0, 0}, {255, 255, 255, 0}}, 2, 1, 24);

  renderer_->BindTexture(first);
  Quad(0, 0, 200, 50);
  EXPECT_TRUE(Near(At(98, 25), {0, 0, 0}));
  EXPECT_TRUE(Near(At(102, 25), {255, 255, 255}));

  renderer_->SetFilter(kFilterLinear);
  renderer_->BindTexture(first);
  Quad(0, 100, 200, 150);
  renderer_->BindTexture(second);
  Quad(0, 200, 200, 250);
  for (int y : {125, 225}) {
    const Rgb middle = At(100, y);
    EXPECT_GT(middle.r, 90) << y;
    EXPECT_LT(middle.r, 165) << y;
    EXPECT_TRUE(Near(At(75, y), {64, 64, 64})) << y;
    // Clamped at the edges: no wrap-around from the other side.
    EXPECT_TRUE(Near(At(2, y), {0, 0, 0})) << y;
    EXPECT_TRUE(Near(At(197, y), {255, 255, 255})) << y;
  }
}

TEST_F(GLRendererTest, TwentyFourBitTgaShowsRedWhereItsThirdByteIsLarge) {
  const auto file = MakeTga(1, 1, 24, {{10, 20, 250, 0}});
  textures_.emplace_back();
  int width = 0, height = 0, bits = 0;
  ASSERT_TRUE(renderer_->CreateTextureFromTga(file.data(), file.size(), &width, &height, &bits,
                                              textures_.back()));
  EXPECT_EQ(width, 1);
  EXPECT_EQ(height, 1);
  EXPECT_EQ(bits, 24);
  renderer_->BindTexture(textures_.back());
  Quad(0, 0, 100, 100);
  EXPECT_TRUE(Near(At(50, 50), {250, 20, 10}));
}

TEST_F(GLRendererTest, ThirtyTwoBitTgaIsUprightWithItsAlpha) {
  // Top row opaque red, bottom row fully transparent green.
  const auto file = MakeTga(1, 2, 32, {{0, 0, 255, 255}, {0, 255, 0, 0}});
  textures_.emplace_back();
  int width = 0, height = 0, bits = 0;
  ASSERT_TRUE(renderer_->CreateTextureFromTga(file.data(), file.size(), &width, &height, &bits,
                                              textures_.back()));
  EXPECT_EQ(bits, 32);
  renderer_->BindTexture(textures_.back());
  renderer_->SetBlendMode(kBlendNormal);
  Quad(0, 0, 100, 200);
  EXPECT_TRUE(Near(At(50, 150), {255, 0, 0}));
  EXPECT_TRUE(Near(At(50, 50), {0, 0, 255}));
}

TEST_F(GLRendererTest, RawPixelsOfOddWidthUploadTopRowFirst) {
  // 3 pixels wide at 24 bits: rows of 9 bytes, not a multiple of 4.
  renderer_->BindTexture(Texture({{0, 0, 255, 0},
                                  {0, 0, 255, 0},
                                  {0, 0, 255, 0},
                                  {0, 255, 0, 0},
                                  {0, 255, 0, 0},
                                  {0, 255, 0, 0}},
                                 3, 2, 24));
  Quad(0, 0, 300, 200);
  for (int x : {50, 150, 250}) {
    EXPECT_TRUE(Near(At(x, 150), {255, 0, 0})) << x;
    EXPECT_TRUE(Near(At(x, 50), {0, 255, 0})) << x;
  }
}

TEST_F(GLRendererTest, TriangleCoversOnlyItsHalf) {
  renderer_->BindTexture(Texture({{255, 255, 255, 255}}, 1, 1, 32));
  const Vertex vertices[3] = {{0, 0, 0, 1}, {200, 0, 1, 1}, {0, 200, 0, 0}};
  renderer_->DrawTriangle(vertices, 1.0f, 0.0f, 0.0f, 1.0f);
  EXPECT_TRUE(Near(At(40, 40), {255, 0, 0}));
  EXPECT_TRUE(Near(At(160, 160), {0, 0, 255}));
}

// A frame whose beginning is drawn from the copy kept of the frames before looks
// exactly as one drawn draw by draw, and so does a window to which only the changed
// parts of each frame were presented: the same frames are drawn each way (a
// background filtered linearly, layers of partly transparent pictures, then a quad
// that moves each frame) and read back whole.
TEST_F(GLRendererTest, FramesDrawnPartlyFromTheKeptCopyMatchFramesDrawnInFull) {
  renderer_->EndFrame();  // the frame SetUp began
  std::vector<Bgra> pattern, glass;
  for (int i = 0; i < 64 * 64; ++i) {
    pattern.push_back({static_cast<uint8_t>(i * 7), static_cast<uint8_t>(i / 16),
                       static_cast<uint8_t>(i * 3), 255});
    glass.push_back({static_cast<uint8_t>(i), 200, 90, static_cast<uint8_t>(i % 251)});
  }
  const RendererTexture background = Texture(pattern, 64, 64, 24);
  const RendererTexture layer = Texture(glass, 64, 64, 32);
  const GameViewport viewport = platform_->Viewport();
  long partialAreas = 0;  // presented pixels of partly presented frames after the first
  // `partial`: presented part by part where the screen allows it; the frames are then
  // read from the window, which must show what a whole frame would.
  const auto drawFrames = [&](bool reuse, bool partial = false) {
    renderer_->SetFrameReuse(reuse);
    renderer_->SetSwapOptional(partial);
    std::vector<std::vector<uint8_t>> frames;
    for (int frame = 0; frame < 6; ++frame) {
      EXPECT_TRUE(renderer_->BeginFrame());
      renderer_->BeginScene();
      renderer_->Clear(0, 0, 0);
      renderer_->BindTexture(background);
      renderer_->SetBlendMode(kBlendNone);
      renderer_->SetFilter(kFilterLinear);
      Quad(0, 0, 800, 600);
      renderer_->BindTexture(layer);
      renderer_->SetBlendMode(kBlendNormal);
      renderer_->SetFilter(kFilterNearest);
      Quad(100, 50, 700, 550);
      Quad(0, 0, 400, 600, 0.7f);
      // Edges on the 32-pixel cells of the change tracking: the scaled areas must
      // reach past them for the linear filter.
      Quad(static_cast<float>(frame) * 32, 192, static_cast<float>(frame) * 32 + 64, 256);
      renderer_->ComposeFrame();
      std::vector<uint8_t> pixels(static_cast<size_t>(viewport.drawableWidth) *
                                  viewport.drawableHeight * 4);
      const bool inParts = renderer_->FramePresentMode() == PresentMode::kCopyWhole ||
                           renderer_->FramePresentMode() == PresentMode::kCopyChanges;
      if (inParts) {
        renderer_->EndFrame();
        for (const PixelBox& area : renderer_->AreasToPresent()) {
          if (frame > 0) partialAreas += (area.x1 - area.x0) * (area.y1 - area.y0);
        }
        frames.push_back(ReadWindow(viewport));
        continue;
      }
      glReadPixels(0, 0, viewport.drawableWidth, viewport.drawableHeight, GL_RGBA, GL_UNSIGNED_BYTE,
                   pixels.data());
      frames.push_back(std::move(pixels));
      renderer_->EndFrame();
    }
    return frames;
  };
  // Drawn at the picture's size and scaled, and drawn at the letterbox's size; in
  // both, later frames draw into the kept picture only where they changed.
  for (const PictureMode mode : {PictureMode::kSharp, PictureMode::kClassic}) {
    renderer_->SetPictureMode(mode);
    const char* modeName = mode == PictureMode::kSharp ? "sharp" : "classic";
    partialAreas = 0;
    const auto full = drawFrames(false);
    const long fromCopyBefore = renderer_->FramesDrawnFromCopy();
    const auto reused = drawFrames(true);
    EXPECT_GE(renderer_->FramesDrawnFromCopy() - fromCopyBefore, 4) << "the copy was used";
    const auto partial = drawFrames(true, true);
    for (size_t frame = 0; frame < full.size(); ++frame) {
      EXPECT_TRUE(full[frame] == reused[frame]) << modeName << " frame " << frame;
      EXPECT_TRUE(full[frame] == partial[frame])
          << modeName << " frame " << frame << " presented in parts";
    }
  }
  if (viewport.width > 800) {
    // After the first frame only the moving square's strip was scaled and presented.
    EXPECT_GT(partialAreas, 0);
    EXPECT_LT(partialAreas, 5 * viewport.width * viewport.height / 4);
    // A window that lost its picture gets the whole drawable again, bars included.
    UncoverWindow();
    renderer_->BeginScene();
    renderer_->Clear(0, 0, 0);
    renderer_->EndFrame();
    EXPECT_EQ(renderer_->AreasToPresent(),
              (std::vector<PixelBox>{{0, 0, viewport.drawableWidth, viewport.drawableHeight}}));
  }
  renderer_->SetSwapOptional(false);
  renderer_->SetFrameReuse(true);
  ASSERT_TRUE(renderer_->BeginFrame());
  renderer_->BeginScene();  // for TearDown
}

// While the main loop paces frames, a frame identical to the one on the screen is not
// presented again, unless the window lost its picture in the meantime.
TEST_F(GLRendererTest, AnUnchangedFrameIsPresentedOnlyWhenTheWindowLostItsPicture) {
  renderer_->EndFrame();  // the frame SetUp began
  const RendererTexture red = Texture({{0, 0, 255, 255}}, 1, 1, 32);
  const auto presentedFrames = [&](int count) {
    const long before = renderer_->FramesPresented();
    for (int i = 0; i < count; ++i) {
      EXPECT_TRUE(renderer_->BeginFrame());
      renderer_->BeginScene();
      renderer_->Clear(0, 0, 0);
      renderer_->BindTexture(red);
      Quad(100, 100, 200, 200);
      renderer_->EndFrame();
    }
    return renderer_->FramesPresented() - before;
  };
  EXPECT_EQ(presentedFrames(3), 3) << "not skipping";
  renderer_->SetSwapOptional(true);
  EXPECT_EQ(presentedFrames(3), 0);
  UncoverWindow();
  EXPECT_EQ(presentedFrames(3), 1) << "presented once after the window was uncovered";
  renderer_->SetSwapOptional(false);
  ASSERT_TRUE(renderer_->BeginFrame());
  renderer_->BeginScene();  // for TearDown
}

// Whatever a swapped back buffer holds afterwards (drivers with more buffers, or that
// reallocate them, hand back stale or garbage pixels), every swapped frame has black
// bars: the back buffer is filled with a colour and swapped before each frame.
TEST_F(GLRendererTest, BarsAreBlackInEverySwappedFrameWhateverTheBackBufferHeld) {
  const GameViewport viewport = platform_->Viewport();
  if (viewport.width == viewport.drawableWidth && viewport.height == viewport.drawableHeight) {
    GTEST_SKIP() << "the picture fills the screen: no bars";
  }
  renderer_->EndFrame();  // the frame SetUp began
  const RendererTexture white = Texture({{255, 255, 255, 255}}, 1, 1, 32);
  std::vector<uint8_t> pixels(static_cast<size_t>(viewport.drawableWidth) *
                              viewport.drawableHeight * 4);
  for (int frame = 0; frame < 6; ++frame) {
    glDisable(GL_SCISSOR_TEST);
    glClearColor(1.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    platform_->SwapGLBuffers();
    glClear(GL_COLOR_BUFFER_BIT);
    ASSERT_TRUE(renderer_->BeginFrame());
    renderer_->BeginScene();
    renderer_->Clear(0.0f, 0.0f, 1.0f);
    renderer_->BindTexture(white);
    Quad(static_cast<float>(frame) * 50, 100, static_cast<float>(frame) * 50 + 100, 200);
    renderer_->ComposeFrame();
    ASSERT_EQ(renderer_->FramePresentMode(), PresentMode::kSwap);
    glReadPixels(0, 0, viewport.drawableWidth, viewport.drawableHeight, GL_RGBA, GL_UNSIGNED_BYTE,
                 pixels.data());
    int lit = 0;
    for (int y = 0; y < viewport.drawableHeight; ++y) {
      for (int x = 0; x < viewport.drawableWidth; ++x) {
        const bool inBox = x >= viewport.x && x < viewport.x + viewport.width && y >= viewport.y &&
                           y < viewport.y + viewport.height;
        const uint8_t* pixel = &pixels[(static_cast<size_t>(y) * viewport.drawableWidth + x) * 4];
        if (!inBox && (pixel[0] != 0 || pixel[1] != 0 || pixel[2] != 0)) ++lit;
      }
    }
    EXPECT_EQ(lit, 0) << "bar pixels not black in frame " << frame;
    renderer_->EndFrame();
  }
  ASSERT_TRUE(renderer_->BeginFrame());
  renderer_->BeginScene();  // for TearDown
}

// On a screen larger than the picture, the composed frame is scaled into the
// letterbox with black bars, and the screen pixel the mouse mapping sends to a game
// pixel shows that pixel: columns and rows of alternating black and white are read
// back across the whole letterbox, with the picture drawn into a framebuffer object
// and with the back buffer copied as on OpenGL 1.1.
TEST_F(GLRendererTest, ScaledPictureShowsEachGamePixelWhereTheMouseMapsItAndBarsStayBlack) {
  const GameViewport viewport = platform_->Viewport();
  if (viewport.width == 800 && viewport.height == 600) {
    GTEST_SKIP() << "the screen has the picture's own size: nothing is scaled";
  }
  const LetterboxRect box{viewport.x, viewport.drawableHeight - (viewport.y + viewport.height),
                          viewport.width, viewport.height};
  for (const bool framebuffer : {true, false}) {
    renderer_->EndFrame();
    renderer_->SetFramebufferObjectsAllowed(framebuffer);
    renderer_->BeginScene();
    for (const bool columns : {true, false}) {
      std::vector<Bgra> stripes;
      for (int i = 0; i < (columns ? 800 : 600); ++i) {
        const uint8_t level = i % 2 == 0 ? 255 : 0;
        stripes.push_back({level, level, level, 255});
      }
      renderer_->BindTexture(columns ? Texture(stripes, 800, 1, 24) : Texture(stripes, 1, 600, 24));
      Quad(0, 0, 800, 600);
      renderer_->ComposeFrame();
      glFinish();
      // One line of screen pixels across the letterbox and the bars on both sides.
      const int length = columns ? viewport.drawableWidth : viewport.drawableHeight;
      std::vector<uint8_t> line(static_cast<size_t>(length) * 4);
      const int middle = columns ? box.y + box.height / 2 : box.x + box.width / 2;
      if (columns) {
        glReadPixels(0, viewport.drawableHeight - 1 - middle, length, 1, GL_RGBA, GL_UNSIGNED_BYTE,
                     line.data());
      } else {
        glReadPixels(middle, 0, 1, length, GL_RGBA, GL_UNSIGNED_BYTE, line.data());
      }
      const int boxStart = columns ? box.x : box.y;
      const int boxSize = columns ? box.width : box.height;
      int wrong = 0;
      for (int screen = 0; screen < length; ++screen) {
        // Screen rows from the top, as the mouse reports them; GL reads from the bottom.
        const int glIndex = columns ? screen : viewport.drawableHeight - 1 - screen;
        const int level = line[static_cast<size_t>(glIndex) * 4];
        if (screen < boxStart || screen >= boxStart + boxSize) {
          wrong += level > kTolerance ? 1 : 0;  // a bar
          continue;
        }
        int gameX = 0, gameY = 0;
        ScreenToGame(box, 800, 600, columns ? screen : middle, columns ? middle : screen, &gameX,
                     &gameY);
        // Game rows count from the top here too; the picture's top row is white.
        const bool white = (columns ? gameX : gameY) % 2 == 0;
        wrong += (level >= 128) != white ? 1 : 0;
      }
      EXPECT_EQ(wrong, 0) << (columns ? "columns" : "rows") << (framebuffer ? "" : ", copied");
      // The next frame: the composed picture is drawn afresh.
      renderer_->EndFrame();
      renderer_->BeginScene();
    }
  }
  renderer_->SetFramebufferObjectsAllowed(true);
}

}  // namespace
}  // namespace tav
