// The options dialog's controls, fade, labels and saving on close.
#include "screens/options_window.h"

#include <memory>

#include "base/log.h"
#include "gui/check_box.h"
#include "gui/frame_delta.h"
#include "gui/slider.h"
#include "render/bitmap_font.h"
#include "screens/screen_parts.h"
#include "screens/sound_settings.h"

namespace tav {

namespace {

constexpr float kFadeRate = 3.0f;

void AddVolumeSlider(Window& window, const std::string& name, float y) {
  auto slider = std::make_unique<Slider>(name);
  slider->Create("Plus1.tga", "Plus2.tga", "Plus2.tga", "slider.tga", "slider.tga", "slider.tga",
                 Vec2(307, y), Vec2(490, y), Vec2(10, 16), Vec2(303, y - 3));
  window.AddControl(std::move(slider));
}

void AddSwitch(Window& window, const std::string& name, float y) {
  auto check = std::make_unique<CheckBox>(name);
  check->Create("Checked1.tga", "Checked2.tga", "Unchecked1.tga", "Unchecked2.tga", "Checked2.tga",
                "Unchecked2.tga", Vec2(310, y));
  check->SetRect(310, y, 326, y + 16);
  window.AddControl(std::move(check));
}

}  // namespace

OptionsWindow::OptionsWindow(std::string name) : Window(std::move(name)) {
  AddPicture(*this, "O1", "window_options.tga", 272, 200);
  AddRectangularButton(*this, "ButtonOK", "ok", 336, 200, 360, 215, 440, 249);
  AddVolumeSlider(*this, "SoundSlider", 403);
  AddVolumeSlider(*this, "MusicSlider", 343);
  AddSwitch(*this, "SoundCheck", 296);
  AddSwitch(*this, "MusicCheck", 270);
  SetBackControl("ButtonOK");
}

void OptionsWindow::Command(std::string text) {
  if (text == "OptionsBegin") {
    blend_ = 1.0f;
  } else if (text == "OptionsEnd") {
    blend_ = -1.0f;
    if (!WriteSoundSettings(GetSoundSettings())) {
      LogLine("WARNING: the sound settings could not be saved.\n");
    }
  }
}

void OptionsWindow::Update(NotificationQueue& queue) {
  if (AdvanceDialogBlend(blend_, kFadeRate, FrameDelta())) Notify("EndBlend");
  Window::Update(queue);
}

void OptionsWindow::DrawOverlay() {
  const float a = DialogOpacity(blend_);
  DrawDialogBackdrop(*this, a);
  Window::Draw();
  BitmapFont& font = BitmapFont::Shared();
  font.SetColor(1, 1, 1, a);
  PrintCentred(400, 410, "Sound volume");
  PrintCentred(400, 350, "Music volume");
  font.PrintText(337, 288, "Enable sound");
  font.PrintText(337, 262, "Enable music");
  font.SetColor(1, 1, 1, 1);
}

}  // namespace tav
