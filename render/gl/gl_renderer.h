// The OpenGL back-end of the Renderer, on OpenGL 1.1 and the platform's GL context.
// Draws are batched (render/gl/draw_batcher.h). The game's picture is drawn at its own
// 800x600 size and then put on the screen with one scaled draw, sharp at any size:
// enlarged by a whole factor with the nearest filter, then linearly filtered to the
// letterbox, so that every game pixel covers the same number of screen pixels within
// one. On a drawable too small for an unscaled picture it is drawn scaled directly.
#pragma once

#include <memory>

#include "platform/platform.h"
#include "render/gl/draw_batcher.h"
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

  // Draws everything still held in the batch.
  void Flush();
  // Where this frame's picture is being drawn, in drawable pixels (origin
  // bottom-left): the letterbox, or an unscaled 800x600 area that EndFrame scales.
  GameViewport PictureViewport() const { return picture_; }
  // Finishes the frame's picture on the back buffer (flushed, scaled into the
  // letterbox, bars black) without presenting it. EndFrame does this, then presents.
  void ComposeFrame();

 private:
  // A texture the picture is copied into for scaling, with its size.
  struct ScaleTexture {
    unsigned name = 0;
    int width = 0;
    int height = 0;
  };

  // Uploads R, G, B (, A) pixels, top row first, as a new clamped texture.
  void Upload(const uint8_t* rgbPixels, int width, int height, int bitsPerPixel,
              RendererTexture& texture);
  void SetArea(int x, int y, int width, int height);
  // Copies the back buffer's lower-left `width` x `height` pixels into `texture`,
  // making it large enough first.
  void CopyToTexture(ScaleTexture& texture, int width, int height);
  // Draws the lower-left `width` x `height` pixels of `texture` over the area.
  void DrawTextureArea(const ScaleTexture& texture, int width, int height, int filter);
  void ClearRect(int x, int y, int width, int height);
  void ClearBars();

  class GLTarget;
  std::unique_ptr<GLTarget> target_;
  std::unique_ptr<DrawBatcher> batcher_;
  Platform& platform_;
  bool displayModeEntered_ = false;
  bool contextCreated_ = false;
  int maxTextureSize_ = 1024;
  GameViewport viewport_;        // the platform's letterbox for this frame
  GameViewport picture_;         // where the picture is drawn this frame
  bool scaling_ = false;         // the picture is drawn unscaled and scaled at the end
  int wholeFactor_ = 1;          // the nearest-filter enlargement before the linear one
  int fullClearsLeft_ = 0;       // frames whose whole drawable is still to be cleared
  ScaleTexture pictureTexture_;  // the 800x600 picture
  ScaleTexture enlargedTexture_; // the picture enlarged by the whole factor
};

}  // namespace tav
