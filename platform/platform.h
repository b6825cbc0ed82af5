// The platform layer: the window and its message pump, cursor and buttons, focus and
// activation, time and sleeping, the keyboard layout, the display mode and the GL
// context. Everything above it talks to the machine only through this interface; an
// SDL2 implementation serves Linux, a native Win32 one serves Windows, and a headless
// one serves tests and tools.
#pragma once

#include <cstdint>

#include "base/frame_clock.h"
#include "platform/input_key.h"

namespace tav {

// What the message pump hands to the main loop, one event at a time.
enum class PlatformEventType {
  kActivate,         // the window was activated or minimised (see `minimised`)
  kSetFocus,         // the window gained the keyboard focus
  kKillFocus,        // the window lost the keyboard focus
  kClose,            // the window's close button or Alt+F4: leave as the menu's Exit does
  kChar,             // a typed character (`charCode`, `keyData`)
  kKeyDown,          // a key or controller button pressed or repeating (`keyPress`)
  kLeftButtonDown,
  kLeftButtonUp,
  kRightButtonDown,
  kRightButtonUp,
  kTerminate,        // the process was asked to end (SIGTERM, SIGINT, console close)
};

struct PlatformEvent {
  PlatformEventType type = PlatformEventType::kClose;
  bool minimised = false;  // kActivate: true when the window is now minimised
  int charCode = 0;        // kChar: 8-bit character code (Latin-1; 8 Backspace, 13 Enter)
  int keyData = 0;         // kChar: scan code and key flags, as the message's bits 16..31
  KeyPress keyPress;       // kKeyDown
};

enum class MouseButton { kLeft, kRight };

// Where the game's picture lands inside the drawable, in drawable pixels with the
// origin at the bottom-left (the GL viewport convention). The rest is black bars.
struct GameViewport {
  int drawableWidth = 0;
  int drawableHeight = 0;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// Also the program's TimeSource: QueryFrequency / QueryCounter are the
// high-resolution counter, MilliTicks the millisecond tick count.
class Platform : public TimeSource {
 public:
  ~Platform() override = default;

  // --- Window and message pump. Failures to create are fatal reports (they raise).
  // Creates the one full-screen window of the game, whose picture is `width` by
  // `height` game pixels.
  virtual void CreateMainWindow(const char* caption, int width, int height) = 0;
  // Shows the window, brings it to the foreground and gives it the focus; the pump
  // then reports the activation and the focus.
  virtual void ShowMainWindow() = 0;
  // Destroys whatever CreateMainWindow made; harmless when there is nothing.
  virtual void DestroyMainWindow() = 0;
  // Takes the next pending event without waiting; false when there is none.
  virtual bool PollEvent(PlatformEvent* event) = 0;
  // Minimises the window and hands the foreground back to the desktop.
  virtual void Minimise() = 0;
  // Restores the window and makes it the active, foreground window again.
  virtual void BringToFront() = 0;
  // Gets out of the way when the game has lost activation or focus. A full-screen
  // game minimises (the default); a game in a window stays where it is.
  virtual void YieldForeground() { Minimise(); }
  // The system's handle of the main window (a Windows HWND), for back-ends that
  // draw into it themselves; null where there is no such window.
  virtual void* NativeWindowHandle() { return nullptr; }
  // Whether the game shows in a window rather than full screen (the player's choice,
  // switched with Alt+Enter or F11). A back-end that owns the display mode itself
  // (Direct3D) follows it.
  virtual bool Windowed() const { return false; }
  // Gives the window the style, size and place of the current mode again, after a
  // back-end changed them itself (a full-screen Direct3D device does).
  virtual void PlaceWindow() {}

  // --- Cursor and buttons, in game pixels: origin top-left, x in [0, width),
  // y in [0, height); positions outside the picture are clamped to its edge.
  virtual void GetCursorPos(int* x, int* y) = 0;
  virtual void SetCursorPos(int x, int y) = 0;
  // Shows or hides the system cursor over the window.
  virtual void ShowCursor(bool show) = 0;
  virtual bool IsButtonDown(MouseButton button) = 0;
  // Makes the keyboard layout with this identifier (0x0409: US English) active for
  // typed characters, where the platform has such a notion.
  virtual void ActivateKeyboardLayout(uint32_t layoutId) = 0;

  // --- Time.
  virtual void Sleep(uint32_t milliseconds) = 0;

  // --- Display mode and GL context, used only by the OpenGL back-end; the window
  // calls above never depend on them. Failures are fatal reports (they raise).
  // Puts the display into the game's mode (or an equivalent scaled mode).
  virtual void EnterDisplayMode(int width, int height, int bitsPerPixel) = 0;
  // Gives the desktop its own mode back; harmless when nothing was changed.
  virtual void LeaveDisplayMode() = 0;
  // Creates a double-buffered GL context on the main window and makes it current.
  virtual void CreateGLContext(int bitsPerPixel) = 0;
  // Releases the GL context; harmless when there is none.
  virtual void DestroyGLContext() = 0;
  // Presents the back buffer (with vertical sync where the driver offers it).
  virtual void SwapGLBuffers() = 0;
  // Whether PresentRegion works on the current GL context: it copies part of the back
  // buffer (drawable pixels, origin bottom-left) to the window without a swap, so that
  // the back buffer keeps its whole picture for the next frame.
  virtual bool CanPresentRegions() { return false; }
  virtual void PresentRegion(int /*x*/, int /*y*/, int /*width*/, int /*height*/) {}
  // The address of a GL function beyond OpenGL 1.1 in the current context, or null.
  virtual void* GLProcAddress(const char* /*name*/) { return nullptr; }
  virtual GameViewport Viewport() = 0;

  // --- Frame pacing. Whether frames go to a real display whose refresh the main loop
  // may pace them to (false for headless runs, whose clock is the test's), and that
  // display's refresh rate in Hz (0 when unknown).
  virtual bool PresentsToDisplay() { return false; }
  virtual int DisplayRefreshRate() { return 0; }
  // True once after the window's picture was lost (uncovered, shown again, resized),
  // so that a frame identical to the one presented before is presented anyway.
  // Platforms that cannot tell always say true.
  virtual bool TakePictureLost() { return true; }
};

// Whether the space-separated list of GL or GLX extension names holds `name` as a
// whole word (a name can be the start of a longer one). False for a null list.
bool ExtensionListed(const char* list, const char* name);

// The process-wide platform (not owned). Before any is installed, and after
// SetPlatform(nullptr), a headless platform answers.
Platform& GetPlatform();
void SetPlatform(Platform* platform);

}  // namespace tav
