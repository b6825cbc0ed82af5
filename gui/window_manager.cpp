// The window registry, the stack of shown windows, input and draw fan-out, and
// the routing of notifications to the registered handlers.
#include "gui/window_manager.h"

#include <algorithm>

#include "base/frame_clock.h"

namespace tav {

WindowManager::~WindowManager() { DeleteAllWindows(); }

void WindowManager::AddOwnedWindow(std::unique_ptr<Window> window) {
  if (window) windows_.push_back(std::move(window));
}

void WindowManager::DeleteAllWindows() {
  // Pointers into the registry must not outlive it: the stack, the exclusive
  // window and any notification still queued (a handler may tear down mid-dispatch).
  shown_.clear();
  exclusive_ = nullptr;
  queue_.clear();
  std::vector<std::unique_ptr<Window>> doomed = std::move(windows_);
  windows_.clear();
  for (auto& window : doomed) window.reset();
}

Window* WindowManager::FindWindow(const std::string& name) const {
  for (const auto& window : windows_) {
    if (window->Name() == name) return window.get();
  }
  return nullptr;
}

std::vector<Window*> WindowManager::ActiveWindows() const {
  if (exclusive_ != nullptr) return {exclusive_};
  return shown_;
}

void WindowManager::Update() {
  for (Window* window : ActiveWindows()) window->Update(queue_);
  // The length is read again at every step: whatever reaches the queue while
  // handlers run is still delivered in this update.
  for (size_t i = 0; i < queue_.size(); ++i) {
    const Notification notification = queue_[i];
    Dispatch(notification);
  }
  queue_.clear();
}

void WindowManager::Dispatch(const Notification& notification) {
  // Names are read once, before any handler runs and possibly changes the windows.
  const std::string windowName =
      notification.window != nullptr ? notification.window->Name() : std::string();
  const std::string controlName =
      notification.control != nullptr ? notification.control->Name() : std::string();
  for (size_t i = 0; i < handlers_.size(); ++i) {
    const HandlerEntry& entry = handlers_[i];
    if (entry.word != notification.word || !entry.handler) continue;
    const bool windowMatches = entry.window.empty() || entry.window == windowName;
    const bool controlMatches = entry.control.empty() || entry.control == controlName;
    if (windowMatches && controlMatches) entry.handler(notification.argument);
  }
}

void WindowManager::Draw() {
  for (Window* window : std::vector<Window*>(shown_)) window->Draw();
}

void WindowManager::DrawOverlay() {
  for (Window* window : std::vector<Window*>(shown_)) window->DrawOverlay();
}

void WindowManager::ShowWindow(const std::string& name) {
  const bool wasShown = IsShown(name);
  HideWindow(name);
  if (Window* window = FindWindow(name)) {
    if (!wasShown) window->ClearKeyFocus();
    shown_.push_back(window);
  }
}

void WindowManager::SetExclusive(const std::string& name) {
  if (Window* window = FindWindow(name)) exclusive_ = window;
}

void WindowManager::HideWindow(const std::string& name) {
  auto found = std::find_if(shown_.begin(), shown_.end(),
                            [&](const Window* window) { return window->Name() == name; });
  if (found != shown_.end()) shown_.erase(found);
}

void WindowManager::ClearExclusive() { exclusive_ = nullptr; }

bool WindowManager::IsShown(const std::string& name) const {
  return std::any_of(shown_.begin(), shown_.end(),
                     [&](const Window* window) { return window->Name() == name; });
}

void WindowManager::Forward(void (Window::*event)(Vec2), Vec2 position) {
  for (Window* window : ActiveWindows()) (window->*event)(position);
}

void WindowManager::OnMouseMove(Vec2 position) { Forward(&Window::OnMouseMove, position); }
void WindowManager::OnLeftUp(Vec2 position) { Forward(&Window::OnLeftUp, position); }
void WindowManager::OnLeftDown(Vec2 position) { Forward(&Window::OnLeftDown, position); }
void WindowManager::OnLeftHeld(Vec2 position) { Forward(&Window::OnLeftHeld, position); }
void WindowManager::OnRightUp(Vec2 position) { Forward(&Window::OnRightUp, position); }
void WindowManager::OnRightDown(Vec2 position) { Forward(&Window::OnRightDown, position); }
void WindowManager::OnRightHeld(Vec2 position) { Forward(&Window::OnRightHeld, position); }

void WindowManager::OnKeyChar(uint32_t code, uint32_t keyData) {
  for (Window* window : ActiveWindows()) window->OnKeyChar(code, keyData);
}

Window* WindowManager::KeyWindow() const {
  Window* top = exclusive_;
  for (auto it = shown_.rbegin(); top == nullptr && it != shown_.rend(); ++it) {
    if ((*it)->AcceptsKeys()) top = *it;
  }
  return top != nullptr && top->TakesKeys() ? top : nullptr;
}

bool WindowManager::OnKey(const KeyPress& press) {
  Window* window = KeyWindow();
  return window != nullptr && window->OnKey(press);
}

void WindowManager::ShowKeyFocus() {
  if (Window* window = KeyWindow()) window->ShowKeyFocus();
}

void WindowManager::ClearKeyFocus() {
  for (const auto& window : windows_) window->ClearKeyFocus();
}

void WindowManager::SendCommand(const std::string& windowName, const std::string& text) {
  // Copies: the caller's strings may belong to a window that the command changes.
  const std::string name = windowName;
  const std::string command = text;
  for (size_t i = 0; i < windows_.size(); ++i) {
    if (windows_[i]->Name() == name) windows_[i]->Command(command);
  }
}

void WindowManager::SendToControl(const std::string& windowName,
                                  const std::string& controlName, const std::string& text) {
  const std::string name = windowName;
  const std::string control = controlName;
  const std::string command = text;
  for (size_t i = 0; i < windows_.size(); ++i) {
    if (windows_[i]->Name() == name) windows_[i]->SendToControl(control, command);
  }
}

void WindowManager::On(const std::string& window, const std::string& control,
                       const std::string& word, NotificationHandler handler) {
  handlers_.push_back(HandlerEntry{std::move(handler), word, window, control});
}

void WindowManager::On(const std::string& window, const std::string& word,
                       NotificationHandler handler) {
  On(window, std::string(), word, std::move(handler));
}

void WindowManager::On(const std::string& word, NotificationHandler handler) {
  On(std::string(), std::string(), word, std::move(handler));
}

namespace {
WindowManager* installedManager = nullptr;
}

WindowManager& GetWindowManager() {
  // The frame clock is made first so that it is destroyed last: windows left over
  // at exit still unregister their sprites' stopwatches from it.
  FrameClock::Instance();
  static WindowManager builtIn;
  return installedManager != nullptr ? *installedManager : builtIn;
}

void SetWindowManager(WindowManager* manager) { installedManager = manager; }

}  // namespace tav
