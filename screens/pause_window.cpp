// The pause screen's frame and buttons.
#include "screens/pause_window.h"

#include "screens/screen_parts.h"

namespace tav {

PauseWindow::PauseWindow(std::string name) : FadingDialog(std::move(name)) {
  AddPicture(*this, "Pause", "pause_window.tga", 272, 200);
  AddRectangularButton(*this, "ResumeButton", "play", 336, 318, 360, 333, 440, 367);
  AddRectangularButton(*this, "ExitToMenuButton", "exitmenu", 336, 268, 360, 283, 440, 317);
  AddRectangularButton(*this, "ExitButton", "exit", 336, 218, 360, 233, 440, 267);
  SetBackControl("ResumeButton");
}

bool PauseWindow::OnKey(const KeyPress& press) {
  if (press.key != InputKey::kPadStart) return FadingDialog::OnKey(press);
  KeyPress back = press;
  back.key = InputKey::kEscape;
  return FadingDialog::OnKey(back);
}

}  // namespace tav
