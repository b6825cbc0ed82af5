// The Windows platform: one window of the class "D3DEngine" captioned as asked,
// full screen (a popup covering the display) or, by the player's choice, a resizable
// window (Alt+Enter and F11 switch; the choice is kept in the window-mode file), with
// the picture letterboxed in it and the mouse mapped back into game pixels; its
// message pump, cursor and buttons read from the system,
// typed characters as Latin-1 codes, QueryPerformanceCounter time at a 1 ms timer
// resolution, and the OpenGL
// back-end's display mode and WGL context (in WglContext, apart from the window).
// Closing the window, ending the session and console control events all become a
// termination event, so the game leaves through its normal shutdown and saves.
#pragma once

#include <windows.h>

#include <deque>

#include "platform/letterbox.h"
#include "platform/platform.h"
#include "platform/win32/wgl_context.h"
#include "platform/win32/xinput_pad.h"

namespace tav {

// The window class name and the icon resource of the game's window. The window is
// a Unicode one: its caption and the characters typed into it are UTF-16.
constexpr const wchar_t* kWin32WindowClass = L"D3DEngine";
constexpr int kWin32IconResource = 101;

class Win32Platform : public Platform {
 public:
  explicit Win32Platform(HINSTANCE instance);
  ~Win32Platform() override;
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  void CreateMainWindow(const char* caption, int width, int height) override;
  void ShowMainWindow() override;
  void DestroyMainWindow() override;
  bool PollEvent(PlatformEvent* event) override;
  void Minimise() override;
  void BringToFront() override;
  void YieldForeground() override;
  void* NativeWindowHandle() override { return window_; }
  bool Windowed() const override { return windowed_; }
  void PlaceWindow() override;
  // Switches between full screen and a window and remembers the choice.
  void SetWindowed(bool windowed);
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
  GameViewport Viewport() override;
  // Frames go to the screen; the main loop paces them when presentation does not
  // wait for the display (Wine, some drivers).
  bool PresentsToDisplay() override { return window_ != nullptr; }
  int DisplayRefreshRate() override;

  bool QueryFrequency(uint64_t* ticksPerSecond) override;
  uint64_t QueryCounter() override;
  uint32_t MilliTicks() override;

  // The window procedure's work for one message; true when the message was handled
  // (the procedure then returns `*result`).
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

 private:
  LetterboxRect ClientLetterbox() const;
  void Push(PlatformEventType type);

  HINSTANCE instance_;
  HWND window_ = nullptr;
  bool classRegistered_ = false;
  bool consoleHandlerInstalled_ = false;
  bool cursorHidden_ = false;
  UINT timerPeriod_ = 0;  // the raised timer resolution in ms, 0 when not raised
  int gameWidth_ = 800;
  int gameHeight_ = 600;
  bool windowed_ = false;
  // The display mode the OpenGL back-end asked for (bits per pixel; 0 when none):
  // it is given up in a window and asked for again back in full screen.
  int glModeBits_ = 0;
  std::deque<PlatformEvent> pending_;
  XInputPads pads_{LoadSystemXInput()};
  WglContext gl_;
};



}  // namespace tav
