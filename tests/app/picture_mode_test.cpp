// The picture mode decision from made-up letterboxes and frame costs, and the player's
// choice read from Window.ini.
#include "app/picture_mode.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/temp_game_folder.h"

namespace tav {
namespace {

constexpr double kPeriod = 1.0 / 60.0;

PictureSituation Screen(int letterboxWidth, int letterboxHeight,
                        PicturesChoice choice = PicturesChoice::kAuto) {
  PictureSituation situation;
  situation.choice = choice;
  situation.sharpPossible = true;
  situation.letterboxWidth = letterboxWidth;
  situation.letterboxHeight = letterboxHeight;
  return situation;
}

// Five seconds of frames of one cost: at least one whole window of them.
// Paced: frames of this processor time, the game waiting out the rest. Held: frames
// that take this long until the display takes them, with little processor time.
void Frames(PictureModeDecision& decision, double seconds, bool paced) {
  for (int i = 0; i < 300; ++i) {
    decision.AddFrame(paced ? 0.002 : seconds, paced ? seconds : 0.001, kPeriod);
  }
}

TEST(PictureModeDecision, AutoKeepsSharpWhileItKeepsUpAndFallsBackUntilTheNextResize) {
  PictureModeDecision decision;
  const PictureSituation fullHd = Screen(1440, 1080);
  EXPECT_EQ(decision.Choose(fullHd), PictureMode::kSharp);
  EXPECT_FALSE(decision.TakeNewDecision()) << "logged before any frame was weighed";

  // Paced frames of 3 ms: well within the allowance.
  Frames(decision, 0.003, true);
  ASSERT_TRUE(decision.TakeNewDecision());
  EXPECT_EQ(decision.Reason().rfind("sharp: ", 0), 0u) << decision.Reason();
  EXPECT_FALSE(decision.TakeNewDecision()) << "one line per decision";

  // A few slow frames among cheap ones (a level loading) decide nothing.
  for (int i = 0; i < 30; ++i) decision.AddFrame(0.002, 0.5, kPeriod);
  Frames(decision, 0.003, true);
  EXPECT_EQ(decision.Mode(), PictureMode::kSharp);
  EXPECT_FALSE(decision.TakeNewDecision());
  // A busier scene later that the processor cannot afford: classic, once.
  Frames(decision, 0.012, true);
  ASSERT_TRUE(decision.TakeNewDecision());
  EXPECT_EQ(decision.Reason().rfind("classic: ", 0), 0u) << decision.Reason();
  EXPECT_EQ(decision.Choose(fullHd), PictureMode::kClassic);
  // Classic frames are cheap, but sharp is not tried again on the same screen.
  Frames(decision, 0.001, true);
  EXPECT_EQ(decision.Choose(fullHd), PictureMode::kClassic);
  EXPECT_FALSE(decision.TakeNewDecision());

  // A resize measures sharp afresh; frames far beyond what they may (three times)
  // end it after the fewest frames a judgement takes, not a whole window later.
  EXPECT_EQ(decision.Choose(Screen(1920, 1440)), PictureMode::kSharp);
  for (int i = 0; i < PictureModeDecision::kMinimumFrames; ++i) {
    decision.AddFrame(0.002, 3 * PictureModeDecision::kProcessorShare * kPeriod, kPeriod);
  }
  EXPECT_TRUE(decision.TakeNewDecision());
  EXPECT_EQ(decision.Mode(), PictureMode::kClassic);
}

TEST(PictureModeDecision, SharpNeedsTheSetAndALargeEnoughLetterboxAndOnlyAutoIsWeighed) {
  PictureModeDecision decision;
  // 1.4 times the picture: classic, and said why; exactly 1.5 times is enough.
  EXPECT_EQ(decision.Choose(Screen(1120, 840)), PictureMode::kClassic);
  ASSERT_TRUE(decision.TakeNewDecision());
  EXPECT_NE(decision.Reason().find("1.40"), std::string::npos) << decision.Reason();
  EXPECT_EQ(decision.Choose(Screen(1200, 900)), PictureMode::kSharp);
  // A display that holds swaps: frames of a whole period keep up, every other refresh
  // missed does not.
  Frames(decision, kPeriod, false);
  EXPECT_EQ(decision.Mode(), PictureMode::kSharp);
  Frames(decision, 2 * kPeriod, false);
  EXPECT_EQ(decision.Mode(), PictureMode::kClassic);

  PictureSituation withoutSet = Screen(1440, 1080, PicturesChoice::kSharp);
  withoutSet.sharpPossible = false;
  EXPECT_EQ(decision.Choose(withoutSet), PictureMode::kClassic);
  // Forced: nothing is weighed, whatever the frames cost.
  EXPECT_EQ(decision.Choose(Screen(1440, 1080, PicturesChoice::kSharp)), PictureMode::kSharp);
  Frames(decision, 0.1, true);
  EXPECT_EQ(decision.Mode(), PictureMode::kSharp);
  EXPECT_EQ(decision.Choose(Screen(1440, 1080, PicturesChoice::kClassic)), PictureMode::kClassic);
}

TEST(PictureModeDecision, BackEndRefusalIsNamedAndItsEndBringsSharpBack) {
  // A window switched to full screen and back on a back-end that refuses full screen.
  PictureModeDecision decision;
  const PictureSituation window = Screen(1440, 1080, PicturesChoice::kSharp);
  PictureSituation fullScreen = window;
  fullScreen.backEndRefusal = "the device is full screen";
  EXPECT_EQ(decision.Choose(window), PictureMode::kSharp);
  EXPECT_EQ(decision.Choose(fullScreen), PictureMode::kClassic);
  ASSERT_TRUE(decision.TakeNewDecision());
  EXPECT_NE(decision.Reason().find("the device is full screen"), std::string::npos)
      << decision.Reason();
  EXPECT_EQ(decision.Choose(window), PictureMode::kSharp);
}

TEST(PictureModeDecision, WindowIniChoiceIsReadWithAutoForAnythingElse) {
  test::TempGameFolder folder;
  ASSERT_TRUE(folder.Create("pictures"));
  const std::string path = (folder.Path() / "Window.ini").string();
  EXPECT_EQ(ReadPicturesChoice(path), PicturesChoice::kAuto) << "no file";
  std::ofstream(path) << "[Window]\nWindowed = 1\nPictures = Sharp\n";
  EXPECT_EQ(ReadPicturesChoice(path), PicturesChoice::kSharp);
  std::ofstream(path) << "[Window]\nPictures = blurry\n";
  EXPECT_EQ(ReadPicturesChoice(path), PicturesChoice::kAuto);
}

}  // namespace
}  // namespace tav
