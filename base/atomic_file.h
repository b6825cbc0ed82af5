// Writes a whole file so that a crash or power cut leaves either the old file
// or the new one on disk, never a truncated mix: the bytes go to a temporary
// file beside the target, are flushed to the disk, and the temporary file is
// then renamed over the target.
#pragma once

#include <string>

namespace tav {

// Replaces the file at the native `path` with `bytes`. Returns false (and logs
// why) if any step fails; the old file is then left untouched and no temporary
// file remains.
bool WriteFileAtomically(const std::string& path, const std::string& bytes);

}  // namespace tav
