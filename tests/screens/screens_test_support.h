// Shared set-up of the screen tests: a temporary game folder with small pictures
// of every name the screens load and a font, the recording renderer, a fake
// millisecond clock, a recording sound device, and helpers to run windows frame
// by frame and to read what they posted and drew.
#pragma once

#include <string>
#include <vector>

#include "audio/recording_audio_device.h"
#include "base/frame_clock.h"
#include "gui/window.h"
#include "render/recording_renderer.h"

namespace tav {
namespace test {

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
RecordingAudioDevice& SoundRecorder();
// The game folder of this test run (the log's base directory).
const std::string& GameFolder();
// The native path of a file below the game folder ("Data/Hiscore.dat").
std::string GamePath(const std::string& relative);

// The renderer's name for a picture's first frame.
unsigned TextureOf(const std::string& pictureName);

// Updates the window `frames` times with the frame delta `dt` and returns what
// it posted, as "Word" or "Word argument".
std::vector<std::string> RunFrames(Window& window, int frames, float dt = 0.05f);
// The draws (quads) that used the picture, from the recorder's calls.
std::vector<RecordedCall> DrawsOf(const std::string& pictureName);

// A click: move there, press, release.
void Click(Window& window, float x, float y);

}  // namespace test
}  // namespace tav
