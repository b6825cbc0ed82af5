// Runs windows frame by frame and clicks them for the GUI tests.
#include "tests/support/window_input.h"

#include "gui/frame_delta.h"

namespace tav::test {

std::vector<std::string> RunFrames(Window& window, int frames, float dt) {
  SetFrameDelta(dt);
  std::vector<std::string> words;
  for (int i = 0; i < frames; ++i) {
    NotificationQueue queue;
    window.Update(queue);
    for (const Notification& notification : queue) {
      words.push_back(notification.argument.empty()
                          ? notification.word
                          : notification.word + " " + notification.argument);
    }
  }
  return words;
}

void Click(Window& window, float x, float y) {
  window.OnMouseMove({x, y});
  window.OnLeftDown({x, y});
  window.OnLeftUp({x, y});
}

}  // namespace tav::test
