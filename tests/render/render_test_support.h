// Shared helpers of the rendering tests: a throw-away base directory with a Data
// tree, a recording renderer installed as the process renderer, pictures built in
// memory (TGA and .spt bytes) and a hand-driven clock.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/frame_clock.h"
#include "render/recording_renderer.h"

namespace tav::test {

// B, G, R, A of one pixel.
using Pixel = std::array<uint8_t, 4>;
using PixelFunction = std::function<Pixel(int x, int yFromTop)>;

// An uncompressed true-colour TGA, rows stored bottom row first.
std::vector<uint8_t> MakeTga(int width, int height, int bits, const PixelFunction& pixel);
// A plain one-colour picture.
std::vector<uint8_t> MakeTga(int width, int height, int bits);

struct SptActionSpec {
  std::string name;
  int frameCount;
};
// A picture list; every byte of the n-th frame written (counting from 1 across all
// actions) is n, so a test can tell which bytes a texture was made from.
std::vector<uint8_t> MakeSpt(int width, int height, int bits,
                             const std::vector<SptActionSpec>& actions,
                             float frameDuration = 0.04f);

// A time source whose counter only moves when told to (a million ticks a second).
class ManualTimeSource : public TimeSource {
 public:
  bool QueryFrequency(uint64_t* ticksPerSecond) override {
    *ticksPerSecond = 1000000;
    return true;
  }
  uint64_t QueryCounter() override { return counter; }
  uint32_t MilliTicks() override { return milliTicks; }

  uint64_t counter = 0;
  uint32_t milliTicks = 0;
};

// A fresh base directory with an empty Data folder and the log started in it, no
// packages, a recording renderer installed, errors raising, an empty catalogue
// and a hand-driven clock. Everything is undone afterwards.
class RenderTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes base/Data/<name>.
  void WriteDataFile(const std::string& name, const std::vector<uint8_t>& bytes);
  void WriteTexturesIni(const std::string& text);
  std::string LogText() const;
  // One frame of the given length (at most 0.05 s counts: the clock clamps).
  void RunFrame(float seconds);

  std::string base_;
  RecordingRenderer renderer_;
  ManualTimeSource time_;
};

}  // namespace tav::test
