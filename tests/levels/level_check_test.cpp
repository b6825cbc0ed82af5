// Tests of levelcheck: the shipped levels pass, and each kind of broken level is
// caught with a message that names the fault.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "tools/levelcheck/level_check.h"

namespace tav {
namespace {

// A 200-character board from ten rows of ten two-digit cells, bottom row first.
std::string Board(const std::string& row) {
  std::string data;
  for (int i = 0; i < 10; ++i) data += row;
  return data;
}

// Red and blue alternating across and up: no three matching pieces side by side.
std::string StuckBoard() {
  std::string data;
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 10; ++x) data += ((x + y) % 2 == 0) ? "10" : "00";
  }
  return data;
}

// Rows of red, red, blue, ... arrows lying flat in pairs: lines to be made, none made.
std::string GoodBoard() {
  return Board("11111313030301011313");
}

struct LevelText {
  std::string name = "1";
  std::string letters = "LetterProbability = 10\n";
  std::string data = "LevelData = " + GoodBoard() + "\n";
  std::string weights =
      "Association_0_priority = 30\nAssociation_1_priority = 30\n"
      "Association_2_priority = 2\nAssociation_3_priority = 30\n"
      "Association_4_priority = 2\nAssociation_5_priority = 2\n"
      "Association_6_priority = 3\nAssociation_7_priority = 1\n"
      "Association_8_priority = 0\n";
  std::string blocks = "Blocks = 40\n";
  std::string time = "Time = 90\n";
  std::string Text() const {
    return "[" + name + "]\n" + letters + data + weights + blocks + time + "\n";
  }
};

class LevelCheckTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& text) {
    std::string path = std::string(TAV_BINARY_DIR) + "/tests/levelcheck_" +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".ini";
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  LevelReport CheckText(const std::string& text) { return CheckOneLevel(Write(text), "1"); }
  static bool Mentions(const LevelReport& report, const std::string& words) {
    for (const std::string& problem : report.problems) {
      if (problem.find(words) != std::string::npos) return true;
    }
    return false;
  }
};

TEST_F(LevelCheckTest, ShippedLevelsAreAllGood) {
  std::vector<std::string> fileProblems;
  std::vector<LevelReport> reports =
      CheckLevelsFile(std::string(TAV_SOURCE_DIR) + "/assets/Levels.ini", 60, &fileProblems);
  EXPECT_TRUE(fileProblems.empty()) << fileProblems.front();
  ASSERT_EQ(reports.size(), 60u);
  for (const LevelReport& report : reports) {
    EXPECT_TRUE(report.problems.empty())
        << "level " << report.name << ": " << report.problems.front();
    EXPECT_TRUE(report.hasMove);
    EXPECT_EQ(report.lineCells, 0);
  }
}

TEST_F(LevelCheckTest, AGoodLevelPasses) {
  LevelReport report = CheckText(LevelText().Text());
  EXPECT_TRUE(report.problems.empty()) << report.problems.front();
  EXPECT_TRUE(report.hasMove);
}

TEST_F(LevelCheckTest, StartingLinesAreCaught) {
  LevelText level;
  // Every arrow a blue one pointing right: each row is a line of ten.
  level.data = "LevelData = " + Board("01010101010101010101") + "\n";
  LevelReport report = CheckText(level.Text());
  EXPECT_TRUE(Mentions(report, "complete line"));
  EXPECT_EQ(report.lineCells, 100);

  // One vertical line of three green arrows pointing up in an otherwise calm board.
  std::string data = GoodBoard();
  for (int y = 4; y <= 6; ++y) data.replace(static_cast<size_t>(y * 20 + 8), 2, "30");
  level.data = "LevelData = " + data + "\n";
  report = CheckText(level.Text());
  EXPECT_TRUE(Mentions(report, "complete line"));
  EXPECT_EQ(report.lineCells, 3);
}

TEST_F(LevelCheckTest, ABoardWithoutAMoveIsCaught) {
  LevelText level;
  level.data = "LevelData = " + StuckBoard() + "\n";
  LevelReport report = CheckText(level.Text());
  EXPECT_FALSE(report.hasMove);
  EXPECT_TRUE(Mentions(report, "without a move"));
  EXPECT_EQ(report.lineCells, 0);

  // No arrows never start a move of their own, even three side by side.
  std::string data = StuckBoard();
  data.replace(0, 6, "803180");
  level.data = "LevelData = " + data + "\n";
  EXPECT_FALSE(CheckText(level.Text()).hasMove);
}

TEST_F(LevelCheckTest, MissingKeysAndBadValuesAreCaught) {
  std::string badDirection = GoodBoard();
  badDirection[51] = '7';  // a direction digit out of range
  std::string noWeights;
  for (int k = 0; k < 9; ++k) {
    noWeights += "Association_" + std::to_string(k) + "_priority = 0\n";
  }
  struct Fault {
    std::function<void(LevelText&)> make;
    std::string message;
  };
  const std::vector<Fault> faults = {
      {[](LevelText& l) { l.time = ""; }, "no \"Time\""},
      {[](LevelText& l) { l.letters = ""; }, "no \"LetterProbability\""},
      {[](LevelText& l) { l.time = "Time = 0\n"; }, "\"Time\" is not positive"},
      {[](LevelText& l) { l.blocks = "Blocks = 0\n"; }, "does not load"},
      {[&](LevelText& l) { l.weights = noWeights; }, "does not load"},
      {[](LevelText& l) { l.weights.replace(l.weights.find("= 0\n"), 4, "= -5\n"); },
       "does not load"},
      {[](LevelText& l) { l.data = "LevelData = 0101\n"; }, "does not load"},
      {[&](LevelText& l) { l.data = "LevelData = " + badDirection + "\n"; }, "does not load"},
  };
  for (size_t i = 0; i < faults.size(); ++i) {
    LevelText level;
    faults[i].make(level);
    EXPECT_TRUE(Mentions(CheckText(level.Text()), faults[i].message))
        << "fault " << i << ": " << faults[i].message;
  }
}

TEST_F(LevelCheckTest, TheFileMustHoldTheExpectedLevelsInSequence) {
  LevelText one, two, four;
  two.name = "2";
  four.name = "4";  // after a gap: the game never reaches it
  std::vector<std::string> problems;
  std::vector<LevelReport> reports =
      CheckLevelsFile(Write(one.Text() + two.Text() + four.Text()), 3, &problems);
  EXPECT_EQ(reports.size(), 2u);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_NE(problems[0].find("holds 2 levels, expected 3"), std::string::npos);

  problems.clear();
  CheckLevelsFile(std::string(TAV_BINARY_DIR) + "/tests/no_such_levels.ini", 60, &problems);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_NE(problems[0].find("cannot open"), std::string::npos);
}

}  // namespace
}  // namespace tav
