// Decoding of the game's TGA pictures: uncompressed true-colour, 24 or 32 bits per
// pixel, stored bottom row first. The result is R, G, B (, A) per pixel with the top
// row first, ready for upload as a texture whose v = 0 is the picture's top row.
// Decoding never reads past the bytes it is given; a damaged file is refused with a
// log line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tav {

struct DecodedImage {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
  std::vector<uint8_t> pixels;  // R, G, B (, A) per pixel, top row first
};

constexpr size_t kTgaHeaderSize = 18;

// Reads width, height and depth from the header (zeros when the file is shorter than
// its header). Returns false for a file shorter than the header.
bool ReadTgaHeader(const uint8_t* bytes, size_t byteCount, int* width, int* height,
                   int* bitsPerPixel);

// True when the header describes a picture the decoder takes (24 or 32 bits, at least
// one pixel) and the file holds all its pixels; reports its size and depth like
// ReadTgaHeader. Nothing is decoded and nothing is logged.
bool TgaIsWhole(const uint8_t* bytes, size_t byteCount, int* width, int* height,
                int* bitsPerPixel);

// The byte order of decoded pixels: R, G, B (, A), or B, G, R (, A) as the file stores
// them, which the graphics back-ends take without a conversion.
enum class PixelOrder { kRgb, kBgr };

// Decodes a whole TGA file. Width, height and depth are reported in `image` even when
// decoding fails. Fails (with a log line) on a depth other than 24 or 32, an empty
// picture, or a file shorter than its header and pixels.
bool DecodeTga(const uint8_t* bytes, size_t byteCount, DecodedImage* image,
               PixelOrder order = PixelOrder::kRgb);

// Swaps the first and third byte of every pixel in place (B, G, R <-> R, G, B).
void SwapRedAndBlue(uint8_t* pixels, size_t pixelCount, int bytesPerPixel);

}  // namespace tav
