// One headless play of a level on the real game core: the options of tavrolith-sim,
// the run, and its JSON report.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/sim/sim_script.h"

namespace tav {

// Who presses: the script alone, the greedy expert, or the casual player model.
enum class SimBot { kNone, kGreedy, kCasual };

struct SimOptions {
  std::string levelsPath;
  std::string levelName;
  bool timed = false;
  uint64_t seed = 1;
  double frameTime = 1.0 / 60.0;
  double seconds = 60.0;
  bool untilEnd = false;
  std::string scriptPath;
  SimBot bot = SimBot::kNone;
  double clicksPerSecond = 2.0;  // the greedy bot's pace; the casual player keeps its own
};

// Reads the command line (without the program name). False, with `error`, on an
// unknown option, a missing or malformed value, or a missing --levels / --level.
bool ParseSimOptions(const std::vector<std::string>& arguments, SimOptions* options,
                     std::string* error);

struct SimChain {
  int frame = 0, n = 0, x = 0, y = 0, points = 0;
};
struct SimSound {
  int frame = 0;
  std::string name;
  bool stop = false;
};
struct SimText {
  int frame = 0;
  std::string text;
  float x = 0, y = 0;
};

// The blocks cleared so far, from the frame it changed.
struct SimProgress {
  int frame = 0, blocks = 0;
};

struct SimResult {
  std::string level;
  bool timed = false;
  uint64_t seed = 0;
  int frames = 0;
  double seconds = 0.0;
  int status = 0;
  int score = 0;
  int displayedScore = 0;
  int blocksCleared = 0;
  int blocksTarget = 0;
  float elapsed = 0.0f;
  std::string timeText;
  std::string levelText;
  int clicks = 0;
  std::string board;  // 200 characters, "LevelData" layout, "--" for an empty or dead cell
  std::vector<SimChain> chains;
  std::vector<SimSound> sounds;
  std::vector<SimText> texts;
  std::vector<SimProgress> progress;
};

enum SimOutcome { kSimOk = 0, kSimUsageError = 1, kSimLoadFailed = 2 };

// Plays the level. `presses` are the scripted presses (may be empty). On a level
// that fails to load returns kSimLoadFailed with `error` set.
SimOutcome RunSimulation(const SimOptions& options, const std::vector<ScriptedPress>& presses,
                         SimResult* result, std::string* error);

std::string SimResultJson(const SimResult& result);

}  // namespace tav
