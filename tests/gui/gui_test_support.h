// Shared set-up of the GUI tests: a recording renderer, a temporary Data folder
// with small pictures and a font picture the controls load, a fake millisecond
// clock, and helpers to find which picture a draw used.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/frame_clock.h"
#include "render/recording_renderer.h"

namespace tav {
namespace test {

// Every picture written into the test Data folder: name, width, height.
struct TestPicture {
  const char* name;
  int width;
  int height;
};
extern const TestPicture kTestPictures[];
extern const size_t kTestPictureCount;

// The font picture's glyphs: every printable character from '!' to '~' is
// kGlyphColumns wide (advance kGlyphColumns + 2 with letter spacing 1), except 'W',
// which is kWideGlyphColumns wide.
constexpr int kGlyphColumns = 5;
constexpr int kWideGlyphColumns = 11;

// A time source whose milliseconds the test sets.
class FakeTimeSource : public TimeSource {
 public:
  bool QueryFrequency(uint64_t* ticksPerSecond) override {
    *ticksPerSecond = 1000;
    return true;
  }
  uint64_t QueryCounter() override { return milliseconds; }
  uint32_t MilliTicks() override { return milliseconds; }
  uint32_t milliseconds = 0;
};

RecordingRenderer& Recorder();
FakeTimeSource& FakeTime();
// The renderer's name for the first frame of a picture of the test folder.
unsigned TextureOf(const std::string& pictureName);
// The x and y of a DrawQuad's first (bottom-left) vertex.
float QuadLeft(const RecordedCall& call);
float QuadBottom(const RecordedCall& call);

}  // namespace test
}  // namespace tav
