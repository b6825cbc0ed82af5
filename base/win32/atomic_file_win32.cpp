// Whole-file atomic replacement on Windows: a temporary file beside the target,
// FlushFileBuffers, then MoveFileExW replacing the target with write-through, so
// the rename reaches the disk before the call returns.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>

#include "base/atomic_file.h"
#include "base/log.h"

namespace tav {
namespace {

// Paths arrive in the ANSI code page, as the C library's fopen reads them.
std::wstring Wide(const std::string& text) {
  int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
  wide.resize(static_cast<size_t>(length - 1));
  return wide;
}

std::string SystemErrorText(DWORD code) {
  char text[256];
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                nullptr, code, 0, text, sizeof(text), nullptr);
  while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' ||
                        text[length - 1] == ' ' || text[length - 1] == '.')) {
    --length;
  }
  if (length == 0) return "error " + std::to_string(code);
  return std::string(text, length);
}

// A name no other writer in this process or another one picks at the same time.
std::wstring TemporaryNameFor(const std::wstring& path) {
  static std::atomic<unsigned> counter{0};
  wchar_t suffix[64];
  std::swprintf(suffix, 64, L".tmp-%lu-%u", GetCurrentProcessId(), counter++);
  return path + suffix;
}

bool WriteAll(HANDLE file, const std::string& bytes) {
  size_t written = 0;
  while (written < bytes.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - written, 1u << 30));
    DWORD done = 0;
    if (!WriteFile(file, bytes.data() + written, chunk, &done, nullptr) || done == 0) return false;
    written += done;
  }
  return true;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::string& bytes) {
  std::wstring target = Wide(path);
  if (target.empty()) {
    LogLine("Cannot replace %s: the name cannot be converted\n", path.c_str());
    return false;
  }
  std::wstring temporary = TemporaryNameFor(target);
  HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    LogLine("Cannot create a temporary file for %s: %s\n", path.c_str(),
            SystemErrorText(GetLastError()).c_str());
    return false;
  }
  bool written = WriteAll(file, bytes) && FlushFileBuffers(file);
  DWORD error = GetLastError();
  CloseHandle(file);
  if (!written) {
    DeleteFileW(temporary.c_str());
    LogLine("Cannot write %s: %s\n", path.c_str(), SystemErrorText(error).c_str());
    return false;
  }
  if (!MoveFileExW(temporary.c_str(), target.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = GetLastError();
    DeleteFileW(temporary.c_str());
    LogLine("Cannot replace %s: %s\n", path.c_str(), SystemErrorText(error).c_str());
    return false;
  }
  return true;
}

}  // namespace tav
