// Data/Last.dat: the exact bytes, and files that are short, long, damaged or
// missing, which must never cost the player level 1 or crash the game.
#include "app/level_progress.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "base/log.h"

namespace tav {
namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string bytes;
  for (int value : values) bytes.push_back(static_cast<char>(value));
  return bytes;
}

TEST(LevelProgressBytes, AreTwoLittleEndianCountsTimeAttackFirst) {
  LevelProgress progress;
  progress.unlockedTimeLevels = 0x01020304;
  progress.unlockedClassicLevels = 60;
  EXPECT_EQ(SerializeLevelProgress(progress),
            Bytes({0x04, 0x03, 0x02, 0x01, 60, 0, 0, 0}));
  LevelProgress read;
  EXPECT_TRUE(ParseLevelProgress(SerializeLevelProgress(progress), &read));
  EXPECT_EQ(read.unlockedTimeLevels, 0x01020304);
  EXPECT_EQ(read.unlockedClassicLevels, 60);
}

TEST(LevelProgressBytes, DamagedFilesKeepWhatTheyHoldAndLevelOneStartable) {
  struct Case {
    const char* what;
    std::string bytes;
    int32_t time;
    int32_t classic;
  };
  const Case cases[] = {
      {"empty", "", 1, 1},
      {"three bytes", Bytes({9, 0, 0}), 1, 1},
      {"only the time count", Bytes({7, 0, 0, 0, 5}), 7, 1},
      {"trailing bytes", Bytes({7, 0, 0, 0, 5, 0, 0, 0, 0xFF, 0xFF}), 7, 5},
      {"zero and negative", Bytes({0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}), 1, 1},
      {"most negative", Bytes({0, 0, 0, 0x80, 3, 0, 0, 0}), 1, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LevelProgress progress;
    std::string problem;
    EXPECT_FALSE(ParseLevelProgress(c.bytes, &progress, &problem));
    EXPECT_FALSE(problem.empty());
    EXPECT_EQ(progress.unlockedTimeLevels, c.time);
    EXPECT_EQ(progress.unlockedClassicLevels, c.classic);
  }
}

class LevelProgressFile : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tav_progress_test_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
    LogStart(folder_);
    SetErrorsRaise(false);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::string Log() {
    std::ifstream in(folder_ / "log.txt");
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  std::filesystem::path folder_;
};

TEST_F(LevelProgressFile, MissingFileGivesLevelOneQuietly) {
  LevelProgress progress;
  progress.unlockedTimeLevels = 9;
  EXPECT_FALSE(LoadLevelProgress((folder_ / "Last.dat").string(), &progress));
  EXPECT_EQ(progress.unlockedTimeLevels, 1);
  EXPECT_EQ(progress.unlockedClassicLevels, 1);
  EXPECT_EQ(Log().find("WARNING"), std::string::npos);
}

TEST_F(LevelProgressFile, SavedProgressReadsBackAndReplacesTheOldFile) {
  const std::string path = (folder_ / "Last.dat").string();
  LevelProgress progress;
  progress.unlockedTimeLevels = 12;
  progress.unlockedClassicLevels = 3;
  ASSERT_TRUE(SaveLevelProgress(path, progress));
  progress.unlockedClassicLevels = 4;
  ASSERT_TRUE(SaveLevelProgress(path, progress));
  LevelProgress read;
  EXPECT_TRUE(LoadLevelProgress(path, &read));
  EXPECT_EQ(read.unlockedTimeLevels, 12);
  EXPECT_EQ(read.unlockedClassicLevels, 4);
  // A save keeps what another writer unlocked meanwhile: each count is the
  // larger of the file's and the saver's.
  LevelProgress stale;
  stale.unlockedTimeLevels = 5;
  stale.unlockedClassicLevels = 9;
  LevelProgress merged;
  ASSERT_TRUE(SaveLevelProgress(path, stale, &merged));
  EXPECT_TRUE(LoadLevelProgress(path, &read));
  EXPECT_EQ(read.unlockedTimeLevels, 12);
  EXPECT_EQ(read.unlockedClassicLevels, 9);
  EXPECT_EQ(merged.unlockedTimeLevels, 12);
  // Only the file itself is left behind.
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
    if (entry.path().filename() != "log.txt") ++files;
  }
  EXPECT_EQ(files, 1);
}

TEST_F(LevelProgressFile, DamagedFileIsReadAsFarAsItGoesWithAWarning) {
  const std::string path = (folder_ / "Last.dat").string();
  {
    std::ofstream out(path, std::ios::binary);
    out << Bytes({5, 0, 0, 0, 2});
  }
  LevelProgress progress;
  EXPECT_TRUE(LoadLevelProgress(path, &progress));
  EXPECT_EQ(progress.unlockedTimeLevels, 5);
  EXPECT_EQ(progress.unlockedClassicLevels, 1);
  EXPECT_NE(Log().find("WARNING: Data\\Last.dat is damaged"), std::string::npos) << Log();
}

TEST_F(LevelProgressFile, UnwritableFolderFailsWithoutTouchingAnything) {
  const std::string path = (folder_ / "missing" / "Last.dat").string();
  EXPECT_FALSE(SaveLevelProgress(path, LevelProgress()));
  EXPECT_FALSE(std::filesystem::exists(folder_ / "missing"));
}

}  // namespace
}  // namespace tav
