// A platform without a window: events, cursor and buttons are scripted by the caller,
// time is a fake clock that only moves when told to (or when the program sleeps),
// and every call the program makes on it is counted. For tests and tools.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace tav {

class HeadlessPlatform : public Platform {
 public:
  HeadlessPlatform() = default;

  // --- Scripting.
  void PushEvent(const PlatformEvent& event) { events_.push_back(event); }
  // The user minimising (true) or restoring (false) the window.
  void PushActivate(bool minimised);
  void PushFocus(bool focused);
  void PushButton(MouseButton button, bool down);
  // Queues each byte of `text` as a typed character.
  void PushText(const std::string& text);
  void PushTerminate();
  // A key or controller button press, as the real platforms hand them over.
  void PushKey(InputKey key, bool shift = false);
  // The window's close button (or Alt+F4).
  void PushClose();
  size_t PendingEvents() const { return events_.size(); }

  void SetCursor(int x, int y) { cursorX_ = x; cursorY_ = y; }
  void SetButtonDown(MouseButton button, bool down);
  // Moves the fake clock forward.
  void AdvanceClock(uint64_t microseconds) { nowMicroseconds_ += microseconds; }
  // Makes QueryFrequency fail, as on a machine without a high-resolution counter.
  void SetHighResolutionAvailable(bool available) { highResolution_ = available; }
  // Called at every Sleep, after the clock moved; lets a test change the world while
  // the program waits (for example restore the window after some sleeps).
  void SetSleepHook(std::function<void(uint32_t milliseconds)> hook) {
    sleepHook_ = std::move(hook);
  }
  // Makes CreateMainWindow or CreateGLContext fail with a fatal report.
  void SetFailWindowCreation(bool fail) { failWindow_ = fail; }
  void SetFailGLContext(bool fail) { failGL_ = fail; }

  // --- What the program did.
  bool WindowExists() const { return windowExists_; }
  const std::string& Caption() const { return caption_; }
  bool CursorShown() const { return cursorShown_; }
  int MinimiseCount() const { return minimiseCount_; }
  int BringToFrontCount() const { return bringToFrontCount_; }
  const std::vector<uint32_t>& Sleeps() const { return sleeps_; }
  uint32_t KeyboardLayout() const { return keyboardLayout_; }
  bool GLContextExists() const { return glContext_; }
  int SwapCount() const { return swapCount_; }
  bool InDisplayMode() const { return inDisplayMode_; }

  // --- Platform.
  void CreateMainWindow(const char* caption, int width, int height) override;
  void ShowMainWindow() override;
  void DestroyMainWindow() override;
  bool PollEvent(PlatformEvent* event) override;
  void Minimise() override;
  void BringToFront() override;
  void GetCursorPos(int* x, int* y) override;
  void SetCursorPos(int x, int y) override;
  void ShowCursor(bool show) override { cursorShown_ = show; }
  bool IsButtonDown(MouseButton button) override;
  void ActivateKeyboardLayout(uint32_t layoutId) override { keyboardLayout_ = layoutId; }
  void Sleep(uint32_t milliseconds) override;
  void EnterDisplayMode(int width, int height, int bitsPerPixel) override;
  void LeaveDisplayMode() override { inDisplayMode_ = false; }
  void CreateGLContext(int bitsPerPixel) override;
  void DestroyGLContext() override { glContext_ = false; }
  void SwapGLBuffers() override { ++swapCount_; }
  GameViewport Viewport() override;

  // --- TimeSource: a microsecond counter.
  bool QueryFrequency(uint64_t* ticksPerSecond) override;
  uint64_t QueryCounter() override { return nowMicroseconds_; }
  uint32_t MilliTicks() override { return static_cast<uint32_t>(nowMicroseconds_ / 1000); }

 private:
  std::deque<PlatformEvent> events_;
  std::function<void(uint32_t)> sleepHook_;
  std::string caption_;
  std::vector<uint32_t> sleeps_;
  uint64_t nowMicroseconds_ = 0;
  int width_ = 800;
  int height_ = 600;
  int cursorX_ = 0;
  int cursorY_ = 0;
  bool leftDown_ = false;
  bool rightDown_ = false;
  bool cursorShown_ = true;
  bool windowExists_ = false;
  bool glContext_ = false;
  bool inDisplayMode_ = false;
  bool highResolution_ = true;
  bool failWindow_ = false;
  bool failGL_ = false;
  int minimiseCount_ = 0;
  int bringToFrontCount_ = 0;
  int swapCount_ = 0;
  uint32_t keyboardLayout_ = 0;
};

}  // namespace tav
