// The soak player: the game's application controller driven like a person would.
#include "tools/soak/soak_player.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/application_controller.h"
#include "audio/recording_audio_device.h"
#include "audio/sound_manager.h"
#include "base/log.h"
#include "game/board.h"
#include "gui/button.h"
#include "gui/window_manager.h"
#include "render/effects.h"
#include "render/recording_renderer.h"
#include "render/texture_catalogue.h"
#include "screens/game_window.h"
#include "tools/sim/greedy_bot.h"

namespace tav {

namespace {

long StatusFieldKb(const char* field) {
  std::FILE* file = std::fopen("/proc/self/status", "r");
  if (file == nullptr) return 0;
  char line[256];
  long value = 0;
  const size_t length = std::strlen(field);
  while (std::fgets(line, sizeof line, file) != nullptr) {
    if (std::strncmp(line, field, length) == 0) value = std::atol(line + length + 1);
  }
  std::fclose(file);
  return value;
}

// Seconds of game time between two turns of the bot.
constexpr double kTurnInterval = 0.5;
// Levels played in one game before the player leaves for the menu.
constexpr int kLevelsPerGame = 4;

}  // namespace

long CurrentRssKb() { return StatusFieldKb("VmRSS:"); }
long PeakRssKb() { return StatusFieldKb("VmHWM:"); }

SoakPlayer::SoakPlayer(HeadlessPlatform& platform, RecordingAudioDevice& audio,
                       double gameSeconds, double frameTime, uint32_t seed)
    : platform_(platform),
      audio_(audio),
      game_(CreateGameApplication()),
      limitSeconds_(gameSeconds),
      frameTime_(frameTime),
      random_(seed) {}

SoakPlayer::~SoakPlayer() = default;

void SoakPlayer::SetUp() { game_->SetUp(); }

void SoakPlayer::FrameStep() {
  // The renderer only records; forgetting the last frame's calls keeps its memory flat.
  if (auto* renderer = dynamic_cast<RecordingRenderer*>(GetRenderer())) renderer->ClearCalls();
  audio_.ClearCalls();
  platform_.AdvanceClock(static_cast<uint64_t>(frameTime_ * 1e6 + 0.5));
  game_->FrameStep();
  ++report_.frames;
  report_.gameSeconds += frameTime_;
  if (trace_ && report_.frames % 120 == 0) {
    std::string stack;
    for (Window* window : GetWindowManager().Shown()) stack += " " + window->Name() + (window->IsEnabled() ? "+" : "-");
    std::printf("%6.1f%s\n", report_.gameSeconds, stack.c_str());
  }
  if (report_.gameSeconds >= nextSample_) {
    Sample();
    nextSample_ += 60.0;
  }
  if (report_.gameSeconds >= limitSeconds_) {
    Sample();
    RequestQuit();
  }
  Play();
}

void SoakPlayer::TearDown() {
  report_.peakRssKb = PeakRssKb();
  game_->TearDown();
}

void SoakPlayer::OnLeftButtonDown() { game_->OnLeftButtonDown(); }
void SoakPlayer::OnLeftButtonUp() { game_->OnLeftButtonUp(); }
void SoakPlayer::OnRightButtonDown() { game_->OnRightButtonDown(); }
void SoakPlayer::OnRightButtonUp() { game_->OnRightButtonUp(); }
void SoakPlayer::OnChar(int code, int keyData) { game_->OnChar(code, keyData); }

void SoakPlayer::Sample() {
  SoakSample sample;
  sample.gameSeconds = report_.gameSeconds;
  sample.rssKb = CurrentRssKb();
  sample.particles = ParticlePool::Instance().AliveCount();
  sample.floatingTexts = FloatingTextList::Instance().AliveCount();
  sample.textures = TextureCatalogue::Instance().Count();
  sample.windowsShown = GetWindowManager().Shown().size();
  sample.handlers = GetWindowManager().HandlerCount();
  SoundManager& sound = SoundManager::Instance();
  sample.sounds = sound.EffectsLibrary().Count() + sound.MusicLibrary().Count();
  report_.samples.push_back(sample);
}

bool SoakPlayer::ShownOnTop(const std::string& name) const {
  for (Window* window : GetWindowManager().Shown()) {
    if (window->Name() == name) return window->IsEnabled();
  }
  return false;
}

void SoakPlayer::ClickAt(float x, float y, bool left) {
  platform_.SetCursor(static_cast<int>(x), 600 - static_cast<int>(y));
  const MouseButton button = left ? MouseButton::kLeft : MouseButton::kRight;
  platform_.SetButtonDown(button, true);
  platform_.PushButton(button, true);
  releasePending_ = true;
  releaseLeft_ = left;
}

bool SoakPlayer::ClickControl(const std::string& windowName, const std::string& controlName) {
  Window* window = GetWindowManager().FindWindow(windowName);
  Control* control = window != nullptr ? window->FindControl(controlName) : nullptr;
  if (auto* rectangular = dynamic_cast<RectangularButton*>(control)) {
    const Rect& rect = rectangular->HitRect();
    ClickAt((rect.x0 + rect.x1) / 2, (rect.y0 + rect.y1) / 2);
    return true;
  }
  if (auto* circle = dynamic_cast<CircleButton*>(control)) {
    // The first point of a coarse scan that the circle contains, nudged inwards.
    for (int y = 0; y < 600; y += 4) {
      for (int x = 0; x < 800; x += 4) {
        if (circle->Contains(Vec2(static_cast<float>(x), static_cast<float>(y))) &&
            circle->Contains(Vec2(static_cast<float>(x), static_cast<float>(y + 8)))) {
          ClickAt(static_cast<float>(x), static_cast<float>(y + 4));
          return true;
        }
      }
    }
  }
  return false;
}

void SoakPlayer::Play() {
  if (releasePending_) {
    const MouseButton button = releaseLeft_ ? MouseButton::kLeft : MouseButton::kRight;
    platform_.SetButtonDown(button, false);
    platform_.PushButton(button, false);
    releasePending_ = false;
    return;
  }
  if (waitFrames_ > 0) {
    --waitFrames_;
    return;
  }
  const int settle = static_cast<int>(0.5 / frameTime_) + 1;
  // Each dialog is answered once; its fade-out takes a moment.
  for (const char* dialog : {"HiscoreWindow", "OptionsWindow", "LevelCompleteWindow",
                             "GameOverWindow", "PauseWindow", "MainWindow"}) {
    if (!ShownOnTop(dialog)) continue;
    const std::string name = dialog;
    if (name == answered_) return;
    answered_ = name;
    waitFrames_ = settle;
    if (name == "HiscoreWindow") {
      // A new entry takes a typed name, ended by Return; the OK button closes.
      platform_.PushText("Soak\r");
      ClickControl(name, "ButtonOK");
      ++report_.scoresEntered;
    } else if (name == "OptionsWindow") {
      ClickControl(name, "ButtonOK");
    } else if (name == "LevelCompleteWindow") {
      ++report_.levelsCompleted;
      ++levelsThisGame_;
      ClickControl(name, "ButtonOK");
    } else if (name == "GameOverWindow") {
      ++report_.gameOvers;
      ClickControl(name, "ButtonOK");
    } else if (name == "PauseWindow") {
      ClickControl(name, "ExitToMenuButton");
    } else {
      // The menu: the other mode than last time, from its highest unlocked level.
      if (levelSteps_ < 60) {
        answered_.clear();
        waitFrames_ = 0;
        ++levelSteps_;
        ClickControl(name, timeMode_ ? "ClassicLevelInc" : "TimeLevelInc");
        return;
      }
      levelSteps_ = 0;
      timeMode_ = !timeMode_;
      levelsThisGame_ = 0;
      ++report_.levelsStarted;
      ClickControl(name, timeMode_ ? "ButtonStartTime" : "ButtonStartClassic");
    }
    return;
  }
  auto* gameWindow = dynamic_cast<GameWindow*>(GetWindowManager().FindWindow("GameWindow"));
  if (gameWindow == nullptr || !ShownOnTop("GameWindow") || gameWindow->GetBoard() == nullptr) {
    return;
  }
  answered_.clear();
  // After a few levels, back to the menu through the pause dialog, to play the
  // other mode; now and then the options, as a player adjusting the sound.
  if (levelsThisGame_ >= kLevelsPerGame) {
    levelsThisGame_ = 0;
    ClickControl("GameWindow", "ButtonPause");
    waitFrames_ = settle;
    return;
  }
  random_ = random_ * 1664525u + 1013904223u;
  const auto optionsChance = static_cast<uint32_t>(optionsInterval_ / kTurnInterval) + 1;
  if ((random_ >> 8) % optionsChance == 0) {
    ++report_.optionsVisits;
    ClickControl("GameWindow", "ButtonOptions");
    waitFrames_ = settle;
    return;
  }
  const BotMove move = ChooseGreedyMove(*gameWindow->GetBoard());
  if (move.found) {
    ClickAt(275.0f + 50.0f * static_cast<float>(move.column),
            75.0f + 50.0f * static_cast<float>(move.row), move.left);
  }
  waitFrames_ = static_cast<int>(kTurnInterval / frameTime_);
}

namespace {

// AddressSanitizer keeps freed memory in quarantine (256 MB by default), so resident
// memory grows however well the game frees; in such a build its own exit-time leak
// check stands in for the memory bound.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kRunsUnderAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kRunsUnderAddressSanitizer = true;
#else
constexpr bool kRunsUnderAddressSanitizer = false;
#endif
#else
constexpr bool kRunsUnderAddressSanitizer = false;
#endif

}  // namespace

std::string SoakBoundsProblem(const SoakReport& report) {
  const std::vector<SoakSample>& samples = report.samples;
  if (samples.size() < 2) return "fewer than two samples";
  const long growth = samples.back().rssKb - samples.front().rssKb;
  if (!kRunsUnderAddressSanitizer && growth > kSoakMemoryGrowthLimitKb) {
    return "memory grew by " + std::to_string(growth) + " kB";
  }
  const size_t half = samples.size() / 2;
  size_t firstHalfHandlers = 0;
  for (size_t i = 0; i < samples.size(); ++i) {
    const SoakSample& sample = samples[i];
    if (sample.particles >= ParticlePool::kCapacity) {
      return "the particle pool is full at " + std::to_string(sample.gameSeconds) + " s";
    }
    if (sample.floatingTexts >= FloatingTextList::kCapacity) {
      return "the floating-text pool is full at " + std::to_string(sample.gameSeconds) + " s";
    }
    if (i < half) {
      firstHalfHandlers = std::max(firstHalfHandlers, sample.handlers);
    } else if (sample.handlers > firstHalfHandlers) {
      return "GUI handlers grew to " + std::to_string(sample.handlers) + " (at most " +
             std::to_string(firstHalfHandlers) + " in the first half)";
    }
  }
  return std::string();
}

}  // namespace tav
