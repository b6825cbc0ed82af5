// Pixel conversion, projection, vertex colours and error names for the Direct3D 8
// back-end.
#include "render/d3d8/d3d8_helpers.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace tav {

int BytesPerTexel(D3DTextureFormat format) {
  switch (format) {
    case D3DTextureFormat::kA8R8G8B8:
    case D3DTextureFormat::kX8R8G8B8:
      return 4;
    case D3DTextureFormat::kR5G6B5:
    case D3DTextureFormat::kA4R4G4B4:
      return 2;
  }
  return 4;
}

bool FormatHasAlpha(D3DTextureFormat format) {
  return format == D3DTextureFormat::kA8R8G8B8 || format == D3DTextureFormat::kA4R4G4B4;
}

void ConvertPixelsToTexels(const uint8_t* pixels, int width, int height, int bitsPerPixel,
                           D3DTextureFormat format, uint8_t* destination,
                           size_t destinationPitch) {
  const int sourceBytes = bitsPerPixel / 8;
  const int texelBytes = BytesPerTexel(format);
  for (int row = 0; row < height; ++row) {
    const uint8_t* source = pixels + static_cast<size_t>(row) * width * sourceBytes;
    uint8_t* texel = destination + static_cast<size_t>(row) * destinationPitch;
    for (int column = 0; column < width; ++column, source += sourceBytes, texel += texelBytes) {
      const uint32_t blue = source[0];
      const uint32_t green = source[1];
      const uint32_t red = source[2];
      const uint32_t alpha = sourceBytes == 4 ? source[3] : 255;
      uint32_t word = 0;
      switch (format) {
        case D3DTextureFormat::kA8R8G8B8:
          word = (alpha << 24) | (red << 16) | (green << 8) | blue;
          break;
        case D3DTextureFormat::kX8R8G8B8:
          word = (0xFFu << 24) | (red << 16) | (green << 8) | blue;
          break;
        case D3DTextureFormat::kA4R4G4B4:
          word = ((alpha >> 4) << 12) | ((red >> 4) << 8) | ((green >> 4) << 4) | (blue >> 4);
          break;
        case D3DTextureFormat::kR5G6B5:
          word = ((red >> 3) << 11) | ((green >> 2) << 5) | (blue >> 3);
          break;
      }
      for (int i = 0; i < texelBytes; ++i) texel[i] = static_cast<uint8_t>(word >> (8 * i));
    }
  }
}

std::array<float, 16> OrthoOffCenterLH(float left, float right, float bottom, float top,
                                       float zNear, float zFar) {
  return {2.0f / (right - left), 0.0f, 0.0f, 0.0f,
          0.0f, 2.0f / (top - bottom), 0.0f, 0.0f,
          0.0f, 0.0f, 1.0f / (zFar - zNear), 0.0f,
          (left + right) / (left - right), (top + bottom) / (bottom - top),
          zNear / (zNear - zFar), 1.0f};
}

std::array<float, 16> ScreenProjection(int width, int height) {
  return ScreenProjection(width, height, width, height);
}

std::array<float, 16> ScreenProjection(int unitsWidth, int unitsHeight, int pixelsWidth,
                                       int pixelsHeight) {
  // Drawing at x must land where OpenGL puts x: half a pixel further left on the
  // Direct3D raster, and (y growing upwards) half a pixel higher. Half a pixel is
  // exactly half a unit when the two sizes agree.
  const float halfX = 0.5f * static_cast<float>(unitsWidth) / static_cast<float>(pixelsWidth);
  const float halfY = 0.5f * static_cast<float>(unitsHeight) / static_cast<float>(pixelsHeight);
  return OrthoOffCenterLH(halfX, static_cast<float>(unitsWidth) + halfX, -halfY,
                          static_cast<float>(unitsHeight) - halfY, 0.0f, 1.0f);
}

bool TextureFits(int width, int height, bool powerOfTwo, bool square, uint32_t maxWidth,
                 uint32_t maxHeight) {
  if (powerOfTwo || square) {
    width = NextPowerOfTwo(width);
    height = NextPowerOfTwo(height);
  }
  if (square) width = height = std::max(width, height);
  return static_cast<uint32_t>(width) <= maxWidth && static_cast<uint32_t>(height) <= maxHeight;
}

uint32_t VertexColour(float red, float green, float blue, float alpha) {
  auto channel = [](float value) {
    return static_cast<uint32_t>(std::clamp(value, 0.0f, 1.0f) * 255.0f);
  };
  return (channel(alpha) << 24) | (channel(red) << 16) | (channel(green) << 8) | channel(blue);
}

namespace {

struct ErrorName {
  uint32_t code;
  const char* name;
};

// Direct3D's codes are facility 0x876 with the number below; the rest are the
// generic COM codes Direct3D also returns.
constexpr uint32_t D3DCode(uint32_t number) { return 0x88760000u | number; }

constexpr ErrorName kErrorNames[] = {
    {0x00000000u, "D3D_OK"},
    {D3DCode(2072), "D3DERR_WRONGTEXTUREFORMAT"},
    {D3DCode(2073), "D3DERR_UNSUPPORTEDCOLOROPERATION"},
    {D3DCode(2074), "D3DERR_UNSUPPORTEDCOLORARG"},
    {D3DCode(2075), "D3DERR_UNSUPPORTEDALPHAOPERATION"},
    {D3DCode(2076), "D3DERR_UNSUPPORTEDALPHAARG"},
    {D3DCode(2077), "D3DERR_TOOMANYOPERATIONS"},
    {D3DCode(2078), "D3DERR_CONFLICTINGTEXTUREFILTER"},
    {D3DCode(2079), "D3DERR_UNSUPPORTEDFACTORVALUE"},
    {D3DCode(2081), "D3DERR_CONFLICTINGRENDERSTATE"},
    {D3DCode(2082), "D3DERR_UNSUPPORTEDTEXTUREFILTER"},
    {D3DCode(2086), "D3DERR_CONFLICTINGTEXTUREPALETTE"},
    {D3DCode(2087), "D3DERR_DRIVERINTERNALERROR"},
    {D3DCode(2150), "D3DERR_NOTFOUND"},
    {D3DCode(2151), "D3DERR_MOREDATA"},
    {D3DCode(2152), "D3DERR_DEVICELOST"},
    {D3DCode(2153), "D3DERR_DEVICENOTRESET"},
    {D3DCode(2154), "D3DERR_NOTAVAILABLE"},
    {D3DCode(380), "D3DERR_OUTOFVIDEOMEMORY"},
    {D3DCode(2155), "D3DERR_INVALIDDEVICE"},
    {D3DCode(2156), "D3DERR_INVALIDCALL"},
    {D3DCode(2157), "D3DERR_DRIVERINVALIDCALL"},
    {0x8007000Eu, "E_OUTOFMEMORY"},
    {0x80070057u, "E_INVALIDARG"},
    {0x80004001u, "E_NOTIMPL"},
    {0x80004005u, "E_FAIL"},
};

}  // namespace

std::string D3DErrorName(int64_t code) {
  const uint32_t word = static_cast<uint32_t>(code);
  for (const ErrorName& entry : kErrorNames) {
    if (entry.code == word) return entry.name;
  }
  char text[48];
  std::snprintf(text, sizeof text, "Unrecognized error: 0x%08x", word);
  return text;
}

int NextPowerOfTwo(int size) {
  int power = 1;
  while (power < size && power < (1 << 30)) power <<= 1;
  return power;
}

std::vector<uint8_t> PadToPowerOfTwo(const uint8_t* pixels, int width, int height,
                                     int bitsPerPixel, bool square, int* paddedWidth,
                                     int* paddedHeight) {
  int paddedW = NextPowerOfTwo(width);
  int paddedH = NextPowerOfTwo(height);
  if (square) paddedW = paddedH = std::max(paddedW, paddedH);
  *paddedWidth = paddedW;
  *paddedHeight = paddedH;
  const size_t pixelBytes = static_cast<size_t>(bitsPerPixel / 8);
  std::vector<uint8_t> padded(static_cast<size_t>(paddedW) * paddedH * pixelBytes);
  for (int y = 0; y < paddedH; ++y) {
    const uint8_t* sourceRow = pixels + static_cast<size_t>(std::min(y, height - 1)) * width * pixelBytes;
    uint8_t* targetRow = padded.data() + static_cast<size_t>(y) * paddedW * pixelBytes;
    std::memcpy(targetRow, sourceRow, static_cast<size_t>(width) * pixelBytes);
    const uint8_t* last = sourceRow + static_cast<size_t>(width - 1) * pixelBytes;
    for (int x = width; x < paddedW; ++x) {
      std::memcpy(targetRow + static_cast<size_t>(x) * pixelBytes, last, pixelBytes);
    }
  }
  return padded;
}

}  // namespace tav
