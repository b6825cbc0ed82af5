// Case-insensitive comparison of file, section and sound names. Only ASCII letters
// fold, the same on every platform and in every locale, so a name matches the same
// files on Windows and on Linux.
#pragma once

#include <string_view>

namespace tav {

bool EqualIgnoringCase(std::string_view a, std::string_view b);

}  // namespace tav
