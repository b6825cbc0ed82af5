// levelcheck: checks every level of a Levels.ini and prints one line per level.
//   levelcheck [--count N] PATH
// Exits 0 when every level is good, 1 when any is not, 2 on a usage error.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/levelcheck/level_check.h"

int main(int argc, char** argv) {
  std::string path;
  int expectedCount = 0;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--count" && i + 1 < argc) {
      expectedCount = std::atoi(argv[++i]);
    } else if (!arg.empty() && arg[0] != '-' && path.empty()) {
      path = arg;
    } else {
      std::fprintf(stderr, "usage: levelcheck [--count N] Levels.ini\n");
      return 2;
    }
  }
  if (path.empty()) {
    std::fprintf(stderr, "usage: levelcheck [--count N] Levels.ini\n");
    return 2;
  }
  std::vector<std::string> fileProblems;
  std::vector<tav::LevelReport> reports = tav::CheckLevelsFile(path, expectedCount, &fileProblems);
  int bad = 0;
  for (const tav::LevelReport& report : reports) {
    if (report.problems.empty()) {
      std::printf("level %s: ok\n", report.name.c_str());
      continue;
    }
    ++bad;
    for (const std::string& problem : report.problems) {
      std::printf("level %s: %s\n", report.name.c_str(), problem.c_str());
    }
  }
  for (const std::string& problem : fileProblems) {
    std::printf("%s: %s\n", path.c_str(), problem.c_str());
  }
  std::printf("%zu levels checked, %d with problems\n", reports.size(), bad);
  return (bad == 0 && fileProblems.empty()) ? 0 : 1;
}
