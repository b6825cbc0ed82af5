// Keyboard focus: which controls the focus reaches and in what order, what Enter,
// Left/Right and Esc do to them, and which window the keys go to.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "gui/button.h"
#include "gui/slider.h"
#include "gui/window.h"
#include "gui/window_manager.h"
#include "gui_test_support.h"

namespace tav {
namespace {

using Strings = std::vector<std::string>;

// What the window's controls posted since the last call, as "control:word".
Strings Drain(Window& window) {
  NotificationQueue queue;
  window.Update(queue);
  Strings words;
  for (const Notification& notification : queue) {
    words.push_back((notification.control ? notification.control->Name() : "") + ":" +
                    notification.word);
  }
  return words;
}

KeyPress Key(InputKey key, bool shift = false) {
  KeyPress press;
  press.key = key;
  press.shift = shift;
  return press;
}

RectangularButton* AddButton(Window& window, const std::string& name, float x, float y) {
  auto button = std::make_unique<RectangularButton>(name);
  button->Create("btn_loop.tga", "btn_focus.tga", "btn_down.tga", x, y);
  button->SetRect(x, y, x + 80, y + 30);
  return window.AddControl(std::move(button));
}

// A dialog: a picture, OK at the bottom, a slider above it, Cancel beside OK.
std::unique_ptr<Window> MakeDialog(const std::string& name) {
  auto window = std::make_unique<Window>(name);
  auto picture = std::make_unique<PictureControl>("Frame");
  picture->Create(Vec2(0, 0), "back.tga");
  window->AddControl(std::move(picture));
  AddButton(*window, "OK", 300, 100);
  auto slider = std::make_unique<Slider>("Volume");
  slider->Create("knob.tga", "knob_focus.tga", "knob_drag.tga", "track.tga", "track.tga",
                 "track.tga", {300, 300}, {500, 300}, {10, 16}, {296, 297});
  window->AddControl(std::move(slider));
  AddButton(*window, "Cancel", 420, 100);
  window->SetBackControl("Cancel");
  return window;
}

std::string FocusName(const Window& window) {
  return window.FocusedControl() ? window.FocusedControl()->Name() : "";
}

TEST(FocusTest, TabArrowsEnterAndEscReachOnlyFocusableControlsAndClickLikeThePointer) {
  auto dialog = MakeDialog("Dialog");
  EXPECT_EQ(FocusName(*dialog), "");
  dialog->OnKey(Key(InputKey::kEnter));  // without a focus Enter only shows it
  EXPECT_EQ(FocusName(*dialog), "OK");
  EXPECT_EQ(Drain(*dialog), (Strings{"OK:ButtonSetFocus"}));
  dialog->OnKey(Key(InputKey::kTab));
  EXPECT_EQ(FocusName(*dialog), "Volume");
  dialog->OnKey(Key(InputKey::kTab));
  dialog->OnKey(Key(InputKey::kTab));  // wraps round past the picture
  EXPECT_EQ(FocusName(*dialog), "OK");
  dialog->OnKey(Key(InputKey::kTab, true));
  EXPECT_EQ(FocusName(*dialog), "Cancel");
  dialog->OnKey(Key(InputKey::kLeft));  // a button has no use for Left: the focus moves
  EXPECT_EQ(FocusName(*dialog), "OK");
  dialog->OnKey(Key(InputKey::kUp));
  EXPECT_EQ(FocusName(*dialog), "Volume");
  Drain(*dialog);

  // Left and Right step the slider and clamp at its ends, reporting as a drag does.
  dialog->SendToControl("Volume", "SetValue 0.04");
  dialog->OnKey(Key(InputKey::kLeft));
  dialog->OnKey(Key(InputKey::kLeft));
  for (int i = 0; i < 12; ++i) dialog->OnKey(Key(InputKey::kRight));
  const auto* slider = dynamic_cast<Slider*>(dialog->FindControl("Volume"));
  EXPECT_EQ(slider->Value(), 1.0f);
  const Strings words = Drain(*dialog);
  ASSERT_EQ(words.size(), 14u);
  EXPECT_EQ(words.front(), "Volume:SliderNewValue");

  dialog->OnKey(Key(InputKey::kDown));
  dialog->OnKey(Key(InputKey::kSpace));
  EXPECT_EQ(Drain(*dialog), (Strings{"OK:ButtonSetFocus", "OK:ButtonDown", "OK:ButtonClick"}));
  // Esc (and the controller's B) click the back control wherever the focus is.
  dialog->OnKey(Key(InputKey::kPadB));
  EXPECT_EQ(Drain(*dialog), (Strings{"Cancel:ButtonDown", "Cancel:ButtonClick"}));

  dialog->Command("Disable");
  EXPECT_FALSE(dialog->OnKey(Key(InputKey::kEscape)));
  EXPECT_TRUE(Drain(*dialog).empty());
}

class TopBar : public Window {
 public:
  using Window::Window;
  bool AcceptsKeys() const override { return false; }
};

TEST(FocusTest, KeysGoToTheTopWindowOnlyAndNeverPastOneThatTakesNone) {
  WindowManager windows;
  windows.AddWindow(MakeDialog("Menu"));
  windows.AddWindow(MakeDialog("Options"));
  windows.AddWindow(std::make_unique<TopBar>("Bar"));
  AddButton(*windows.FindWindow("Bar"), "Close", 700, 560);
  windows.ShowWindow("Menu");
  windows.ShowWindow("Options");
  windows.ShowWindow("Bar");
  EXPECT_EQ(windows.KeyWindow(), windows.FindWindow("Options"));
  windows.OnKey(Key(InputKey::kTab));
  EXPECT_EQ(FocusName(*windows.FindWindow("Options")), "OK");
  EXPECT_EQ(FocusName(*windows.FindWindow("Menu")), "");

  // A dialog that takes no keys now hides the window behind it as it does from the
  // pointer: nothing gets them.
  windows.SendCommand("Options", "Disable");
  EXPECT_EQ(windows.KeyWindow(), nullptr);
  EXPECT_FALSE(windows.OnKey(Key(InputKey::kTab)));
  EXPECT_EQ(FocusName(*windows.FindWindow("Menu")), "");

  // Shown again later, a window starts without the focus it had.
  windows.HideWindow("Options");
  windows.ShowWindow("Options");
  EXPECT_EQ(FocusName(*windows.FindWindow("Options")), "");
  windows.ClearKeyFocus();
}

}  // namespace
}  // namespace tav
