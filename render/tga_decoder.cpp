// TGA decoding: header fields, depth and length checks, byte swap and row flip.
#include "render/tga_decoder.h"

#include <cstring>

#include "base/log.h"

namespace tav {

namespace {

int ReadLittleEndian16(const uint8_t* bytes) { return bytes[0] | (bytes[1] << 8); }

}  // namespace

bool ReadTgaHeader(const uint8_t* bytes, size_t byteCount, int* width, int* height,
                   int* bitsPerPixel) {
  *width = *height = *bitsPerPixel = 0;
  if (bytes == nullptr || byteCount < kTgaHeaderSize) return false;
  *width = ReadLittleEndian16(bytes + 12);
  *height = ReadLittleEndian16(bytes + 14);
  *bitsPerPixel = bytes[16];
  return true;
}

bool TgaIsWhole(const uint8_t* bytes, size_t byteCount, int* width, int* height,
                int* bitsPerPixel) {
  if (!ReadTgaHeader(bytes, byteCount, width, height, bitsPerPixel)) return false;
  if ((*bitsPerPixel != 24 && *bitsPerPixel != 32) || *width == 0 || *height == 0) return false;
  const size_t pixelBytes = static_cast<size_t>(*width) * static_cast<size_t>(*height) *
                            static_cast<size_t>(*bitsPerPixel / 8);
  return byteCount - kTgaHeaderSize >= pixelBytes;
}

void SwapRedAndBlue(uint8_t* pixels, size_t pixelCount, int bytesPerPixel) {
  for (size_t i = 0; i < pixelCount; ++i) {
    uint8_t* pixel = pixels + i * bytesPerPixel;
    const uint8_t first = pixel[0];
    pixel[0] = pixel[2];
    pixel[2] = first;
  }
}

bool DecodeTga(const uint8_t* bytes, size_t byteCount, DecodedImage* image, PixelOrder order) {
  image->pixels.clear();
  if (!ReadTgaHeader(bytes, byteCount, &image->width, &image->height,
                     &image->bitsPerPixel)) {
    LogLine("WARNING: Image file truncated.\n");
    return false;
  }
  if (image->bitsPerPixel != 24 && image->bitsPerPixel != 32) {
    LogLine("WARNING: Invalid image depth.\n");
    return false;
  }
  if (image->width == 0 || image->height == 0) {
    LogLine("WARNING: Invalid image size.\n");
    return false;
  }
  const size_t bytesPerPixel = static_cast<size_t>(image->bitsPerPixel / 8);
  const size_t rowBytes = static_cast<size_t>(image->width) * bytesPerPixel;
  const size_t pixelBytes = rowBytes * static_cast<size_t>(image->height);
  if (byteCount - kTgaHeaderSize < pixelBytes) {
    LogLine("WARNING: Image file truncated.\n");
    return false;
  }

  // Rows are stored bottom row first; the texture wants the top row first.
  image->pixels.resize(pixelBytes);
  const uint8_t* source = bytes + kTgaHeaderSize;
  for (int row = 0; row < image->height; ++row) {
    const size_t sourceRow = static_cast<size_t>(image->height - 1 - row);
    std::memcpy(image->pixels.data() + static_cast<size_t>(row) * rowBytes,
                source + sourceRow * rowBytes, rowBytes);
  }
  if (order == PixelOrder::kRgb) {
    SwapRedAndBlue(image->pixels.data(),
                   static_cast<size_t>(image->width) * static_cast<size_t>(image->height),
                   static_cast<int>(bytesPerPixel));
  }
  return true;
}

}  // namespace tav
