// The pause and game-over fades with their end words and pointer gating, the
// help pages and fade, the intro's timing, the level-complete phases and scroll
// bands, and the top bar's buttons.
#include <gtest/gtest.h>

#include <algorithm>

#include "gui/button.h"
#include "gui/frame_delta.h"
#include "render/texture_catalogue.h"
#include "screens/fon_window.h"
#include "screens/game_over_window.h"
#include "screens/help_window.h"
#include "screens/intro_window.h"
#include "screens/level_complete_window.h"
#include "screens/pause_window.h"
#include "screens_test_support.h"

namespace tav {
namespace {

using Strings = std::vector<std::string>;

int ButtonState(Window& window, const std::string& name) {
  return static_cast<MenuButton*>(window.FindControl(name))->GetState();
}

TEST(FadingDialogTest, PauseFadesInAndOutInAThirdOfASecondWithItsEndWords) {
  PauseWindow pause("PauseWindow");
  pause.Command("BeginDecBlend");
  // Clamped frames of 0.05 s: never fewer than seven frames.
  EXPECT_EQ(test::RunFrames(pause, 6), Strings{});
  EXPECT_EQ(test::RunFrames(pause, 1), Strings{"EndDecBlend"});
  EXPECT_EQ(test::RunFrames(pause, 3), Strings{});  // no repeat at rest

  pause.Command("BeginIncBlend");
  test::RunFrames(pause, 2);
  test::Recorder().ClearCalls();
  pause.DrawOverlay();
  // Opacity -blend = 0.7 on the shade (at 60 %) and on the frame.
  const auto shade = test::DrawsOf("Black.tga");
  ASSERT_EQ(shade.size(), 1u);
  EXPECT_NEAR(shade[0].alpha, 0.42f, 1e-5);
  const auto frame = test::DrawsOf("pause_window.tga");
  ASSERT_EQ(frame.size(), 1u);
  EXPECT_NEAR(frame[0].alpha, 0.7f, 1e-5);
  EXPECT_EQ(test::RunFrames(pause, 4), Strings{});
  EXPECT_EQ(test::RunFrames(pause, 1), Strings{"EndIncBlend"});
}

TEST(FadingDialogTest, ButtonsTakeThePointerOnlyAtRest) {
  PauseWindow pause("PauseWindow");
  pause.Command("BeginDecBlend");
  test::RunFrames(pause, 3);
  test::Click(pause, 400, 350);  // ResumeButton, during the fade-in
  EXPECT_EQ(ButtonState(pause, "ResumeButton"), MenuButton::kNormal);
  EXPECT_EQ(test::RunFrames(pause, 4), Strings{"EndDecBlend"});
  test::Click(pause, 400, 300);  // ExitToMenuButton
  test::Click(pause, 400, 250);  // ExitButton
  const Strings words = test::RunFrames(pause, 1);
  EXPECT_EQ(std::count(words.begin(), words.end(), "ButtonClick"), 2);
  // Fading out, a press is ignored again but a release still ends a press.
  pause.OnMouseMove({400, 350});
  pause.OnLeftDown({400, 350});
  pause.Command("BeginIncBlend");
  pause.OnLeftUp({400, 350});
  EXPECT_EQ(test::RunFrames(pause, 1), (Strings{"ButtonSetFocus", "ButtonDown", "ButtonClick"}));
}

TEST(FadingDialogTest, GameOverHasItsOkButtonAndTheSameFade) {
  GameOverWindow over("GameOverWindow");
  ASSERT_NE(over.FindControl("ButtonOK"), nullptr);
  ASSERT_NE(over.FindControl("Pause"), nullptr);
  over.Command("BeginDecBlend");
  EXPECT_EQ(test::RunFrames(over, 7), Strings{"EndDecBlend"});
  test::Click(over, 400, 300);
  EXPECT_EQ(test::RunFrames(over, 1), (Strings{"ButtonSetFocus", "ButtonDown", "ButtonClick"}));
  // "Disable" still reaches the window base.
  over.Command("Disable");
  test::Click(over, 400, 300);
  EXPECT_EQ(test::RunFrames(over, 1), Strings{});
}

TEST(HelpWindowTest, PagesTurnRoundBothWaysAndOnlyTheCurrentOneIsDrawn) {
  HelpWindow help("HelpWindow");
  // Two pictures, then the page of keys and controller buttons.
  ASSERT_EQ(help.PageCount(), 3);
  help.Command("HelpDec");
  EXPECT_EQ(help.Page(), 2);
  EXPECT_TRUE(help.ShowsKeysPage());
  test::Recorder().ClearCalls();
  help.DrawOverlay();
  EXPECT_TRUE(test::DrawsOf("Help_p1.tga").empty());
  EXPECT_TRUE(test::DrawsOf("Help_p2.tga").empty());
  EXPECT_EQ(test::DrawsOf("Help_p3.tga").size(), 1u);
  help.Command("HelpInc");
  EXPECT_EQ(help.Page(), 0);
  help.Command("HelpInc");
  help.Command("HelpInc");
  help.Command("HelpInc");
  EXPECT_EQ(help.Page(), 0);
  help.Command("HelpInc");
  test::Recorder().ClearCalls();
  help.DrawOverlay();
  EXPECT_TRUE(test::DrawsOf("Help_p1.tga").empty());
  EXPECT_EQ(test::DrawsOf("Help_p2.tga").size(), 1u);
  // "Enable"/"Disable" do not reach it.
  help.Command("Disable");
  EXPECT_TRUE(help.IsEnabled());
}

TEST(HelpWindowTest, FadeEndsWithEndBlendAndGatesThePointer) {
  HelpWindow help("HelpWindow");
  help.Command("HelpBegin");
  test::Click(help, 400, 170);                     // ButtonOK while fading in
  EXPECT_EQ(test::RunFrames(help, 7), Strings{});  // the fade-in ends silently
  test::Click(help, 400, 170);
  EXPECT_EQ(test::RunFrames(help, 1), (Strings{"ButtonSetFocus", "ButtonDown", "ButtonClick"}));
  help.Command("HelpEnd");
  help.Command("HelpEnd");  // does not restart
  EXPECT_EQ(test::RunFrames(help, 6), Strings{});
  EXPECT_EQ(test::RunFrames(help, 1), Strings{"EndBlend"});
}

TEST(IntroWindowTest, LogoFadesDotsLightAndTheIntroEndsAfterThreeSeconds) {
  IntroWindow intro("IntroWindow");
  test::RunFrames(intro, 10, 0.05f);  // time 1.5
  EXPECT_NEAR(intro.LogoOpacity(), 0.5f, 1e-5);
  EXPECT_FALSE(intro.DotLit(0));

  IntroWindow atThree("IntroWindow");
  test::RunFrames(atThree, 1, 1.0f);  // time exactly 3
  EXPECT_TRUE(atThree.DotLit(0));
  EXPECT_FALSE(atThree.DotLit(1));
  test::RunFrames(atThree, 1, 5.0f / 3.0f);  // time 8
  for (int i = 0; i < IntroWindow::kDotCount; ++i) EXPECT_TRUE(atThree.DotLit(i)) << i;
  EXPECT_EQ(atThree.LogoOpacity(), 1.0f);

  // Clamped frames: nothing through 59 frames (time 8.85), then "IntroEnd" on
  // every update once past 9.
  IntroWindow running("IntroWindow");
  EXPECT_EQ(test::RunFrames(running, 59), Strings{});
  const Strings words = test::RunFrames(running, 3);
  EXPECT_GE(words.size(), 2u);
  EXPECT_TRUE(std::all_of(words.begin(), words.end(), [](auto& w) { return w == "IntroEnd"; }));
  EXPECT_EQ(running.LogoOpacity(), 0.0f);
}

TEST(IntroWindowTest, DrawsLogosAndFourteenDotsOnBlack) {
  IntroWindow intro("IntroWindow");
  test::RunFrames(intro, 1, 1.0f);
  test::Recorder().ClearCalls();
  intro.Draw();
  EXPECT_EQ(test::Recorder().CountOf("Clear"), 1u);
  EXPECT_EQ(test::DrawsOf("Ind2.tga").size(), 1u);
  EXPECT_EQ(test::DrawsOf("Ind1.tga").size(), 13u);
  const auto maker = test::DrawsOf("zelto_logo.tga");
  ASSERT_EQ(maker.size(), 1u);
  EXPECT_FLOAT_EQ(maker[0].vertices[0].x, 750 - 16 - 0.5f);  // centred on (750, 70)
  EXPECT_FLOAT_EQ(maker[0].alpha, 1.0f);
}

// The scroll bands drawn now, as (top y, bottom y, v top, v bottom, alpha).
struct Band {
  float top, bottom, vTop, vBottom, alpha;
};
std::vector<Band> Bands(const std::string& picture) {
  std::vector<Band> bands;
  for (const RecordedCall& call : test::DrawsOf(picture)) {
    bands.push_back({call.vertices[2].y, call.vertices[0].y, call.vertices[2].v, call.vertices[0].v,
                     call.alpha});
  }
  return bands;
}

TEST(LevelCompleteWindowTest, PhasesRunOpenRestCloseWithSoundAndEndBlend) {
  LevelCompleteWindow window("LevelCompleteWindow");
  test::SoundRecorder().ClearCalls();
  window.Command("Show");
  window.Command("Level 12");
  EXPECT_EQ(window.GetPhase(), LevelCompleteWindow::kOpening);
  EXPECT_EQ(window.Level(), 12);
  // Opening: 1 down to 0 at 1.5 per second, 14 frames of 0.05 s.
  EXPECT_EQ(test::RunFrames(window, 13), Strings{});
  EXPECT_EQ(window.GetPhase(), LevelCompleteWindow::kOpening);
  test::RunFrames(window, 1);
  // The new line starts fading in within the same update.
  EXPECT_EQ(window.GetPhase(), LevelCompleteWindow::kResting);
  EXPECT_NEAR(window.Timer(), 0.85f, 1e-5);
  const auto& calls = test::SoundRecorder().Calls();
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "start pic.wav"), 1);
  // The new line: 1 down to 0 at 3 per second, then rest.
  test::RunFrames(window, 7);
  EXPECT_EQ(window.Timer(), 0.0f);
  EXPECT_EQ(test::RunFrames(window, 20), Strings{});
  EXPECT_EQ(window.GetPhase(), LevelCompleteWindow::kResting);
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "start pic.wav"), 1);

  window.Command("EndShow");
  EXPECT_EQ(test::RunFrames(window, 7), Strings{});
  window.Command("EndShow");  // no restart
  EXPECT_EQ(test::RunFrames(window, 6), Strings{});
  EXPECT_EQ(test::RunFrames(window, 1), Strings{"EndBlend"});
  EXPECT_EQ(window.GetPhase(), LevelCompleteWindow::kIdle);
  EXPECT_EQ(test::RunFrames(window, 5), Strings{});
}

TEST(LevelCompleteWindowTest, ScrollPictureFollowsTheGroupOfTenLevels) {
  LevelCompleteWindow window("LevelCompleteWindow");
  EXPECT_FALSE(window.Scroll().HasTexture());
  window.Command("Level 0");
  EXPECT_EQ(window.Scroll().GetTexture()->name, "papirus1.tga");
  window.Command("Level 59");
  EXPECT_EQ(window.Scroll().GetTexture()->name, "papirus6.tga");
  window.Command("Level 60");  // beyond the last group: the picture stays
  EXPECT_EQ(window.Level(), 60);
  EXPECT_EQ(window.Scroll().GetTexture()->name, "papirus6.tga");
  window.Command("Level -3");
  window.Command("Level x");
  EXPECT_EQ(window.Level(), 60);
}

TEST(LevelCompleteWindowTest, BandsUnrollOneLineForTheLevelJustCompleted) {
  LevelCompleteWindow window("LevelCompleteWindow");
  window.Command("Show");
  window.Command("Level 13");  // k = 3: three earlier lines, the fourth is new
  test::RunFrames(window, 7);  // opening, timer 0.475
  test::Recorder().ClearCalls();
  window.DrawOverlay();
  auto bands = Bands("papirus2.tga");
  ASSERT_EQ(bands.size(), 1u);
  EXPECT_FLOAT_EQ(bands[0].top, 495);
  EXPECT_FLOAT_EQ(bands[0].bottom, 495 - 3 * 37);
  EXPECT_FLOAT_EQ(bands[0].vTop, 0.28f);
  EXPECT_FLOAT_EQ(bands[0].vBottom, 0.28f + 3 * 0.072f);
  EXPECT_NEAR(bands[0].alpha, 1 - 0.475f, 1e-5);
  auto shade = test::DrawsOf("black.tga");
  ASSERT_EQ(shade.size(), 1u);
  EXPECT_NEAR(shade[0].alpha, (1 - 0.475f) * 0.75f, 1e-5);
  // The frame is visible once the timer is below 0.7: 1 - 0.475 / 0.7.
  EXPECT_NEAR(test::DrawsOf("rc_window.tga")[0].alpha, 1 - 0.475f / 0.7f, 1e-5);

  test::RunFrames(window, 9);  // phase 2 from the 14th frame on: timer 0.55
  test::Recorder().ClearCalls();
  window.DrawOverlay();
  bands = Bands("papirus2.tga");
  ASSERT_EQ(bands.size(), 2u);
  EXPECT_FLOAT_EQ(bands[0].alpha, 1.0f);
  EXPECT_FLOAT_EQ(bands[1].top, 495 - 3 * 37);
  EXPECT_FLOAT_EQ(bands[1].bottom, 495 - 4 * 37);
  EXPECT_NEAR(bands[1].alpha, 0.45f, 1e-5);
  EXPECT_FLOAT_EQ(test::DrawsOf("black.tga")[0].alpha, 0.75f);

  window.Command("EndShow");
  test::RunFrames(window, 4);  // timer 0.7
  test::Recorder().ClearCalls();
  window.DrawOverlay();
  bands = Bands("papirus2.tga");
  ASSERT_EQ(bands.size(), 1u);
  EXPECT_FLOAT_EQ(bands[0].bottom, 495 - 4 * 37);
  EXPECT_NEAR(bands[0].alpha, 0.7f, 1e-5);
  EXPECT_NEAR(test::DrawsOf("rc_window.tga")[0].alpha, 1 - 0.3f / 0.7f, 1e-5);
}

TEST(LevelCompleteWindowTest, FirstLevelOfAGroupStartsFromAnEmptyScroll) {
  LevelCompleteWindow window("LevelCompleteWindow");
  window.Command("Show");
  window.Command("Level 20");
  test::RunFrames(window, 3);
  test::Recorder().ClearCalls();
  window.DrawOverlay();
  auto bands = Bands("papirus3.tga");
  ASSERT_EQ(bands.size(), 1u);
  EXPECT_FLOAT_EQ(bands[0].top, bands[0].bottom);  // no height yet
}

TEST(LevelCompleteWindowTest, OkButtonWorksUntilTheWindowCloses) {
  LevelCompleteWindow window("LevelCompleteWindow");
  window.Command("Show");
  test::Click(window, 500, 90);
  EXPECT_EQ(test::RunFrames(window, 1), (Strings{"ButtonSetFocus", "ButtonDown", "ButtonClick"}));
  window.Command("EndShow");
  window.OnMouseMove({100, 100});
  test::Click(window, 500, 90);
  EXPECT_EQ(test::RunFrames(window, 1), Strings{});
}

TEST(FonWindowTest, RoundButtonsReactOnlyInsideTheirCircles) {
  FonWindow bar("FonWindow");
  ASSERT_EQ(bar.ControlCount(), 6u);
  test::Click(bar, 776 + 11, 589);  // 11 pixels from the close button's centre
  test::Click(bar, 753, 589 - 11);
  EXPECT_EQ(test::RunFrames(bar, 1), Strings{});
  test::Click(bar, 776 + 7, 589 + 7);  // within the radius of 10
  NotificationQueue queue;
  bar.Update(queue);
  ASSERT_EQ(queue.size(), 3u);
  EXPECT_EQ(queue[2].word, "ButtonClick");
  EXPECT_EQ(queue[2].control->Name(), "ButtonClose");
  bar.OnMouseMove({0, 0});
  test::Click(bar, 753, 589);
  bar.Update(queue);
  EXPECT_EQ(queue.back().control->Name(), "ButtonHide");
}

TEST(FonWindowTest, DrawsOnlyInTheSecondPass) {
  FonWindow bar("FonWindow");
  test::Recorder().ClearCalls();
  bar.Draw();
  EXPECT_TRUE(test::Recorder().Draws().empty());
  bar.DrawOverlay();
  EXPECT_EQ(test::DrawsOf("top_bar.tga").size(), 3u);
  EXPECT_EQ(test::DrawsOf("top_bar_logo.tga").size(), 1u);
}

}  // namespace
}  // namespace tav
