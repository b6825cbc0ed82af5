// The window base: control ownership, input fan-out behind the enabled flag,
// command broadcast, draw passes and notification collection.
#include "gui/window.h"

#include <cmath>

#include "gui/focus_frame.h"

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
  // A window behind a dialog keeps its focus for later but does not show it.
  const Control* focused = FocusedControl();
  if (focused != nullptr && TakesKeys()) DrawFocusFrame(focused->FocusRect(), alpha_);
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

Control* Window::FocusedControl() const {
  return focus_ >= 0 && static_cast<size_t>(focus_) < controls_.size()
             ? controls_[static_cast<size_t>(focus_)].get()
             : nullptr;
}

void Window::SetFocus(int index) {
  if (index == focus_) return;
  if (Control* old = FocusedControl()) old->SetKeyFocus(false);
  focus_ = index;
  if (Control* now = FocusedControl()) now->SetKeyFocus(true);
}

void Window::ClearKeyFocus() { SetFocus(-1); }

void Window::ShowKeyFocus() {
  if (FocusedControl() == nullptr) FocusStep(1);
}

void Window::AddSelector(std::string decrease, std::string increase) {
  selectors_.emplace_back(std::move(decrease), std::move(increase));
}

void Window::FocusStep(int step) {
  const int count = static_cast<int>(controls_.size());
  int index = focus_;
  for (int tried = 0; tried < count; ++tried) {
    if (index < 0) {
      index = step > 0 ? 0 : count - 1;
    } else {
      index = (index + step + count) % count;
    }
    if (controls_[static_cast<size_t>(index)]->Focusable()) {
      SetFocus(index);
      return;
    }
  }
}

bool Window::FocusStepWraps(int step) const {
  if (focus_ < 0) return false;
  for (int index = focus_ + step; index >= 0 && index < static_cast<int>(controls_.size());
       index += step) {
    if (controls_[static_cast<size_t>(index)]->Focusable()) return false;
  }
  return true;
}

namespace {

Vec2 Centre(const Rect& rect) { return (rect.Min() + rect.Max()) * 0.5f; }

}  // namespace

void Window::FocusToward(Vec2 direction) {
  const Control* focused = FocusedControl();
  if (focused == nullptr) {
    ShowKeyFocus();
    return;
  }
  const Vec2 from = Centre(focused->FocusRect());
  int best = -1;
  float bestCost = 0.0f;
  for (size_t i = 0; i < controls_.size(); ++i) {
    if (static_cast<int>(i) == focus_ || !controls_[i]->Focusable()) continue;
    const Vec2 offset = Centre(controls_[i]->FocusRect()) - from;
    const float along = offset.x * direction.x + offset.y * direction.y;
    if (along <= 0.5f) continue;
    // Straight ahead is cheaper than off to the side.
    const float aside = std::fabs(offset.x * direction.y - offset.y * direction.x);
    const float cost = along + 2.0f * aside;
    if (best < 0 || cost < bestCost) {
      best = static_cast<int>(i);
      bestCost = cost;
    }
  }
  if (best >= 0) SetFocus(best);
}

bool Window::MoveSelector(int step) {
  const Control* focused = FocusedControl();
  if (focused == nullptr) return false;
  for (const auto& [decrease, increase] : selectors_) {
    if (focused->Name() != decrease && focused->Name() != increase) continue;
    if (Control* target = FindControl(step < 0 ? decrease : increase)) target->Activate();
    return true;
  }
  return false;
}

bool Window::OnKey(const KeyPress& press) {
  if (!TakesKeys()) return false;
  InputKey key = press.key;
  if (key == InputKey::kPadA || key == InputKey::kPadStart) key = InputKey::kEnter;
  if (key == InputKey::kPadB || key == InputKey::kPadBack) key = InputKey::kEscape;
  switch (key) {
    case InputKey::kEscape: {
      Control* back = backControl_.empty() ? nullptr : FindControl(backControl_);
      if (back == nullptr) return false;
      back->Activate();
      return true;
    }
    case InputKey::kTab:
      FocusStep(press.shift ? -1 : 1);
      return true;
    case InputKey::kUp:
      FocusToward(Vec2(0.0f, 1.0f));
      return true;
    case InputKey::kDown:
      FocusToward(Vec2(0.0f, -1.0f));
      return true;
    case InputKey::kLeft:
    case InputKey::kRight: {
      const int step = key == InputKey::kLeft ? -1 : 1;
      Control* focused = FocusedControl();
      if (focused != nullptr && (focused->Adjust(step) || MoveSelector(step))) return true;
      FocusToward(Vec2(static_cast<float>(step), 0.0f));
      return true;
    }
    case InputKey::kEnter:
    case InputKey::kSpace:
      if (Control* focused = FocusedControl()) {
        focused->Activate();
      } else {
        ShowKeyFocus();
      }
      return true;
    default:
      return false;
  }
}

}  // namespace tav
