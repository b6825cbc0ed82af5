// One running game per player: the first game takes a lock in the player's
// folder and keeps it until it ends; a second start finds the lock held, asks
// the running game to bring its window to the front, and ends. On Linux the lock
// is an flock on "tavrolith.lock" (released by the system when the process
// ends, however it ends), which also holds the running game's process id; the
// front request is the signal SIGUSR1. On Windows it is a named mutex made from
// the folder's path, and the front request finds the window by its caption.
#pragma once

#include <string>

namespace tav {

class InstanceLock {
 public:
  enum class Result {
    kAcquired,       // this is the only running game
    kHeldByAnother,  // another game holds the lock
    kUnavailable,    // the lock could not be made (the game runs without it)
  };

  InstanceLock() = default;
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // Takes the lock of the player's folder. Holding it, this process also
  // starts taking front requests (see TakeFrontRequest).
  Result Acquire(const std::string& playerFolder);
  // Asks the game holding the lock to bring its window to the front; false when
  // it could not be asked.
  bool AskOwnerToComeToFront() const;
  void Release();

 private:
  std::string folder_;
#ifdef _WIN32
  void* mutex_ = nullptr;
#else
  int fd_ = -1;
#endif
};

// True once for each front request a second start sent this game since the last
// call; the platform layer brings the window to the front.
bool TakeFrontRequest();

// The test switch: with the environment variable TAVROLITH_NO_INSTANCE_LOCK set
// to 1 the game runs without the lock, so tests can run two games on one folder.
bool InstanceLockBypassed();

}  // namespace tav
