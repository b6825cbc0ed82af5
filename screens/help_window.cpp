// The help dialog's pages, page turning and fade.
#include "screens/help_window.h"

#include "gui/frame_delta.h"
#include "screens/screen_parts.h"

namespace tav {

namespace {

constexpr float kFadeRate = 3.0f;

std::unique_ptr<PictureControl> MakePage(const std::string& name, const std::string& picture) {
  auto page = std::make_unique<PictureControl>(name);
  page->Create(Vec2(144, 44), picture);
  return page;
}

}  // namespace

HelpWindow::HelpWindow(std::string name) : Window(std::move(name)) {
  pages_.push_back(MakePage("H1", "Help_p1.tga"));
  pages_.push_back(MakePage("H2", "Help_p2.tga"));
  AddRectangularButton(*this, "ButtonOK", "ok", 336, 140, 360, 155, 440, 189);
  AddRectangularButton(*this, "ButtonDec", "prev", 224, 140, 236, 155, 340, 189);
  AddRectangularButton(*this, "ButtonInc", "next", 448, 140, 460, 155, 564, 189);
}

void HelpWindow::Command(std::string text) {
  const int count = PageCount();
  if (text == "HelpInc") {
    page_ = count > 0 ? (page_ + 1) % count : 0;
  } else if (text == "HelpDec") {
    page_ = count > 0 ? (page_ + count - 1) % count : 0;
  } else if (text == "HelpBegin") {
    if (blend_ <= 0.0f) blend_ = 1.0f;
  } else if (text == "HelpEnd") {
    if (blend_ >= 0.0f) blend_ = -1.0f;
  }
}

void HelpWindow::Update(NotificationQueue& queue) {
  if (AdvanceDialogBlend(blend_, kFadeRate, FrameDelta())) Notify("EndBlend");
  Window::Update(queue);
}

void HelpWindow::DrawOverlay() {
  const float a = DialogOpacity(blend_);
  DrawDialogBackdrop(*this, a);
  if (!pages_.empty()) {
    PictureControl& page = *pages_[static_cast<size_t>(page_)];
    page.SetAlpha(a);
    page.Draw();
  }
  Window::Draw();
}

void HelpWindow::OnMouseMove(Vec2 position) {
  if (blend_ == 0.0f) Window::OnMouseMove(position);
}

void HelpWindow::OnLeftDown(Vec2 position) {
  if (blend_ == 0.0f) Window::OnLeftDown(position);
}

}  // namespace tav
