// Level loading, its rejection of levels the board cannot play, and the weighted
// generation of new pieces.
#include <climits>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/log.h"
#include "game_test_support.h"

namespace tav {
namespace {

const std::string kLevels = std::string(TAV_SOURCE_DIR) + "/tests/game/Levels.ini";

class LevelTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    logDirectory_ = std::string(TAV_BINARY_DIR) + "/tests/game_level_log";
    std::filesystem::create_directories(logDirectory_);
    LogStart(logDirectory_);
    board = std::make_unique<Board>();
  }

  std::string LogText() const {
    std::ifstream file(logDirectory_ + "/log.txt");
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }

  std::string logDirectory_;
};

TEST_F(LevelTest, LoadsTheBoardBottomRowFirstWithPiecesAboveTheBoard) {
  ASSERT_TRUE(board->LoadLevelFromFile(kLevels, "Script", true));
  EXPECT_EQ(board->LevelName(), "Script");
  EXPECT_TRUE(board->IsTimed());
  EXPECT_EQ(board->PieceAt(0, 0)->Kind(), kRedArrow);
  EXPECT_EQ(board->PieceAt(0, 0)->Direction(), kUp);
  EXPECT_EQ(board->PieceAt(0, 1)->Direction(), kLeft);
  EXPECT_EQ(board->PieceAt(1, 0)->Kind(), kRedArrow);  // (1 + 0) % 3 -> red
  EXPECT_EQ(board->PieceAt(2, 0)->Kind(), kGreenArrow);
  EXPECT_FLOAT_EQ(board->PieceAt(5, 0)->FallHeight(), 512.0f);
  EXPECT_FLOAT_EQ(board->PieceAt(5, 9)->FallHeight(), 1412.0f);
  EXPECT_EQ(board->PieceAt(7, 3)->Column(), 7);
  EXPECT_EQ(board->PieceAt(7, 3)->Row(), 3);
  EXPECT_EQ(board->Priorities(), (std::vector<int>{1, 1, 0, 1, 0, 0, 0, 0, 0}));
  EXPECT_EQ(board->BlocksTarget(), 3);
  EXPECT_EQ(board->TimeLimit(), 60);
}

TEST_F(LevelTest, FirstCellsOfLevelDataAreTheBottomLeftCells) {
  LevelDefinition level = QuietLevel();
  level.levelData.replace(0, 4, "1200");
  board->SetUpLevel(level, false);
  EXPECT_EQ(board->PieceAt(0, 0)->Kind(), kRedArrow);
  EXPECT_EQ(board->PieceAt(0, 0)->Direction(), kDown);
  EXPECT_EQ(board->PieceAt(1, 0)->Kind(), kBlueArrow);
  EXPECT_EQ(board->PieceAt(1, 0)->Direction(), kUp);
}

TEST_F(LevelTest, LevelsTheBoardCannotPlayFailWithAWarning) {
  const char* broken[] = {"Short", "BadKind", "BadDirection", "NoWeights", "NoBlocks"};
  for (const char* name : broken) {
    Board attempt;
    EXPECT_FALSE(attempt.LoadLevelFromFile(kLevels, name, false)) << name;
    EXPECT_FALSE(attempt.LoadFault().empty()) << name;
    EXPECT_EQ(attempt.PieceAt(0, 0), nullptr) << name;
    EXPECT_NE(LogText().find(std::string("WARNING: level \"") + name + "\""), std::string::npos)
        << name;
  }
  EXPECT_NE(LogText().find("Blocks is not positive"), std::string::npos);
  EXPECT_NE(LogText().find("LevelData holds 150 characters"), std::string::npos);
}

TEST_F(LevelTest, MissingLevelDataOrLevelEndsTheSequenceQuietly) {
  EXPECT_FALSE(board->LoadLevelFromFile(kLevels, "NoData", false));
  EXPECT_FALSE(board->LoadLevelFromFile(kLevels, "61", false));
  EXPECT_FALSE(board->LoadLevelFromFile(kLevels + ".missing", "Script", false));
  EXPECT_EQ(LogText().find("WARNING"), std::string::npos);
}

TEST_F(LevelTest, MissingKeysRepeatThePreviousValue) {
  ASSERT_TRUE(board->LoadLevelFromFile(kLevels, "Sparse", false));
  EXPECT_EQ(board->LetterProbability(), 0);
  EXPECT_EQ(board->BlocksTarget(), 7);  // the value of Association_8_priority
  EXPECT_EQ(board->TimeLimit(), 45);
}

TEST_F(LevelTest, ParsesIntegersLikeScanf) {
  int value = 42;
  EXPECT_FALSE(ParseLevelInt("", &value));
  EXPECT_FALSE(ParseLevelInt("x12", &value));
  EXPECT_EQ(value, 42);
  EXPECT_TRUE(ParseLevelInt("  -17 apples", &value));
  EXPECT_EQ(value, -17);
  EXPECT_TRUE(ParseLevelInt("99999999999999999999999", &value));
  EXPECT_EQ(value, INT_MAX);
}

TEST_F(LevelTest, OnlyWeightedKindsComeFromTheGenerator) {
  LevelDefinition level = QuietLevel();
  level.priorities = {10, 0, 0, 0, 0, 0, 0, 0, 0};
  board->SetUpLevel(level, false);
  for (int i = 0; i < 500; ++i) ASSERT_EQ(board->GeneratePiece()->Kind(), kBlueArrow);
}

TEST_F(LevelTest, GeneratorDrawsKindsInProportionToTheirWeights) {
  LevelDefinition level = QuietLevel();
  level.priorities = {0, 0, 0, 0, 0, 0, 1, 3, 0};
  board->SetUpLevel(level, false);
  int counts[kPieceKindCount] = {};
  const int draws = 8000;
  for (int i = 0; i < draws; ++i) ++counts[board->GeneratePiece()->Kind()];
  EXPECT_EQ(counts[kRgbArrow] + counts[kLightningArrow], draws);
  // Four standard deviations of a binomial(8000, 1/4) are about 155.
  EXPECT_NEAR(counts[kRgbArrow], draws / 4, 155);

  level.priorities = {5, 1, 0, 2, 0, 0, 0, 0, 2};
  board->SetUpLevel(level, false);
  int mixed[kPieceKindCount] = {};
  for (int i = 0; i < draws; ++i) ++mixed[board->GeneratePiece()->Kind()];
  EXPECT_NEAR(mixed[kBlueArrow], draws / 2, 180);
  EXPECT_NEAR(mixed[kRedArrow], draws / 10, 110);
  EXPECT_NEAR(mixed[kGreenArrow], draws / 5, 150);
  EXPECT_NEAR(mixed[kNoArrow], draws / 5, 150);
}

TEST_F(LevelTest, BoardWithoutWeightsGeneratesNothing) {
  EXPECT_EQ(board->GeneratePiece(), nullptr);
}

}  // namespace
}  // namespace tav

namespace tav {
namespace {

TEST(GameRandomTest, BuiltInSourceReplaysAGivenSeedAndInstalledSourcesTakeOver) {
  SetRandomSource(nullptr);
  SeedGameRandom(5);
  uint32_t first[3] = {RandomNumber(), RandomNumber(), RandomNumber()};
  SeedGameRandom(5);
  for (uint32_t expected : first) EXPECT_EQ(RandomNumber(), expected);

  SeededRandom installed(5);
  SetRandomSource(&installed);
  EXPECT_EQ(&GameRandom(), &installed);
  for (int i = 0; i < 1000; ++i) {
    int below = RandomBelow(10);
    EXPECT_GE(below, 0);
    EXPECT_LT(below, 10);
    float value = RandomFloat(50.0f);
    EXPECT_GE(value, 0.0f);
    EXPECT_LT(value, 50.0f);
  }
  SetRandomSource(nullptr);
  SeedGameRandomFromClock();
}

}  // namespace
}  // namespace tav
