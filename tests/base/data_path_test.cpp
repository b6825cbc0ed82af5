// Where the game finds its data and keeps the player's files: beside a game run from
// its own folder, or in the player's XDG data folder for an installed game.
#include "base/data_path.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "tests/base/temp_dir.h"

namespace tav {
namespace {

using testing::TempDir;
using testing::WriteFile;

class DataPathTest : public ::testing::Test {
 protected:
  void TearDown() override { SetGameHomes(GameHomes()); }
  TempDir temp_;
};

TEST_F(DataPathTest, GameStartedFromItsOwnWritableFolderKeepsEverythingThere) {
  const std::string game = temp_ / "game";
  WriteFile(game + "/Data/Levels.ini", "[1]\n");
  const GameHomes homes = FindGameHomes(game, temp_ / "elsewhere", "", temp_ / "home");
  EXPECT_TRUE(homes.playerFilesBesideData);
  EXPECT_TRUE(homes.problem.empty());
  SetGameHomes(homes);
  EXPECT_EQ(PlayerFilePath("Data\\Hiscore.dat"), game + "/Data/Hiscore.dat");
  EXPECT_EQ(PlayerFilePath("log.txt"), game + "/log.txt");
  EXPECT_FALSE(std::filesystem::exists(temp_ / "home"));
}

TEST_F(DataPathTest, InstalledGameReadsItsTreeAndKeepsPlayerFilesInAPrivateHome) {
  // <prefix>/games/tavrolith and <prefix>/share/games/tavrolith/Data, started
  // from a home folder that has a Data/ of some other program.
  const std::string prefix = temp_ / "usr";
  std::filesystem::create_directories(prefix + "/games");
  WriteFile(prefix + "/share/games/tavrolith/Data/Levels.ini", "[1]\n");
  const std::string home = temp_ / "home";
  WriteFile(home + "/Data/notes.txt", "not the game's");

  const GameHomes homes = FindGameHomes(home, prefix + "/games", "", home);
  EXPECT_TRUE(homes.problem.empty()) << homes.problem;
  EXPECT_FALSE(homes.playerFilesBesideData);
  EXPECT_EQ(homes.dataDirectory, prefix + "/share/games/tavrolith");
  EXPECT_EQ(homes.playerDirectory, home + "/.local/share/tavrolith");
  struct stat info;
  ASSERT_EQ(stat(homes.playerDirectory.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);

  SetGameHomes(homes);
  EXPECT_EQ(DataPath("Data\\Levels.ini"), prefix + "/share/games/tavrolith/Data/Levels.ini");
  EXPECT_EQ(PlayerFilePath("Data\\Config.ini"), home + "/.local/share/tavrolith/Config.ini");
  EXPECT_EQ(PlayerFilePath("log.txt"), home + "/.local/share/tavrolith/log.txt");

  // An absolute XDG_DATA_HOME wins; a relative one is ignored as XDG says.
  EXPECT_EQ(FindGameHomes(home, prefix + "/games", temp_ / "xdg", home).playerDirectory,
            temp_ / "xdg/tavrolith");
  EXPECT_EQ(FindGameHomes(home, prefix + "/games", "relative", home).playerDirectory,
            home + "/.local/share/tavrolith");
}

TEST_F(DataPathTest, HomeThatCannotBeMadeIsReportedAndTheGameStillFindsItsData) {
  const std::string prefix = temp_ / "usr";
  std::filesystem::create_directories(prefix + "/games");
  WriteFile(prefix + "/share/games/tavrolith/Data/Levels.ini", "[1]\n");
  WriteFile(temp_ / "file", "a file where the home folder should be");

  const GameHomes blocked = FindGameHomes(temp_ / "start", prefix + "/games", "", temp_ / "file");
  EXPECT_FALSE(blocked.problem.empty());
  EXPECT_EQ(blocked.dataDirectory, prefix + "/share/games/tavrolith");

  const GameHomes homeless = FindGameHomes(temp_ / "start", prefix + "/games", "", "");
  EXPECT_FALSE(homeless.problem.empty());
  EXPECT_EQ(homeless.dataDirectory, prefix + "/share/games/tavrolith");
}

}  // namespace
}  // namespace tav
