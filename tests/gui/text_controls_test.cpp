// The edit field (keystrokes, width and length limits, caret blink, dot padding)
// and the text panel (slide timing, its arrival word, keyword commands, drawing).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/edit_field.h"
#include "gui/frame_delta.h"
#include "gui/text_panel.h"
#include "gui_test_support.h"
#include "render/bitmap_font.h"

namespace tav {
namespace {

using Strings = std::vector<std::string>;
using test::FakeTime;
using test::Recorder;

// The test font: every printable glyph but 'W' advances by this much.
constexpr int kAdvance = test::kGlyphColumns + 2;

int DrainCount(Control& control, const std::string& word) {
  NotificationQueue queue;
  control.Update(queue);
  int count = 0;
  for (const Notification& notification : queue) {
    EXPECT_EQ(notification.word, word);
    if (notification.word == word) ++count;
  }
  return count;
}

void Type(EditField& field, const std::string& text) {
  for (char c : text) field.OnKeyChar(static_cast<unsigned char>(c), 0);
}

TEST(EditFieldTest, TextStaysWithinTheRectangleWidth) {
  ASSERT_EQ(BitmapFont::Shared().TextWidth("ab"), 2 * kAdvance);
  EditField field("MenuEdit0");
  field.SetRect(100, 200, 100 + 4 * kAdvance, 215);  // room for exactly four glyphs
  Type(field, "abcdef");
  EXPECT_EQ(field.Text(), "abcd");
  EXPECT_EQ(DrainCount(field, "EditOnChar"), 6) << "refused keys are still reported";

  field.OnKeyChar(8, 0);
  Type(field, "W");  // too wide even for the freed place
  Type(field, "e");
  EXPECT_EQ(field.Text(), "abce");
}

TEST(EditFieldTest, TextNeverExceedsTheRecordLength) {
  EditField field("MenuEdit1");
  field.SetRect(0, 0, 100000, 15);
  Type(field, std::string(300, 'x'));
  EXPECT_EQ(field.Text().size(), EditField::kMaxTextBytes);
}

TEST(EditFieldTest, BackspaceEnterAndCommands) {
  EditField field("MenuEdit2");
  field.SetRect(0, 0, 400, 15);
  field.OnKeyChar(8, 0);  // backspace on an empty text
  Type(field, "ab");
  field.OnKeyChar(0x141, 0x1c);  // L with stroke, kept as its two UTF-8 bytes
  EXPECT_EQ(field.Text(), "ab\xC5\x81");
  field.OnKeyChar(8, 0);  // Backspace takes the whole letter
  EXPECT_EQ(field.Text(), "ab");
  field.OnKeyChar(13, 0);
  EXPECT_FALSE(field.IsEditing());
  EXPECT_EQ(field.Text(), "ab");
  EXPECT_EQ(DrainCount(field, "EditOnChar"), 6);

  Type(field, "zz");
  field.OnKeyChar(8, 0);
  EXPECT_EQ(field.Text(), "ab");
  EXPECT_EQ(DrainCount(field, "EditOnChar"), 0);

  field.OnCommand("BeginEdit");
  EXPECT_TRUE(field.IsEditing());
  EXPECT_EQ(field.Text(), "");
  Type(field, "q");
  field.OnCommand("BeginEdit");  // empties the text even while editing
  EXPECT_EQ(field.Text(), "");
  field.OnCommand("EndEdit");
  EXPECT_FALSE(field.IsEditing());
  EXPECT_EQ(DrainCount(field, "EditOnChar"), 1);
}

TEST(EditFieldTest, CaretBlinksEvery512MillisecondsAndRestartsOnAKey) {
  FakeTime().milliseconds = 1000;
  EditField field("MenuEdit3");
  field.SetRect(0, 0, 400, 15);
  Type(field, "ab");
  FakeTime().milliseconds = 1511;
  EXPECT_EQ(field.DisplayText(), "ab|");
  FakeTime().milliseconds = 1512;
  EXPECT_EQ(field.DisplayText(), "ab");
  FakeTime().milliseconds = 2023;
  EXPECT_EQ(field.DisplayText(), "ab");
  FakeTime().milliseconds = 2024;
  EXPECT_EQ(field.DisplayText(), "ab|");
  FakeTime().milliseconds = 2600;
  EXPECT_EQ(field.DisplayText(), "ab");
  Type(field, "c");
  EXPECT_EQ(field.DisplayText(), "abc|");
}

TEST(EditFieldTest, IdleFieldIsPaddedWithDotsThatFit) {
  EditField field("MenuEdit4");
  field.SetRect(50, 60, 50 + 5 * kAdvance + 3, 75);
  Type(field, "ab");
  field.OnCommand("EndEdit");
  EXPECT_EQ(field.DisplayText(), "ab...");
  EXPECT_EQ(field.Text(), "ab");

  field.OnCommand("BeginEdit");
  field.OnCommand("EndEdit");
  EXPECT_EQ(field.DisplayText(), ".....");

  EditField wide("MenuEdit5");
  wide.SetRect(0, 0, 100000, 15);
  wide.OnCommand("EndEdit");
  EXPECT_EQ(wide.DisplayText(), std::string(EditField::kMaxDots, '.'));
  EXPECT_TRUE(wide.Pending().empty());

  // The draw shows the padded text at the rectangle's minimum corner.
  Recorder().ClearCalls();
  field.Draw();
  const auto draws = Recorder().Draws();
  ASSERT_EQ(draws.size(), 5u);
  EXPECT_FLOAT_EQ(test::QuadLeft(draws[0]), 50.0f);
  EXPECT_FLOAT_EQ(test::QuadBottom(draws[0]), 60.0f);
}

// The game screen's score panel, on a picture 65 wide and 21 high.
std::unique_ptr<TextPanel> MakePanel() {
  auto panel = std::make_unique<TextPanel>("ScorePanel");
  panel->Create("panel.tga", {140, 524}, {-140, 524}, {3, 497}, {-253, 497}, 0, 0);
  return panel;
}

TEST(TextPanelTest, SlideTakesAnEighthOfASecondAndArrivesOnce) {
  auto panel = MakePanel();
  SetFrameDelta(1.0f / 64);
  panel->OnCommand("SetNextTime 0");
  EXPECT_EQ(DrainCount(*panel, "PanelLeavingOk"), 0) << "no move, no word";

  panel->OnCommand("SetNextTime 1");
  int frames = 0;
  while (panel->CurTime() < 1.0f && frames < 100) {
    EXPECT_EQ(DrainCount(*panel, "PanelLeavingOk"), 0);
    ++frames;
  }
  EXPECT_EQ(frames, 8) << "the last step lands exactly on the target";
  EXPECT_EQ(DrainCount(*panel, "PanelLeavingOk"), 1) << "posted after its own collection";
  for (int i = 0; i < 5; ++i) EXPECT_EQ(DrainCount(*panel, "PanelLeavingOk"), 0);

  // Back with an overshooting step: 0.4 per frame.
  SetFrameDelta(0.05f);
  panel->OnCommand("SetNextTime 0");
  for (int i = 0; i < 3; ++i) DrainCount(*panel, "PanelLeavingOk");
  EXPECT_FLOAT_EQ(panel->CurTime(), 0.0f);
  EXPECT_EQ(DrainCount(*panel, "PanelLeavingOk"), 1);
  EXPECT_EQ(DrainCount(*panel, "PanelLeavingOk"), 0);

  panel->OnCommand("SetCurTime 0.75");  // a jump: no word
  EXPECT_FLOAT_EQ(panel->CurTime(), 0.75f);
  EXPECT_FLOAT_EQ(panel->NextTime(), 0.0f);
  panel->OnCommand("SetNextTime 0.75");
  DrainCount(*panel, "PanelLeavingOk");
  EXPECT_EQ(DrainCount(*panel, "PanelLeavingOk"), 0);
}

TEST(TextPanelTest, SetStrTakesTheRestAfterOneSeparator) {
  auto panel = MakePanel();
  panel->OnCommand("SetStr Score: 1200");
  EXPECT_EQ(panel->Text(), "Score: 1200");
  panel->OnCommand("SetStr  two spaces");
  EXPECT_EQ(panel->Text(), " two spaces");
  panel->OnCommand("SetStr ");
  EXPECT_EQ(panel->Text(), "");
  panel->OnCommand("SetStr x");
  panel->OnCommand("SetStr");
  EXPECT_EQ(panel->Text(), "");
  panel->OnCommand("Unrelated 5");
  panel->OnCommand("SetNextTime");  // no number: unchanged
  EXPECT_FLOAT_EQ(panel->NextTime(), 0.0f);
  panel->OnCommand("SetCurTime 0.5 SetNextTime 1");  // every keyword applies
  EXPECT_FLOAT_EQ(panel->CurTime(), 0.5f);
  EXPECT_FLOAT_EQ(panel->NextTime(), 1.0f);
}

TEST(TextPanelTest, DrawsOpaqueAtTheSlidPlaceInItsOwnColour) {
  auto panel = MakePanel();
  panel->OnCommand("SetStr ab");
  panel->OnCommand("SetColor 1 0 0.5");
  panel->OnCommand("SetCurTime 0.5");
  panel->SetAlpha(0.25f);
  Recorder().ClearCalls();
  panel->Draw();
  auto draws = Recorder().Draws();
  ASSERT_EQ(draws.size(), 3u);
  // Picture centred on (0, 524): 65 x 21 puts its corner at (-32, 514).
  EXPECT_EQ(draws[0].boundTexture, test::TextureOf("panel.tga"));
  EXPECT_FLOAT_EQ(test::QuadLeft(draws[0]), -32.5f);
  EXPECT_FLOAT_EQ(test::QuadBottom(draws[0]), 514.5f);
  EXPECT_FLOAT_EQ(draws[0].alpha, 1.0f);
  // Text anchored at (-125, 497), indented by 20.
  EXPECT_FLOAT_EQ(test::QuadLeft(draws[1]), -105.0f);
  EXPECT_FLOAT_EQ(test::QuadBottom(draws[1]), 497.0f);
  EXPECT_FLOAT_EQ(draws[1].red, 1.0f);
  EXPECT_FLOAT_EQ(draws[1].green, 0.0f);
  EXPECT_FLOAT_EQ(draws[1].blue, 0.5f);
  EXPECT_FLOAT_EQ(draws[1].alpha, 1.0f);

  // Beyond the end of the slide the panel waits at its "to" placement; the shared
  // font is white again for everybody else.
  panel->OnCommand("SetCurTime 2");
  Recorder().ClearCalls();
  panel->Draw();
  BitmapFont::Shared().PrintText(0, 0, "a");
  draws = Recorder().Draws();
  ASSERT_EQ(draws.size(), 4u);
  EXPECT_FLOAT_EQ(test::QuadLeft(draws[0]), -172.5f);
  EXPECT_FLOAT_EQ(test::QuadLeft(draws[1]), -233.0f);
  EXPECT_FLOAT_EQ(draws[1].blue, 0.5f);
  EXPECT_FLOAT_EQ(draws[3].green, 1.0f);
}

}  // namespace
}  // namespace tav
