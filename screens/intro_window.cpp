// The title screen's timing and drawing.
#include "screens/intro_window.h"

#include "gui/frame_delta.h"
#include "render/renderer.h"

namespace tav {

IntroWindow::IntroWindow(std::string name) : Window(std::move(name)) {
  logo_.SetTexture("tavrolith_logo.tga");
  makerLogo_.SetTexture("zelto_logo.tga");
  unlitDot_.SetTexture("Ind1.tga");
  litDot_.SetTexture("Ind2.tga");
}

void IntroWindow::Update(NotificationQueue& queue) {
  time_ += 3.0f * FrameDelta();
  if (time_ < 3.0f) {
    logoOpacity_ = time_ / 3.0f;
  } else if (time_ < 8.0f) {
    logoOpacity_ = 1.0f;
  } else if (time_ > 9.0f) {
    logoOpacity_ = 0.0f;
    Notify("IntroEnd");
  }
  Window::Update(queue);
}

bool IntroWindow::DotLit(int dot) const {
  return (time_ - 3.0f) * 0.2f >= static_cast<float>(dot) / 13.0f;
}

void IntroWindow::Draw() {
  if (Renderer* renderer = GetRenderer()) renderer->Clear(0, 0, 0);
  logo_.DrawCentered(400, 360, 1.0f, logoOpacity_);
  makerLogo_.DrawCentered(750, 70);
  for (int i = 0; i < kDotCount; ++i) {
    Sprite& dot = DotLit(i) ? litDot_ : unlitDot_;
    dot.DrawCentered(300.0f + 200.0f * static_cast<float>(i) / 13.0f, 300, 1.0f, logoOpacity_);
  }
}

}  // namespace tav
