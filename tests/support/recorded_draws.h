// The recording renderer shared by a GUI test run, and helpers to find which
// picture a recorded draw used and where its quad lies.
#pragma once

#include <string>
#include <vector>

#include "render/recording_renderer.h"

namespace tav::test {

// The one recording renderer of the test run.
RecordingRenderer& Recorder();

// The renderer's name for the first frame of a picture (loaded if need be).
unsigned TextureOf(const std::string& pictureName);
// The quads drawn with the picture since the recorder was last cleared.
std::vector<RecordedCall> DrawsOf(const std::string& pictureName);

// The x and y of a quad's first (bottom-left) vertex.
float QuadLeft(const RecordedCall& quad);
float QuadBottom(const RecordedCall& quad);
// The centre of a recorded quad.
float CentreX(const RecordedCall& quad);
float CentreY(const RecordedCall& quad);

}  // namespace tav::test
