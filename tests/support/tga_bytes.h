// Picture files built in memory for tests: uncompressed TGA files from a pixel
// function or a list of pixels, and .spt picture lists, plus writing bytes to disk.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace tav::test {

// One pixel in the order a TGA file stores it.
struct Bgra {
  uint8_t b, g, r, a;
};
// The pixel at column x, row yFromTop.
using PixelFunction = std::function<Bgra(int x, int yFromTop)>;

// An uncompressed true-colour TGA, rows stored bottom row first. The descriptor
// byte says eight alpha bits for 32-bit pictures and none otherwise.
std::vector<uint8_t> MakeTga(int width, int height, int bits, const PixelFunction& pixel);
// A plain one-colour picture.
std::vector<uint8_t> MakeTga(int width, int height, int bits);
// A picture from its pixels given top row first, with the descriptor byte as given.
std::vector<uint8_t> MakeTga(int width, int height, int bits, const std::vector<Bgra>& topRowFirst,
                             uint8_t descriptor = 0);
// A plain white 32-bit picture, the stand-in for any picture whose content a test
// does not look at.
std::vector<uint8_t> MakeWhiteTga(int width, int height);

struct SptActionSpec {
  std::string name;
  int frameCount;
};
// The header fields of a picture list that the tests vary.
struct SptLayout {
  int width = 0;
  int height = 0;
  int bits = 32;
  std::array<uint32_t, 4> corners = {1, 2, 3, 4};
  float frameDuration = 0.04f;
};
// The stored bytes of the n-th frame (counting from 1 across all actions).
using SptFrameFunction = std::function<std::vector<uint8_t>(int frameSerial)>;

std::vector<uint8_t> MakeSpt(const SptLayout& layout, const std::vector<SptActionSpec>& actions,
                             const SptFrameFunction& frameBytes);
// A picture list in which every byte of the n-th frame is n, so a test can tell
// which bytes a texture was made from.
std::vector<uint8_t> MakeSpt(int width, int height, int bits,
                             const std::vector<SptActionSpec>& actions,
                             float frameDuration = 0.04f);

void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);

}  // namespace tav::test
