// File-system services on Windows. The game's paths are UTF-8; every call here goes
// through the wide-character API, because the ANSI calls (and the C library's fopen)
// cannot name a folder whose characters are outside the system's code page.
#include <shlobj.h>
#include <sys/stat.h>
#include <windows.h>

#include "base/file_system.h"
#include "base/win32/wide_text.h"

namespace tav {

std::string CurrentDirectory() {
  DWORD length = GetCurrentDirectoryW(0, nullptr);
  if (length == 0) return ".";
  std::wstring path(length, L'\0');
  DWORD written = GetCurrentDirectoryW(length, path.data());
  if (written == 0 || written >= length) return ".";
  path.resize(written);
  return Utf8FromWide(path);
}

std::string ExecutableDirectory() {
  // Long paths need more than MAX_PATH: grow until the name fits.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return std::string();
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    if (path.size() >= 32768) return std::string();
    path.resize(path.size() * 2);
  }
  const size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return std::string();
  return Utf8FromWide(path.substr(0, slash));
}

std::FILE* OpenFile(const std::string& path, const char* mode) {
  const std::wstring widePath = WideFromUtf8(path);
  const std::wstring wideMode = WideFromUtf8(mode);
  if (widePath.empty() || wideMode.empty()) return nullptr;
  return _wfopen(widePath.c_str(), wideMode.c_str());
}

std::filesystem::path FileSystemPath(const std::string& path) {
  return std::filesystem::path(WideFromUtf8(path));
}

bool MakeDirectory(const std::string& path, std::string* error) {
  const std::wstring wide = WideFromUtf8(path);
  if (wide.empty()) {
    *error = "cannot create " + path + ": the name is not valid UTF-8";
    return false;
  }
  if (CreateDirectoryW(wide.c_str(), nullptr)) return true;
  const DWORD code = GetLastError();
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return true;
  }
  *error = "cannot create " + path + ": Windows error " + std::to_string(code);
  return false;
}

std::string RoamingAppDataDirectory() {
  PWSTR folder = nullptr;
  std::string result;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_CREATE, nullptr, &folder))) {
    result = Utf8FromWide(folder);
  }
  CoTaskMemFree(folder);  // also owed when the call failed
  return result;
}

int64_t OpenFileSize(std::FILE* file) {
  struct _stat64 info;
  if (_fstat64(_fileno(file), &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG) return -1;
  return static_cast<int64_t>(info.st_size);
}

bool ListDirectory(const std::string& directory, std::vector<DirectoryItem>* items) {
  items->clear();
  WIN32_FIND_DATAW item;
  HANDLE listing = FindFirstFileW(WideFromUtf8(directory + "\\*").c_str(), &item);
  if (listing == INVALID_HANDLE_VALUE) return false;
  do {
    const std::wstring name = item.cFileName;
    if (name == L"." || name == L"..") continue;
    items->push_back(
        {Utf8FromWide(name), (item.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (FindNextFileW(listing, &item));
  FindClose(listing);
  return true;
}

}  // namespace tav
