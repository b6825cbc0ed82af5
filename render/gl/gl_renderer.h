// The OpenGL back-end of the Renderer, on OpenGL 1.1 and the platform's GL context.
// Draws are batched (render/gl/draw_batcher.h). The game's picture is drawn at its own
// 800x600 size (into a texture through a framebuffer object where the context offers
// one, else into the back buffer, which is then copied) and then put on the screen with
// one scaled draw, sharp at any size:
// enlarged by a whole factor with the nearest filter, then linearly filtered to the
// letterbox, so that every game pixel covers the same number of screen pixels within
// one. On a drawable too small for an unscaled picture it is drawn scaled directly.
// Each frame's draws are recorded and compared with the frame before: an unchanged
// beginning (the backgrounds under a level's board, a whole idle menu) is drawn from a
// copy of the picture instead of again, draw by draw. Where presentations do not wait
// for the display anyway and the platform can copy parts of the back buffer to the
// window, only the parts of the letterbox whose picture changed are scaled again and
// presented, without a swap.
#pragma once

#include <memory>
#include <vector>

#include "platform/platform.h"
#include "render/gl/draw_batcher.h"
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
  void SetFramebufferObjectsAllowed(bool allowed) { framebuffersAllowed_ = allowed; }
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
  // A texture the picture is copied into for scaling, with its size.
  struct ScaleTexture {
    unsigned name = 0;
    int width = 0;
    int height = 0;
  };

  // Uploads B, G, R (, A) pixels, top row first, as a new clamped texture.
  void Upload(const uint8_t* bgrPixels, int width, int height, int bitsPerPixel,
              RendererTexture& texture);
  void SetArea(int x, int y, int width, int height);
  // Copies the back buffer's `width` x `height` pixels from (x, y) into `texture`,
  // making it large enough first.
  void CopyToTexture(ScaleTexture& texture, int x, int y, int width, int height);
  // Creates `texture` (or a larger one) when it is smaller than `width` x `height`; true
  // when it did, which leaves it bound.
  bool MakeTexture(ScaleTexture& texture, int width, int height);
  // The framebuffer-object path: found at Init; the picture texture is the target of
  // this frame's draws while scaling (false: not available, the back buffer is copied).
  void LoadFramebufferFunctions(const char* version);
  bool BindPictureFramebuffer();
  void UnbindPictureFramebuffer();
  int TextureSizeFor(int size) const;
  // Draws the recorded frame (`sharedRuns`: the runs it shares with the frame before),
  // the unchanged beginning from the kept copy where that pays, and keeps a new copy
  // where the plan says so.
  void DrawRecordedFrame(size_t sharedRuns);
  // Draws the lower-left `width` x `height` pixels of `texture` over the area.
  void DrawTextureArea(const ScaleTexture& texture, int width, int height, int filter);
  void ClearRect(int x, int y, int width, int height);
  // The drawable pixels whose scaled picture can change with the picture's pixels in
  // `box`: the box scaled into the letterbox, one picture pixel wider on every side
  // for the linear filter.
  PixelBox ScaledBox(const PixelBox& box) const;
  // Scales the picture into the parts of the letterbox it changed and notes them.
  void ScaleChangedAreas();
  // Clears the whole drawable outside the letterbox to black.
  void ClearBars();

  class GLTarget;
  std::unique_ptr<GLTarget> target_;
  std::unique_ptr<DrawBatcher> batcher_;
  Platform& platform_;
  bool displayModeEntered_ = false;
  bool contextCreated_ = false;
  int maxTextureSize_ = 1024;
  GameViewport viewport_;         // the platform's letterbox for this frame
  GameViewport picture_;          // where the picture is drawn this frame
  bool scaling_ = false;          // the picture is drawn unscaled and scaled at the end
  int wholeFactor_ = 1;           // the nearest-filter enlargement before the linear one
  ScaleTexture pictureTexture_;   // the 800x600 picture
  ScaleTexture enlargedTexture_;  // the picture enlarged by the whole factor
  bool anySizeTextures_ = false;  // textures need not be powers of two
  struct FramebufferFunctions;
  std::unique_ptr<FramebufferFunctions> framebuffers_;  // null: not offered
  unsigned pictureFramebuffer_ = 0;
  bool drawingToFramebuffer_ = false;
  bool framebuffersAllowed_ = true;
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
  // window needs the platform's region copies and the picture in a framebuffer object
  // (TAV_PARTIAL_PRESENT=off never copies); the back buffer then keeps the whole
  // scaled picture between frames, as long as it is not swapped.
  bool swapOptional_ = false;            // set by the main loop for the next frame
  bool partialPresentsFromEnvironment_ = true;
  bool canCopyParts_ = false;            // this frame
  bool pictureIntact_ = false;           // this frame: the window shows the last frame
  bool backBufferKept_ = false;          // it holds the last presented frame, bars included
  bool composed_ = false;                // this frame's ComposeFrame is done
  bool lastFrameSwapped_ = false;
  PresentMode mode_ = PresentMode::kSwap;  // this frame
  std::vector<PixelBox> pictureChanges_;
  std::vector<PixelBox> areasToPresent_;
};

}  // namespace tav
