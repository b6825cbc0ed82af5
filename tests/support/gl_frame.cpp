// Reads the GL back buffer for the display tests and opens their window.
#include "tests/support/gl_frame.h"

#include <GL/gl.h>

#include <cstdint>
#include <fstream>
#include <utility>
#include <vector>

namespace tav::test {

std::ostream& operator<<(std::ostream& out, const Rgb& colour) {
  return out << "(" << colour.r << ", " << colour.g << ", " << colour.b << ")";
}

Rgb ReadGamePixel(Platform& platform, int gameX, int gameY) {
  glFinish();
  const GameViewport viewport = platform.Viewport();
  uint8_t pixel[4] = {};
  glReadPixels(viewport.x + gameX * viewport.width / 800,
               viewport.y + gameY * viewport.height / 600, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
  return {pixel[0], pixel[1], pixel[2]};
}

void SaveGameScreenshot(Platform& platform, const std::filesystem::path& directory,
                        const std::string& name) {
  glFinish();
  const GameViewport viewport = platform.Viewport();
  const int w = viewport.width, h = viewport.height;
  std::vector<uint8_t> bgr(static_cast<size_t>(w) * h * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(viewport.x, viewport.y, w, h, GL_RGB, GL_UNSIGNED_BYTE, bgr.data());
  for (size_t i = 0; i < bgr.size(); i += 3) std::swap(bgr[i], bgr[i + 2]);
  std::filesystem::create_directories(directory);
  std::ofstream out(directory / (name + ".tga"), std::ios::binary);
  uint8_t header[18] = {0, 0, 2};  // uncompressed true colour, rows bottom first
  header[12] = static_cast<uint8_t>(w & 0xFF);
  header[13] = static_cast<uint8_t>((w >> 8) & 0xFF);
  header[14] = static_cast<uint8_t>(h & 0xFF);
  header[15] = static_cast<uint8_t>((h >> 8) & 0xFF);
  header[16] = 24;
  out.write(reinterpret_cast<const char*>(header), sizeof header);
  out.write(reinterpret_cast<const char*>(bgr.data()), static_cast<std::streamsize>(bgr.size()));
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
