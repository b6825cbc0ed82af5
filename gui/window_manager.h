// Owns every window, keeps the stack of shown windows, forwards input, updates
// and both draw passes to them, delivers text commands to windows by name, and
// routes the notifications they post to the handlers registered by window name,
// control name and word. Nothing in the GUI knows who handles its words.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/notification.h"
#include "gui/window.h"

namespace tav {

// Receives the notification's argument.
using NotificationHandler = std::function<void(std::string argument)>;

// One registration. An empty window or control name matches any; an entry without
// a handler never matches.
struct HandlerEntry {
  NotificationHandler handler;
  std::string word;
  std::string window;
  std::string control;
};

class WindowManager {
 public:
  WindowManager() = default;
  virtual ~WindowManager();
  WindowManager(const WindowManager&) = delete;
  WindowManager& operator=(const WindowManager&) = delete;

  // Collects the notifications of the shown windows (or of the exclusive window
  // alone), calls every matching handler for each in queue order and handler
  // registration order, then empties the queue.
  virtual void Update();
  // The two draw passes over the shown windows, bottom of the stack first. The
  // exclusive window does not restrict drawing.
  virtual void Draw();
  virtual void DrawOverlay();

  // Takes the window off the stack if it is there, then pushes the first
  // registered window of that name on top. A window that was not shown comes up
  // without a focused control.
  virtual void ShowWindow(const std::string& name);
  // The first registered window of that name gets all input and updates.
  virtual void SetExclusive(const std::string& name);
  // Takes the lowest window of that name off the stack.
  virtual void HideWindow(const std::string& name);
  virtual void ClearExclusive();

  // Input goes to the exclusive window when one is set, else to every shown
  // window, bottom first.
  virtual void OnMouseMove(Vec2 position);
  virtual void OnLeftUp(Vec2 position);
  virtual void OnLeftDown(Vec2 position);
  virtual void OnLeftHeld(Vec2 position);
  virtual void OnRightUp(Vec2 position);
  virtual void OnRightDown(Vec2 position);
  virtual void OnRightHeld(Vec2 position);
  virtual void OnKeyChar(uint32_t code, uint32_t keyData);

  // Keys go to one window only, the one the player looks at: the exclusive window,
  // else the topmost shown window that accepts keys, and only while it takes them
  // (a fading or disabled top window takes none, and nothing behind it does).
  Window* KeyWindow() const;
  bool OnKey(const KeyPress& press);
  // Makes the key window's focus visible.
  void ShowKeyFocus();
  // Every window drops its focus (the pointer is in use again).
  void ClearKeyFocus();

  // Appends the window to the registry; the manager owns it from then on.
  template <class WindowType>
  WindowType* AddWindow(std::unique_ptr<WindowType> window) {
    WindowType* added = window.get();
    AddOwnedWindow(std::unique_ptr<Window>(std::move(window)));
    return added;
  }
  template <class WindowType>
  WindowType* AddWindow(WindowType* window) {
    return AddWindow(std::unique_ptr<WindowType>(window));
  }
  // Deletes every window in registration order; empties the registry and the stack.
  void DeleteAllWindows();

  // Command(text) on every registered window of that name, shown or not.
  void SendCommand(const std::string& windowName, const std::string& text);
  // SendToControl on every registered window of that name.
  void SendToControl(const std::string& windowName, const std::string& controlName,
                     const std::string& text);
  bool IsShown(const std::string& name) const;

  void On(const std::string& window, const std::string& control, const std::string& word,
          NotificationHandler handler);
  void On(const std::string& window, const std::string& word, NotificationHandler handler);
  void On(const std::string& word, NotificationHandler handler);

  // The first registered window of that name, or null.
  Window* FindWindow(const std::string& name) const;
  size_t WindowCount() const { return windows_.size(); }
  // The shown windows, bottom first.
  const std::vector<Window*>& Shown() const { return shown_; }
  Window* Exclusive() const { return exclusive_; }
  size_t HandlerCount() const { return handlers_.size(); }

 private:
  void AddOwnedWindow(std::unique_ptr<Window> window);
  // The windows that get input and updates now, bottom first.
  std::vector<Window*> ActiveWindows() const;
  // Calls one pointer event on each of the active windows, bottom first.
  void Forward(void (Window::*event)(Vec2), Vec2 position);
  void Dispatch(const Notification& notification);

  // A deque so that a handler registering another handler never moves the one
  // that is running.
  std::deque<HandlerEntry> handlers_;
  NotificationQueue queue_;
  std::vector<std::unique_ptr<Window>> windows_;
  std::vector<Window*> shown_;
  Window* exclusive_ = nullptr;
};

// The process-wide window manager. SetWindowManager installs another one (not
// owned; null restores the built-in instance), for tests.
WindowManager& GetWindowManager();
void SetWindowManager(WindowManager* manager);

}  // namespace tav
