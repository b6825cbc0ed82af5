// The log file, fatal reports with their raise-once flag, and data paths.
#include "base/log.h"

#include <gtest/gtest.h>

#include <string>

#include "base/data_path.h"
#include "tests/base/temp_dir.h"

namespace tav {
namespace {

using testing::ReadFile;
using testing::TempDir;

class LogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LogStart(dir_.Path());
    SetErrorsRaise(true);
  }
  void TearDown() override {
    SetErrorsRaise(true);
    SetErrorNameFunction(nullptr);
  }
  std::string LogText() { return ReadFile(dir_ / "log.txt"); }

  TempDir dir_;
};

TEST_F(LogTest, EachStartTruncatesAndLinesAppendUnchanged) {
  LogLine("first run %d\n", 1);
  LogStart(dir_.Path() + "/");  // a trailing separator is dropped
  EXPECT_EQ(BaseDirectory(), dir_.Path());
  LogLine("no line end");
  LogLine(" %s\n", "then one");
  EXPECT_EQ(LogText(), "log start\nno line end then one\n");
}

TEST_F(LogTest, LongTextIsCutAt1023Characters) {
  std::string longText(5000, 'x');
  LogLine("%s", longText.c_str());
  EXPECT_EQ(LogText(), "log start\n" + std::string(1023, 'x'));
}

TEST_F(LogTest, FatalReportRaisesOnceThenOnlyLogs) {
  EXPECT_THROW(ReportFatal("Failed to open %s.", "a.tga"), FatalError);
  EXPECT_FALSE(ErrorsRaise());
  // During the unwinding that follows, reports and quit requests only log.
  EXPECT_NO_THROW(ReportFatal("second"));
  EXPECT_NO_THROW(RequestQuit());
  EXPECT_EQ(LogText(), "log start\nERROR: Failed to open a.tga.\nERROR: second\n");

  SetErrorsRaise(true);
  EXPECT_THROW(RequestQuit(), QuitRequest);
  EXPECT_FALSE(ErrorsRaise());
}

TEST_F(LogTest, FatalReportWithCodeNamesTheCode) {
  EXPECT_THROW(ReportFatalWithCode(0x8876017C, "CreateDevice failed"), FatalError);
  EXPECT_EQ(LogText(), "log start\nERROR: CreateDevice failed\nUnrecognized error: 0x8876017c\n");

  SetErrorNameFunction(
      [](int64_t code) { return code == 7 ? std::string("DEVICE_LOST") : std::string("other"); });
  LogStart(dir_.Path());
  ReportFatalWithCode(7, "Present");  // flag already cleared: logs only
  EXPECT_EQ(LogText(), "log start\nERROR: Present\nDEVICE_LOST\n");

  // A message that fills the buffer still leaves the code's name on its own line.
  LogStart(dir_.Path());
  std::string longText(2000, 'm');
  ReportFatalWithCode(7, "%s", longText.c_str());
  std::string expected = "log start\n" + ("ERROR: " + longText).substr(0, 1023) + "\nDEVICE_LOST\n";
  EXPECT_EQ(LogText(), expected);
}

TEST_F(LogTest, DataPathsAreUnderTheBaseDirectoryWithNativeSeparators) {
  EXPECT_EQ(DataPath("Data\\Levels.ini"), dir_.Path() + "/Data/Levels.ini");
  EXPECT_EQ(DataPath("log.txt"), dir_.Path() + "/log.txt");
  EXPECT_EQ(NativePath("Data\\Audio\\boom.wav"), "Data/Audio/boom.wav");
}

TEST(LogWithoutDirectory, UnwritableLogDropsTextQuietly) {
  LogStart("/nonexistent-tav-directory/deeper");
  EXPECT_NO_THROW(LogLine("dropped\n"));
}

}  // namespace
}  // namespace tav
