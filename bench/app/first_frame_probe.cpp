// Starts a program on the current X display and reports how long it took until the
// screen first changed: the moment its first frame was presented. Works with any
// build of the game, so that an old build can be measured beside a new one.
//
// Usage: first_frame_probe <program> [arguments...]
// Prints "pid <n>" as soon as the program runs and "first_frame_ms <t>" when the
// screen changes (or "first_frame_ms none" after 20 s), then waits for the program
// and exits with its exit code. Start the X server without a background colour
// option, so that the root window shows its pattern until a frame covers it.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

// A few small blocks spread over the screen.
std::vector<unsigned long> Sample(Display* display, Window root, int width, int height) {
  std::vector<unsigned long> pixels;
  for (int i = 1; i <= 3; ++i) {
    for (int j = 1; j <= 3; ++j) {
      XImage* image = XGetImage(display, root, width * i / 4, height * j / 4, 8, 8, AllPlanes,
                                ZPixmap);
      if (image == nullptr) continue;
      for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) pixels.push_back(XGetPixel(image, x, y));
      }
      XDestroyImage(image);
    }
  }
  return pixels;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <program> [arguments...]\n", argv[0]);
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "no X display\n");
    return 2;
  }
  const Window root = DefaultRootWindow(display);
  const int width = DisplayWidth(display, DefaultScreen(display));
  const int height = DisplayHeight(display, DefaultScreen(display));
  const std::vector<unsigned long> before = Sample(display, root, width, height);

  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    execvp(argv[1], argv + 1);
    _exit(127);
  }
  std::printf("pid %d\n", static_cast<int>(child));
  std::fflush(stdout);

  bool seen = false;
  while (!seen) {
    const double elapsed =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count();
    if (elapsed > 20000.0) break;
    if (Sample(display, root, width, height) != before) {
      std::printf("first_frame_ms %.0f\n", elapsed);
      seen = true;
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    int status = 0;
    if (waitpid(child, &status, WNOHANG) == child) {
      if (!seen) std::printf("first_frame_ms none\n");
      XCloseDisplay(display);
      return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
    }
  }
  if (!seen) std::printf("first_frame_ms none\n");
  std::fflush(stdout);
  XCloseDisplay(display);
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}
