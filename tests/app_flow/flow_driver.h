// Runs the real game headless for the flow tests: a game folder in a temporary
// directory (the built pictures and sounds, levels written by the test), the
// headless platform, the recording renderer and sound device, and the
// application controller stepped frame by frame the way the main loop does it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/application_controller.h"
#include "audio/recording_audio_device.h"
#include "gui/window_manager.h"
#include "platform/headless/headless_platform.h"
#include "render/recording_renderer.h"

namespace tav {
namespace test {

// The levels the flow tests play, by name.
enum class TestLevel {
  kInstant,  // every arrow blue and pointing up: the first chain search clears it
  kDead,     // no move can make a line; two seconds on the clock
  kCalm,     // a board with moves but no line, that waits for the player
};

class FlowDriver {
 public:
  FlowDriver();
  ~FlowDriver();

  // False (with the reason) when the game's built data is not there.
  bool HasGameData(std::string* why) const;
  const std::string& Folder() const { return folder_; }
  std::string GamePath(const std::string& relative) const { return folder_ + "/" + relative; }
  // Writes Data/Levels.ini with levels "1" to "60": level n is `kinds[n - 1]`
  // where given, else kInstant.
  void WriteLevels(const std::vector<TestLevel>& kinds);
  void WriteLastDat(int timeLevels, int classicLevels);
  std::string ReadFile(const std::string& relative) const;
  bool FileExists(const std::string& relative) const;

  // A fresh process: new window manager, sound device and controller, then the
  // entry's start-up (log, set-up, cursor hidden).
  void Start();
  // The same for a start whose set-up is expected to fail: true when it did.
  bool StartExpectingFailure();
  // Runs `frames` frames of 50 ms. Stops early once the game asked to quit.
  void Step(int frames = 1);
  // Steps until the stack of shown windows is `stack` (true) or `limit` frames
  // have passed (false, with a test failure naming the stack shown instead).
  bool StepUntilShown(const std::vector<std::string>& stack, int limit = 400);
  // Steps until the predicate holds or `limit` frames have passed.
  template <class Predicate>
  bool StepUntil(Predicate predicate, int limit = 400) {
    for (int i = 0; i < limit && !quit_; ++i) {
      if (predicate()) return true;
      Step();
    }
    return predicate();
  }
  // The teardown the main loop runs after leaving, and the end of the process.
  void Stop();
  // A quit request arriving between frames, as the main loop makes one of the
  // window's close request and of a termination signal (log-off, SIGTERM).
  void RequestQuitBetweenFrames();
  bool Quit() const { return quit_; }

  // Input as the platform delivers it, in game coordinates (origin bottom-left).
  void MoveTo(float x, float y);
  // Moves there (one frame), presses (one frame), releases (one frame).
  void ClickAt(float x, float y);
  // A press and release that both arrive between two frames.
  void TapAt(float x, float y);
  void ClickControl(const std::string& window, const std::string& control);
  // Drags the knob of a slider from its end to `value` (0 to 1) of its track.
  void DragSlider(const std::string& window, const std::string& control, float fromX,
                  float toX, float y);
  void Type(const std::string& text);
  // A key or controller button between two frames, then one frame.
  void Press(InputKey key, bool shift = false, bool repeat = false);
  // The window's close button between two frames.
  void CloseWindow();

  std::vector<std::string> Shown() const;
  bool IsEnabled(const std::string& window) const;
  Window* FindWindow(const std::string& name) const;
  GameApplication& App() { return *app_; }
  HeadlessPlatform& Platform() { return platform_; }
  RecordingAudioDevice& Audio() { return *audio_; }
  // How many times the sound file was started since the last ClearSounds.
  int Starts(const std::string& fileName) const;
  // Every sound started since the last ClearSounds, in order.
  std::vector<std::string> SoundStarts() const;
  void ClearSounds() { audio_->ClearCalls(); }

 private:
  std::string folder_;
  HeadlessPlatform platform_;
  RecordingRenderer renderer_;
  std::unique_ptr<RecordingAudioDevice> audio_;
  std::unique_ptr<WindowManager> windows_;
  std::unique_ptr<GameApplication> app_;
  bool running_ = false;
  bool expectFailure_ = false;
  bool quit_ = false;
};

}  // namespace test
}  // namespace tav
