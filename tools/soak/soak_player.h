// A player for long unattended runs of the real game: wraps the game's application
// controller inside the real main loop on the headless platform, advances the clock
// by a fixed step per frame, and plays like a person would: through the menu into
// levels of both modes in turn, turning arrows the simulator's greedy bot picks,
// through level-complete scrolls, game overs, high-score entries and, now and then,
// the options dialog. It samples the memory and the pools as it goes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/application.h"
#include "platform/headless/headless_platform.h"

namespace tav {

class RecordingAudioDevice;
class Window;

struct SoakSample {
  double gameSeconds = 0;
  long rssKb = 0;
  int particles = 0;
  int floatingTexts = 0;
  size_t textures = 0;
  size_t windowsShown = 0;
  size_t handlers = 0;
  size_t sounds = 0;  // effects and music loaded
};

struct SoakReport {
  double gameSeconds = 0;
  uint64_t frames = 0;
  int levelsStarted = 0;
  int levelsCompleted = 0;
  int gameOvers = 0;
  int scoresEntered = 0;
  int optionsVisits = 0;
  long peakRssKb = 0;
  std::vector<SoakSample> samples;
};

class SoakPlayer : public Application {
 public:
  // Plays for `gameSeconds` of game time at `frameTime` seconds per frame, then
  // leaves through the quit request, as the close button does. The recordings of
  // `audio` are dropped every frame so that they do not count as the game's memory.
  SoakPlayer(HeadlessPlatform& platform, RecordingAudioDevice& audio, double gameSeconds,
             double frameTime, uint32_t seed);
  ~SoakPlayer() override;

  void SetUp() override;
  void FrameStep() override;
  void TearDown() override;
  void OnLeftButtonDown() override;
  void OnLeftButtonUp() override;
  void OnRightButtonDown() override;
  void OnRightButtonUp() override;
  void OnChar(int code, int keyData) override;

  const SoakReport& Report() const { return report_; }
  // Mean game seconds between two visits to the options dialog during a level.
  void SetOptionsInterval(double seconds) { optionsInterval_ = seconds; }
  // Prints the stack of shown windows every 2 s of game time.
  void SetTrace(bool trace) { trace_ = trace; }

 private:
  void Play();
  bool ShownOnTop(const std::string& window) const;
  bool ClickControl(const std::string& window, const std::string& control);
  void ClickAt(float x, float y, bool left = true);
  void Sample();

  HeadlessPlatform& platform_;
  RecordingAudioDevice& audio_;
  std::unique_ptr<Application> game_;
  double limitSeconds_;
  double frameTime_;
  uint32_t random_;
  SoakReport report_;
  bool releasePending_ = false;
  bool releaseLeft_ = true;
  bool timeMode_ = false;
  int waitFrames_ = 0;
  int levelsThisGame_ = 0;
  int levelSteps_ = 0;
  std::string answered_;
  bool trace_ = false;
  double optionsInterval_ = 300.0;
  double nextSample_ = 0;
};

// Resident memory of this process now and at its peak, in kB (0 when unknown).
long CurrentRssKb();
long PeakRssKb();

// Why the run's samples show a leak, or empty when they do not: memory grown by
// more than kSoakMemoryGrowthLimitKb from the first sample to the last (not checked
// under AddressSanitizer, whose quarantine grows resident memory by design), an effect
// pool full at a sample (effects that never end fill it), or more GUI handlers in
// the run's second half than in its first (screens shown again must not add any).
constexpr long kSoakMemoryGrowthLimitKb = 32 * 1024;
std::string SoakBoundsProblem(const SoakReport& report);

}  // namespace tav
