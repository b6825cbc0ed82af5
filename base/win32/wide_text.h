// UTF-8, the game's own text encoding for paths and messages, to and from the UTF-16
// that Windows' wide-character calls take. Only Windows code includes this.
#pragma once

#include <string>

namespace tav {

// Empty when `text` is not valid UTF-8 (or is empty).
std::wstring WideFromUtf8(const std::string& text);
std::string Utf8FromWide(const std::wstring& text);

}  // namespace tav
