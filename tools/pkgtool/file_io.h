// Whole-file reads and writes for pkgtool, with one-line reasons on failure.
#pragma once

#include <string>

namespace tav {

bool ReadInputFile(const std::string& path, std::string* bytes, std::string* error);
// Writes bytes to path; on failure removes the partial file so nothing half-written
// is left for a later build step to pick up.
bool WriteOutputFile(const std::string& path, const std::string& bytes, std::string* error);

}  // namespace tav
