// Levels.ini values at the edges of the int range: a time limit the level clock
// cannot show is refused with a warning, and weights summing to INT_MAX still draw.
#include <climits>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/log.h"
#include "tests/game/game_test_support.h"

namespace tav {
namespace {

class LevelLimitsTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    folder_ = std::string(TAV_BINARY_DIR) + "/tests/reliability_levels";
    std::filesystem::create_directories(folder_);
    LogStart(folder_);
    board = std::make_unique<Board>();
  }

  // Writes a one-level Levels.ini from QuietLevel with the given extra keys.
  std::string WriteLevel(const std::string& keys) {
    const LevelDefinition quiet = QuietLevel();
    std::ofstream file(folder_ + "/Levels.ini");
    file << "[1]\nLevelData = " << quiet.levelData << "\nBlocks = 100\n" << keys;
    return folder_ + "/Levels.ini";
  }

  std::string LogText() const {
    std::ifstream file(folder_ + "/log.txt");
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }

  std::string folder_;
};

TEST_F(LevelLimitsTest, TimeLimitsTheClockCannotShowAreRefused) {
  for (const char* time : {"2147483647", "2147483584", "86401", "-1"}) {
    const std::string path =
        WriteLevel("Association_0_priority = 1\nTime = " + std::string(time) + "\n");
    Board attempt;
    EXPECT_FALSE(attempt.LoadLevelFromFile(path, "1", true)) << time;
    EXPECT_NE(LogText().find("WARNING: level \"1\" not loaded: Time " + std::string(time)),
              std::string::npos)
        << time;
  }
  const std::string path = WriteLevel("Association_0_priority = 1\nTime = 86400\n");
  ASSERT_TRUE(board->LoadLevelFromFile(path, "1", true));
  RunFrame();
  EXPECT_EQ(board->TimeText(), "86400");
}

TEST_F(LevelLimitsTest, RemainingTimeOfAnUncheckedLevelStaysInRange) {
  LevelDefinition level = QuietLevel();
  level.timeLimit = INT_MAX;
  MakeBoard(level, true);
  RunFrame();
  EXPECT_EQ(board->TimeText(), std::to_string(INT_MAX));
}

TEST_F(LevelLimitsTest, WeightsSummingToIntMaxKeepTheBoardRefilling) {
  const std::string path = WriteLevel(
      "Association_0_priority = 2147483647\nAssociation_1_priority = 0\n"
      "Association_8_priority = 0\nTime = 60\n");
  ASSERT_TRUE(board->LoadLevelFromFile(path, "1", false));
  for (int i = 0; i < 1000; ++i) {
    std::unique_ptr<Piece> piece = board->GeneratePiece();
    ASSERT_NE(piece, nullptr) << "draw " << i;
    EXPECT_EQ(piece->Kind(), 0);
  }
  // The last kind's range ends exactly at INT_MAX.
  LevelDefinition level = QuietLevel();
  level.priorities = {1, 0, 0, 0, 0, 0, 0, 0, INT_MAX - 1};
  board->SetUpLevel(level, false);
  int lightning = 0;
  for (int i = 0; i < 1000; ++i) {
    std::unique_ptr<Piece> piece = board->GeneratePiece();
    ASSERT_NE(piece, nullptr) << "draw " << i;
    lightning += piece->Kind() == 8;
  }
  EXPECT_GE(lightning, 999);
}

}  // namespace
}  // namespace tav
