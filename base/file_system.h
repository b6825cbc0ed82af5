// The few file-system services that differ between Windows and POSIX: the current
// directory and folder listings. Each platform has its own implementation file
// (base/posix/, base/win32/); callers see only this interface.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace tav {

// The process's current directory as a native path, or "." if it cannot be read.
std::string CurrentDirectory();

// The size of an open regular file, or -1 if it is not one or cannot be told.
int64_t OpenFileSize(std::FILE* file);

struct DirectoryItem {
  std::string name;
  bool isDirectory = false;
};

// Lists `directory` in the order the system returns it, without "." and "..".
// Returns false (and an empty list) if the folder cannot be opened.
bool ListDirectory(const std::string& directory, std::vector<DirectoryItem>* items);

}  // namespace tav
