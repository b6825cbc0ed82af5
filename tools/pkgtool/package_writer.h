// Writes package files: a 20-byte header, a directory of 40-byte entries and the
// entries' bytes, all integers 32-bit little-endian.
#pragma once

#include <string>
#include <vector>

namespace tav {

// Longest entry name a package can hold (its field is 32 bytes with a NUL).
constexpr size_t kMaxPackageEntryName = 31;

// The file name without its directory part ('/' or '\' separated).
std::string BaseName(const std::string& path);

// Packs the given files, in order, under their base names. False with a one-line
// reason in *error on any failure; no partial package is left behind.
bool WritePackage(const std::string& outputPath, const std::vector<std::string>& files,
                  std::string* error);

}  // namespace tav
