// The simulator: its options and scripts, press timing, the greedy bot, the casual
// player model, the report,
// and whole runs of the scenario levels.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "game_test_support.h"
#include "tools/sim/casual_bot.h"
#include "tools/sim/greedy_bot.h"
#include "tools/sim/json_writer.h"
#include "tools/sim/simulation.h"

namespace tav {
namespace {

const std::string kLevels = std::string(TAV_SOURCE_DIR) + "/tests/game/Levels.ini";

SimOptions Options(const std::string& level) {
  SimOptions options;
  options.levelsPath = kLevels;
  options.levelName = level;
  return options;
}

TEST(SimOptionsTest, ReadsEveryOptionAndRejectsBadValues) {
  SimOptions options;
  std::string error;
  ASSERT_TRUE(ParseSimOptions(
      {"--levels", "L.ini", "--level", "7", "--timed", "--seed", "42", "--dt", "0.02", "--seconds",
       "10", "--until-end", "--script", "s.txt", "--bot", "greedy", "--cps", "3"},
      &options, &error))
      << error;
  EXPECT_EQ(options.levelsPath, "L.ini");
  EXPECT_EQ(options.levelName, "7");
  EXPECT_TRUE(options.timed);
  EXPECT_EQ(options.seed, 42u);
  EXPECT_DOUBLE_EQ(options.frameTime, 0.02);
  EXPECT_DOUBLE_EQ(options.seconds, 10.0);
  EXPECT_TRUE(options.untilEnd);
  EXPECT_EQ(options.scriptPath, "s.txt");
  EXPECT_EQ(options.bot, SimBot::kGreedy);
  EXPECT_DOUBLE_EQ(options.clicksPerSecond, 3.0);

  ASSERT_TRUE(ParseSimOptions({"--levels", "L.ini", "--level", "7"}, &options, &error));
  EXPECT_FALSE(options.timed);
  EXPECT_EQ(options.seed, 1u);
  EXPECT_DOUBLE_EQ(options.frameTime, 1.0 / 60.0);
  EXPECT_DOUBLE_EQ(options.seconds, 60.0);
  EXPECT_DOUBLE_EQ(options.clicksPerSecond, 2.0);

  const std::vector<std::vector<std::string>> bad = {
      {"--level", "7"},
      {"--levels", "L.ini", "--level"},
      {"--levels", "L.ini", "--level", "7", "--dt", "0"},
      {"--levels", "L.ini", "--level", "7", "--dt", "0.5"},
      {"--levels", "L.ini", "--level", "7", "--seed", "-3"},
      {"--levels", "L.ini", "--level", "7", "--seconds", "ten"},
      {"--levels", "L.ini", "--level", "7", "--bot", "clever"},
      {"--levels", "L.ini", "--level", "7", "--cps", "0"},
      {"--levels", "L.ini", "--level", "7", "--fast"},
  };
  for (const auto& arguments : bad) {
    EXPECT_FALSE(ParseSimOptions(arguments, &options, &error)) << arguments.back();
    EXPECT_FALSE(error.empty());
  }
}

TEST(SimScriptTest, ParsesPressesWithCommentsInTimeOrder) {
  std::vector<ScriptedPress> presses;
  std::string error;
  ASSERT_TRUE(ParseScript("# opening\n2.5 R 300 100  # turn back\n\n1 L 275 125\n2.5 L 1 2\n",
                          &presses, &error))
      << error;
  ASSERT_EQ(presses.size(), 3u);
  EXPECT_DOUBLE_EQ(presses[0].time, 1.0);
  EXPECT_TRUE(presses[0].left);
  EXPECT_EQ(presses[0].x, 275);
  EXPECT_FALSE(presses[1].left);  // the same time keeps the file order
  EXPECT_EQ(presses[2].x, 1);

  const char* bad[] = {"1 M 2 3\n",  "1 L 2\n",     "x L 2 3\n",
                       "-1 L 2 3\n", "1 L 2 3 4\n", "1 L 2 1e30\n"};
  for (const char* text : bad) {
    EXPECT_FALSE(ParseScript(text, &presses, &error)) << text;
    EXPECT_NE(error.find("line 1"), std::string::npos);
  }
}

TEST(SimRunTest, ScriptedTurnCompletesTheScriptLevel) {
  SimOptions options = Options("Script");
  options.untilEnd = true;
  SimResult result;
  std::string error;
  ASSERT_EQ(RunSimulation(options, {{1.5, true, 275, 125}}, &result, &error), kSimOk) << error;
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.score, 100);
  EXPECT_EQ(result.blocksCleared, 3);
  EXPECT_EQ(result.clicks, 1);
  ASSERT_EQ(result.chains.size(), 1u);
  EXPECT_EQ(result.chains[0].n, 3);
  EXPECT_EQ(result.chains[0].x, 272);
  EXPECT_EQ(result.chains[0].y, 115);
  // The press lands in frame 90 (starting at 1.5 s) and the chain search of the
  // tenth frame after finds the line.
  ASSERT_GE(result.sounds.size(), 2u);
  EXPECT_EQ(result.sounds[1].name, "rotate.wav");
  EXPECT_EQ(result.sounds[1].frame, 90);
  EXPECT_EQ(result.chains[0].frame, 99);
  EXPECT_EQ(result.texts[0].text, "+100");
  EXPECT_EQ(result.sounds.back().name, "time.wav");
  EXPECT_TRUE(result.sounds.back().stop);
  EXPECT_EQ(result.frames - 1, result.sounds.back().frame + 45);  // 0.75 s later
}

TEST(SimRunTest, PressLandsInTheFirstFrameStartingAtOrAfterItsTime) {
  SimOptions options = Options("Script");
  options.frameTime = 0.04;
  options.seconds = 3.0;
  SimResult result;
  std::string error;
  ASSERT_EQ(RunSimulation(options, {{1.5, true, 275, 125}}, &result, &error), kSimOk);
  EXPECT_EQ(result.frames, 75);
  for (const SimSound& sound : result.sounds) {
    if (sound.name == "rotate.wav") {
      EXPECT_EQ(sound.frame, 38);  // 1.52 s
    }
  }
}

TEST(SimRunTest, SameSeedSameGameOtherSeedOtherRefill) {
  SimOptions options = Options("Meadow");
  options.bot = SimBot::kGreedy;
  options.seconds = 20.0;
  SimResult first, second, third;
  std::string error;
  RunSimulation(options, {}, &first, &error);
  RunSimulation(options, {}, &second, &error);
  options.seed = 2;
  RunSimulation(options, {}, &third, &error);
  EXPECT_EQ(SimResultJson(first), SimResultJson(second));
  EXPECT_NE(first.board, third.board);
}

TEST(SimRunTest, GreedyBotFinishesAPlayableLevelWithinItsClickRate) {
  SimOptions options = Options("Meadow");
  options.bot = SimBot::kGreedy;
  options.untilEnd = true;
  options.seconds = 120.0;
  options.clicksPerSecond = 2.0;
  SimResult result;
  std::string error;
  ASSERT_EQ(RunSimulation(options, {}, &result, &error), kSimOk);
  EXPECT_EQ(result.status, 1);
  EXPECT_GE(result.blocksCleared, result.blocksTarget);
  EXPECT_LE(result.clicks, static_cast<int>(result.seconds * 2.0) + 1);
  EXPECT_FALSE(result.chains.empty());
}

TEST(SimRunTest, StuckTimedLevelReportsExtraBonusAndStuckClassicLevelEnds) {
  SimOptions options = Options("Stuck");
  options.timed = true;
  options.seconds = 9.0;
  SimResult result;
  std::string error;
  ASSERT_EQ(RunSimulation(options, {}, &result, &error), kSimOk);
  ASSERT_FALSE(result.texts.empty());
  EXPECT_EQ(result.texts[0].text, "Extra Bonus");
  EXPECT_EQ(result.blocksCleared, -10);
  EXPECT_EQ(result.status, 0);

  options.timed = false;
  options.untilEnd = true;
  ASSERT_EQ(RunSimulation(options, {}, &result, &error), kSimOk);
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.timeText, "---");
}

TEST(SimRunTest, BrokenOrMissingLevelFailsToLoad) {
  SimResult result;
  std::string error;
  EXPECT_EQ(RunSimulation(Options("Short"), {}, &result, &error), kSimLoadFailed);
  EXPECT_NE(error.find("Short"), std::string::npos);
  EXPECT_EQ(RunSimulation(Options("Nowhere"), {}, &result, &error), kSimLoadFailed);
}

TEST(SimRunTest, WarningsGoToStandardErrorAndNoLogFileIsLeftWhereItRuns) {
  namespace fs = std::filesystem;
  const fs::path directory = fs::path(TAV_BINARY_DIR) / "tests" / "sim_working_directory";
  fs::remove_all(directory);
  fs::create_directories(directory);
  const fs::path previous = fs::current_path();
  fs::current_path(directory);
  ::testing::internal::CaptureStderr();
  SimResult result;
  std::string error;
  SimOutcome outcome = RunSimulation(Options("Short"), {}, &result, &error);
  std::string printed = ::testing::internal::GetCapturedStderr();
  fs::current_path(previous);
  EXPECT_EQ(outcome, kSimLoadFailed);
  EXPECT_FALSE(fs::exists(directory / "log.txt"));
  EXPECT_NE(printed.find("WARNING: level \"Short\" not loaded"), std::string::npos) << printed;
}

TEST(SimRunTest, BoardShowsDeadCellsAsDashesUntilTheRefill) {
  // The Script line (column 0, rows 0 to 2, pointing up) is found in frame 99 and
  // explodes from the bottom, 0.15 s apart; each piece dies 0.4 s after exploding
  // and the refill waits for the last one. Stopped in between, the bottom piece is
  // dead and the two above it still hold their cells.
  SimOptions options = Options("Script");
  options.seconds = 132.0 / 60.0;
  SimResult result;
  std::string error;
  ASSERT_EQ(RunSimulation(options, {{1.5, true, 275, 125}}, &result, &error), kSimOk) << error;
  ASSERT_EQ(result.board.size(), 200u);
  EXPECT_EQ(result.board.substr(0, 2), "--");
  EXPECT_EQ(result.board.substr(20, 2), "10");
  EXPECT_EQ(result.board.substr(40, 2), "10");
  EXPECT_EQ(result.board.find("--", 2), std::string::npos);
}

TEST(SimReportTest, JsonCarriesTheFieldsAndEscapesTexts) {
  SimResult result;
  result.level = "say \"hi\"\\";
  result.board = std::string(200, '-');
  result.sounds.push_back({3, "time.wav", true});
  result.chains.push_back({7, 4, 300, 200, 200});
  std::string json = SimResultJson(result);
  EXPECT_NE(json.find("\"level\": \"say \\\"hi\\\"\\\\\""), std::string::npos);
  EXPECT_NE(json.find("{\"frame\": 3, \"name\": \"time.wav\", \"stop\": true}"), std::string::npos);
  EXPECT_NE(json.find("{\"frame\": 7, \"n\": 4, \"x\": 300, \"y\": 200, \"points\": 200}"),
            std::string::npos);
  for (const char* key :
       {"timed", "seed", "frames", "seconds", "status", "score", "displayedScore", "blocksCleared",
        "blocksTarget", "elapsed", "timeText", "levelText", "clicks", "board", "texts"}) {
    EXPECT_NE(json.find(std::string("\"") + key + "\": "), std::string::npos) << key;
  }
  EXPECT_EQ(JsonNumber(0.5), "0.5");
  EXPECT_EQ(JsonNumber(3.0), "3");
}

using GreedyBotTest = GameTest;

TEST_F(GreedyBotTest, PrefersTheLongestLineThenTheLowestCell) {
  MakeQuietBoard();
  // A red line of three in column 7 waits for (7, 4) to turn up (one left press
  // from left).
  Put(7, 2, kRedArrow, kUp);
  Put(7, 3, kRedArrow, kUp);
  Put(7, 4, kRedArrow, kLeft);
  // Lower, a blue line of two waits for (0, 0) to be turned up: shorter.
  Put(0, 1, kBlueArrow, kUp);
  Put(0, 0, kBlueArrow, kRight);
  BotMove move = ChooseGreedyMove(*board);
  ASSERT_TRUE(move.found);
  EXPECT_EQ(move.column, 7);
  EXPECT_EQ(move.row, 4);
  EXPECT_TRUE(move.left);
  EXPECT_EQ(move.lineLength, 3);

  // A second line of three lower on the board wins the tie; it needs a right press.
  Put(2, 1, kGreenArrow, kRight);
  Put(3, 1, kGreenArrow, kDown);
  Put(4, 1, kGreenArrow, kRight);
  move = ChooseGreedyMove(*board);
  EXPECT_EQ(move.column, 3);
  EXPECT_EQ(move.row, 1);
  EXPECT_FALSE(move.left);
}

TEST_F(GreedyBotTest, LeavesFallingAndMarkedPiecesAlone) {
  MakeQuietBoard();
  Put(7, 2, kRedArrow, kUp);
  Put(7, 3, kRedArrow, kUp);
  Piece& turn = Put(7, 4, kRedArrow, kLeft);
  turn.SetFallHeight(30.0f);
  EXPECT_FALSE(ChooseGreedyMove(*board).found && ChooseGreedyMove(*board).row == 4);
  turn.SetFallHeight(0.0f);
  turn.Mark(5.0f);
  BotMove move = ChooseGreedyMove(*board);
  EXPECT_FALSE(move.found && move.column == 7 && move.row == 4);
}

using CasualPlayerTest = GameTest;

// A red line of three waits for (7, 4) to turn up; a blue line of four in row 6,
// walled off by no-arrow pieces, waits for (2, 6) to turn right. Over many decisions
// the player picks a line only when it saw every cell of it, takes the longer line
// about twice as often, and wastes about one turn in five.
TEST_F(CasualPlayerTest, ChoosesOnlyWhatItSawAndPrefersLongerLines) {
  MakeQuietBoard();
  Put(7, 2, kRedArrow, kUp);
  Put(7, 3, kRedArrow, kUp);
  Put(7, 4, kRedArrow, kLeft);
  Put(0, 6, kNoArrow, kUp);
  Put(1, 6, kBlueArrow, kRight);
  Put(2, 6, kBlueArrow, kUp);
  Put(3, 6, kBlueArrow, kRight);
  Put(4, 6, kBlueArrow, kRight);
  Put(5, 6, kNoArrow, kUp);

  CasualPlayer player(3);
  int withLineSeen = 0, aimless = 0, bothSeen = 0, longerChosen = 0;
  for (int i = 0; i < 10000; ++i) {
    BotMove move = player.Choose(*board);
    const SeenCells& seen = player.Seen();
    auto saw = [&](int x, int y) { return seen.test(x + 10 * y); };
    ASSERT_TRUE(move.found);
    ASSERT_TRUE(saw(move.column, move.row));
    bool red = saw(7, 2) && saw(7, 3) && saw(7, 4);
    bool blue4 = saw(1, 6) && saw(2, 6) && saw(3, 6) && saw(4, 6);
    bool blue = blue4 || (saw(2, 6) && saw(3, 6) && (saw(1, 6) || saw(4, 6)));
    bool choseRed = move.column == 7 && move.row == 4 && move.lineLength >= 3;
    bool choseBlue = move.column == 2 && move.row == 6 && move.lineLength >= 3;
    ASSERT_EQ(move.lineLength >= 3, choseRed || choseBlue);
    ASSERT_TRUE(!choseRed || (red && move.left && move.lineLength == 3));
    ASSERT_TRUE(!choseBlue || (blue && move.lineLength == (blue4 ? 4 : 3)));
    if (red || blue) {
      ++withLineSeen;
      if (move.lineLength < 3) ++aimless;
    }
    if (red && blue4 && move.lineLength >= 3) {
      ++bothSeen;
      if (choseBlue) ++longerChosen;
    }
  }
  ASSERT_GT(withLineSeen, 3000);
  EXPECT_NEAR(static_cast<double>(aimless) / withLineSeen, kCasualPlayer.aimlessShare, 0.04);
  ASSERT_GT(bothSeen, 100);
  EXPECT_NEAR(static_cast<double>(longerChosen) / bothSeen, 2.0 / 3.0, 0.08);
}

// Log-normal think times: median 1.5 s, about nine in ten between 0.7 s and 4 s
// (the normal distribution gives 0.912 for a spread of 0.5).
TEST(CasualThinkTimeTest, FollowsTheStatedDistribution) {
  CasualPlayer player(11);
  std::vector<double> times;
  for (int i = 0; i < 20000; ++i) times.push_back(player.DrawThinkTime());
  std::sort(times.begin(), times.end());
  EXPECT_NEAR(times[times.size() / 2], 1.5, 0.03);
  auto share = [&](double low, double high) {
    return static_cast<double>(std::count_if(times.begin(), times.end(),
                                              [&](double t) { return t >= low && t < high; })) /
           times.size();
  };
  EXPECT_NEAR(share(0.7, 4.0), 0.912, 0.01);
  EXPECT_NEAR(share(0.0, 0.7), 0.064, 0.008);
  EXPECT_GT(times.front(), 0.0);
}

// The same seed plays the same game, press for press; another seed another one.
// Its presses come at most two a second and, with the thinking, far fewer.
TEST(SimRunTest, CasualPlayerIsDeterministicPerSeedAndThinksBetweenMoves) {
  SimOptions options = Options("Meadow");
  options.bot = SimBot::kCasual;
  options.seconds = 60.0;
  SimResult first, second, third;
  std::string error;
  ASSERT_EQ(RunSimulation(options, {}, &first, &error), kSimOk);
  RunSimulation(options, {}, &second, &error);
  options.seed = 2;
  RunSimulation(options, {}, &third, &error);
  EXPECT_EQ(SimResultJson(first), SimResultJson(second));
  EXPECT_NE(first.board, third.board);
  EXPECT_FALSE(first.chains.empty());
  EXPECT_GT(first.clicks, 10);
  EXPECT_LT(first.clicks, static_cast<int>(first.seconds / 1.5));
}

}  // namespace
}  // namespace tav
