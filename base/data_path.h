// Turns the game's own file names ("Data\Levels.ini", "log.txt") into native paths
// under the base directory. No other code builds paths by hand.
#pragma once

#include <string>

namespace tav {

// Base directory + separator + name, with '\' and '/' in name turned into the
// native separator.
std::string DataPath(const std::string& name);

// The same for a name that is not under the base directory (converted only).
std::string NativePath(const std::string& name);

}  // namespace tav
