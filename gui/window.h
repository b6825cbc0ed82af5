// A named screen or overlay: an ordered set of owned controls plus whatever the
// concrete window draws and animates itself. The base fans input out to the
// controls (only while enabled), broadcasts commands to them, draws them in the
// window's opacity and collects their notifications, stamped with this window.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "gui/control.h"
#include "gui/geometry.h"
#include "gui/notification.h"

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

  float alpha_ = 1.0f;
  NotificationQueue pending_;
  std::vector<std::unique_ptr<Control>> controls_;
  const std::string name_;
  bool enabled_ = true;
};

}  // namespace tav
