// The process-wide platform pointer, with a headless stand-in until one is installed.
#include "platform/platform.h"

#include <cstring>

#include "platform/headless/headless_platform.h"

namespace tav {

namespace {

Platform* installedPlatform = nullptr;

Platform& FallbackPlatform() {
  static HeadlessPlatform fallback;
  return fallback;
}

}  // namespace

Platform& GetPlatform() {
  return installedPlatform ? *installedPlatform : FallbackPlatform();
}

void SetPlatform(Platform* platform) { installedPlatform = platform; }

bool ExtensionListed(const char* list, const char* name) {
  if (list == nullptr) return false;
  const size_t length = std::strlen(name);
  for (const char* at = std::strstr(list, name); at != nullptr; at = std::strstr(at + 1, name)) {
    const bool starts = at == list || at[-1] == ' ';
    const bool ends = at[length] == '\0' || at[length] == ' ';
    if (starts && ends) return true;
  }
  return false;
}

}  // namespace tav
