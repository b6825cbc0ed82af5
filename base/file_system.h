// The few file-system services that differ between Windows and POSIX: the current
// directory, the executable's folder, opening files, making folders and folder
// listings. Each platform has its own implementation file (base/posix/, base/win32/);
// callers see only this interface. Paths are UTF-8 everywhere in the game: on
// Windows they go to the system through its wide-character calls, so that a folder
// named outside the ANSI code page ("C:\Users\Żaneta\Игры") works.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace tav {

// The process's current directory as a native path, or "." if it cannot be read.
std::string CurrentDirectory();

// The folder of the running executable, or empty when it cannot be told.
std::string ExecutableDirectory();

// std::fopen for a UTF-8 path.
std::FILE* OpenFile(const std::string& path, const char* mode);

// A UTF-8 path as std::filesystem and the file streams take it.
std::filesystem::path FileSystemPath(const std::string& path);

// Makes one folder (private to the user where the system has modes). True when it
// was made or already is a folder; otherwise false with the reason in `error`.
bool MakeDirectory(const std::string& path, std::string* error);

// The player's roaming application-data folder (Windows' %APPDATA%, asked of the
// shell), or empty on systems without one.
std::string RoamingAppDataDirectory();

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
