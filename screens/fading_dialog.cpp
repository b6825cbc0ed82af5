// Fade, pointer gating and drawing of the pause and game-over dialogs.
#include "screens/fading_dialog.h"

#include "gui/frame_delta.h"
#include "screens/screen_parts.h"

namespace tav {

void FadingDialog::Command(std::string text) {
  fade_.OnCommand(text);
  Window::Command(std::move(text));
}

void FadingDialog::Update(NotificationQueue& queue) {
  fade_.Advance(FrameDelta(), *this);
  Window::Update(queue);
}

void FadingDialog::DrawOverlay() {
  DrawDialogBackdrop(*this, fade_.Opacity());
  Window::Draw();
}

void FadingDialog::OnMouseMove(Vec2 position) {
  if (fade_.IsResting()) Window::OnMouseMove(position);
}

void FadingDialog::OnLeftDown(Vec2 position) {
  if (fade_.IsResting()) Window::OnLeftDown(position);
}

}  // namespace tav
