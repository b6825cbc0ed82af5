// The window base: control ownership, input fan-out behind the enabled flag,
// command broadcast, draw passes and notification collection.
#include "gui/window.h"

namespace tav {

Window::~Window() {
  for (auto& control : controls_) control.reset();
}

void Window::AddOwnedControl(std::unique_ptr<Control> control) {
  if (control) controls_.push_back(std::move(control));
}

void Window::Notify(const std::string& word, const std::string& argument) {
  pending_.push_back(Notification{word, argument, nullptr, nullptr});
}

Control* Window::FindControl(const std::string& controlName) const {
  for (const auto& control : controls_) {
    if (control->Name() == controlName) return control.get();
  }
  return nullptr;
}

void Window::Update(NotificationQueue& queue) {
  const size_t firstOfThisWindow = queue.size();
  for (auto& control : controls_) control->Update(queue);
  while (!pending_.empty()) {
    queue.push_back(std::move(pending_.front()));
    pending_.pop_front();
  }
  for (size_t i = firstOfThisWindow; i < queue.size(); ++i) queue[i].window = this;
}

void Window::Draw() {
  for (auto& control : controls_) {
    control->SetAlpha(alpha_);
    control->Draw();
  }
}

void Window::DrawOverlay() {
  for (auto& control : controls_) {
    control->SetAlpha(alpha_);
    control->DrawOverlay();
  }
}

void Window::ForwardToControls(void (Control::*event)(Vec2), Vec2 position) {
  if (!enabled_) return;
  for (auto& control : controls_) (control.get()->*event)(position);
}

void Window::OnMouseMove(Vec2 position) { ForwardToControls(&Control::OnMouseMove, position); }
void Window::OnLeftUp(Vec2 position) { ForwardToControls(&Control::OnLeftUp, position); }
void Window::OnLeftDown(Vec2 position) { ForwardToControls(&Control::OnLeftDown, position); }
void Window::OnLeftHeld(Vec2 position) { ForwardToControls(&Control::OnLeftHeld, position); }
void Window::OnRightUp(Vec2 position) { ForwardToControls(&Control::OnRightUp, position); }
void Window::OnRightDown(Vec2 position) { ForwardToControls(&Control::OnRightDown, position); }
void Window::OnRightHeld(Vec2 position) { ForwardToControls(&Control::OnRightHeld, position); }

void Window::OnKeyChar(uint32_t code, uint32_t keyData) {
  if (!enabled_) return;
  for (auto& control : controls_) control->OnKeyChar(code, keyData);
}

void Window::Command(std::string text) {
  for (auto& control : controls_) control->OnCommand(text);
  if (text == "Enable") {
    enabled_ = true;
  } else if (text == "Disable") {
    enabled_ = false;
  }
}

void Window::SendToControl(const std::string& controlName, const std::string& text) {
  for (auto& control : controls_) {
    if (control->Name() == controlName) control->OnCommand(text);
  }
}

}  // namespace tav
