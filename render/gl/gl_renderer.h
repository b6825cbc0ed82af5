// The OpenGL back-end of the Renderer: OpenGL 1.1 immediate mode on the platform's GL
// context, an orthographic 0..width by 0..height projection, the picture letterboxed
// into whatever drawable the platform gives it.
#pragma once

#include "platform/platform.h"
#include "render/renderer.h"

namespace tav {

class GLRenderer : public Renderer {
 public:
  explicit GLRenderer(Platform& platform);
  ~GLRenderer() override;

  void Init(int width, int height, int bitsPerPixel, bool fullScreen) override;
  bool BeginFrame() override;
  void BeginScene() override;
  void EndFrame() override;
  void Shutdown() override;
  void DestroyTexture(RendererTexture& texture) override;
  bool CreateTextureFromPixels(const uint8_t* pixels, int width, int height,
                               int bitsPerPixel, RendererTexture& texture) override;
  bool CreateTextureFromTga(const uint8_t* bytes, size_t byteCount, int* width, int* height,
                            int* bitsPerPixel, RendererTexture& texture) override;
  using Renderer::BindTexture;
  void BindTexture(uintptr_t d3dTexture, unsigned glName) override;
  void Clear(float red, float green, float blue) override;
  void DrawQuad(const Vertex vertices[4], float red, float green, float blue,
                float alpha) override;
  void DrawTriangle(const Vertex vertices[3], float red, float green, float blue,
                    float alpha) override;
  void SetBlendMode(int mode) override;
  void SetFilter(int mode) override;

 private:
  // Uploads R, G, B (, A) pixels, top row first, as a new clamped texture.
  void Upload(const uint8_t* rgbPixels, int width, int height, int bitsPerPixel,
              RendererTexture& texture);
  void ApplyFilterToBoundTexture();
  void ApplyBlendMode();

  Platform& platform_;
  bool displayModeEntered_ = false;
  bool contextCreated_ = false;
};

}  // namespace tav
