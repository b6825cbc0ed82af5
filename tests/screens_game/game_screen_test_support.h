// The game-screen tests' world: a temporary game folder holding every picture of
// the game at its real size (generated), a font, the shade picture and a
// Levels.ini of quiet levels; the recording renderer and sound
// device; a fixed-step game clock; the resource set loaded once for the run.
#pragma once

#include <string>
#include <vector>

#include "audio/recording_audio_device.h"
#include "game/game_clock.h"
#include "render/recording_renderer.h"

namespace tav::test {

RecordingRenderer& Recorder();
RecordingAudioDevice& SoundRecorder();
FixedStepClock& GameTestClock();

// The renderer's texture name of a picture's first frame.
unsigned TextureOf(const std::string& pictureName);
// The quads drawn with the picture since the recorder was last cleared.
std::vector<RecordedCall> DrawsOf(const std::string& pictureName);
// The centre of a recorded quad.
float CentreX(const RecordedCall& quad);
float CentreY(const RecordedCall& quad);

// The levels of the test Levels.ini: "1" and "5" are quiet boards (no two
// compatible neighbours) of blue, red and green arrows all pointing up, with a
// target of 50 blocks and 60 seconds.
constexpr const char* kQuietLevel = "5";

}  // namespace tav::test
