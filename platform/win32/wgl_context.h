// The display mode and the WGL context of the OpenGL back-end on Windows, kept apart
// from the window itself: the window works the same whether or not a GL context
// was ever made on it (the Direct3D back-end never makes one).
#pragma once

#include <windows.h>

namespace tav {

class WglContext {
 public:
  WglContext() = default;
  ~WglContext();
  WglContext(const WglContext&) = delete;
  WglContext& operator=(const WglContext&) = delete;

  // Switches the display to width x height at bitsPerPixel (fatal report on failure).
  void EnterDisplayMode(int width, int height, int bitsPerPixel);
  // The same without the fatal report, for a switch back to full screen while the
  // game runs: false (logged) when the display refuses the mode.
  bool TryEnterDisplayMode(int width, int height, int bitsPerPixel);
  // Gives the desktop its own mode back; nothing if the mode was never changed.
  void LeaveDisplayMode();
  // While the game is minimised or behind another program the player sees the
  // desktop in its own mode; the game's mode is set again when it comes back.
  // Both do nothing unless the game's mode is in force (or suspended).
  void SuspendDisplayMode();
  void ResumeDisplayMode();
  // A double-buffered RGBA context of `bitsPerPixel` colour bits on `window`, made
  // current (fatal report on failure; what was made so far is released by Destroy).
  void Create(HWND window, int bitsPerPixel);
  void Destroy();
  void SwapBuffers();

 private:
  HWND window_ = nullptr;
  HDC deviceContext_ = nullptr;
  HGLRC renderingContext_ = nullptr;
  bool modeChanged_ = false;
  bool modeSuspended_ = false;
  DEVMODEA mode_ = {};
};

}  // namespace tav
