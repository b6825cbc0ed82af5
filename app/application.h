// The interface through which the entry and main loop drive the game: set-up once,
// one step per drawn frame, the mouse-button and character input between frames,
// and teardown once at the end. The game's application controller implements it;
// tests and demos implement small ones of their own.
#pragma once

#include "base/log.h"
#include "platform/input_key.h"

namespace tav {

class Application {
 public:
  virtual ~Application() = default;

  // Once, after the renderer and the sound device are up. May raise (fatal report).
  virtual void SetUp() = 0;
  // Once per drawn frame, between the renderer's BeginScene and EndFrame.
  virtual void FrameStep() = 0;
  // Once, after the main loop was left, if SetUp was entered.
  virtual void TearDown() = 0;

  // Button input; each handler reads the cursor itself (GetPlatform().GetCursorPos).
  virtual void OnLeftButtonDown() = 0;
  virtual void OnLeftButtonUp() = 0;
  virtual void OnRightButtonDown() = 0;
  virtual void OnRightButtonUp() = 0;
  // A typed letter (its Unicode code point; 8 Backspace, 13 Enter) and its key data (scan
  // code and key flags).
  virtual void OnChar(int code, int keyData) = 0;
  // A key or controller button; applications without keyboard play ignore it.
  virtual void OnKey(const KeyPress& /*press*/) {}
  // The window's close button or Alt+F4. The game leaves as its own Exit does;
  // the default simply asks to leave.
  virtual void OnCloseRequest() { RequestQuit(); }
};

}  // namespace tav
