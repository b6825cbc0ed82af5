// Whole-file atomic replacement on Windows: a temporary file beside the target,
// FlushFileBuffers, then MoveFileExW replacing the target with write-through, so
// the rename reaches the disk before the call returns. Temporaries left by a save
// that was cut off are cleared after the next save of the same file.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cwchar>

#include "base/atomic_file.h"
#include "base/log.h"
#include "base/win32/wide_text.h"

namespace tav {
namespace {

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

// True when the process that named a temporary "<file>.tmp-<pid>-<n>" has ended.
bool OwnerHasEnded(const std::wstring& suffix) {
  const DWORD owner = static_cast<DWORD>(std::wcstoul(suffix.c_str(), nullptr, 10));
  if (owner == 0 || owner == GetCurrentProcessId()) return false;
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, owner);
  if (process == nullptr) return GetLastError() == ERROR_INVALID_PARAMETER;  // no such process
  const bool ended = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
  CloseHandle(process);
  return ended;
}

// A save cut off by a crash or a kill leaves its temporary file behind, and each
// such moment would add one more. Once a save has gone through, a temporary of the
// same file is a leftover when the process that made it has ended, or when it is
// older than a minute (a save takes milliseconds; the process number may have been
// given to another program since). One still being written is open without
// sharing, so it cannot be removed anyway.
void RemoveStaleTemporaries(const std::wstring& target) {
  const size_t slash = target.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? L"." : target.substr(0, slash);
  const std::wstring prefix =
      (slash == std::wstring::npos ? target : target.substr(slash + 1)) + L".tmp-";
  WIN32_FIND_DATAW item;
  HANDLE listing = FindFirstFileW((target + L".tmp-*").c_str(), &item);
  if (listing == INVALID_HANDLE_VALUE) return;
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const auto ticks = [](const FILETIME& time) {
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  };
  constexpr uint64_t kMinuteInTicks = 60ull * 10000000ull;  // 100 ns ticks
  do {
    const std::wstring name = item.cFileName;
    if ((item.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
        name.compare(0, prefix.size(), prefix) != 0) {
      continue;
    }
    const bool old = ticks(now) > ticks(item.ftLastWriteTime) + kMinuteInTicks;
    if (old || OwnerHasEnded(name.substr(prefix.size()))) {
      DeleteFileW((folder + L"\\" + name).c_str());
    }
  } while (FindNextFileW(listing, &item));
  FindClose(listing);
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
  std::wstring target = WideFromUtf8(path);
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
  RemoveStaleTemporaries(target);
  return true;
}

}  // namespace tav
