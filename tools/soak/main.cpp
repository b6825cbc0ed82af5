// tavrolith-soak: runs the real game headless in a game folder for a given amount of
// game time, played by the soak player, and prints how memory, the effect pools, the
// texture catalogue and the shown windows developed, and the ERROR lines of log.txt.
//   tavrolith-soak --folder GAME_FOLDER [--seconds S] [--frame-time T] [--seed N]
//                  [--data DATA_DIR] [--options-every S] [--trace]
// With --data, GAME_FOLDER is made afresh with a Data/ folder whose data.pkg,
// Textures.ini, Levels.ini and Audio/ link to those of DATA_DIR (the built game's).
// Exit status 0 when the run ended normally and the log holds no ERROR line.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/main_loop.h"
#include "audio/recording_audio_device.h"
#include "audio/sound_manager.h"
#include "base/log.h"
#include "platform/headless/headless_platform.h"
#include "render/recording_renderer.h"
#include "tools/soak/soak_player.h"

int main(int argc, char** argv) {
  std::string folder;
  double seconds = 300.0;
  double frameTime = 1.0 / 60.0;
  uint32_t seed = 1;
  bool trace = false;
  double optionsInterval = 300.0;
  std::string dataDir;
  for (int i = 1; i < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--trace") {
      trace = true;
      --i;
    } else if (i + 1 >= argc) {
      folder.clear();
      break;
    } else if (option == "--folder") folder = argv[i + 1];
    else if (option == "--seconds") seconds = std::atof(argv[i + 1]);
    else if (option == "--frame-time") frameTime = std::atof(argv[i + 1]);
    else if (option == "--data") dataDir = argv[i + 1];
    else if (option == "--options-every") optionsInterval = std::atof(argv[i + 1]);
    else if (option == "--seed") seed = static_cast<uint32_t>(std::strtoul(argv[i + 1], nullptr, 10));
    else {
      std::fprintf(stderr, "unknown option %s\n", option.c_str());
      return 2;
    }
  }
  if (folder.empty() || seconds <= 0 || frameTime <= 0 || frameTime > 0.05) {
    std::fprintf(stderr,
                 "usage: tavrolith-soak --folder GAME_FOLDER [--seconds S] [--frame-time T]"
                 " [--seed N] [--data DATA_DIR] [--options-every S] [--trace]\n");
    return 2;
  }
  if (!dataDir.empty()) {
    namespace fs = std::filesystem;
    std::error_code failed;
    fs::remove_all(folder, failed);
    fs::create_directories(fs::path(folder) / "Data", failed);
    for (const char* name : {"data.pkg", "Textures.ini", "Levels.ini", "Audio"}) {
      fs::create_symlink(fs::absolute(fs::path(dataDir) / name), fs::path(folder) / "Data" / name,
                         failed);
      if (failed) {
        std::fprintf(stderr, "cannot link %s into %s: %s\n", name, folder.c_str(),
                     failed.message().c_str());
        return 2;
      }
    }
  }

  tav::HeadlessPlatform platform;
  platform.PushActivate(false);
  platform.PushFocus(true);
  tav::RecordingAudioDevice audio;
  tav::SoundManager::Instance().SetDevice(&audio);
  const std::vector<tav::RendererFactory> renderers = {
      [] { return std::make_unique<tav::RecordingRenderer>(); }};
  tav::SoakPlayer player(platform, audio, seconds, frameTime, seed);
  player.SetTrace(trace);
  player.SetOptionsInterval(optionsInterval);
  const long startRss = tav::CurrentRssKb();
  tav::RunMainLoop(platform, renderers, player, folder);
  tav::SoundManager::Instance().SetDevice(nullptr);

  const tav::SoakReport& report = player.Report();
  std::printf("game time %.0f s in %llu frames; levels started %d, completed %d, game overs %d,"
              " scores entered %d, options visits %d\n",
              report.gameSeconds, static_cast<unsigned long long>(report.frames),
              report.levelsStarted, report.levelsCompleted, report.gameOvers,
              report.scoresEntered, report.optionsVisits);
  std::printf("RSS before start-up %ld kB, peak %ld kB\n", startRss, report.peakRssKb);
  std::printf("%10s %10s %10s %8s %9s %8s %9s %7s\n", "game s", "RSS kB", "particles", "texts",
              "textures", "windows", "handlers", "sounds");
  for (const tav::SoakSample& sample : report.samples) {
    std::printf("%10.0f %10ld %10d %8d %9zu %8zu %9zu %7zu\n", sample.gameSeconds, sample.rssKb,
                sample.particles, sample.floatingTexts, sample.textures, sample.windowsShown,
                sample.handlers, sample.sounds);
  }
  int errors = 0;
  std::ifstream log(folder + "/log.txt");
  for (std::string line; std::getline(log, line);) {
    if (line.find("ERROR") != std::string::npos) {
      ++errors;
      std::printf("log: %s\n", line.c_str());
    }
  }
  std::printf("ERROR lines in log.txt: %d\n", errors);
  const bool played = report.gameSeconds >= seconds && report.levelsStarted > 0;
  if (!played) std::printf("the run ended early or never reached a level\n");
  const std::string leak = tav::SoakBoundsProblem(report);
  if (!leak.empty()) std::printf("LEAK: %s\n", leak.c_str());
  return errors == 0 && played && leak.empty() ? 0 : 1;
}
