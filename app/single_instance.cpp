// Finding the player's folder before the log starts, and deferring to a game
// that already runs there.
#include "app/single_instance.h"

#include <cstdio>

#include "base/data_path.h"

namespace tav {

bool AnotherGameRuns(InstanceLock& lock, const std::string& baseDirectory) {
  if (InstanceLockBypassed()) return false;
  std::string folder = baseDirectory;
  if (folder.empty()) {
    const GameHomes homes = FindProcessGameHomes();
    folder = homes.playerFilesBesideData ? homes.dataDirectory : homes.playerDirectory;
  }
  if (lock.Acquire(folder) != InstanceLock::Result::kHeldByAnother) return false;
  const bool asked = lock.AskOwnerToComeToFront();
  std::fprintf(stderr, "tavrolith: the game is already running%s.\n",
               asked ? "; its window was brought to the front" : "");
  std::fflush(stderr);
  return true;
}

}  // namespace tav
