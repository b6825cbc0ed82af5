// Current directory and folder listings on Windows. Paths are in the ANSI code
// page, the same one the C library's fopen uses for the game's other files.
#include <sys/stat.h>
#include <windows.h>

#include "base/file_system.h"

namespace tav {

std::string CurrentDirectory() {
  DWORD length = GetCurrentDirectoryA(0, nullptr);
  if (length == 0) return ".";
  std::string path(length, '\0');
  DWORD written = GetCurrentDirectoryA(length, path.data());
  if (written == 0 || written >= length) return ".";
  path.resize(written);
  return path;
}

int64_t OpenFileSize(std::FILE* file) {
  struct _stat64 info;
  if (_fstat64(_fileno(file), &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG) return -1;
  return static_cast<int64_t>(info.st_size);
}

bool ListDirectory(const std::string& directory, std::vector<DirectoryItem>* items) {
  items->clear();
  WIN32_FIND_DATAA item;
  HANDLE listing = FindFirstFileA((directory + "\\*").c_str(), &item);
  if (listing == INVALID_HANDLE_VALUE) return false;
  do {
    std::string name = item.cFileName;
    if (name == "." || name == "..") continue;
    items->push_back({name, (item.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (FindNextFileA(listing, &item));
  FindClose(listing);
  return true;
}

}  // namespace tav
