// Buttons, check box and slider: hover, press and release rules, the words they
// post and in which order, their commands and what they draw.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "gui/button.h"
#include "gui/check_box.h"
#include "gui/slider.h"
#include "gui/window.h"
#include "gui_test_support.h"

namespace tav {
namespace {

using Strings = std::vector<std::string>;
using test::Recorder;
using test::TextureOf;

// Collects what the control posted, as its window's update would.
Strings Drain(Control& control) {
  NotificationQueue queue;
  control.Update(queue);
  Strings words;
  for (const Notification& notification : queue) {
    EXPECT_EQ(notification.control, &control);
    words.push_back(notification.argument.empty() ? notification.word
                                                  : notification.word + " " + notification.argument);
  }
  return words;
}

std::unique_ptr<RectangularButton> MakeRectButton() {
  auto button = std::make_unique<RectangularButton>("ButtonOK");
  button->Create("btn_loop.tga", "btn_focus.tga", "btn_down.tga", 336, 270);
  button->SetRect(360, 285, 440, 319);
  return button;
}

TEST(ButtonTest, ClickNeedsPressAndReleaseWithoutLeaving) {
  auto button = MakeRectButton();
  const Vec2 inside(400, 300), outside(100, 100);

  button->OnMouseMove(inside);
  button->OnMouseMove(inside);
  EXPECT_EQ(button->GetState(), MenuButton::kFocused);
  button->OnLeftDown(inside);
  button->OnMouseMove(inside);  // holding inside keeps the pressed picture
  EXPECT_EQ(button->GetState(), MenuButton::kPressed);
  button->OnLeftUp(inside);
  EXPECT_EQ(button->GetState(), MenuButton::kFocused);
  EXPECT_EQ(Drain(*button), (Strings{"ButtonSetFocus", "ButtonDown", "ButtonClick"}));

  // Press, leave, come back, release: no click, but a new focus word.
  button->OnLeftDown(inside);
  button->OnMouseMove(outside);
  EXPECT_EQ(button->GetState(), MenuButton::kNormal);
  button->OnMouseMove(inside);
  button->OnLeftUp(inside);
  EXPECT_EQ(button->GetState(), MenuButton::kFocused);
  EXPECT_EQ(Drain(*button), (Strings{"ButtonDown", "ButtonSetFocus"}));

  // Press inside, release outside: no click; the next move outside resets the picture.
  button->OnLeftDown(inside);
  button->OnLeftUp(outside);
  EXPECT_EQ(button->GetState(), MenuButton::kPressed);
  button->OnMouseMove(outside);
  EXPECT_EQ(button->GetState(), MenuButton::kNormal);
  EXPECT_EQ(Drain(*button), (Strings{"ButtonDown"}));
}

TEST(ButtonTest, PressWithoutAnEarlierMoveStillPresses) {
  auto button = MakeRectButton();
  button->OnLeftDown({360, 285});
  EXPECT_EQ(button->GetState(), MenuButton::kPressed);
  button->OnLeftDown({440, 319});  // top edge: outside
  button->OnLeftUp({440, 318});
  EXPECT_EQ(Drain(*button), (Strings{"ButtonDown", "ButtonClick"}));
}

TEST(ButtonTest, CircleEdgeIsInsideOnePixelBeyondIsNot) {
  CircleButton close("ButtonClose");
  close.SetCircle(776, 589, 10);
  EXPECT_TRUE(close.Contains({786, 589}));
  EXPECT_TRUE(close.Contains({776, 579}));
  EXPECT_TRUE(close.Contains({782, 597}));  // 6-8-10 triangle: exactly on the edge
  EXPECT_FALSE(close.Contains({787, 589}));
  EXPECT_FALSE(close.Contains({776, 600}));

  close.OnLeftDown({787, 589});
  EXPECT_EQ(close.GetState(), MenuButton::kNormal);
  close.OnLeftDown({786, 589});
  close.OnLeftUp({786, 589});
  EXPECT_EQ(Drain(close), (Strings{"ButtonDown", "ButtonClick"}));
  EXPECT_STREQ(close.GetTypeName(), "CircleButton");
}

TEST(ButtonTest, DrawsThePictureOfItsStateAtItsPositionWithItsAlpha) {
  auto button = MakeRectButton();
  button->SetAlpha(0.5f);
  const unsigned expected[3] = {TextureOf("btn_loop.tga"), TextureOf("btn_focus.tga"),
                                TextureOf("btn_down.tga")};
  for (int state = 0; state < 3; ++state) {
    if (state == 1) button->OnMouseMove({400, 300});
    if (state == 2) button->OnLeftDown({400, 300});
    Recorder().ClearCalls();
    button->Draw();
    const auto draws = Recorder().Draws();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].boundTexture, expected[state]) << "state " << state;
    EXPECT_FLOAT_EQ(test::QuadLeft(draws[0]), 335.5f);
    EXPECT_FLOAT_EQ(test::QuadBottom(draws[0]), 270.5f);
    EXPECT_FLOAT_EQ(draws[0].alpha, 0.5f);
  }
  EXPECT_STREQ(button->GetTypeName(), "RectangularButton");
}

TEST(ButtonTest, OverlappingButtonsBothReactAndADisabledWindowFreezesThem) {
  Window window("MainWindow");
  auto* first = window.AddControl(MakeRectButton());
  auto* second = window.AddControl(MakeRectButton());
  window.OnLeftDown({400, 300});
  EXPECT_EQ(first->GetState(), MenuButton::kPressed);
  EXPECT_EQ(second->GetState(), MenuButton::kPressed);

  window.Command("Disable");
  window.OnMouseMove({0, 0});
  window.OnLeftUp({400, 300});
  EXPECT_EQ(first->GetState(), MenuButton::kPressed);
  window.Command("Enable");
  window.OnMouseMove({0, 0});
  EXPECT_EQ(first->GetState(), MenuButton::kNormal);
  EXPECT_EQ(Drain(*first), (Strings{"ButtonDown"}));
  EXPECT_EQ(Drain(*second), (Strings{"ButtonDown"}));
}

TEST(PictureControlTest, DrawsItsPictureAtItsPositionWithItsAlpha) {
  PictureControl picture("Pause");
  picture.Create({272, 200}, "back.tga");
  picture.SetAlpha(0.75f);
  picture.OnCommand("Enable");
  Recorder().ClearCalls();
  picture.Draw();
  const auto draws = Recorder().Draws();
  ASSERT_EQ(draws.size(), 1u);
  EXPECT_EQ(draws[0].boundTexture, TextureOf("back.tga"));
  EXPECT_FLOAT_EQ(test::QuadLeft(draws[0]), 271.5f);
  EXPECT_FLOAT_EQ(draws[0].alpha, 0.75f);
  EXPECT_STREQ(picture.GetTypeName(), "MenuControl");
}

std::unique_ptr<CheckBox> MakeCheckBox() {
  auto check = std::make_unique<CheckBox>("SoundCheck");
  check->Create("check0.tga", "check1.tga", "check2.tga", "check3.tga", "check4.tga",
                "check5.tga", {310, 296});
  check->SetRect(310, 296, 326, 312);
  return check;
}

TEST(CheckBoxTest, ClickPostsDownThenValueThenClick) {
  auto check = MakeCheckBox();
  const Vec2 inside(315, 300);
  EXPECT_EQ(check->GetState(), CheckBox::kUnticked);
  check->OnMouseMove(inside);
  check->OnMouseMove(inside);
  EXPECT_EQ(check->GetState(), CheckBox::kUntickedFocused);
  check->OnLeftDown(inside);
  EXPECT_EQ(check->GetState(), CheckBox::kUntickedPressed);
  check->OnLeftUp(inside);
  EXPECT_TRUE(check->IsTicked());
  EXPECT_EQ(check->GetState(), CheckBox::kTickedFocused);
  EXPECT_EQ(Drain(*check), (Strings{"CheckSetFocus", "CheckDown", "True", "CheckClick"}));

  check->OnLeftDown(inside);
  EXPECT_EQ(check->GetState(), CheckBox::kTickedPressed);
  check->OnLeftUp(inside);
  EXPECT_FALSE(check->IsTicked());
  EXPECT_EQ(check->GetState(), CheckBox::kUntickedFocused);
  EXPECT_EQ(Drain(*check), (Strings{"CheckDown", "False", "CheckClick"}));
}

TEST(CheckBoxTest, LeavingDropsThePress) {
  auto check = MakeCheckBox();
  check->OnLeftDown({315, 300});
  check->OnMouseMove({0, 0});
  EXPECT_EQ(check->GetState(), CheckBox::kUnticked);
  check->OnMouseMove({315, 300});
  check->OnLeftUp({315, 300});
  EXPECT_FALSE(check->IsTicked());
  check->OnLeftDown({315, 300});
  check->OnLeftUp({315, 312});  // top edge: outside, no click
  EXPECT_FALSE(check->IsTicked());
  EXPECT_EQ(Drain(*check), (Strings{"CheckDown", "CheckSetFocus", "CheckDown"}));
}

TEST(CheckBoxTest, SetValueChangesOnlyARealChangeAndPollingReports) {
  auto check = MakeCheckBox();
  check->OnCommand("Polling");
  EXPECT_EQ(Drain(*check), (Strings{"False"}));

  check->OnMouseMove({315, 300});
  Drain(*check);
  check->OnCommand("SetValue False");  // already unticked: the focus picture stays
  EXPECT_EQ(check->GetState(), CheckBox::kUntickedFocused);
  check->OnCommand("SetValue True");
  EXPECT_TRUE(check->IsTicked());
  EXPECT_EQ(check->GetState(), CheckBox::kTicked);
  check->OnMouseMove({315, 300});
  check->OnCommand("SetValue True");
  EXPECT_EQ(check->GetState(), CheckBox::kTickedFocused);
  check->OnCommand("SetValue  True");  // whole-string commands only
  check->OnCommand("SetValue 0.5");
  EXPECT_TRUE(check->IsTicked());
  EXPECT_EQ(Drain(*check), (Strings{"CheckSetFocus"}));

  check->OnCommand("Polling");
  EXPECT_EQ(Drain(*check), (Strings{"True"}));

  Recorder().ClearCalls();
  check->Draw();
  ASSERT_EQ(Recorder().Draws().size(), 1u);
  EXPECT_EQ(Recorder().Draws()[0].boundTexture, TextureOf("check1.tga"));
}

// The options screen's sound slider: a horizontal track of 183 units.
std::unique_ptr<Slider> MakeSlider() {
  auto slider = std::make_unique<Slider>("SoundSlider");
  slider->Create("knob.tga", "knob_focus.tga", "knob_drag.tga", "track.tga", "track_spare.tga",
                 "track_drag.tga", {307, 403}, {490, 403}, {10, 16}, {303, 400});
  return slider;
}

TEST(SliderTest, HoverPressAndDragAlongTheTrack) {
  auto slider = MakeSlider();
  slider->OnLeftDown({400, 403});  // on the track, not on the knob
  EXPECT_EQ(slider->GetState(), Slider::kNormal);
  slider->OnMouseMove({307, 403});
  slider->OnMouseMove({310, 410});
  EXPECT_EQ(slider->GetState(), Slider::kFocused);
  slider->OnLeftDown({310, 410});
  EXPECT_EQ(slider->GetState(), Slider::kDragging);
  EXPECT_EQ(Drain(*slider), (Strings{"SliderSetFocus", "SliderDown"}));

  slider->OnMouseMove({398.5f, 450});  // off the knob's height: still dragging
  EXPECT_FLOAT_EQ(slider->Value(), 0.5f);
  EXPECT_FLOAT_EQ(slider->KnobRect().x0, 388.5f);
  slider->OnMouseMove({600, 403});
  slider->OnMouseMove({700, 403});
  EXPECT_FLOAT_EQ(slider->Value(), 1.0f);
  slider->OnMouseMove({100, 403});
  EXPECT_FLOAT_EQ(slider->Value(), 0.0f);
  EXPECT_EQ(Drain(*slider), (Strings{"SliderNewValue 0.500000", "SliderNewValue 1.000000",
                                     "SliderNewValue 1.000000", "SliderNewValue 0.000000"}));

  slider->OnLeftUp({100, 403});  // away from the knob at its new place
  EXPECT_EQ(slider->GetState(), Slider::kNormal);
  EXPECT_TRUE(Drain(*slider).empty());

  slider->OnLeftDown({307, 403});
  slider->OnMouseMove({490, 403});
  slider->OnLeftUp({490, 403});
  EXPECT_EQ(slider->GetState(), Slider::kFocused);
}

TEST(SliderTest, VerticalTrackGivesTheFractionOfItsLength) {
  Slider slider("MusicSlider");
  slider.Create("knob.tga", "knob_focus.tga", "knob_drag.tga", "track.tga", "track_spare.tga",
                "track_drag.tga", {100, 100}, {100, 300}, {10, 10}, {95, 95});
  slider.OnLeftDown({100, 100});
  slider.OnMouseMove({140, 150});
  EXPECT_NEAR(slider.Value(), 0.25f, 1e-6f);

  Slider point("Degenerate");  // start and end in one place: no division by zero
  point.Create("knob.tga", "knob_focus.tga", "knob_drag.tga", "track.tga", "track_spare.tga",
               "track_drag.tga", {50, 50}, {50, 50}, {10, 10}, {45, 45});
  point.OnLeftDown({50, 50});
  point.OnMouseMove({80, 90});
  EXPECT_EQ(point.Value(), 0.0f);
}

TEST(SliderTest, SetValueDoesNotClampOrNotifyAndPollingReports) {
  auto slider = MakeSlider();
  slider->OnCommand("SetValue 1.5");
  EXPECT_FLOAT_EQ(slider->Value(), 1.5f);
  EXPECT_FLOAT_EQ(slider->KnobPoint().x, 581.5f);
  EXPECT_TRUE(slider->KnobRect().Contains({581.5f, 403}));
  EXPECT_FALSE(slider->KnobRect().Contains({307, 403}));

  slider->OnCommand("SetValue");
  slider->OnCommand("SetValue True");
  slider->OnCommand("SetValue nan");
  EXPECT_FLOAT_EQ(slider->Value(), 1.5f);
  slider->OnCommand("Options SetValue 0.25");  // the keyword is searched
  EXPECT_FLOAT_EQ(slider->Value(), 0.25f);
  EXPECT_TRUE(Drain(*slider).empty());

  slider->OnCommand("Polling");
  EXPECT_EQ(Drain(*slider), (Strings{"SliderNewValue 0.250000"}));
}

TEST(SliderTest, DrawsTrackThenKnobCentredOnItsPoint) {
  auto slider = MakeSlider();
  slider->OnCommand("SetValue 0.5");
  Recorder().ClearCalls();
  slider->Draw();
  auto draws = Recorder().Draws();
  ASSERT_EQ(draws.size(), 2u);
  EXPECT_EQ(draws[0].boundTexture, TextureOf("track.tga"));
  EXPECT_FLOAT_EQ(test::QuadLeft(draws[0]), 302.5f);
  EXPECT_EQ(draws[1].boundTexture, TextureOf("knob.tga"));
  float centreX = 0, centreY = 0;
  for (const Vertex& vertex : draws[1].vertices) {
    centreX += vertex.x / 4;
    centreY += vertex.y / 4;
  }
  EXPECT_NEAR(centreX, 398.5f, 1e-3f);
  EXPECT_NEAR(centreY, 403.0f, 1e-3f);

  slider->OnLeftDown(slider->KnobPoint());
  Recorder().ClearCalls();
  slider->Draw();
  draws = Recorder().Draws();
  ASSERT_EQ(draws.size(), 2u);
  EXPECT_EQ(draws[0].boundTexture, TextureOf("track_drag.tga"));
  EXPECT_EQ(draws[1].boundTexture, TextureOf("knob_drag.tga"));
}

}  // namespace
}  // namespace tav
