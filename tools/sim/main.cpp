// tavrolith-sim: plays one level of a Levels.ini headless and prints the outcome as
// one JSON object. Exit status 0 after a run, 1 on a usage or script error, 2 when
// the level cannot be loaded. Errors and the game's warnings go to standard error;
// no log file is written.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "tools/sim/simulation.h"

namespace {

const char kUsage[] =
    "usage: tavrolith-sim --levels PATH --level NAME [--timed] [--seed N] [--dt SECONDS]\n"
    "                     [--seconds S] [--until-end] [--script FILE] [--bot greedy|casual] [--cps R]\n";

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  tav::SimOptions options;
  std::string error;
  if (!tav::ParseSimOptions(arguments, &options, &error)) {
    std::fprintf(stderr, "tavrolith-sim: %s\n%s", error.c_str(), kUsage);
    return tav::kSimUsageError;
  }
  std::vector<tav::ScriptedPress> presses;
  if (!options.scriptPath.empty()) {
    std::ifstream file(options.scriptPath, std::ios::binary);
    if (!file) {
      std::fprintf(stderr, "tavrolith-sim: cannot read the script %s\n",
                   options.scriptPath.c_str());
      return tav::kSimUsageError;
    }
    std::stringstream text;
    text << file.rdbuf();
    if (!tav::ParseScript(text.str(), &presses, &error)) {
      std::fprintf(stderr, "tavrolith-sim: %s: %s\n", options.scriptPath.c_str(), error.c_str());
      return tav::kSimUsageError;
    }
  }
  tav::SimResult result;
  tav::SimOutcome outcome = tav::RunSimulation(options, presses, &result, &error);
  if (outcome != tav::kSimOk) {
    std::fprintf(stderr, "tavrolith-sim: %s\n", error.c_str());
    return outcome;
  }
  std::string json = tav::SimResultJson(result);
  std::fwrite(json.data(), 1, json.size(), stdout);
  return 0;
}
