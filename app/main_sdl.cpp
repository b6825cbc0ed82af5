// The process entry on Linux: runs the game's application controller on SDL2.
#include "app/sdl_entry.h"
#include "app/application.h"

#include <memory>

namespace tav {
// Made by the application controller's own source file.
std::unique_ptr<Application> CreateGameApplication();
}  // namespace tav

int main() {
  std::unique_ptr<tav::Application> application = tav::CreateGameApplication();
  return tav::RunSdlGame(*application);
}
