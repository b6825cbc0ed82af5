// The flow tests' game folder and frame loop.
#include "flow_driver.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "audio/sound_manager.h"
#include "base/frame_clock.h"
#include "base/log.h"
#include "game/board.h"
#include "game/random_source.h"
#include "gui/button.h"
#include "platform/platform.h"
#include "render/renderer.h"
#include "screens/main_window.h"
#include "screens/sound_settings.h"

namespace tav {
namespace test {

namespace {

namespace fs = std::filesystem;

constexpr uint64_t kFrameMicroseconds = 50000;

// A designed board with moves but without a ready line (bottom row first).
const char* const kCalmBoard =
    "03030101030301010303010103030101030301011113131110111313111111111313111113131111"
    "03030101030301010303010103030101030301010303010113131111131311111313111113131111"
    "131311110303010103030101030301010303010103030101";

std::string GameDataFolder() {
  if (const char* override = std::getenv("TAV_FLOW_DATA_DIR")) return override;
  return TAV_GAME_DATA_DIR;
}

std::string LevelText(int number, TestLevel kind) {
  std::ostringstream out;
  std::string board;
  std::vector<int> priorities(9, 0);
  int blocks = 3;
  int time = 120;
  switch (kind) {
    case TestLevel::kInstant:
      for (int i = 0; i < 100; ++i) board += "00";
      priorities[0] = priorities[1] = 50;
      break;
    case TestLevel::kDead:
      // Blue, red and green in turn along every row and column: no rotation
      // can ever line up three of one colour.
      for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) board += "013"[(x + y) % 3] + std::string("0");
      }
      priorities[0] = priorities[1] = priorities[3] = 1;
      blocks = 30;
      time = 2;
      break;
    case TestLevel::kCalm:
      board = kCalmBoard;
      priorities[0] = priorities[1] = 50;
      blocks = 30;
      break;
  }
  out << "[" << number << "]\nLetterProbability = 0\nLevelData = " << board << "\n";
  for (int k = 0; k < 9; ++k) out << "Association_" << k << "_priority = " << priorities[k] << "\n";
  out << "Blocks = " << blocks << "\nTime = " << time << "\n\n";
  return out.str();
}

}  // namespace

FlowDriver::FlowDriver() {
  char pattern[] = "/tmp/tav_flow_test_XXXXXX";
  const char* made = mkdtemp(pattern);
  folder_ = made != nullptr ? made : "/tmp";
  const fs::path data = fs::path(folder_) / "Data";
  fs::create_directories(data);
  const fs::path source = GameDataFolder();
  std::error_code ignored;
  for (const char* name : {"data.pkg", "Textures.ini", "Audio"}) {
    fs::create_symlink(source / name, data / name, ignored);
  }
  WriteLevels({});
}

FlowDriver::~FlowDriver() {
  Stop();
  std::error_code ignored;
  fs::remove_all(folder_, ignored);
}

bool FlowDriver::HasGameData(std::string* why) const {
  const fs::path source = GameDataFolder();
  for (const char* name : {"data.pkg", "Textures.ini", "Audio/Music.ogg"}) {
    if (!fs::exists(source / name)) {
      *why = "the built game data is missing (" + (source / name).string() + ")";
      return false;
    }
  }
  return true;
}

void FlowDriver::WriteLevels(const std::vector<TestLevel>& kinds) {
  std::ofstream out(fs::path(folder_) / "Data" / "Levels.ini", std::ios::trunc);
  for (int number = 1; number <= 60; ++number) {
    const size_t index = static_cast<size_t>(number - 1);
    out << LevelText(number, index < kinds.size() ? kinds[index] : TestLevel::kInstant);
  }
}

void FlowDriver::WriteLastDat(int timeLevels, int classicLevels) {
  std::ofstream out(fs::path(folder_) / "Data" / "Last.dat", std::ios::binary | std::ios::trunc);
  for (int value : {timeLevels, classicLevels}) {
    const uint32_t bits = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) out.put(static_cast<char>((bits >> shift) & 0xFF));
  }
}

std::string FlowDriver::ReadFile(const std::string& relative) const {
  std::ifstream in(GamePath(relative), std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool FlowDriver::FileExists(const std::string& relative) const {
  return fs::exists(GamePath(relative));
}

void FlowDriver::Start() {
  Stop();
  // What a new process starts with.
  GetSoundSettings() = SoundSettings();
  // Score, clicks and the shared frame counter as at a process start, and the
  // same random pieces every run, so a test plays the same whatever ran before.
  ResetGameStateForTests();
  SeedGameRandom(1);
  FrameClock::Instance().ResetForTests();
  windows_ = std::make_unique<WindowManager>();
  SetWindowManager(windows_.get());
  audio_ = std::make_unique<RecordingAudioDevice>();
  SetPlatform(&platform_);
  SetTimeSource(&platform_);
  LogStart(folder_);
  SetErrorsRaise(true);
  SetRenderer(&renderer_);
  renderer_.Init(800, 600, 16, true);
  SoundManager::Instance().SetDevice(audio_.get());
  SoundManager::Instance().Start();
  app_ = std::make_unique<GameApplication>();
  running_ = true;
  quit_ = false;
  try {
    app_->SetUp();
  } catch (const FatalError&) {
    if (!expectFailure_) ADD_FAILURE() << "the set-up failed; log.txt:\n" << ReadFile("log.txt");
    quit_ = true;
  }
  platform_.ShowCursor(false);
}

bool FlowDriver::StartExpectingFailure() {
  expectFailure_ = true;
  Start();
  expectFailure_ = false;
  return quit_;
}

void FlowDriver::Step(int frames) {
  for (int i = 0; i < frames && running_ && !quit_; ++i) {
    renderer_.BeginFrame();
    FrameClock::Instance().FrameStart();
    renderer_.BeginScene();
    try {
      app_->FrameStep();
    } catch (const QuitRequest&) {
      quit_ = true;
    } catch (const FatalError&) {
      ADD_FAILURE() << "a frame failed; log.txt:\n" << ReadFile("log.txt");
      quit_ = true;
    }
    platform_.AdvanceClock(kFrameMicroseconds);
    renderer_.EndFrame();
    FrameClock::Instance().FrameEnd();
    renderer_.ClearCalls();
  }
}

bool FlowDriver::StepUntilShown(const std::vector<std::string>& stack, int limit) {
  if (StepUntil([&] { return Shown() == stack; }, limit)) return true;
  std::string shown;
  for (const std::string& name : Shown()) shown += " " + name;
  ADD_FAILURE() << "shown instead:" << shown;
  return false;
}

void FlowDriver::Stop() {
  if (!running_) return;
  running_ = false;
  app_->TearDown();
  app_.reset();
  renderer_.Shutdown();
  SoundManager::Instance().ResetForTests();
  SetWindowManager(nullptr);
  windows_.reset();
  SetRenderer(nullptr);
  SetTimeSource(nullptr);
  SetPlatform(nullptr);
  SetErrorsRaise(false);
}

void FlowDriver::RequestQuitBetweenFrames() {
  try {
    RequestQuit();
  } catch (const QuitRequest&) {
    quit_ = true;
  }
}

void FlowDriver::MoveTo(float x, float y) {
  platform_.SetCursor(static_cast<int>(x), 600 - static_cast<int>(y));
}

void FlowDriver::ClickAt(float x, float y) {
  MoveTo(x, y);
  Step();
  try {
    platform_.SetButtonDown(MouseButton::kLeft, true);
    app_->OnLeftButtonDown();
    Step();
    platform_.SetButtonDown(MouseButton::kLeft, false);
    app_->OnLeftButtonUp();
  } catch (const QuitRequest&) {
    quit_ = true;
  }
  Step();
}

void FlowDriver::TapAt(float x, float y) {
  MoveTo(x, y);
  Step();
  app_->OnLeftButtonDown();
  app_->OnLeftButtonUp();
  Step();
}

void FlowDriver::ClickControl(const std::string& window, const std::string& control) {
  Window* found = FindWindow(window);
  ASSERT_NE(found, nullptr) << window;
  Control* target = found->FindControl(control);
  ASSERT_NE(target, nullptr) << window << " " << control;
  if (auto* rectangular = dynamic_cast<RectangularButton*>(target)) {
    const Rect& rect = rectangular->HitRect();
    ClickAt((rect.x0 + rect.x1) / 2, (rect.y0 + rect.y1) / 2);
    return;
  }
  auto* circle = dynamic_cast<CircleButton*>(target);
  ASSERT_NE(circle, nullptr) << control << " is not a button";
  // The centre of the points the circle contains.
  float sumX = 0, sumY = 0;
  int count = 0;
  for (int y = 0; y < 600; y += 2) {
    for (int x = 0; x < 800; x += 2) {
      if (circle->Contains(Vec2(static_cast<float>(x), static_cast<float>(y)))) {
        sumX += static_cast<float>(x);
        sumY += static_cast<float>(y);
        ++count;
      }
    }
  }
  ASSERT_GT(count, 0) << control;
  ClickAt(std::round(sumX / count), std::round(sumY / count));
}

void FlowDriver::DragSlider(const std::string& window, const std::string& control, float fromX,
                            float toX, float y) {
  ASSERT_NE(FindWindow(window), nullptr);
  ASSERT_NE(FindWindow(window)->FindControl(control), nullptr);
  MoveTo(fromX, y);
  Step();
  platform_.SetButtonDown(MouseButton::kLeft, true);
  app_->OnLeftButtonDown();
  Step();
  MoveTo(toX, y);
  Step();
  platform_.SetButtonDown(MouseButton::kLeft, false);
  app_->OnLeftButtonUp();
  Step();
}

void FlowDriver::Type(const std::string& text) {
  for (char c : text) {
    app_->OnChar(static_cast<unsigned char>(c), 0);
    Step();
  }
}

std::vector<std::string> FlowDriver::Shown() const {
  std::vector<std::string> names;
  if (!windows_) return names;
  for (const Window* window : windows_->Shown()) names.push_back(window->Name());
  return names;
}

bool FlowDriver::IsEnabled(const std::string& window) const {
  const Window* found = FindWindow(window);
  return found != nullptr && found->IsEnabled();
}

Window* FlowDriver::FindWindow(const std::string& name) const {
  return windows_ ? windows_->FindWindow(name) : nullptr;
}

void FlowDriver::Press(InputKey key, bool shift, bool repeat) {
  KeyPress press;
  press.key = key;
  press.shift = shift;
  press.repeat = repeat;
  try {
    app_->OnKey(press);
  } catch (const QuitRequest&) {
    quit_ = true;
  }
  Step();
}

void FlowDriver::CloseWindow() {
  try {
    app_->OnCloseRequest();
  } catch (const QuitRequest&) {
    quit_ = true;
  }
  Step();
}

std::vector<std::string> FlowDriver::SoundStarts() const {
  std::vector<std::string> starts;
  for (const std::string& call : audio_->Calls()) {
    if (call.rfind("start ", 0) == 0) starts.push_back(call);
  }
  return starts;
}

int FlowDriver::Starts(const std::string& fileName) const {
  int starts = 0;
  for (const std::string& call : audio_->Calls()) {
    if (call == "start " + fileName || call == "start " + fileName + " repeat") ++starts;
  }
  return starts;
}

}  // namespace test
}  // namespace tav
