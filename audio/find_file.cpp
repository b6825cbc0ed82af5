// Case-insensitive file lookup, one path component at a time.
#include "audio/find_file.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "base/case_compare.h"
#include "base/file_system.h"

namespace tav {

std::string FindFileIgnoringCase(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code error;
  if (path.empty() || fs::exists(FileSystemPath(path), error)) return path;

  const fs::path wanted = FileSystemPath(path);
  fs::path found = wanted.root_path();
  for (const fs::path& component : wanted.relative_path()) {
    const std::string name = component.string();
    if (name.empty() || name == "." || name == "..") {
      found /= component;
      continue;
    }
    if (fs::exists(found / component, error)) {
      found /= component;
      continue;
    }
    const fs::path directory = found.empty() ? fs::path(".") : found;
    std::vector<std::string> matches;
    for (fs::directory_iterator it(directory, error), end; !error && it != end;
         it.increment(error)) {
      const std::string candidate = it->path().filename().string();
      if (EqualIgnoringCase(candidate, name)) matches.push_back(candidate);
    }
    if (matches.empty()) return path;
    std::sort(matches.begin(), matches.end());
    found /= matches.front();
  }
  return found.string();
}

}  // namespace tav
