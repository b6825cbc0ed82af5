// The help dialog's pages, page turning and fade.
#include "screens/help_window.h"

#include "gui/frame_delta.h"
#include "render/bitmap_font.h"
#include "screens/screen_parts.h"

namespace tav {

namespace {

constexpr float kFadeRate = 3.0f;

// What each key and controller button does, as the keys page lists it.
struct KeyLine {
  const char* action;
  const char* keys;
  const char* controller;
};
constexpr KeyLine kKeyLines[] = {
    {"Move the cursor", "Arrows, W A S D", "D-pad, stick"},
    {"Turn clockwise", "Space, Enter", "A"},
    {"Turn the other way", "Shift+Space/Enter", "B"},
    {"Pause, back", "Esc", "Start, Back"},
    {"Next button", "Tab, arrows", "D-pad, stick"},
    {"Press the button", "Enter, Space", "A"},
    {"Slider, level", "Left, Right", "D-pad"},
    {"Window, full screen", "Alt+Enter, F11", ""},
    {"Leave the game", "Alt+F4", ""},
};
constexpr float kKeysTop = 460.0f;
constexpr float kKeysLineHeight = 28.0f;

std::unique_ptr<PictureControl> MakePage(const std::string& name, const std::string& picture) {
  auto page = std::make_unique<PictureControl>(name);
  page->Create(Vec2(144, 44), picture);
  return page;
}

}  // namespace

HelpWindow::HelpWindow(std::string name) : Window(std::move(name)) {
  pages_.push_back(MakePage("H1", "Help_p1.tga"));
  pages_.push_back(MakePage("H2", "Help_p2.tga"));
  // The keys page is a frame that the keys are printed on.
  keysPage_ = MakePage("H3", "Help_p3.tga");
  AddRectangularButton(*this, "ButtonOK", "ok", 336, 140, 360, 155, 440, 189);
  AddRectangularButton(*this, "ButtonDec", "prev", 224, 140, 236, 155, 340, 189);
  AddRectangularButton(*this, "ButtonInc", "next", 448, 140, 460, 155, 564, 189);
  SetBackControl("ButtonOK");
  AddSelector("ButtonDec", "ButtonInc");
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
  if (ShowsKeysPage()) {
    DrawKeysPage(a);
  } else {
    PictureControl& page = *pages_[static_cast<size_t>(page_)];
    page.SetAlpha(a);
    page.Draw();
  }
  Window::Draw();
}

void HelpWindow::DrawKeysPage(float opacity) {
  keysPage_->SetAlpha(opacity);
  keysPage_->Draw();
  BitmapFont& font = BitmapFont::Shared();
  font.SetColor(0.9f, 0.9f, 0.9f, opacity);
  float y = kKeysTop;
  for (const KeyLine& line : kKeyLines) {
    font.SetColor(0.7f, 0.7f, 0.7f, opacity);
    font.PrintText(178, y, line.action);
    font.SetColor(1.0f, 1.0f, 1.0f, opacity);
    font.PrintText(345, y, line.keys);
    font.SetColor(1.0f, 0.82f, 0.3f, opacity);
    font.PrintText(530, y, line.controller);
    y -= kKeysLineHeight;
  }
  font.SetColor(1, 1, 1, 1);
}

void HelpWindow::OnMouseMove(Vec2 position) {
  if (blend_ == 0.0f) Window::OnMouseMove(position);
}

void HelpWindow::OnLeftDown(Vec2 position) {
  if (blend_ == 0.0f) Window::OnLeftDown(position);
}

}  // namespace tav
