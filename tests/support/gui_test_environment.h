// The world a GUI test run lives in: a temporary game folder whose Data the run
// fills, the log started there, the recording renderer installed and the shared
// font loaded with the game's metrics; all undone at the end. Each test binary
// derives its own environment to write its pictures and install what else it needs.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <span>
#include <string>
#include <utility>

#include "audio/recording_audio_device.h"
#include "tests/support/temp_game_folder.h"

namespace tav::test {

// A stand-in picture for a test's Data folder: plain white, 32-bit, of the size
// the code expects.
struct BlankPicture {
  const char* name;
  int width;
  int height;
};
void WriteBlankPictures(const std::filesystem::path& data, std::span<const BlankPicture> pictures);

class GuiTestEnvironment : public ::testing::Environment {
 public:
  // The game folder is made below /tmp, named after `folderPrefix`.
  explicit GuiTestEnvironment(std::string folderPrefix) : folderPrefix_(std::move(folderPrefix)) {}

  void SetUp() override;
  void TearDown() override;

  const TempGameFolder& Folder() const { return folder_; }

 protected:
  // Fills the fresh Data folder before the log starts and anything loads.
  virtual void WriteData(const std::filesystem::path& data) = 0;
  // Runs after the log has started, before the renderer is installed (error mode,
  // packages, clocks).
  virtual void Install() {}
  // Runs once the renderer and the font are in place (pictures, sound, resources).
  virtual void Load() {}
  // Undoes Load(), before the pictures and the font are released.
  virtual void Unload() {}
  // Undoes Install(), after the renderer is removed.
  virtual void Uninstall() {}

 private:
  std::string folderPrefix_;
  TempGameFolder folder_;
};

// The sound device that records what the run played.
RecordingAudioDevice& SoundRecorder();
// Starts the sound manager on the recording device, which accepts any path.
void StartRecordingSound();
// Returns the sound manager to its state before StartRecordingSound().
void StopRecordingSound();

}  // namespace tav::test
