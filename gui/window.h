// A named screen or overlay: an ordered set of owned controls plus whatever the
// concrete window draws and animates itself. The base fans input out to the
// controls (only while enabled), broadcasts commands to them, draws them in the
// window's opacity and collects their notifications, stamped with this window.
// It also keeps the keyboard focus among its controls: Tab and the arrows move it,
// Enter and Space click the focused control, Left and Right move a slider or a
// selector, and Esc clicks the window's "back" control (its cancel or OK).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "gui/control.h"
#include "gui/geometry.h"
#include "gui/notification.h"
#include "platform/input_key.h"

namespace tav {

class Window {
 public:
  explicit Window(std::string name) : name_(std::move(name)) {}
  // Deletes the controls in the order they were added.
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // Appends the controls' notifications, then the window's own, to the queue and
  // stamps everything appended here with this window. Concrete windows animate
  // first and then call this.
  virtual void Update(NotificationQueue& queue);
  // Each control, in order, gets the window's alpha and draws. An overlay window
  // leaves Draw empty and calls Window::Draw from its DrawOverlay.
  virtual void Draw();
  virtual void DrawOverlay();

  // While enabled, each is passed to every control in order.
  virtual void OnMouseMove(Vec2 position);
  virtual void OnLeftUp(Vec2 position);
  virtual void OnLeftDown(Vec2 position);
  virtual void OnLeftHeld(Vec2 position);
  virtual void OnRightUp(Vec2 position);
  virtual void OnRightDown(Vec2 position);
  virtual void OnRightHeld(Vec2 position);
  virtual void OnKeyChar(uint32_t code, uint32_t keyData);

  // --- Keys and controller buttons.
  // Whether this window ever takes keys when it is the top window (the top bar
  // does not: its two buttons are the menu's Exit and the system's own).
  virtual bool AcceptsKeys() const { return true; }
  // Whether it takes them now, as it takes the pointer: enabled, no fade running.
  virtual bool TakesKeys() const { return enabled_; }
  // A key for this window; true when it was used. The controller's A and Start act
  // as Enter, B and Back as Esc.
  virtual bool OnKey(const KeyPress& press);
  // Makes the focus visible: the first control takes it when none has it.
  virtual void ShowKeyFocus();
  // The pointer is in use again: no control keeps the focus.
  virtual void ClearKeyFocus();
  Control* FocusedControl() const;
  // The control Esc clicks; none by default (Esc then does nothing).
  void SetBackControl(std::string controlName) { backControl_ = std::move(controlName); }
  // Two buttons that form one selector: with either focused, Left clicks `decrease`
  // and Right clicks `increase`.
  void AddSelector(std::string decrease, std::string increase);

 protected:
  // Whether Tab (+1) or Shift+Tab (-1) would wrap round from the focused control.
  bool FocusStepWraps(int step) const;

 public:

  // Passes the command to every control in order, then handles "Enable" and
  // "Disable". Concrete windows handle their own words first and then call this.
  virtual void Command(std::string text);
  // Passes the command to every control with that name.
  virtual void SendToControl(const std::string& controlName, const std::string& text);

  // Appends the control and takes ownership; returns it for the caller's use.
  template <class ControlType>
  ControlType* AddControl(std::unique_ptr<ControlType> control) {
    ControlType* added = control.get();
    AddOwnedControl(std::unique_ptr<Control>(std::move(control)));
    return added;
  }
  // The same for a control made with new; the window deletes it.
  template <class ControlType>
  ControlType* AddControl(ControlType* control) {
    return AddControl(std::unique_ptr<ControlType>(control));
  }
  // Queues a notification of the window itself (no control).
  void Notify(const std::string& word, const std::string& argument = std::string());

  const std::string& Name() const { return name_; }
  float Alpha() const { return alpha_; }
  void SetAlpha(float alpha) { alpha_ = alpha; }
  bool IsEnabled() const { return enabled_; }
  size_t ControlCount() const { return controls_.size(); }
  Control* ControlAt(size_t index) const { return controls_[index].get(); }
  // The first control with that name, or null.
  Control* FindControl(const std::string& controlName) const;
  const NotificationQueue& Pending() const { return pending_; }

 private:
  void AddOwnedControl(std::unique_ptr<Control> control);
  // Calls one pointer event on every control in order, while enabled.
  void ForwardToControls(void (Control::*event)(Vec2), Vec2 position);
  void SetFocus(int index);
  // Tab order: the next (+1) or previous (-1) focusable control, wrapping.
  void FocusStep(int step);
  // The nearest focusable control whose centre lies that way from the focused one.
  void FocusToward(Vec2 direction);
  // Left/Right on a focused selector button: clicks its partner; false otherwise.
  bool MoveSelector(int step);

  float alpha_ = 1.0f;
  NotificationQueue pending_;
  std::vector<std::unique_ptr<Control>> controls_;
  const std::string name_;
  std::string backControl_;
  std::vector<std::pair<std::string, std::string>> selectors_;
  int focus_ = -1;  // the focused control's index, -1 for none
  bool enabled_ = true;
};

}  // namespace tav
