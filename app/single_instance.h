// The start-up check that keeps one running game per player (see
// base/instance_lock.h), made before anything else so that a second start
// touches none of the running game's files, not even its log.
#pragma once

#include <string>

#include "base/instance_lock.h"

namespace tav {

// True when another game already runs on this player's folder: it has been
// asked to bring its window to the front, one line on standard error says so,
// and the caller ends with status 0. Otherwise `lock` holds the lock for the
// run (or the lock could not be made, and the game runs without it).
// `baseDirectory` is the entry's base directory (empty: found as at start-up).
bool AnotherGameRuns(InstanceLock& lock, const std::string& baseDirectory);

}  // namespace tav
