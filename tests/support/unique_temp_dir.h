// Creates a fresh, uniquely named folder in the system's temporary directory, the
// same way on Linux and on Windows (where there is no mkdtemp).
#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace tav::test {

// The new folder's path, or an empty path if none could be created.
inline std::filesystem::path MakeUniqueTempDirectory(const std::string& prefix) {
  std::error_code error;
  const std::filesystem::path base = std::filesystem::temp_directory_path(error);
  if (error) return {};
  std::random_device seed;
  std::mt19937_64 random(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path candidate = base / (prefix + std::to_string(random() % 1000000000));
    // create_directory is false, without an error, when the folder already exists.
    if (std::filesystem::create_directory(candidate, error)) return candidate;
    if (error) return {};
  }
  return {};
}

}  // namespace tav::test
