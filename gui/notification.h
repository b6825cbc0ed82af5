// The message unit from the GUI to the application: a word and an argument,
// stamped on its way out with the window and the control it came from.
#pragma once

#include <deque>
#include <string>

namespace tav {

class Window;
class Control;

struct Notification {
  std::string word;
  std::string argument;
  Window* window = nullptr;    // set by the window that collects it
  Control* control = nullptr;  // null for what a window posts itself
};

// First in, first out; filled and emptied by the WindowManager within one update.
using NotificationQueue = std::deque<Notification>;

}  // namespace tav
