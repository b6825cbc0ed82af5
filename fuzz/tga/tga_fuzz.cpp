// Feeds bytes to the TGA decoder, the one reader of every ".tga" picture.
#include "fuzz/support/fuzz_support.h"
#include "render/tga_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  int width = 0, height = 0, bits = 0;
  const bool headerRead = tav::ReadTgaHeader(data, size, &width, &height, &bits);
  tav::DecodedImage image;
  if (tav::DecodeTga(data, size, &image)) {
    // A decoded picture holds exactly its pixels, as the header described them.
    if (!headerRead || image.width != width || image.height != height) __builtin_trap();
    const size_t expected = static_cast<size_t>(image.width) * static_cast<size_t>(image.height) *
                            static_cast<size_t>(image.bitsPerPixel / 8);
    if (image.pixels.size() != expected) __builtin_trap();
  }
  return 0;
}
