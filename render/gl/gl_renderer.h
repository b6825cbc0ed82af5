// The OpenGL back-end of the Renderer, on OpenGL 1.1 and the platform's GL context. It
// ties together the parts in render/gl/: draws are batched and each frame recorded
// (draw_batcher.h, frame_record.h); an unchanged beginning of a frame (the backgrounds
// under a level's board, a whole idle menu) is drawn from a copy of the picture
// instead of again, draw by draw; the picture is drawn at its own 800x600 size and
// scaled into the letterbox with black bars, or in the sharp mode drawn at the
// letterbox's own size (picture_scaler.h); and each frame ends in
// one present mode (present_policy.h): swapped whole, copied to the window whole or
// only where it changed, or not presented at all because the window already shows it.
#pragma once

#include <memory>
#include <vector>

#include "platform/platform.h"
#include "render/gl/draw_batcher.h"
#include "render/gl/gl_batch_target.h"
#include "render/gl/picture_scaler.h"
#include "render/gl/present_policy.h"
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
  bool CreateTextureFromPixels(const uint8_t* pixels, int width, int height, int bitsPerPixel,
                               RendererTexture& texture) override;
  bool CreateTextureFromTga(const uint8_t* bytes, size_t byteCount, int* width, int* height,
                            int* bitsPerPixel, RendererTexture& texture) override;
  using Renderer::BindTexture;
  void BindTexture(uintptr_t d3dTexture, unsigned glName) override;
  void Clear(float red, float green, float blue) override;
  void DrawQuad(const Vertex vertices[4], float red, float green, float blue, float alpha) override;
  void DrawTriangle(const Vertex vertices[3], float red, float green, float blue,
                    float alpha) override;
  void SetBlendMode(int mode) override;
  void SetFilter(int mode) override;
  void SetSwapOptional(bool optional) override { swapOptional_ = optional; }
  bool LastFrameSwapped() const override { return lastFrameSwapped_; }
  bool SupportsSharpPictures() const override { return true; }
  // Takes effect at the next BeginScene, which then draws and presents the frame whole.
  void SetPictureMode(PictureMode mode) override { pictureMode_ = mode; }
  PictureMode CurrentPictureMode() const override { return pictureMode_; }

  // Draws everything held in the batch or recorded so far (the frame is then not
  // compared with the next).
  void Flush();
  // Where this frame's picture is being drawn, in drawable pixels (origin
  // bottom-left): the letterbox, or an unscaled 800x600 area that EndFrame scales.
  GameViewport PictureViewport() const { return picture_; }
  // Frame reuse on or off (on unless TAV_FRAME_REUSE=off); takes effect next frame.
  void SetFrameReuse(bool on) {
    reuseFrames_ = on;
    copiedRuns_ = 0;
  }
  // Whether the picture may be drawn into a framebuffer object where the context offers
  // them (the default); takes effect next frame.
  void SetFramebufferObjectsAllowed(bool allowed) { scaler_.SetFramebufferObjectsAllowed(allowed); }
  // Frames so far whose beginning was drawn from the kept copy, and frames presented.
  long FramesDrawnFromCopy() const { return framesDrawnFromCopy_; }
  long FramesPresented() const { return framesPresented_; }
  // Once composed: how this frame is presented and, when it is copied to the window
  // without a swap, the drawable areas copied.
  PresentMode FramePresentMode() const { return mode_; }
  const std::vector<PixelBox>& AreasToPresent() const { return areasToPresent_; }
  // Chooses how the frame is presented and finishes its picture on the back buffer
  // (flushed, scaled into the letterbox, bars black wherever the back buffer is not
  // known to hold them) without presenting it. EndFrame does this, then presents.
  void ComposeFrame();

 private:
  // Uploads B, G, R (, A) pixels, top row first, as a new clamped texture.
  void Upload(const uint8_t* bgrPixels, int width, int height, int bitsPerPixel,
              RendererTexture& texture);
  // Draws the recorded frame (`sharedRuns`: the runs it shares with the frame before),
  // the unchanged beginning from the kept copy where that pays, and keeps a new copy
  // where the plan says so.
  void DrawRecordedFrame(size_t sharedRuns, const std::vector<PixelBox>* changedOnly);

  GLBatchTarget target_;
  DrawBatcher batcher_{target_};
  Platform& platform_;
  PictureScaler scaler_{platform_, batcher_};
  bool displayModeEntered_ = false;
  bool contextCreated_ = false;
  GameViewport viewport_;  // the platform's letterbox for this frame
  GameViewport picture_;   // where the picture is drawn this frame
  PictureMode pictureMode_ = PictureMode::kClassic;  // asked for
  PictureMode framePictureMode_ = PictureMode::kClassic;  // of the frame before
  // Frames are recorded and compared with the one before; a copy of the picture after
  // the first copiedRuns_ runs of the frame replaces those runs while they stay the
  // same (TAV_FRAME_REUSE=off draws every run, for measuring the drawing itself).
  bool reuseFrames_ = true;
  ScaleTexture frameCopy_;
  size_t copiedRuns_ = 0;
  size_t sharedBefore_ = 0;
  long framesDrawnFromCopy_ = 0;
  long framesPresented_ = 0;
  // How frames reach the window (render/gl/present_policy.h). Copying parts to the
  // window needs the platform's region copies and the picture outside the back buffer
  // (TAV_PARTIAL_PRESENT=off never copies); the back buffer then keeps the whole
  // scaled picture between frames, as long as it is not swapped.
  bool swapOptional_ = false;  // set by the main loop for the next frame
  bool partialPresentsFromEnvironment_ = true;
  bool canCopyParts_ = false;    // this frame
  bool pictureIntact_ = false;   // this frame: the window shows the last presented frame
  bool pictureKept_ = false;     // this frame: the picture's texture holds the frame before
  bool backBufferKept_ = false;  // it holds the last presented frame, bars included
  bool composed_ = false;        // this frame's ComposeFrame is done
  bool lastFrameSwapped_ = false;
  PresentMode mode_ = PresentMode::kSwap;  // this frame
  std::vector<PixelBox> areasToPresent_;
};

}  // namespace tav
