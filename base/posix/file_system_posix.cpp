// File-system services on POSIX systems, where paths are already the game's UTF-8.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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

std::string ExecutableDirectory() {
  char buffer[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
  if (length <= 0) return std::string();
  const std::string path(buffer, static_cast<size_t>(length));
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return std::string();
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::FILE* OpenFile(const std::string& path, const char* mode) {
  return std::fopen(path.c_str(), mode);
}

std::filesystem::path FileSystemPath(const std::string& path) {
  return std::filesystem::path(path);
}

bool MakeDirectory(const std::string& path, std::string* error) {
  if (mkdir(path.c_str(), 0700) == 0) return true;
  const int code = errno;
  struct stat info;
  if (code == EEXIST && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return true;
  *error = "cannot create " + path + ": " + std::strerror(code);
  return false;
}

std::string RoamingAppDataDirectory() { return std::string(); }

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
