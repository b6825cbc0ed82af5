// The one drawing interface: textured, vertex-coloured quads and triangles in a
// fixed 800x600 orthographic space (origin bottom-left, y up; v = 0 is a picture's
// top row). One instance for the whole run, reached through GetRenderer().
#pragma once

#include <cstddef>
#include <cstdint>

namespace tav {

// A back-end's handle of one texture. Each back-end fills and uses only its own word.
struct RendererTexture {
  uintptr_t d3dTexture = 0;
  unsigned glName = 0;
};

// One vertex of a quad or triangle: position then texture coordinate.
struct Vertex {
  float x, y, u, v;
};

enum BlendMode { kBlendNone = 1, kBlendNormal = 2, kBlendMultiply = 3 };
enum FilterMode { kFilterNearest = 1, kFilterLinear = 2 };
enum RendererKind { kRendererGL = 1, kRendererD3D8 = 2, kRendererRecording = 3 };

// How the picture reaches a letterbox larger than the game's 800x600: drawn at 800x600
// and enlarged (classic), or drawn at the letterbox's own size, in the same game units,
// with the twice-size pictures (sharp).
enum class PictureMode { kClassic, kSharp };

class Renderer {
 public:
  explicit Renderer(int kind) : kind_(kind) {}
  virtual ~Renderer() = default;
  Renderer(const Renderer&) = delete;
  Renderer& operator=(const Renderer&) = delete;

  // Every failure in Init is a fatal report (and so raises).
  virtual void Init(int width, int height, int bitsPerPixel, bool fullScreen) = 0;
  virtual bool BeginFrame() = 0;  // false: skip this frame
  virtual void BeginScene() = 0;
  virtual void EndFrame() = 0;
  virtual void Shutdown() = 0;  // copes with a half-finished Init
  virtual void DestroyTexture(RendererTexture& texture) = 0;
  // Pixels in B, G, R (, A) order, first row = top row; bits 24 or 32.
  virtual bool CreateTextureFromPixels(const uint8_t* pixels, int width, int height,
                                       int bitsPerPixel, RendererTexture& texture) = 0;
  // A whole TGA file; reports its size and depth.
  virtual bool CreateTextureFromTga(const uint8_t* bytes, size_t byteCount, int* width,
                                    int* height, int* bitsPerPixel,
                                    RendererTexture& texture) = 0;
  virtual void BindTexture(uintptr_t d3dTexture, unsigned glName) = 0;
  virtual void Clear(float red, float green, float blue) = 0;
  virtual void DrawQuad(const Vertex vertices[4], float red, float green, float blue,
                        float alpha) = 0;
  virtual void DrawTriangle(const Vertex vertices[3], float red, float green, float blue,
                            float alpha) = 0;
  virtual void SetBlendMode(int mode) = 0;
  virtual void SetFilter(int mode) = 0;
  // Whether the frame about to begin may end without a swap: only while the main loop
  // paces frames itself because the display does not hold swaps, and is not measuring
  // this frame. A back-end may then present only the frame's changed parts, or nothing
  // when it equals the frame on the screen.
  virtual void SetSwapOptional(bool /*optional*/) {}
  // Whether the last frame ended in a real swap: only those show whether the display
  // holds presentations until its refresh.
  virtual bool LastFrameSwapped() const { return true; }
  // Whether this back-end can draw in PictureMode::kSharp (the others draw classic).
  virtual bool SupportsSharpPictures() const { return false; }
  // Why a back-end that supports the sharp mode cannot draw in it just now (full
  // screen in a display mode of the picture's own size, textures too small for the
  // twice-size pictures), or null when it can. Asked before each frame.
  virtual const char* SharpPicturesRefusal() const { return nullptr; }
  // The mode of the frames that follow; a back-end without sharp pictures ignores it.
  virtual void SetPictureMode(PictureMode /*mode*/) {}
  virtual PictureMode CurrentPictureMode() const { return PictureMode::kClassic; }

  void BindTexture(const RendererTexture& texture) {
    BindTexture(texture.d3dTexture, texture.glName);
  }

  // The BitmapFont adapts its glyph metrics to the kind: the Direct3D metrics for
  // kRendererD3D8, the OpenGL ones for every other kind.
  int Kind() const { return kind_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  int BitsPerPixel() const { return bitsPerPixel_; }
  int CurrentBlendMode() const { return blendMode_; }
  int CurrentFilter() const { return filter_; }

 protected:
  int kind_;
  int width_ = 0;
  int height_ = 0;
  int bitsPerPixel_ = 0;
  int blendMode_ = kBlendNormal;
  int filter_ = kFilterNearest;
};

// True for raw pixels a back-end can make a texture of: 24 or 32 bits, at least one
// pixel. Otherwise logs why ("Invalid image depth." or "Invalid image size.").
bool TexturePixelsUsable(const uint8_t* pixels, int width, int height, int bitsPerPixel);

// The process-wide renderer pointer (not owned here: the entry code owns it).
Renderer* GetRenderer();
void SetRenderer(Renderer* renderer);

}  // namespace tav
