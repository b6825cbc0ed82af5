// The Linux platform on SDL2: one window, full screen on the desktop's own mode or a
// resizable window (Alt+Enter and F11 switch, and the choice is kept between runs),
// the game's picture scaled into it with its aspect ratio kept at any size, the mouse
// mapped back into game pixels, typed text as Latin-1 character codes, the keys the game
// plays with, the close button and Alt+F4 as close requests, and SIGTERM / SIGINT turned
// into a termination event so that the game leaves through its normal shutdown.
#pragma once

#include <deque>

#include "platform/letterbox.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_game_controllers.h"

struct SDL_Window;

namespace tav {

class SdlPlatform : public Platform {
 public:
  SdlPlatform() = default;
  ~SdlPlatform() override;
  SdlPlatform(const SdlPlatform&) = delete;
  SdlPlatform& operator=(const SdlPlatform&) = delete;

  void CreateMainWindow(const char* caption, int width, int height) override;
  void ShowMainWindow() override;
  void DestroyMainWindow() override;
  bool PollEvent(PlatformEvent* event) override;
  void Minimise() override;
  void BringToFront() override;
  void YieldForeground() override;
  void GetCursorPos(int* x, int* y) override;
  void SetCursorPos(int x, int y) override;
  void ShowCursor(bool show) override;
  bool IsButtonDown(MouseButton button) override;
  void ActivateKeyboardLayout(uint32_t layoutId) override;
  void Sleep(uint32_t milliseconds) override;
  void EnterDisplayMode(int width, int height, int bitsPerPixel) override;
  void LeaveDisplayMode() override;
  void CreateGLContext(int bitsPerPixel) override;
  void DestroyGLContext() override;
  void SwapGLBuffers() override;
  void* GLProcAddress(const char* name) override;
  bool CanPresentRegions() override { return copySubBuffer_ != nullptr; }
  void PresentRegion(int x, int y, int width, int height) override;
  GameViewport Viewport() override;
  bool PresentsToDisplay() override { return window_ != nullptr; }
  int DisplayRefreshRate() override;
  bool TakePictureLost() override;

  bool QueryFrequency(uint64_t* ticksPerSecond) override;
  uint64_t QueryCounter() override;
  uint32_t MilliTicks() override;

  SDL_Window* Window() const { return window_; }
  const SdlGameControllers& Controllers() const { return controllers_; }
  bool Windowed() const override { return windowed_; }
  // Switches between full screen and a window and remembers the choice.
  void SetWindowed(bool windowed);

 private:
  // Where the picture lies in window coordinates (the mouse's coordinates).
  LetterboxRect WindowLetterbox() const;
  // Turns one SDL event into ours; false for events the game has no use for.
  bool Translate(const void* sdlEvent, PlatformEvent* event);
  void QueueTextInput(const char* utf8);
  // The desktop's size, or the picture's when it cannot be asked.
  void DesktopSize(int* width, int* height) const;
  void ApplyWindowMode();
  // Starts SDL's video (and timer), again if the display's modes were read incompletely.
  bool StartVideo();

  SDL_Window* window_ = nullptr;
  void* glContext_ = nullptr;
  // GLX_MESA_copy_sub_buffer on an X11 GLX context: regions presented without a swap.
  void FindCopySubBuffer();
  using CopySubBufferFunction = void (*)(void* display, unsigned long drawable, int x, int y,
                                         int width, int height);
  CopySubBufferFunction copySubBuffer_ = nullptr;
  void* glxDisplay_ = nullptr;
  unsigned long glxDrawable_ = 0;
  bool videoStarted_ = false;
  bool signalsInstalled_ = false;
  int gameWidth_ = 800;
  int gameHeight_ = 600;
  bool windowed_ = false;
  bool pictureLost_ = true;
  std::deque<PlatformEvent> pending_;
  SdlGameControllers controllers_;
};

// Decodes typed UTF-8 text into letter codes (Unicode), dropping every malformed
// sequence. Exposed for tests.
std::deque<int> Utf8ToLetters(const char* utf8);
// The game's key for an SDL key code and scan code; kNone for keys the game ignores.
InputKey KeyFromSdl(int keycode, int scancode);

}  // namespace tav
