// Finding a file whose name may differ in letter case from the one on disk: the game
// names its files without regard to case, while Linux file systems do not.
#pragma once

#include <string>

namespace tav {

// `path` itself when it exists; otherwise the existing path that matches it with
// every component compared without regard to (ASCII) letter case; otherwise `path`
// unchanged. Where several entries match a component, the first in sorted order wins.
std::string FindFileIgnoringCase(const std::string& path);

}  // namespace tav
