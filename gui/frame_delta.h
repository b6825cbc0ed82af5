// The frame time in seconds that animating windows and controls advance by. The
// application copies the frame clock's time into it once per frame, before the
// windows update; tests set it directly.
#pragma once

namespace tav {

float FrameDelta();
void SetFrameDelta(float seconds);

}  // namespace tav
