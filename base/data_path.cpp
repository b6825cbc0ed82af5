// Game file names ("Data\Levels.ini") to native paths under the base directory.
#include "base/data_path.h"

#include "base/log.h"

namespace tav {

std::string NativePath(const std::string& name) {
  std::string path = name;
  for (char& c : path) {
    if (c == '\\' || c == '/') c = '/';
  }
  return path;
}

std::string DataPath(const std::string& name) {
  const std::string& base = BaseDirectory();
  // Before LogStart there is no recorded base: the name stays relative to the
  // current directory, which is what the base directory would have been anyway.
  if (base.empty()) return NativePath(name);
  return base + "/" + NativePath(name);
}

}  // namespace tav
