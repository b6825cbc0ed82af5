// The single-instance lock on Windows: a named mutex per player folder (its
// name made from the folder's path, which may hold any letters), and the front
// request made by the second start itself, which as the process the player just
// started may hand the foreground to the running game's window.
#include "base/instance_lock.h"

#include <windows.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tav {

namespace {

// The caption of the game's window.
const char kWindowCaption[] = "Tavrolith";

// "Local\Tavrolith-<64-bit FNV-1a of the lower-cased folder path>": the same for
// every spelling of a folder that differs only in case, as Windows paths do.
std::string MutexName(const std::string& folder) {
  uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : folder) {
    const unsigned char folded = c == '/' ? '\\' : static_cast<unsigned char>(std::tolower(c));
    hash = (hash ^ folded) * 1099511628211ull;
  }
  char name[64];
  std::snprintf(name, sizeof name, "Local\\Tavrolith-%016llx",
                static_cast<unsigned long long>(hash));
  return name;
}

}  // namespace

InstanceLock::~InstanceLock() { Release(); }

InstanceLock::Result InstanceLock::Acquire(const std::string& playerFolder) {
  Release();
  folder_ = playerFolder;
  HANDLE mutex = CreateMutexA(nullptr, FALSE, MutexName(folder_).c_str());
  if (mutex == nullptr) return Result::kUnavailable;
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return Result::kHeldByAnother;
  }
  // Held by this process for as long as the handle is open; the system closes
  // it when the process ends, however it ends.
  mutex_ = mutex;
  return Result::kAcquired;
}

bool InstanceLock::AskOwnerToComeToFront() const {
  HWND window = FindWindowA(nullptr, kWindowCaption);
  if (window == nullptr) return false;
  if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
  return SetForegroundWindow(window) != 0;
}

void InstanceLock::Release() {
  if (mutex_ == nullptr) return;
  CloseHandle(static_cast<HANDLE>(mutex_));
  mutex_ = nullptr;
}

// The second start brings the window forward itself; nothing arrives here.
bool TakeFrontRequest() { return false; }

}  // namespace tav
