// Builds TGA and .spt bytes for tests and writes them out.
#include "tests/support/tga_bytes.h"

#include <cstring>
#include <fstream>

namespace tav::test {
namespace {

void PutU16(std::vector<uint8_t>& bytes, size_t offset, int value) {
  bytes[offset] = static_cast<uint8_t>(value & 0xff);
  bytes[offset + 1] = static_cast<uint8_t>((value >> 8) & 0xff);
}

void AppendU32(std::vector<uint8_t>& bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

std::vector<uint8_t> TgaWithDescriptor(int width, int height, int bits,
                                       const PixelFunction& pixel, uint8_t descriptor) {
  std::vector<uint8_t> bytes(18, 0);
  bytes[2] = 2;  // uncompressed true colour
  PutU16(bytes, 12, width);
  PutU16(bytes, 14, height);
  bytes[16] = static_cast<uint8_t>(bits);
  bytes[17] = descriptor;
  const int bytesPerPixel = bits / 8;
  for (int yFromBottom = 0; yFromBottom < height; ++yFromBottom) {
    for (int x = 0; x < width; ++x) {
      const Bgra value = pixel(x, height - 1 - yFromBottom);
      const uint8_t channels[4] = {value.b, value.g, value.r, value.a};
      bytes.insert(bytes.end(), channels, channels + bytesPerPixel);
    }
  }
  return bytes;
}

}  // namespace

std::vector<uint8_t> MakeTga(int width, int height, int bits, const PixelFunction& pixel) {
  return TgaWithDescriptor(width, height, bits, pixel, bits == 32 ? 8 : 0);
}

std::vector<uint8_t> MakeTga(int width, int height, int bits) {
  return MakeTga(width, height, bits, [](int, int) { return Bgra{10, 20, 30, 255}; });
}

std::vector<uint8_t> MakeTga(int width, int height, int bits, const std::vector<Bgra>& topRowFirst,
                             uint8_t descriptor) {
  return TgaWithDescriptor(
      width, height, bits,
      [&](int x, int yFromTop) {
        return topRowFirst.at(static_cast<size_t>(yFromTop * width + x));
      },
      descriptor);
}

std::vector<uint8_t> MakeWhiteTga(int width, int height) {
  return MakeTga(width, height, 32, [](int, int) { return Bgra{0xFF, 0xFF, 0xFF, 0xFF}; });
}

std::vector<uint8_t> MakeSpt(const SptLayout& layout, const std::vector<SptActionSpec>& actions,
                             const SptFrameFunction& frameBytes) {
  const char magic[20] = "SPT Pictures list  ";
  std::vector<uint8_t> bytes(magic, magic + 20);
  AppendU32(bytes, static_cast<uint32_t>(layout.width));
  AppendU32(bytes, static_cast<uint32_t>(layout.height));
  AppendU32(bytes, static_cast<uint32_t>(layout.bits));
  AppendU32(bytes, static_cast<uint32_t>(actions.size()));
  for (uint32_t corner : layout.corners) AppendU32(bytes, corner);
  uint32_t durationBits;
  std::memcpy(&durationBits, &layout.frameDuration, 4);
  AppendU32(bytes, durationBits);
  bytes.push_back(1);  // dynamic
  bytes.push_back(0);  // no collision
  bytes.push_back(0);
  bytes.push_back(0);
  int serial = 0;
  for (const SptActionSpec& action : actions) {
    char name[32] = {};
    std::strncpy(name, action.name.c_str(), 31);
    bytes.insert(bytes.end(), name, name + 32);
    bytes.push_back(static_cast<uint8_t>(action.frameCount));
    for (int f = 0; f < action.frameCount; ++f) {
      const std::vector<uint8_t> frame = frameBytes(++serial);
      bytes.insert(bytes.end(), frame.begin(), frame.end());
    }
  }
  return bytes;
}

std::vector<uint8_t> MakeSpt(int width, int height, int bits,
                             const std::vector<SptActionSpec>& actions, float frameDuration) {
  SptLayout layout;
  layout.width = width;
  layout.height = height;
  layout.bits = bits;
  layout.frameDuration = frameDuration;
  const size_t frameSize = static_cast<size_t>(width) * height * (bits / 8);
  return MakeSpt(layout, actions, [frameSize](int serial) {
    return std::vector<uint8_t>(frameSize, static_cast<uint8_t>(serial));
  });
}

void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

}  // namespace tav::test
