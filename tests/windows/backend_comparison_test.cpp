// One scene drawn by the Direct3D 8 and by the OpenGL back-end on the same kind of
// window, read back and compared pixel by pixel. The scene uses everything the game
// asks of a renderer: textures from raw pixels and from TGA files, 24 and 32 bits,
// nearest and linear filtering, magnified and one-to-one pictures, all three blend
// modes, vertex colours with alpha, a turned quad, a triangle and an untextured
// quad, and a picture whose sides are not powers of two. Both frames and a picture
// of their difference are written to build-win/compare/ for a person to look at.
// Needs a 16-bit X screen (Direct3D 8 under Wine opens only there) and runs under
// Wine. Run again with the fault-injecting d3d8.dll asked for power-of-two textures
// (TAV_D3D8_FAULTS=pow2), the padded pictures must give the same scene; its
// pictures go to build-win/compare-pow2/.
#include <windows.h>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "base/log.h"
#include "platform/win32/win32_platform.h"
#include "render/d3d8/d3d8_renderer.h"
#include "render/gl/gl_renderer.h"
#include "tests/support/tga_bytes.h"

namespace tav {
namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 800;
constexpr int kHeight = 600;
// The largest difference allowed in any colour channel of any pixel (0..255): one
// step of the 16-bit frame. Red and blue have 5 bits, so one step widens to 8 or 9
// in 8-bit terms. Pixels may differ by that step where the two back-ends round a
// blend or a linearly filtered texel to neighbouring 16-bit values; a picture
// drawn half a pixel off differs by far more along every texel edge.
constexpr int kTolerance = 9;

using Frame = std::vector<uint32_t>;  // 0xAARRGGBB, top row first

bool PowerOfTwoTexturesInjected() {
  const char* faults = std::getenv("TAV_D3D8_FAULTS");
  return faults != nullptr && std::strstr(faults, "pow2") != nullptr;
}

fs::path OutputDir() {
  return fs::path(TAV_BINARY_DIR) / (PowerOfTwoTexturesInjected() ? "compare-pow2" : "compare");
}

// An 8 x 8 picture in B, G, R, A order: a coloured checkerboard whose alpha falls
// from opaque on the left to a quarter on the right.
std::vector<uint8_t> CheckerPixels() {
  std::vector<uint8_t> pixels;
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      const bool light = (x + y) % 2 == 0;
      pixels.push_back(light ? 240 : 30);                       // blue
      pixels.push_back(static_cast<uint8_t>(x * 32));           // green
      pixels.push_back(light ? 250 : static_cast<uint8_t>(y * 30));  // red
      pixels.push_back(static_cast<uint8_t>(255 - x * 24));     // alpha
    }
  }
  return pixels;
}

// A 12 x 6 picture in B, G, R, A order, of sides no device wanting powers of two
// takes: every texel differs from its neighbours.
std::vector<uint8_t> OddSizedPixels() {
  std::vector<uint8_t> pixels;
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 12; ++x) {
      pixels.push_back(static_cast<uint8_t>(x * 20));
      pixels.push_back(static_cast<uint8_t>(y * 40 + 20));
      pixels.push_back((x + y) % 2 == 0 ? 220 : 60);
      pixels.push_back(static_cast<uint8_t>(255 - y * 30));
    }
  }
  return pixels;
}

// A 24-bit 16 x 8 TGA picture: a red-to-yellow ramp with a blue bar on its top row.
std::vector<uint8_t> RampTga() {
  return test::MakeTga(16, 8, 24, [](int x, int yFromTop) {
    if (yFromTop == 0) return test::Bgra{255, 40, 0, 255};
    return test::Bgra{0, static_cast<uint8_t>(x * 16), 255, 255};
  });
}

void Quad(Renderer& renderer, float left, float bottom, float width, float height, float red,
          float green, float blue, float alpha) {
  const Vertex vertices[4] = {{left, bottom, 0, 1},
                              {left + width, bottom, 1, 1},
                              {left + width, bottom + height, 1, 0},
                              {left, bottom + height, 0, 0}};
  renderer.DrawQuad(vertices, red, green, blue, alpha);
}

void DrawScene(Renderer& renderer, const RendererTexture& checker, const RendererTexture& ramp,
               const RendererTexture& odd) {
  renderer.Clear(0.1f, 0.2f, 0.4f);

  // Magnified 32 times without and with filtering; the first ignores the alpha.
  renderer.BindTexture(checker);
  renderer.SetFilter(kFilterNearest);
  renderer.SetBlendMode(kBlendNone);
  Quad(renderer, 20, 320, 256, 256, 1, 1, 1, 1);
  renderer.SetFilter(kFilterLinear);
  renderer.SetBlendMode(kBlendNormal);
  Quad(renderer, 300, 320, 256, 256, 1, 1, 1, 0.8f);

  // One to one and three times, on whole pixels: every texel must land on the
  // same pixels in both back-ends.
  renderer.SetFilter(kFilterNearest);
  Quad(renderer, 600, 500, 8, 8, 1, 1, 1, 1);
  Quad(renderer, 620, 476, 24, 24, 1, 1, 1, 1);

  // The 24-bit picture added over both squares, tinted.
  renderer.BindTexture(ramp);
  renderer.SetBlendMode(kBlendMultiply);
  renderer.SetFilter(kFilterLinear);
  Quad(renderer, 150, 250, 320, 160, 1.0f, 0.5f, 0.5f, 0.7f);

  // Turned a quarter of a right angle about its centre, half transparent.
  renderer.SetBlendMode(kBlendNormal);
  renderer.SetFilter(kFilterNearest);
  Vertex turned[4];
  const float centreX = 680, centreY = 300, half = 70;
  const float corners[4][4] = {{-1, -1, 0, 1}, {1, -1, 1, 1}, {1, 1, 1, 0}, {-1, 1, 0, 0}};
  const float angle = 0.3927f;
  for (int i = 0; i < 4; ++i) {
    const float x = corners[i][0] * half, y = corners[i][1] * half;
    turned[i] = {centreX + x * std::cos(angle) - y * std::sin(angle),
                 centreY + x * std::sin(angle) + y * std::cos(angle), corners[i][2], corners[i][3]};
  }
  renderer.DrawQuad(turned, 1, 1, 1, 0.6f);

  // A triangle of the checkerboard, green-tinted.
  renderer.BindTexture(checker);
  const Vertex triangle[3] = {{40, 40, 0, 1}, {300, 60, 1, 1}, {160, 230, 0.5f, 0}};
  renderer.DrawTriangle(triangle, 0.5f, 1, 0.5f, 1);

  // The odd-sized picture one to one, magnified five times, then filtered.
  renderer.BindTexture(odd);
  renderer.SetFilter(kFilterNearest);
  Quad(renderer, 720, 500, 12, 6, 1, 1, 1, 1);
  Quad(renderer, 720, 180, 60, 30, 1, 1, 1, 1);
  renderer.SetFilter(kFilterLinear);
  Quad(renderer, 720, 120, 60, 30, 1, 1, 1, 1);
  renderer.SetFilter(kFilterNearest);

  // No texture: the plain vertex colour, blended.
  renderer.BindTexture(RendererTexture{});
  Quad(renderer, 400, 40, 300, 120, 0.2f, 0.9f, 0.3f, 0.5f);
}

// Writes a frame as a 24-bit TGA picture (viewable with any image tool).
void WriteFrame(const Frame& frame, const fs::path& path) {
  test::WriteBytes(path, test::MakeTga(kWidth, kHeight, 24, [&](int x, int yFromTop) {
    const uint32_t pixel = frame[static_cast<size_t>(yFromTop) * kWidth + x];
    return test::Bgra{static_cast<uint8_t>(pixel), static_cast<uint8_t>(pixel >> 8),
                      static_cast<uint8_t>(pixel >> 16), 255};
  }));
}

class BackendComparisonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(OutputDir());
    LogStart(OutputDir().string());
    SetErrorsRaise(true);
  }

  std::string Log() const {
    std::ifstream file(OutputDir() / "log.txt");
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }

  // Draws the scene through the Direct3D 8 back-end and reads what is on screen.
  bool DrawWithDirect3D(Frame* frame) {
    Win32Platform platform(GetModuleHandleA(nullptr));
    platform.CreateMainWindow("Tavrolith", kWidth, kHeight);
    platform.ShowMainWindow();
    D3D8Renderer renderer(platform);
    bool read = false;
    try {
      renderer.Init(kWidth, kHeight, 16, true);
      RendererTexture checker, ramp, odd;
      const std::vector<uint8_t> pixels = CheckerPixels();
      const std::vector<uint8_t> oddPixels = OddSizedPixels();
      const std::vector<uint8_t> tga = RampTga();
      int width = 0, height = 0, bits = 0;
      EXPECT_TRUE(renderer.CreateTextureFromPixels(pixels.data(), 8, 8, 32, checker));
      EXPECT_TRUE(renderer.CreateTextureFromPixels(oddPixels.data(), 12, 6, 32, odd));
      EXPECT_TRUE(renderer.CreateTextureFromTga(tga.data(), tga.size(), &width, &height, &bits, ramp));
      EXPECT_EQ(width, 16);
      EXPECT_EQ(bits, 24);
      // A few frames, as the game draws them; the last one is read back.
      for (int i = 0; i < 3; ++i) {
        PumpMessages(platform);
        if (!renderer.BeginFrame()) continue;
        renderer.BeginScene();
        DrawScene(renderer, checker, ramp, odd);
        read = renderer.ReadBackBuffer(frame);
        renderer.EndFrame();
      }
      renderer.DestroyTexture(checker);
      renderer.DestroyTexture(ramp);
      renderer.DestroyTexture(odd);
    } catch (const FatalError&) {
      ADD_FAILURE() << "the Direct3D 8 back-end did not start:\n" << Log();
      SetErrorsRaise(true);
    }
    renderer.Shutdown();
    platform.DestroyMainWindow();
    return read;
  }

  // Draws the scene through the OpenGL back-end and reads its back buffer.
  bool DrawWithOpenGL(Frame* frame) {
    Win32Platform platform(GetModuleHandleA(nullptr));
    platform.CreateMainWindow("Tavrolith", kWidth, kHeight);
    platform.ShowMainWindow();
    GLRenderer renderer(platform);
    bool read = false;
    try {
      renderer.Init(kWidth, kHeight, 16, true);
      RendererTexture checker, ramp, odd;
      const std::vector<uint8_t> pixels = CheckerPixels();
      const std::vector<uint8_t> oddPixels = OddSizedPixels();
      const std::vector<uint8_t> tga = RampTga();
      int width = 0, height = 0, bits = 0;
      renderer.CreateTextureFromPixels(pixels.data(), 8, 8, 32, checker);
      renderer.CreateTextureFromPixels(oddPixels.data(), 12, 6, 32, odd);
      renderer.CreateTextureFromTga(tga.data(), tga.size(), &width, &height, &bits, ramp);
      PumpMessages(platform);
      renderer.BeginFrame();
      renderer.BeginScene();
      DrawScene(renderer, checker, ramp, odd);
      renderer.ComposeFrame();  // the batched draws reach the back buffer before it is read
      std::vector<uint8_t> rgba(static_cast<size_t>(kWidth) * kHeight * 4);
      glReadBuffer(GL_BACK);
      glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
      renderer.EndFrame();
      frame->resize(static_cast<size_t>(kWidth) * kHeight);
      for (int row = 0; row < kHeight; ++row) {  // OpenGL reads the bottom row first
        for (int x = 0; x < kWidth; ++x) {
          const uint8_t* p = &rgba[(static_cast<size_t>(kHeight - 1 - row) * kWidth + x) * 4];
          (*frame)[static_cast<size_t>(row) * kWidth + x] =
              0xFF000000u | (p[0] << 16) | (p[1] << 8) | p[2];
        }
      }
      read = true;
      renderer.DestroyTexture(checker);
      renderer.DestroyTexture(ramp);
      renderer.DestroyTexture(odd);
    } catch (const FatalError&) {
      ADD_FAILURE() << "the OpenGL back-end did not start:\n" << Log();
      SetErrorsRaise(true);
    }
    renderer.Shutdown();
    platform.DestroyMainWindow();
    return read;
  }

  static void PumpMessages(Platform& platform) {
    PlatformEvent event;
    while (platform.PollEvent(&event)) {
    }
  }
};

TEST_F(BackendComparisonTest, Direct3DAndOpenGLDrawTheSameScene) {
  Frame direct3d, opengl;
  ASSERT_TRUE(DrawWithDirect3D(&direct3d)) << Log();
  EXPECT_NE(Log().find("CreateDevice()\nSetupDefaultStates()\n"), std::string::npos);
  EXPECT_EQ(Log().find("Textures padded to powers of two") != std::string::npos,
            PowerOfTwoTexturesInjected())
      << Log();
  ASSERT_TRUE(DrawWithOpenGL(&opengl)) << Log();
  ASSERT_EQ(direct3d.size(), opengl.size());

  int largest = 0;
  size_t differing = 0, beyondTolerance = 0;
  Frame difference(direct3d.size());
  for (size_t i = 0; i < direct3d.size(); ++i) {
    int pixelLargest = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
      const int a = (direct3d[i] >> shift) & 0xFF;
      const int b = (opengl[i] >> shift) & 0xFF;
      pixelLargest = std::max(pixelLargest, std::abs(a - b));
    }
    largest = std::max(largest, pixelLargest);
    if (pixelLargest > 0) ++differing;
    if (pixelLargest > kTolerance) ++beyondTolerance;
    // Differences shown eight times brighter on black; beyond tolerance in red.
    const uint32_t grey = static_cast<uint32_t>(std::min(255, pixelLargest * 8));
    difference[i] = pixelLargest > kTolerance ? 0xFFFF0000u : (grey << 16) | (grey << 8) | grey;
  }
  WriteFrame(direct3d, OutputDir() / "direct3d8.tga");
  WriteFrame(opengl, OutputDir() / "opengl.tga");
  WriteFrame(difference, OutputDir() / "difference.tga");
  std::printf("Direct3D 8 against OpenGL: largest channel difference %d (tolerance %d), "
              "%zu pixels differ, %zu beyond the tolerance\n",
              largest, kTolerance, differing, beyondTolerance);
  EXPECT_EQ(beyondTolerance, 0u) << "largest difference " << largest;

  // The scene is really there: the one-to-one checkerboard's top-left texel is
  // light (red 250, blue 240) and its right neighbour dark.
  const uint32_t topLeft = direct3d[static_cast<size_t>(kHeight - 508) * kWidth + 600];
  EXPECT_GT((topLeft >> 16) & 0xFF, 200u);
  EXPECT_GT(topLeft & 0xFF, 200u);
}

}  // namespace
}  // namespace tav
