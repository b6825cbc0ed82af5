// Puts the game's picture, drawn at its own 800x600 size, on a drawable of any size:
// the picture is drawn into a texture through a framebuffer object where the context
// offers one (else into the back buffer, which is then copied), enlarged by a whole
// factor with the nearest filter, then linearly filtered into the letterbox, so that
// every game pixel covers the same number of screen pixels within one. The bars
// around the letterbox are cleared to black. On a drawable too small for an unscaled
// picture it is drawn scaled directly, and nothing is left to do here.
// In the sharp mode the picture is drawn at the letterbox's own size instead (the same
// game units, a larger viewport): into a texture of that size through the framebuffer
// object, which is then copied to the letterbox pixel for pixel, whole or where it
// changed; without framebuffer objects straight into the letterbox.
#pragma once

#include <memory>
#include <vector>

#include "platform/platform.h"
#include "render/gl/draw_batcher.h"
#include "render/gl/gl_functions.h"

namespace tav {

// A texture the picture is copied into, with its size.
struct ScaleTexture {
  unsigned name = 0;
  int width = 0;
  int height = 0;
};

class PictureScaler {
 public:
  PictureScaler(Platform& platform, DrawBatcher& batcher);
  ~PictureScaler();

  // Once the context exists: what it offers, for a picture of `width` x `height`.
  void Start(int width, int height);
  // Deletes the textures and the framebuffer object (the context still current).
  void Release();
  // Whether the picture may be drawn into a framebuffer object where the context
  // offers them (the default); takes effect next frame.
  void SetFramebufferObjectsAllowed(bool allowed) { framebuffersAllowed_ = allowed; }

  // At the start of each frame, for the platform's letterbox and the picture mode:
  // decides whether the picture is scaled and where and at what size it is drawn, and
  // makes that the drawing target. Returns where the frame's draws go, in drawable
  // pixels.
  GameViewport BeginFrame(const GameViewport& viewport, PictureMode mode);
  // This frame's picture is drawn at the letterbox's size (sharp mode, on a letterbox
  // larger than the picture).
  bool DrawingAtScreenSize() const { return atScreenSize_; }
  // The picture is drawn unscaled this frame and scaled by one of the calls below.
  bool Scaling() const { return scaling_; }
  // ... into the framebuffer object (the back buffer is not touched until scaled),
  // and enlarged in one step.
  bool OutsideBackBufferInOneStep() const { return drawingToFramebuffer_ && wholeFactor_ == 1; }
  // Ends drawing into the framebuffer object, if the frame did.
  void LeaveFramebuffer();
  // While drawing into the framebuffer object: limits drawing to the pixels of the
  // picture that `box` (game pixels) covers; the rest keeps what the frame before
  // drew there.
  void LimitDrawingTo(const PixelBox& box) const;

  // Scales the whole picture into the letterbox and clears the bars.
  void ScaleWhole();
  // Scales again only the parts of the letterbox that the picture pixels in `changes`
  // reach, and returns those drawable areas; the rest of the back buffer is left as
  // it was.
  std::vector<PixelBox> ScaleChanges(const std::vector<PixelBox>& changes);
  // Clears the whole drawable outside the letterbox to black.
  void ClearBars();

  // Tools for the back-end's own copies of the picture.
  // Copies the back buffer's `width` x `height` pixels from (x, y) into `texture`,
  // making it large enough first.
  void CopyToTexture(ScaleTexture& texture, int x, int y, int width, int height);
  // Draws the lower-left `width` x `height` pixels of `texture` over the drawing area.
  void DrawTextureArea(const ScaleTexture& texture, int width, int height, int filter);
  void DeleteTexture(ScaleTexture& texture);
  // Sets the viewport and scissor to the area (drawable pixels).
  static void SetArea(int x, int y, int width, int height);

 private:
  // Creates `texture` (or a larger one) when it is smaller than `width` x `height`;
  // true when it did, which leaves it bound.
  bool MakeTexture(ScaleTexture& texture, int width, int height);
  int TextureSizeFor(int size) const;
  bool BindFramebuffer();
  // Attaches the picture texture to the framebuffer object; false when incomplete.
  bool AttachPictureTexture();
  // The drawable pixels whose scaled picture can change with the picture's pixels in
  // `box`: the box scaled into the letterbox, one picture pixel wider on every side
  // for the linear filter.
  PixelBox ScaledBox(const PixelBox& box) const;

  Platform& platform_;
  DrawBatcher& batcher_;
  int width_ = 800;
  int height_ = 600;
  int maxTextureSize_ = 1024;
  bool anySizeTextures_ = false;  // textures need not be powers of two
  GameViewport viewport_;         // this frame's letterbox
  bool scaling_ = false;
  int wholeFactor_ = 1;           // the nearest-filter enlargement before the linear one
  bool atScreenSize_ = false;     // drawn at the letterbox's size
  int drawWidth_ = 800;           // the picture's size in pixels this frame
  int drawHeight_ = 600;
  ScaleTexture pictureTexture_;   // the picture as drawn (800x600, or the letterbox's size)
  ScaleTexture enlargedTexture_;  // the picture enlarged by the whole factor
  std::unique_ptr<FramebufferFunctions> framebuffers_;  // null: not offered
  unsigned pictureFramebuffer_ = 0;
  bool drawingToFramebuffer_ = false;
  bool framebuffersAllowed_ = true;
};

}  // namespace tav
