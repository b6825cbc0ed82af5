// Direct3D 8 back-end. Every operation maps onto one or two device calls; the few
// extension-library helpers Direct3D programs usually lean on (projection matrix,
// texture from pixels, error names) are our own, in d3d8_helpers.
#include "render/d3d8/d3d8_renderer.h"

#include <windows.h>
#include <d3d8.h>

#include <array>
#include <cstdio>
#include <cstring>

#include "base/log.h"
#include "platform/letterbox.h"
#include "render/d3d8/d3d8_helpers.h"
#include "render/tga_decoder.h"

namespace tav {

struct D3D8Renderer::PresentParameters {
  D3DPRESENT_PARAMETERS value;
};

namespace {

constexpr DWORD kVertexFormat = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;

// The vertex layout drawn from user memory: position, diffuse colour, texture
// coordinate (24 bytes).
struct D3DVertex {
  float x, y, z;
  DWORD colour;
  float u, v;
};
static_assert(sizeof(D3DVertex) == 24);

// Widens one row-major surface of a back-buffer format into 0xAARRGGBB words,
// repeating each channel's top bits into its low ones as OpenGL does.
bool ReadSurfaceRows(const uint8_t* bits, size_t pitch, UINT width, UINT height,
                     uint32_t format, std::vector<uint32_t>* pixels) {
  auto widen = [](uint32_t value, int valueBits) {
    return (value << (8 - valueBits)) | (value >> (2 * valueBits - 8));
  };
  pixels->resize(static_cast<size_t>(width) * height);
  for (UINT row = 0; row < height; ++row) {
    const uint8_t* source = bits + row * pitch;
    uint32_t* target = pixels->data() + static_cast<size_t>(row) * width;
    for (UINT x = 0; x < width; ++x) {
      if (format == D3DFMT_R5G6B5) {
        const uint32_t word = source[2 * x] | (source[2 * x + 1] << 8);
        target[x] = 0xFF000000u | (widen(word >> 11, 5) << 16) |
                    (widen((word >> 5) & 0x3F, 6) << 8) | widen(word & 0x1F, 5);
      } else if (format == D3DFMT_X8R8G8B8 || format == D3DFMT_A8R8G8B8) {
        std::memcpy(&target[x], source + 4 * x, 4);
        target[x] |= 0xFF000000u;
      } else {
        return false;
      }
    }
  }
  return true;
}

// How long the loop pauses in each frame while the device is lost: the game cannot
// draw, and another program (or the locked desktop) has the display. The pause goes
// through the platform, the program's one source of time.
constexpr DWORD kLostDeviceSleepMilliseconds = 100;

// The texture size the game's largest picture needs (800 pixels wide, padded to a
// power of two on devices that want one); a device with smaller textures cannot
// show the game.
constexpr DWORD kLargestPictureSize = 1024;

// The twice-size pictures are twice the game's; none is larger than the screen.
constexpr int kSharpPictureScale = 2;

// How many frames in a row a window's letterbox must ask for the same back buffer
// before the device is reset for it: a window whose edge is being dragged changes
// its size in every frame, and each reset costs far more than a frame.
constexpr int kResizeSettleFrames = 3;

IDirect3DTexture8* AsTexture(uintptr_t handle) {
  return reinterpret_cast<IDirect3DTexture8*>(handle);
}

}  // namespace

D3D8Renderer::D3D8Renderer(Platform& platform)
    : Renderer(kRendererD3D8), platform_(platform) {
  blendMode_ = kBlendNormal;
  filter_ = kFilterNearest;
}

D3D8Renderer::~D3D8Renderer() { Shutdown(); }

// Every fatal report raises while errors raise; the returns after them matter only
// when they do not, so that nothing runs on what failed.
void D3D8Renderer::Init(int width, int height, int bitsPerPixel, bool fullScreen) {
  width_ = width;
  height_ = height;
  bitsPerPixel_ = bitsPerPixel;
  window_ = platform_.NativeWindowHandle();
  SetErrorNameFunction(&D3DErrorName);

  HMODULE library = LoadLibraryA("d3d8.dll");
  library_ = library;
  if (library == nullptr) {
    ReportFatal("Failed to load library d3d8.dll.");
    return;
  }
  using CreateFunction = IDirect3D8*(WINAPI*)(UINT);
  auto create = reinterpret_cast<CreateFunction>(
      reinterpret_cast<void*>(GetProcAddress(library, "Direct3DCreate8")));
  if (create == nullptr) {
    ReportFatal("GetProcAddress( d3d8lib, \"Direct3DCreate8\" ) failed.");
    return;
  }

  LogLine("Direct3DCreate8()\n");
  direct3d_ = create(D3D_SDK_VERSION);
  if (direct3d_ == nullptr) {
    ReportFatal("Direct3DCreate8() failed.");
    return;
  }

  LogLine("GetAdapterIdentifier()\n");
  D3DADAPTER_IDENTIFIER8 identifier;
  std::memset(&identifier, 0, sizeof identifier);
  HRESULT result = direct3d_->GetAdapterIdentifier(D3DADAPTER_DEFAULT, D3DENUM_NO_WHQL_LEVEL,
                                                   &identifier);
  if (FAILED(result)) {
    ReportFatalWithCode(result, "GetAdapterIdentifier() failed.");
    return;
  }
  identifier.Driver[sizeof identifier.Driver - 1] = '\0';
  identifier.Description[sizeof identifier.Description - 1] = '\0';
  LogLine("DirectX Driver: %s\n", identifier.Driver);
  LogLine("Description: %s\n", identifier.Description);
  LogLine("Driver version info:\n");
  const uint64_t version = static_cast<uint64_t>(identifier.DriverVersion.QuadPart);
  LogLine("  Product: %d\n", static_cast<int>((version >> 48) & 0xFFFF));
  LogLine("  Version: %d\n", static_cast<int>((version >> 32) & 0xFFFF));
  LogLine("  SubVersion: %d\n", static_cast<int>((version >> 16) & 0xFFFF));
  LogLine("  Build: %d\n", static_cast<int>(version & 0xFFFF));

  LogLine("GetDeviceCaps()\n");
  D3DCAPS8 caps;
  result = direct3d_->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps);
  if (FAILED(result)) {
    platform_.ShowCursor(true);
    MessageBoxA(static_cast<HWND>(window_),
                "No hardware acceleration detected.\n\nYour system does not support "
                "hardware acceleration\nor your video drivers should be updated.",
                "ERROR", MB_OK | MB_ICONERROR);
    ReportFatalWithCode(result, "GetDeviceCaps() failed.");
    return;
  }

  // What the pictures need is checked now, while OpenGL can still take over.
  powerOfTwoTextures_ = (caps.TextureCaps & D3DPTEXTURECAPS_POW2) != 0 &&
                        (caps.TextureCaps & D3DPTEXTURECAPS_NONPOW2CONDITIONAL) == 0;
  squareTextures_ = (caps.TextureCaps & D3DPTEXTURECAPS_SQUAREONLY) != 0;
  if (powerOfTwoTextures_ || squareTextures_) {
    LogLine("Textures padded to %s\n", squareTextures_ ? "square powers of two" : "powers of two");
  }
  const D3DFORMAT backBufferFormat = bitsPerPixel == 16 ? D3DFMT_R5G6B5 : D3DFMT_X8R8G8B8;
  // A window's back buffer takes the desktop's format, read now while the desktop
  // still has its own mode. Unknown, a window uses the full-screen format.
  D3DDISPLAYMODE desktop;
  std::memset(&desktop, 0, sizeof desktop);
  fullScreenFormat_ = backBufferFormat;
  desktopFormat_ = backBufferFormat;
  if (SUCCEEDED(direct3d_->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &desktop)) &&
      desktop.Format != D3DFMT_UNKNOWN) {
    desktopFormat_ = desktop.Format;
  }
  auto textureFormatAccepted = [&](D3DFORMAT format) {
    return SUCCEEDED(direct3d_->CheckDeviceFormat(
        D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL,
        static_cast<D3DFORMAT>(platform_.Windowed() ? desktopFormat_ : fullScreenFormat_), 0,
        D3DRTYPE_TEXTURE, format));
  };
  if (!(textureFormatAccepted(D3DFMT_A8R8G8B8) || textureFormatAccepted(D3DFMT_A4R4G4B4)) ||
      !(textureFormatAccepted(D3DFMT_X8R8G8B8) || textureFormatAccepted(D3DFMT_R5G6B5))) {
    ReportFatal("The device has no texture format for the game's pictures.");
    return;
  }
  if (caps.MaxTextureWidth < kLargestPictureSize || caps.MaxTextureHeight < kLargestPictureSize) {
    ReportFatal("The device's textures are too small for the game's pictures.");
    return;
  }
  if (!TextureFits(kSharpPictureScale * width, kSharpPictureScale * height, powerOfTwoTextures_,
                   squareTextures_, caps.MaxTextureWidth, caps.MaxTextureHeight)) {
    char reason[128];
    std::snprintf(reason, sizeof reason,
                  "the device's textures (at most %lux%lu) are too small for the twice-size "
                  "pictures",
                  static_cast<unsigned long>(caps.MaxTextureWidth),
                  static_cast<unsigned long>(caps.MaxTextureHeight));
    sharpRefusal_ = reason;
  }

  fullScreenSynced_ =
      fullScreen || (caps.PresentationIntervals & D3DPRESENT_INTERVAL_IMMEDIATE) == 0;
  windowed_ = platform_.Windowed();
  pendingReset_ = PendingReset::kNone;
  buffer_ = BackBuffer{width_, height_, PictureMode::kClassic};
  bufferMode_ = PictureMode::kClassic;
  present_ = std::make_unique<PresentParameters>();
  FillPresentParameters();

  LogLine(windowed_ ? "CreateDevice() in a window\n" : "CreateDevice()\n");
  result = direct3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, static_cast<HWND>(window_),
                                   D3DCREATE_SOFTWARE_VERTEXPROCESSING, &present_->value,
                                   &device_);
  if (FAILED(result) || device_ == nullptr) {
    device_ = nullptr;
    ReportFatalWithCode(result, "CreateDevice() failed.");
    return;
  }

  LogLine("SetupDefaultStates()\n");
  SetupDefaultStates();
}

void D3D8Renderer::FillPresentParameters() {
  D3DPRESENT_PARAMETERS& parameters = present_->value;
  std::memset(&parameters, 0, sizeof parameters);
  parameters.BackBufferWidth = buffer_.width;
  parameters.BackBufferHeight = buffer_.height;
  parameters.BackBufferCount = 1;
  parameters.MultiSampleType = D3DMULTISAMPLE_NONE;
  parameters.hDeviceWindow = static_cast<HWND>(window_);
  parameters.EnableAutoDepthStencil = FALSE;
  if (windowed_) {
    // Only a copying swap may be presented into part of the window.
    parameters.BackBufferFormat = static_cast<D3DFORMAT>(desktopFormat_);
    parameters.SwapEffect = D3DSWAPEFFECT_COPY;
    parameters.Windowed = TRUE;
    parameters.FullScreen_PresentationInterval = D3DPRESENT_INTERVAL_DEFAULT;
  } else {
    parameters.BackBufferFormat = static_cast<D3DFORMAT>(fullScreenFormat_);
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.Windowed = FALSE;
    parameters.FullScreen_RefreshRateInHz = 0;  // the default rate
    parameters.FullScreen_PresentationInterval =
        fullScreenSynced_ ? D3DPRESENT_INTERVAL_ONE : D3DPRESENT_INTERVAL_IMMEDIATE;
  }
  backBufferFormat_ = parameters.BackBufferFormat;
}

void D3D8Renderer::SetupDefaultStates() {
  device_->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
  device_->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
  device_->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
  device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  device_->SetRenderState(D3DRS_LIGHTING, FALSE);
  device_->SetRenderState(D3DRS_DITHERENABLE, TRUE);

  device_->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
  device_->SetTextureStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP);
  device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  device_->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  device_->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
  device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  device_->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  device_->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
  device_->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
  stageTextured_ = true;
  // Every state below is set anew, whatever was last applied.
  appliedFilter_ = 0;
  appliedBlendMode_ = 0;
  ApplyFilter();
  ApplyBlendMode();

  const std::array<float, 16> projection =
      ScreenProjection(width_, height_, buffer_.width, buffer_.height);
  D3DMATRIX matrix;
  std::memcpy(&matrix, projection.data(), sizeof matrix);
  device_->SetTransform(D3DTS_PROJECTION, &matrix);
  D3DMATRIX identity;
  std::memset(&identity, 0, sizeof identity);
  identity._11 = identity._22 = identity._33 = identity._44 = 1.0f;
  device_->SetTransform(D3DTS_WORLD, &identity);
  device_->SetTransform(D3DTS_VIEW, &identity);
  device_->SetVertexShader(kVertexFormat);
  // The device forgot the bound texture with its states.
  device_->SetTexture(0, nullptr);
  boundTexture_ = kNoTextureKnown;
}

bool D3D8Renderer::BeginFrame() {
  if (device_ == nullptr) return false;
  if (platform_.Windowed() != windowed_) {
    // The player switched between full screen and a window: the device follows
    // through a reset with the other mode's parameters, at the game's size either
    // way; a window's twice-size pictures follow as they do after a resize.
    windowed_ = !windowed_;
    LogLine(windowed_ ? "Device to a window\n" : "Device to full screen\n");
    buffer_ = BackBuffer{width_, height_, PictureMode::kClassic};
    FillPresentParameters();
    pendingReset_ = PendingReset::kDisplayMode;
  }
  const HRESULT state = device_->TestCooperativeLevel();
  if (state == D3DERR_DEVICELOST || state == D3DERR_DEVICENOTRESET) {
    return RecoverLostDevice(state);
  }
  if (pendingReset_ == PendingReset::kNone && windowed_) FollowLetterbox();
  if (pendingReset_ != PendingReset::kNone) return ResetDevice();
  if (deviceLost_) {
    // Lost only in a Present that the device has since got over by itself.
    LogLine("Device back\n");
    deviceLost_ = false;
  }
  return true;
}

void D3D8Renderer::FollowLetterbox() {
  BackBuffer wanted{width_, height_, PictureMode::kClassic};
  if (pictureMode_ == PictureMode::kSharp) {
    const GameViewport letterbox = platform_.Viewport();
    if (letterbox.width <= 0 || letterbox.height <= 0) return;  // minimised: nothing to follow
    wanted = BackBuffer{letterbox.width, letterbox.height, PictureMode::kSharp};
  }
  if (wanted == buffer_) {
    wantedFrames_ = 0;
    return;
  }
  wantedFrames_ = wanted == wantedBuffer_ ? wantedFrames_ + 1 : 1;
  wantedBuffer_ = wanted;
  if (wantedFrames_ < kResizeSettleFrames) return;
  wantedFrames_ = 0;
  buffer_ = wanted;
  LogLine("Back buffer to %dx%d for %s pictures\n", buffer_.width, buffer_.height,
          buffer_.mode == PictureMode::kSharp ? "sharp" : "classic");
  FillPresentParameters();
  pendingReset_ = PendingReset::kBackBufferSize;
}

const char* D3D8Renderer::SharpPicturesRefusal() const {
  if (!sharpRefusal_.empty()) return sharpRefusal_.c_str();
  if (!platform_.Windowed()) return "the device is full screen in the game's own display mode";
  return nullptr;
}

bool D3D8Renderer::RecoverLostDevice(long cooperativeLevel) {
  if (!deviceLost_) {
    LogLine("Device lost\n");
    deviceLost_ = true;
  }
  if (cooperativeLevel == D3DERR_DEVICELOST) {
    platform_.Sleep(kLostDeviceSleepMilliseconds);
    return false;
  }
  return ResetDevice();
}

bool D3D8Renderer::ResetDevice() {
  LogLine("Reset()\n");
  const HRESULT result = device_->Reset(&present_->value);
  if (result == D3DERR_DEVICELOST) {
    // Lost again between the test and the reset (or lost in a mode switch): the
    // device is still lost, and the reset is tried again once it can be.
    LogLine("Reset() found the device lost again\n");
    deviceLost_ = true;
    if (pendingReset_ == PendingReset::kNone) pendingReset_ = PendingReset::kDisplayMode;
    platform_.Sleep(kLostDeviceSleepMilliseconds);
    return false;
  }
  if (FAILED(result)) {
    ReportFatalWithCode(result, "Reset() failed.");
    return false;
  }
  LogLine("Device reset\n");
  deviceLost_ = false;
  const bool placeWindow = pendingReset_ != PendingReset::kBackBufferSize;
  pendingReset_ = PendingReset::kNone;
  bufferMode_ = buffer_.mode;
  SetupDefaultStates();
  // A full-screen device shapes its window itself; the window is given its mode's
  // style, size and place again. A new back buffer alone leaves the window as the
  // player sized it.
  if (placeWindow) platform_.PlaceWindow();
  return false;
}

void D3D8Renderer::BeginScene() {
  if (device_ == nullptr) return;
  const HRESULT result = device_->BeginScene();
  if (FAILED(result)) ReportFatalWithCode(result, "BeginScene() failed.");
  boundTexture_ = kNoTextureKnown;
}

void D3D8Renderer::EndFrame() {
  if (device_ == nullptr) return;
  device_->EndScene();
  HRESULT result = D3D_OK;
  if (windowed_) {
    RECT client = {0, 0, 0, 0};
    GetClientRect(static_cast<HWND>(window_), &client);
    const LetterboxRect box = ComputeLetterbox(client.right, client.bottom, width_, height_);
    if (box.width <= 0 || box.height <= 0) return;  // minimised: nothing to show
    const RECT target = {box.x, box.y, box.x + box.width, box.y + box.height};
    result = device_->Present(nullptr, &target, nullptr, nullptr);
    PaintBars(client.right, client.bottom, box.x, box.y, box.width, box.height);
  } else {
    result = device_->Present(nullptr, nullptr, nullptr, nullptr);
  }
  // A device lost while presenting is found again by the next BeginFrame.
  if (FAILED(result) && result != D3DERR_DEVICELOST) {
    ReportFatalWithCode(result, "Present() failed.");
  }
}

void D3D8Renderer::PaintBars(int clientWidth, int clientHeight, int x, int y, int width,
                             int height) {
  if (width >= clientWidth && height >= clientHeight) return;
  HWND window = static_cast<HWND>(window_);
  HDC context = GetDC(window);
  if (context == nullptr) return;
  const auto black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  const RECT bars[4] = {
      {0, 0, clientWidth, y},                                 // above
      {0, y + height, clientWidth, clientHeight},             // below
      {0, y, x, y + height},                                  // left
      {x + width, y, clientWidth, y + height},                // right
  };
  for (const RECT& bar : bars) {
    if (bar.right > bar.left && bar.bottom > bar.top) FillRect(context, &bar, black);
  }
  ReleaseDC(window, context);
}

void D3D8Renderer::Shutdown() {
  if (device_ != nullptr) {
    device_->Release();
    device_ = nullptr;
  }
  if (direct3d_ != nullptr) {
    direct3d_->Release();
    direct3d_ = nullptr;
  }
  if (library_ != nullptr) {
    FreeLibrary(static_cast<HMODULE>(library_));
    library_ = nullptr;
  }
  boundTexture_ = kNoTextureKnown;
  boundScale_ = CoordinateScale();
}

void D3D8Renderer::DestroyTexture(RendererTexture& texture) {
  if (texture.d3dTexture != 0) {
    if (boundTexture_ == texture.d3dTexture && device_ != nullptr) {
      device_->SetTexture(0, nullptr);
      boundTexture_ = kNoTextureKnown;
    }
    AsTexture(texture.d3dTexture)->Release();
    paddedTextures_.erase(texture.d3dTexture);
  }
  texture.d3dTexture = 0;
}

bool D3D8Renderer::CreateTextureFromPixels(const uint8_t* pixels, int width, int height,
                                           int bitsPerPixel, RendererTexture& texture) {
  if (device_ == nullptr || direct3d_ == nullptr) return false;
  if (!TexturePixelsUsable(pixels, width, height, bitsPerPixel)) return false;
  auto accepted = [this](D3DTextureFormat format) {
    return SUCCEEDED(direct3d_->CheckDeviceFormat(
        D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, static_cast<D3DFORMAT>(backBufferFormat_), 0,
        D3DRTYPE_TEXTURE, static_cast<D3DFORMAT>(format)));
  };
  const D3DTextureFormat preferred =
      bitsPerPixel == 32 ? D3DTextureFormat::kA8R8G8B8 : D3DTextureFormat::kX8R8G8B8;
  const D3DTextureFormat fallback =
      bitsPerPixel == 32 ? D3DTextureFormat::kA4R4G4B4 : D3DTextureFormat::kR5G6B5;
  D3DTextureFormat format = preferred;
  if (!accepted(preferred)) {
    if (!accepted(fallback)) {
      LogLine("WARNING: Unkown texture format.\n");
      return false;
    }
    format = fallback;
  }

  std::vector<uint8_t> padded;
  int textureWidth = width;
  int textureHeight = height;
  if ((powerOfTwoTextures_ && (width != NextPowerOfTwo(width) || height != NextPowerOfTwo(height))) ||
      (squareTextures_ && width != height)) {
    padded = PadToPowerOfTwo(pixels, width, height, bitsPerPixel, squareTextures_, &textureWidth,
                             &textureHeight);
    pixels = padded.data();
  }

  IDirect3DTexture8* created = nullptr;
  HRESULT result = device_->CreateTexture(textureWidth, textureHeight, 1, 0,
                                          static_cast<D3DFORMAT>(format), D3DPOOL_MANAGED,
                                          &created);
  if (FAILED(result) || created == nullptr) {
    LogLine("WARNING: Failed to create texture, hr = %d\n", static_cast<int>(result));
    return false;
  }
  D3DLOCKED_RECT locked;
  result = created->LockRect(0, &locked, nullptr, 0);
  if (FAILED(result)) {
    LogLine("LockRect() failed, hr = %d\n", static_cast<int>(result));
    created->Release();
    return false;
  }
  ConvertPixelsToTexels(pixels, textureWidth, textureHeight, bitsPerPixel, format,
                        static_cast<uint8_t*>(locked.pBits), static_cast<size_t>(locked.Pitch));
  created->UnlockRect(0);
  texture.d3dTexture = reinterpret_cast<uintptr_t>(created);
  if (!padded.empty()) {
    paddedTextures_[texture.d3dTexture] = {static_cast<float>(width) / textureWidth,
                                           static_cast<float>(height) / textureHeight};
  }
  return true;
}

bool D3D8Renderer::CreateTextureFromTga(const uint8_t* bytes, size_t byteCount, int* width,
                                        int* height, int* bitsPerPixel,
                                        RendererTexture& texture) {
  DecodedImage image;
  // Texture creation takes the B, G, R (, A) order the file stores.
  const bool decoded = DecodeTga(bytes, byteCount, &image, PixelOrder::kBgr);
  *width = image.width;
  *height = image.height;
  *bitsPerPixel = image.bitsPerPixel;
  if (!decoded) return false;
  return CreateTextureFromPixels(image.pixels.data(), image.width, image.height,
                                 image.bitsPerPixel, texture);
}

void D3D8Renderer::BindTexture(uintptr_t d3dTexture, unsigned /*glName*/) {
  if (device_ == nullptr || d3dTexture == boundTexture_) return;
  device_->SetTexture(0, AsTexture(d3dTexture));
  const auto padded = paddedTextures_.find(d3dTexture);
  boundScale_ = padded == paddedTextures_.end() ? CoordinateScale() : padded->second;
  // With no texture OpenGL draws the plain vertex colour; Direct3D would take the
  // missing texture as black, so the stage then passes the vertex colour through.
  const bool textured = d3dTexture != 0;
  if (textured != stageTextured_) {
    const DWORD operation = textured ? D3DTOP_MODULATE : D3DTOP_SELECTARG2;
    device_->SetTextureStageState(0, D3DTSS_COLOROP, operation);
    device_->SetTextureStageState(0, D3DTSS_ALPHAOP, operation);
    stageTextured_ = textured;
  }
  boundTexture_ = d3dTexture;
}

void D3D8Renderer::Clear(float red, float green, float blue) {
  if (device_ == nullptr) return;
  const HRESULT result =
      device_->Clear(0, nullptr, D3DCLEAR_TARGET, VertexColour(red, green, blue, 1.0f), 1.0f, 0);
  if (FAILED(result)) ReportFatalWithCode(result, "Clear() failed.");
}

void D3D8Renderer::Draw(int primitiveType, int primitiveCount, const Vertex* vertices,
                        int vertexCount, float red, float green, float blue, float alpha) {
  if (device_ == nullptr) return;
  const DWORD colour = VertexColour(red, green, blue, alpha);
  D3DVertex points[4];
  for (int i = 0; i < vertexCount; ++i) {
    points[i] = D3DVertex{vertices[i].x, vertices[i].y, 0.0f, colour,
                          vertices[i].u * boundScale_.u, vertices[i].v * boundScale_.v};
  }
  device_->DrawPrimitiveUP(static_cast<D3DPRIMITIVETYPE>(primitiveType), primitiveCount, points,
                           sizeof(D3DVertex));
}

void D3D8Renderer::DrawQuad(const Vertex vertices[4], float red, float green, float blue,
                            float alpha) {
  Draw(D3DPT_TRIANGLEFAN, 2, vertices, 4, red, green, blue, alpha);
}

void D3D8Renderer::DrawTriangle(const Vertex vertices[3], float red, float green, float blue,
                                float alpha) {
  Draw(D3DPT_TRIANGLELIST, 1, vertices, 3, red, green, blue, alpha);
}

void D3D8Renderer::ApplyBlendMode() {
  // Pictures set their blend mode before every draw; only a change reaches the
  // device, as every state change costs the driver far more than the check.
  if (device_ == nullptr || blendMode_ == appliedBlendMode_) return;
  switch (blendMode_) {
    case kBlendNone:
      device_->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
      break;
    case kBlendNormal:
      device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
      device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
      device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
      break;
    case kBlendMultiply:
      // Named "multiply" in the picture settings, but drawn additively.
      device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
      device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
      device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
      break;
    default:
      return;  // stored, changes nothing
  }
  appliedBlendMode_ = blendMode_;
}

void D3D8Renderer::SetBlendMode(int mode) {
  blendMode_ = mode;
  ApplyBlendMode();
}

void D3D8Renderer::ApplyFilter() {
  if (device_ == nullptr) return;
  if (filter_ != kFilterNearest && filter_ != kFilterLinear) return;
  if (filter_ == appliedFilter_) return;
  appliedFilter_ = filter_;
  const DWORD filter = filter_ == kFilterLinear ? D3DTEXF_LINEAR : D3DTEXF_POINT;
  device_->SetTextureStageState(0, D3DTSS_MAGFILTER, filter);
  device_->SetTextureStageState(0, D3DTSS_MINFILTER, filter);
}

void D3D8Renderer::SetFilter(int mode) {
  filter_ = mode;
  ApplyFilter();
}

bool D3D8Renderer::ReadBackBuffer(std::vector<uint32_t>* pixels) {
  if (device_ == nullptr) return false;
  IDirect3DSurface8* back = nullptr;
  if (FAILED(device_->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back)) || back == nullptr) {
    return false;
  }
  // The back buffer itself need not be lockable: it is copied into a surface of
  // the same format in system memory first.
  D3DSURFACE_DESC description;
  IDirect3DSurface8* copy = nullptr;
  bool read = false;
  if (SUCCEEDED(back->GetDesc(&description)) &&
      SUCCEEDED(device_->CreateImageSurface(description.Width, description.Height,
                                            description.Format, &copy)) &&
      SUCCEEDED(device_->CopyRects(back, nullptr, 0, copy, nullptr))) {
    D3DLOCKED_RECT locked;
    if (SUCCEEDED(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
      read = ReadSurfaceRows(static_cast<const uint8_t*>(locked.pBits),
                             static_cast<size_t>(locked.Pitch), description.Width,
                             description.Height, static_cast<uint32_t>(description.Format),
                             pixels);
      copy->UnlockRect();
    }
  }
  if (copy != nullptr) copy->Release();
  back->Release();
  return read;
}

}  // namespace tav
