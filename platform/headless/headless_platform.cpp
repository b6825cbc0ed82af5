// The headless platform: a scripted event queue, cursor and buttons, and a fake
// microsecond clock that sleeping advances.
#include "platform/headless/headless_platform.h"

#include <algorithm>

#include "base/log.h"

namespace tav {

void HeadlessPlatform::PushActivate(bool minimised) {
  PlatformEvent event;
  event.type = PlatformEventType::kActivate;
  event.minimised = minimised;
  PushEvent(event);
}

void HeadlessPlatform::PushFocus(bool focused) {
  PlatformEvent event;
  event.type = focused ? PlatformEventType::kSetFocus : PlatformEventType::kKillFocus;
  PushEvent(event);
}

void HeadlessPlatform::PushButton(MouseButton button, bool down) {
  PlatformEvent event;
  if (button == MouseButton::kLeft) {
    event.type = down ? PlatformEventType::kLeftButtonDown : PlatformEventType::kLeftButtonUp;
  } else {
    event.type = down ? PlatformEventType::kRightButtonDown : PlatformEventType::kRightButtonUp;
  }
  PushEvent(event);
}

void HeadlessPlatform::PushText(const std::string& text) {
  for (unsigned char c : text) {
    PlatformEvent event;
    event.type = PlatformEventType::kChar;
    event.charCode = c;
    PushEvent(event);
  }
}

void HeadlessPlatform::PushTerminate() {
  PlatformEvent event;
  event.type = PlatformEventType::kTerminate;
  PushEvent(event);
}

void HeadlessPlatform::PushKey(InputKey key, bool shift) {
  PlatformEvent event;
  event.type = PlatformEventType::kKeyDown;
  event.keyPress.key = key;
  event.keyPress.shift = shift;
  PushEvent(event);
}

void HeadlessPlatform::PushClose() {
  PlatformEvent event;
  event.type = PlatformEventType::kClose;
  PushEvent(event);
}

void HeadlessPlatform::SetButtonDown(MouseButton button, bool down) {
  (button == MouseButton::kLeft ? leftDown_ : rightDown_) = down;
}

void HeadlessPlatform::CreateMainWindow(const char* caption, int width, int height) {
  if (failWindow_) {
    ReportFatal("CreateWindow() failed.");
    return;
  }
  caption_ = caption;
  width_ = width;
  height_ = height;
  windowExists_ = true;
}

void HeadlessPlatform::ShowMainWindow() {
  // As a real window does when shown: it becomes active and takes the focus.
  PushActivate(false);
  PushFocus(true);
}

void HeadlessPlatform::DestroyMainWindow() {
  windowExists_ = false;
  glContext_ = false;
}

bool HeadlessPlatform::PollEvent(PlatformEvent* event) {
  if (events_.empty()) return false;
  *event = events_.front();
  events_.pop_front();
  return true;
}

void HeadlessPlatform::Minimise() {
  ++minimiseCount_;
  // As a real window reports it: now minimised, until the user restores it (a test
  // pushes the activation back).
  PushActivate(true);
}

void HeadlessPlatform::BringToFront() { ++bringToFrontCount_; }

void HeadlessPlatform::GetCursorPos(int* x, int* y) {
  *x = std::clamp(cursorX_, 0, std::max(width_ - 1, 0));
  *y = std::clamp(cursorY_, 0, std::max(height_ - 1, 0));
}

void HeadlessPlatform::SetCursorPos(int x, int y) {
  cursorX_ = x;
  cursorY_ = y;
}

bool HeadlessPlatform::IsButtonDown(MouseButton button) {
  return button == MouseButton::kLeft ? leftDown_ : rightDown_;
}

void HeadlessPlatform::Sleep(uint32_t milliseconds) {
  sleeps_.push_back(milliseconds);
  nowMicroseconds_ += static_cast<uint64_t>(milliseconds) * 1000;
  if (sleepHook_) sleepHook_(milliseconds);
}

void HeadlessPlatform::EnterDisplayMode(int width, int height, int /*bitsPerPixel*/) {
  width_ = width;
  height_ = height;
  inDisplayMode_ = true;
}

void HeadlessPlatform::CreateGLContext(int /*bitsPerPixel*/) {
  if (failGL_ || !windowExists_) {
    ReportFatal("The headless platform has no GL context.");
    return;
  }
  glContext_ = true;
}

GameViewport HeadlessPlatform::Viewport() {
  GameViewport viewport;
  viewport.drawableWidth = viewport.width = width_;
  viewport.drawableHeight = viewport.height = height_;
  return viewport;
}

bool HeadlessPlatform::QueryFrequency(uint64_t* ticksPerSecond) {
  if (!highResolution_) return false;
  *ticksPerSecond = 1000000;
  return true;
}

}  // namespace tav
