// The process entry on Windows: runs the game's application controller on Win32.
#include <windows.h>

#include <memory>

#include "app/application_controller.h"
#include "app/win32_entry.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*show*/) {
  std::unique_ptr<tav::Application> application = tav::CreateGameApplication();
  return tav::RunWin32Game(instance, *application);
}
