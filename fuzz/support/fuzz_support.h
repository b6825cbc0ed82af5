// Shared pieces of the fuzz targets: a scratch game folder per process (removed at
// exit), writing the input into it as a named file, and a quiet log there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tav {
namespace fuzz {

// A fresh temporary folder for this process, with a Data/ folder inside, removed
// with everything in it when the process exits normally. The log is started there.
const std::string& ScratchFolder();

// Writes `size` bytes as ScratchFolder()/`relative`; returns the full path.
std::string WriteScratchFile(const std::string& relative, const uint8_t* data, size_t size);
std::string WriteScratchFile(const std::string& relative, const std::string& bytes);

// Starts log.txt in the scratch folder, and again every few thousand calls so that
// it does not grow without bound; arms the errors-raise flag as at the start of a run.
void ResetLog();

}  // namespace fuzz
}  // namespace tav

// The entry libFuzzer calls; each target defines it.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
