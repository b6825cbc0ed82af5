// The Direct3D 8 back-end of the Renderer, the one the Windows game tries first.
// "d3d8.dll" is loaded at run time rather than linked, so a machine without it still
// starts the game (every start-up failure is a fatal report, and the entry then
// falls back to OpenGL). Pictures are decoded by our own TGA reader and uploaded
// into managed textures, which survive a lost device without being re-created.
// What the device cannot do (the texture sizes and formats it takes) is found before
// the device is made, while OpenGL can still take over. A lost device is a state:
// the back-end sleeps while it lasts and retries the reset until it succeeds.
// Full screen, the device owns the display in the game's mode. In a window (the
// player's choice, which the platform reports) it draws into an 800x600 back buffer
// in the desktop's format and presents it into the letterbox of the window's client
// area, the bars around it painted black; a switch between the two is a reset of
// the device with the other mode's parameters, taken like a lost device's. With the
// twice-size pictures (the sharp mode, in a window only) the back buffer is instead
// the letterbox's own size and presented into it pixel for pixel; it follows a
// resized window once the letterbox has kept its new size for a few frames, so that
// dragging a window's edge does not reset the device in every frame.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/platform.h"
#include "render/renderer.h"

struct IDirect3D8;
struct IDirect3DDevice8;

namespace tav {

class D3D8Renderer : public Renderer {
 public:
  // The device covers the platform's main window (an HWND), made before Init.
  explicit D3D8Renderer(Platform& platform);
  ~D3D8Renderer() override;

  void Init(int width, int height, int bitsPerPixel, bool fullScreen) override;
  // False while the device is lost, and in the frame in which it is reset.
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
  bool SupportsSharpPictures() const override { return true; }
  // Full screen the device shows the game's own display mode, where the twice-size
  // pictures gain nothing; a device whose textures cannot hold them never draws sharp.
  const char* SharpPicturesRefusal() const override;
  // Takes effect with the back buffer's reset in a later BeginFrame.
  void SetPictureMode(PictureMode mode) override { pictureMode_ = mode; }
  // The mode the back buffer is drawn in (sharp once it has the letterbox's size).
  PictureMode CurrentPictureMode() const override { return bufferMode_; }

  // Copies the frame drawn so far (call it before EndFrame, which discards it) as
  // 0xAARRGGBB words, top row first, the back buffer's width x height. False
  // when the device cannot give it. For screenshots and the comparison with the
  // OpenGL back-end.
  bool ReadBackBuffer(std::vector<uint32_t>* pixels);

 private:
  void SetupDefaultStates();
  // The present parameters of the current mode (windowed_) and back buffer (buffer_),
  // into present_.
  void FillPresentParameters();
  // In a window: the back buffer the picture mode asks for (the letterbox's size when
  // sharp, else the game's), asked for by a reset once it has stayed the same for
  // kResizeSettleFrames frames.
  void FollowLetterbox();
  // Resets the device with present_; false in every case, as the frame is skipped.
  bool ResetDevice();
  // In a window: the client area outside the picture's letterbox, painted black.
  void PaintBars(int clientWidth, int clientHeight, int x, int y, int width, int height);
  void ApplyFilter();
  void ApplyBlendMode();
  void Draw(int primitiveType, int primitiveCount, const Vertex* vertices, int vertexCount,
            float red, float green, float blue, float alpha);

  // The device is lost: false while it is lost (after a pause, so that the loop does
  // not spin), and false in the frame in which it is reset.
  bool RecoverLostDevice(long cooperativeLevel);

  Platform& platform_;
  void* window_ = nullptr;
  void* library_ = nullptr;  // HMODULE of d3d8.dll
  IDirect3D8* direct3d_ = nullptr;
  IDirect3DDevice8* device_ = nullptr;
  struct PresentParameters;
  std::unique_ptr<PresentParameters> present_;  // kept for Reset
  uint32_t backBufferFormat_ = 0;
  uint32_t fullScreenFormat_ = 0;
  uint32_t desktopFormat_ = 0;  // the desktop's format: a window's back buffer
  bool windowed_ = false;
  bool fullScreenSynced_ = true;  // full-screen presents wait for the display
  // A reset the device has yet to take: for a new back-buffer size only (the window
  // stays as the player sized it), or for a new display mode or a lost device (the
  // window is given its mode's style, size and place again afterwards).
  enum class PendingReset { kNone, kBackBufferSize, kDisplayMode };
  PendingReset pendingReset_ = PendingReset::kNone;
  // The back buffer's size and the picture mode it is drawn in.
  struct BackBuffer {
    int width = 0;
    int height = 0;
    PictureMode mode = PictureMode::kClassic;
    bool operator==(const BackBuffer&) const = default;
  };
  BackBuffer buffer_;                                // in present_
  PictureMode bufferMode_ = PictureMode::kClassic;   // of the device's back buffer now
  PictureMode pictureMode_ = PictureMode::kClassic;  // asked for
  BackBuffer wantedBuffer_;  // what the window asked for in the last frames
  int wantedFrames_ = 0;     // ... for this many frames in a row
  std::string sharpRefusal_;  // the textures are too small for the twice-size pictures
  // The texture last bound; forgotten at every BeginScene, so the next bind is
  // always sent.
  static constexpr uintptr_t kNoTextureKnown = ~uintptr_t{0};
  uintptr_t boundTexture_ = kNoTextureKnown;
  // What the device was last given, so that unchanged states are not sent again.
  int appliedFilter_ = 0;
  int appliedBlendMode_ = 0;
  bool stageTextured_ = true;  // the stage modulates by the texture (else vertex colour)
  // Devices that take only power-of-two (perhaps square) textures get padded
  // pictures; their texture coordinates are scaled by the bound texture's factors.
  bool powerOfTwoTextures_ = false;
  bool squareTextures_ = false;
  struct CoordinateScale {
    float u = 1.0f;
    float v = 1.0f;
  };
  std::unordered_map<uintptr_t, CoordinateScale> paddedTextures_;
  CoordinateScale boundScale_;
  bool deviceLost_ = false;
};

}  // namespace tav
