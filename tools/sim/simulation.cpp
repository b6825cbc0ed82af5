// The simulator's run: the real board driven frame by frame as the game window
// drives it, with presses from a script or the greedy bot, and the JSON report.
#include "tools/sim/simulation.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "game/board.h"
#include "game/click_record.h"
#include "game/game_clock.h"
#include "game/game_sound.h"
#include "game/presentation.h"
#include "game/random_source.h"
#include "game/score_store.h"
#include "tools/sim/casual_bot.h"
#include "tools/sim/greedy_bot.h"
#include "tools/sim/json_writer.h"

namespace tav {
namespace {

// Frame start times are compared with this tolerance so that a press at 0.5 s
// lands in frame 30 of a 60 Hz run despite rounding in 30 * (1 / 60).
constexpr double kTimeTolerance = 1e-9;

// The longest frame the game's frame clock ever hands out.
constexpr double kMaxFrameTime = 0.05;

bool ParseDouble(const std::string& text, double* value) {
  char* end = nullptr;
  *value = std::strtod(text.c_str(), &end);
  return !text.empty() && end == text.c_str() + text.size() && std::isfinite(*value);
}

bool ParseSeed(const std::string& text, uint64_t* value) {
  if (text.empty() || text[0] == '-') return false;
  char* end = nullptr;
  errno = 0;
  unsigned long long parsed = std::strtoull(text.c_str(), &end, 10);
  if (errno != 0 || end != text.c_str() + text.size()) return false;
  *value = parsed;
  return true;
}

class FrameTaggedSound : public GameSound {
 public:
  FrameTaggedSound(const int* frame, std::vector<SimSound>* out) : frame_(frame), out_(out) {}
  void Play(const std::string& name) override { out_->push_back({*frame_, name, false}); }
  void Stop(const std::string& name) override { out_->push_back({*frame_, name, true}); }

 private:
  const int* frame_;
  std::vector<SimSound>* out_;
};

class FrameTaggedTexts : public SilentPresentation {
 public:
  FrameTaggedTexts(const int* frame, std::vector<SimText>* out) : frame_(frame), out_(out) {}
  void AddText(const GameText& text) override {
    out_->push_back({*frame_, text.text, text.x, text.y});
  }

 private:
  const int* frame_;
  std::vector<SimText>* out_;
};

// The simulator keeps no log file: the game's warnings go to standard error, so a
// run never leaves a log.txt behind in the directory it was started from.
void PrintWarning(const std::string& text) {
  std::fprintf(stderr, "tavrolith-sim: %s", text.c_str());
}

// Installs the simulator's clock, random source, sound, presentation and warning
// output for one run and restores the defaults afterwards.
class InstalledServices {
 public:
  InstalledServices(GameClock* clock, RandomSource* random, GameSound* sound,
                    Presentation* presentation) {
    SetGameClock(clock);
    SetRandomSource(random);
    SetGameSound(sound);
    SetPresentation(presentation);
    SetWarningSink(PrintWarning);
  }
  ~InstalledServices() {
    SetGameClock(nullptr);
    SetRandomSource(nullptr);
    SetGameSound(nullptr);
    SetPresentation(nullptr);
    SetWarningSink(nullptr);
  }
};

std::string BoardText(const Board& board) {
  std::string text;
  for (int y = 0; y < Board::kSize; ++y) {
    for (int x = 0; x < Board::kSize; ++x) {
      const Piece* piece = board.PieceAt(x, y);
      if (!piece || !piece->IsAlive()) {
        text += "--";
      } else {
        text += static_cast<char>('0' + piece->Kind());
        text += static_cast<char>('0' + piece->Direction());
      }
    }
  }
  return text;
}

}  // namespace

bool ParseSimOptions(const std::vector<std::string>& arguments, SimOptions* options,
                     std::string* error) {
  *options = SimOptions();
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& option = arguments[i];
    auto value = [&](std::string* out) {
      if (i + 1 >= arguments.size()) {
        *error = option + " needs a value";
        return false;
      }
      *out = arguments[++i];
      return true;
    };
    std::string text;
    if (option == "--timed") {
      options->timed = true;
    } else if (option == "--until-end") {
      options->untilEnd = true;
    } else if (option == "--levels") {
      if (!value(&options->levelsPath)) return false;
    } else if (option == "--level") {
      if (!value(&options->levelName)) return false;
    } else if (option == "--script") {
      if (!value(&options->scriptPath)) return false;
    } else if (option == "--seed") {
      if (!value(&text)) return false;
      if (!ParseSeed(text, &options->seed)) {
        *error = "--seed takes a non-negative integer";
        return false;
      }
    } else if (option == "--dt") {
      if (!value(&text)) return false;
      if (!ParseDouble(text, &options->frameTime) || options->frameTime <= 0.0 ||
          options->frameTime > kMaxFrameTime) {
        *error = "--dt takes seconds above 0 and at most 0.05, the longest game frame";
        return false;
      }
    } else if (option == "--seconds") {
      if (!value(&text)) return false;
      if (!ParseDouble(text, &options->seconds) || options->seconds < 0.0 ||
          options->seconds > 1e6) {
        *error = "--seconds takes a number of seconds from 0 to 1000000";
        return false;
      }
    } else if (option == "--bot") {
      if (!value(&text)) return false;
      if (text == "greedy") {
        options->bot = SimBot::kGreedy;
      } else if (text == "casual") {
        options->bot = SimBot::kCasual;
      } else {
        *error = "--bot knows \"greedy\" and \"casual\"";
        return false;
      }
    } else if (option == "--cps") {
      if (!value(&text)) return false;
      if (!ParseDouble(text, &options->clicksPerSecond) || options->clicksPerSecond <= 0.0) {
        *error = "--cps takes a positive number of clicks per second";
        return false;
      }
    } else {
      *error = "unknown option " + option;
      return false;
    }
  }
  if (options->levelsPath.empty() || options->levelName.empty()) {
    *error = "--levels and --level are required";
    return false;
  }
  return true;
}

SimOutcome RunSimulation(const SimOptions& options, const std::vector<ScriptedPress>& presses,
                         SimResult* result, std::string* error) {
  *result = SimResult();
  result->level = options.levelName;
  result->timed = options.timed;
  result->seed = options.seed;

  int frame = 0;
  FixedStepClock clock(static_cast<float>(options.frameTime));
  SeededRandom random(options.seed);
  FrameTaggedSound sound(&frame, &result->sounds);
  FrameTaggedTexts texts(&frame, &result->texts);
  InstalledServices services(&clock, &random, &sound, &texts);
  ResetGameStateForTests();

  Board board;
  if (!board.LoadLevelFromFile(options.levelsPath, options.levelName, options.timed)) {
    *error = "level \"" + options.levelName + "\" not loaded from " + options.levelsPath + ": " +
             board.LoadFault();
    return kSimLoadFailed;
  }
  board.onChain = [&](const ChainReport& chain) {
    result->chains.push_back({frame, chain.n, chain.x, chain.y, chain.points});
  };

  size_t nextPress = 0;
  double nextBotTime = 0.0;
  CasualPlayer casual(options.seed);
  // A bot's press at the centre of a cell, in game coordinates.
  auto press = [&](const BotPress& p) {
    int x = 275 + 50 * p.column;
    int y = 75 + 50 * p.row;
    if (p.left) {
      Clicks().RecordLeft(x, y);
    } else {
      Clicks().RecordRight(x, y);
    }
    ++result->clicks;
  };
  int lastBlocks = 0;
  int status = 0;
  for (frame = 0;; ++frame) {
    double start = static_cast<double>(frame) * options.frameTime;
    if (start >= options.seconds - kTimeTolerance) break;
    while (nextPress < presses.size() && presses[nextPress].time <= start + kTimeTolerance) {
      const ScriptedPress& press = presses[nextPress++];
      if (press.left) {
        Clicks().RecordLeft(press.x, press.y);
      } else {
        Clicks().RecordRight(press.x, press.y);
      }
      ++result->clicks;
    }
    if (options.bot == SimBot::kGreedy && start + kTimeTolerance >= nextBotTime) {
      BotMove move = ChooseGreedyMove(board);
      if (move.found) {
        press({move.column, move.row, move.left});
        nextBotTime = start + 1.0 / options.clicksPerSecond;
      }
    }
    BotPress casualPress;
    if (options.bot == SimBot::kCasual && casual.Act(board, start + kTimeTolerance, &casualPress)) {
      press(casualPress);
    }
    board.Frame();
    status = board.Status();
    if (board.BlocksCleared() != lastBlocks) {
      lastBlocks = board.BlocksCleared();
      result->progress.push_back({frame, lastBlocks});
    }
    Clicks().Clear();
    clock.AdvanceFrame();
    result->frames = frame + 1;
    if (options.untilEnd && status != 0) break;
  }

  result->seconds = static_cast<double>(result->frames) * options.frameTime;
  result->status = status;
  result->score = Scores().GetScore();
  result->displayedScore = Scores().GetDisplayedScore();
  result->blocksCleared = board.BlocksCleared();
  result->blocksTarget = board.BlocksTarget();
  result->elapsed = board.Elapsed();
  result->timeText = board.TimeText();
  result->levelText = board.LevelText();
  result->board = BoardText(board);
  return kSimOk;
}

std::string SimResultJson(const SimResult& r) {
  std::string out = "{";
  auto field = [&](const char* name, const std::string& value) {
    if (out.size() > 1) out += ",\n ";
    out += JsonString(name) + ": " + value;
  };
  field("level", JsonString(r.level));
  field("timed", r.timed ? "true" : "false");
  field("seed", std::to_string(r.seed));
  field("frames", std::to_string(r.frames));
  field("seconds", JsonNumber(r.seconds));
  field("status", std::to_string(r.status));
  field("score", std::to_string(r.score));
  field("displayedScore", std::to_string(r.displayedScore));
  field("blocksCleared", std::to_string(r.blocksCleared));
  field("blocksTarget", std::to_string(r.blocksTarget));
  field("elapsed", JsonNumber(r.elapsed));
  field("timeText", JsonString(r.timeText));
  field("levelText", JsonString(r.levelText));
  field("clicks", std::to_string(r.clicks));
  field("board", JsonString(r.board));

  std::string list = "[";
  for (const SimChain& c : r.chains) {
    if (list.size() > 1) list += ",";
    list += "\n  {\"frame\": " + std::to_string(c.frame) + ", \"n\": " + std::to_string(c.n) +
            ", \"x\": " + std::to_string(c.x) + ", \"y\": " + std::to_string(c.y) +
            ", \"points\": " + std::to_string(c.points) + "}";
  }
  field("chains", list + "]");

  list = "[";
  for (const SimSound& s : r.sounds) {
    if (list.size() > 1) list += ",";
    list += "\n  {\"frame\": " + std::to_string(s.frame) + ", \"name\": " + JsonString(s.name) +
            (s.stop ? ", \"stop\": true}" : "}");
  }
  field("sounds", list + "]");

  list = "[";
  for (const SimText& t : r.texts) {
    if (list.size() > 1) list += ",";
    list += "\n  {\"frame\": " + std::to_string(t.frame) + ", \"text\": " + JsonString(t.text) +
            ", \"x\": " + JsonNumber(t.x) + ", \"y\": " + JsonNumber(t.y) + "}";
  }
  field("texts", list + "]");

  list = "[";
  for (const SimProgress& p : r.progress) {
    if (list.size() > 1) list += ", ";
    list += "[" + std::to_string(p.frame) + ", " + std::to_string(p.blocks) + "]";
  }
  field("progress", list + "]");
  return out + "}\n";
}

}  // namespace tav
