// The single-instance lock on Linux: flock on <player folder>/tavrolith.lock,
// the owner's process id in the file, SIGUSR1 as the front request.
#include "base/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tav {

namespace {

volatile std::sig_atomic_t g_frontRequested = 0;

void OnFrontRequest(int) { g_frontRequested = 1; }

std::string LockPath(const std::string& folder) {
  return (folder.empty() ? std::string(".") : folder) + "/tavrolith.lock";
}

}  // namespace

InstanceLock::~InstanceLock() { Release(); }

InstanceLock::Result InstanceLock::Acquire(const std::string& playerFolder) {
  Release();
  folder_ = playerFolder;
  // The handler is installed before the lock is taken: a second start may send
  // its request the moment the lock is held, and SIGUSR1 would otherwise end us.
  struct sigaction action;
  std::memset(&action, 0, sizeof action);
  action.sa_handler = OnFrontRequest;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGUSR1, &action, nullptr);

  const int fd = open(LockPath(folder_).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return Result::kUnavailable;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const bool held = errno == EWOULDBLOCK;
    close(fd);
    return held ? Result::kHeldByAnother : Result::kUnavailable;
  }
  fd_ = fd;
  char pid[32];
  const int length = std::snprintf(pid, sizeof pid, "%ld\n", static_cast<long>(getpid()));
  if (ftruncate(fd_, 0) != 0 || pwrite(fd_, pid, static_cast<size_t>(length), 0) != length) {
    // The lock holds without the id; only the front request is lost.
  }
  return Result::kAcquired;
}

bool InstanceLock::AskOwnerToComeToFront() const {
  const int fd = open(LockPath(folder_).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char text[32] = {};
  const ssize_t got = read(fd, text, sizeof text - 1);
  close(fd);
  if (got <= 0) return false;
  char* end = nullptr;
  const long pid = std::strtol(text, &end, 10);
  // Only a plausible id of another process is signalled; never 0, -1 or us.
  if (end == text || pid <= 1 || pid == static_cast<long>(getpid())) return false;
  return kill(static_cast<pid_t>(pid), SIGUSR1) == 0;
}

void InstanceLock::Release() {
  if (fd_ < 0) return;
  // The file stays: removing it would let a third start lock a new file while
  // a second one still waits on the old.
  flock(fd_, LOCK_UN);
  close(fd_);
  fd_ = -1;
}

bool TakeFrontRequest() {
  if (g_frontRequested == 0) return false;
  g_frontRequested = 0;
  return true;
}

}  // namespace tav
