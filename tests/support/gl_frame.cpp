// Reads the GL back buffer for the display tests and opens their window.
#include "tests/support/gl_frame.h"

#include "tests/support/tga_bytes.h"

#include <GL/gl.h>

#include <cstdint>
#include <vector>

namespace tav::test {

std::ostream& operator<<(std::ostream& out, const Rgb& colour) {
  return out << "(" << colour.r << ", " << colour.g << ", " << colour.b << ")";
}

Rgb ReadGamePixel(GLRenderer& renderer, int gameX, int gameY) {
  renderer.Flush();
  glFinish();
  const GameViewport viewport = renderer.PictureViewport();
  uint8_t pixel[4] = {};
  glReadPixels(viewport.x + gameX * viewport.width / 800,
               viewport.y + gameY * viewport.height / 600, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
  return {pixel[0], pixel[1], pixel[2]};
}

void SaveGameScreenshot(GLRenderer& renderer, const std::filesystem::path& directory,
                        const std::string& name) {
  renderer.Flush();
  glFinish();
  const GameViewport viewport = renderer.PictureViewport();
  const int w = viewport.width, h = viewport.height;
  std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(viewport.x, viewport.y, w, h, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  // GL reads rows bottom first; the pixel function counts them from the top.
  const auto pixel = [&](int x, int yFromTop) {
    const uint8_t* p = &rgb[(static_cast<size_t>(h - 1 - yFromTop) * w + x) * 3];
    return Bgra{p[2], p[1], p[0], 255};
  };
  std::filesystem::create_directories(directory);
  WriteBytes(directory / (name + ".tga"), MakeTga(w, h, 24, pixel));
}

void GlTestWindow::Open(int settleFrames) {
  platform = std::make_unique<SdlPlatform>();
  platform->CreateMainWindow("Tavrolith", 800, 600);
  platform->ShowMainWindow();
  renderer = std::make_unique<GLRenderer>(*platform);
  renderer->Init(800, 600, 16, true);
  SetRenderer(renderer.get());
  for (int i = 0; i < settleFrames; ++i) {
    DrainEvents();
    renderer->BeginScene();
    renderer->EndFrame();
  }
}

void GlTestWindow::Close() {
  renderer->Shutdown();
  SetRenderer(nullptr);
  renderer.reset();
  platform->DestroyMainWindow();
  platform.reset();
}

void GlTestWindow::DrainEvents() {
  PlatformEvent event;
  while (platform->PollEvent(&event)) {
  }
}

}  // namespace tav::test
