// The process-wide platform pointer, with a headless stand-in until one is installed.
#include "platform/platform.h"

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

}  // namespace tav
