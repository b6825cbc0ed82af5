// Current directory and folder listings on POSIX systems.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstring>

#include "base/file_system.h"

namespace tav {
namespace {

bool IsDirectory(const std::string& parent, const dirent* item) {
  if (item->d_type == DT_DIR) return true;
  if (item->d_type != DT_UNKNOWN) return false;
  struct stat info;
  std::string path = parent + "/" + item->d_name;
  return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

std::string CurrentDirectory() {
  char cwd[PATH_MAX];
  return getcwd(cwd, sizeof(cwd)) ? cwd : ".";
}

int64_t OpenFileSize(std::FILE* file) {
  struct stat info;
  if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) return -1;
  return static_cast<int64_t>(info.st_size);
}

bool ListDirectory(const std::string& directory, std::vector<DirectoryItem>* items) {
  items->clear();
  DIR* listing = opendir(directory.c_str());
  if (!listing) return false;
  while (const dirent* item = readdir(listing)) {
    if (std::strcmp(item->d_name, ".") == 0 || std::strcmp(item->d_name, "..") == 0) continue;
    items->push_back({item->d_name, IsDirectory(directory, item)});
  }
  closedir(listing);
  return true;
}

}  // namespace tav
