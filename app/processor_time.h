// The processor time the whole process has used, every thread included: a software
// rasteriser draws in threads of its own, and a frame's cost must count them.
#pragma once

namespace tav {

// Seconds of processor time since the process started; 0 when the system cannot say.
double ProcessorSeconds();

}  // namespace tav
