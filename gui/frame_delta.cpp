// Storage of the process-wide frame delta.
#include "gui/frame_delta.h"

namespace tav {

namespace {
float frameDelta = 0.0f;
}

float FrameDelta() { return frameDelta; }

void SetFrameDelta(float seconds) { frameDelta = seconds; }

}  // namespace tav
