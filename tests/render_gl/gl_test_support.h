// Small helpers for the renderer tests: building TGA files and pixel buffers in
// memory, and reading log.txt.
#pragma once

#include <cstdint>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "base/log.h"

namespace tav {

struct Bgra {
  uint8_t b, g, r, a;
};

// A TGA file of `width` x `height` pixels given top row first; stored, as the game's
// pictures are, bottom row first.
inline std::vector<uint8_t> MakeTga(int width, int height, int bits,
                                    const std::vector<Bgra>& topRowFirst,
                                    uint8_t descriptor = 0) {
  std::vector<uint8_t> file(18, 0);
  file[2] = 2;
  file[12] = width & 0xFF;
  file[13] = (width >> 8) & 0xFF;
  file[14] = height & 0xFF;
  file[15] = (height >> 8) & 0xFF;
  file[16] = static_cast<uint8_t>(bits);
  file[17] = descriptor;
  for (int row = height - 1; row >= 0; --row) {
    for (int x = 0; x < width; ++x) {
      const Bgra& p = topRowFirst[static_cast<size_t>(row * width + x)];
      file.push_back(p.b);
      file.push_back(p.g);
      file.push_back(p.r);
      if (bits == 32) file.push_back(p.a);
    }
  }
  return file;
}

inline std::string ReadLog() {
  std::ifstream file(BaseDirectory() + "/log.txt");
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

}  // namespace tav
