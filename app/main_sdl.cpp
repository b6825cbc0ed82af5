// The process entry on Linux: runs the game's application controller on SDL2.
#include <memory>

#include "app/application_controller.h"
#include "app/sdl_entry.h"

int main() {
  std::unique_ptr<tav::Application> application = tav::CreateGameApplication();
  return tav::RunSdlGame(*application);
}
