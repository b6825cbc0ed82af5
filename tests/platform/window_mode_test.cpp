// The window's opening size on desktops of every kind, and the window-mode file read
// back after a write or when it is missing or damaged.
#include "platform/window_mode.h"

#include <gtest/gtest.h>

#include "base/ini_file.h"
#include "tests/base/temp_dir.h"

namespace tav {
namespace {

TEST(WindowModeTest, WindowOpensAtTheLargestWholeMultipleInThreeQuartersOfTheDesktop) {
  struct Case {
    int desktopWidth, desktopHeight, width, height;
  };
  for (const Case& c : {Case{1920, 1080, 800, 600},    // 1440x810 usable: one multiple
                        Case{3840, 2160, 1600, 1200},  // height limits it to two
                        Case{5120, 2880, 2400, 1800},  // four across, three down
                        Case{1024, 768, 800, 600},     // no multiple in 3/4, but it fits
                        Case{800, 600, 800, 600},
                        Case{640, 480, 640, 480},      // smaller desktop: its own shape
                        Case{700, 600, 700, 525},
                        Case{0, 0, 800, 600}}) {
    const WindowSize size = OpeningWindowSize(c.desktopWidth, c.desktopHeight, 800, 600);
    EXPECT_EQ(size.width, c.width) << c.desktopWidth << "x" << c.desktopHeight;
    EXPECT_EQ(size.height, c.height) << c.desktopWidth << "x" << c.desktopHeight;
  }
}

TEST(WindowModeTest, ChoiceSurvivesARunAndAMissingOrDamagedFileMeansFullScreen) {
  testing::TempDir dir;
  const std::string path = dir / "Window.ini";
  EXPECT_FALSE(ReadWindowedChoice(path));
  ASSERT_TRUE(WriteWindowedChoice(path, true));
  EXPECT_TRUE(ReadWindowedChoice(path));
  ASSERT_TRUE(WriteWindowedChoice(path, false));
  EXPECT_FALSE(ReadWindowedChoice(path));
  testing::WriteFile(path, std::string("[Window]\nWindowed = \xff\0\x01", 17));
  EXPECT_FALSE(ReadWindowedChoice(path));
}

TEST(WindowModeTest, SwitchingWindowModeKeepsThePlayersPictureChoice) {
  testing::TempDir dir;
  const std::string path = dir / "Window.ini";
  testing::WriteFile(path, "[Window]\nWindowed = 0\nPictures = classic\n");
  ASSERT_TRUE(WriteWindowedChoice(path, true));
  EXPECT_TRUE(ReadWindowedChoice(path));
  IniFile ini;
  std::string pictures;
  ASSERT_TRUE(ini.OpenPath(path));
  EXPECT_TRUE(ini.Get("Window", "Pictures", &pictures));
  EXPECT_EQ(pictures, "classic");
}

}  // namespace
}  // namespace tav
