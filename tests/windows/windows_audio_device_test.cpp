// The Windows sound device on both of its outputs, under Wine with ALSA's null
// output as the sound card (the test's environment sets that up, and has the card
// write what it plays into the file named by TAV_ALSA_CAPTURE): each opens, loads
// the game's own WAV effect and Ogg music, plays (and its samples must reach the
// card), stops in place and resumes, and a sound outliving its closed output stays
// harmless. Names other than the two
// outputs, and damaged files, are refused.
#include "audio/win32/windows_audio_device.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "base/log.h"
#include "tests/support/temp_game_folder.h"

namespace tav {
namespace {

namespace fs = std::filesystem;

fs::path AudioDir() {
  const char* fromEnvironment = std::getenv("TAV_AUDIO_DIR");
  return fromEnvironment != nullptr ? fs::path(fromEnvironment) : fs::path(TAV_AUDIO_DIR);
}

// True once the card has been given a sample that is not silence after `start`
// bytes of its capture file. Waits a bounded while: the system mixes and writes in
// its own time. True without looking when the environment captures nothing.
bool SoundReachesTheCard(std::uintmax_t start) {
  const char* capture = std::getenv("TAV_ALSA_CAPTURE");
  if (capture == nullptr) return true;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::ifstream file(capture, std::ios::binary);
    file.seekg(static_cast<std::streamoff>(start));
    char block[4096];
    while (file.read(block, sizeof block) || file.gcount() > 0) {
      for (std::streamsize i = 0; i < file.gcount(); ++i) {
        if (block[i] != 0) return true;
      }
    }
    Sleep(100);
  }
  return false;
}

std::uintmax_t CaptureSize() {
  const char* capture = std::getenv("TAV_ALSA_CAPTURE");
  std::error_code error;
  const std::uintmax_t size = capture != nullptr ? fs::file_size(capture, error) : 0;
  return error ? 0 : size;
}

class WindowsAudioDeviceTest : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    base_ = fs::temp_directory_path() / "tav_windows_audio_test";
    fs::create_directories(base_);
    LogStart(base_.string());
  }
  std::string Log() const { return test::ReadLog(); }
  fs::path base_;
};

TEST_P(WindowsAudioDeviceTest, SoundsPlayStopInPlaceResumeAndOutliveTheOutput) {
  WindowsAudioDevice device(nullptr);
  ASSERT_TRUE(device.Open(GetParam()));
  EXPECT_EQ(device.Description(), std::string(GetParam()) == "winmm" ? "WINMM" : "Direct Sound");

  std::shared_ptr<SoundStream> music = device.OpenSound((AudioDir() / "Music.ogg").string());
  std::shared_ptr<SoundStream> click = device.OpenSound((AudioDir() / "Click.wav").string());
  ASSERT_TRUE(music);
  ASSERT_TRUE(click);
  EXPECT_FALSE(music->IsPlaying());

  const std::uintmax_t captured = CaptureSize();
  music->SetVolume(0.3f);
  music->PlayFromStart(true);
  click->PlayFromStart(false);
  EXPECT_TRUE(music->IsPlaying());
  EXPECT_TRUE(SoundReachesTheCard(captured)) << "nothing but silence reached the card";
  music->Stop();
  EXPECT_FALSE(music->IsPlaying());
  music->Resume();
  EXPECT_TRUE(music->IsPlaying());
  // Restarting a playing sound keeps it playing.
  music->PlayFromStart(true);
  EXPECT_TRUE(music->IsPlaying());
  music->SetVolume(0.0f);

  device.Close();
  EXPECT_FALSE(music->IsPlaying());
  music->PlayFromStart(true);
  music->Resume();
  music->SetVolume(1.0f);
  EXPECT_FALSE(device.OpenSound((AudioDir() / "Click.wav").string()));
}

INSTANTIATE_TEST_SUITE_P(Outputs, WindowsAudioDeviceTest,
                         ::testing::Values("directsound", "winmm"));

TEST_F(WindowsAudioDeviceTest, OtherNamesAndDamagedFilesAreRefused) {
  WindowsAudioDevice device(nullptr);
  EXPECT_FALSE(device.Open(""));
  EXPECT_FALSE(device.Open("alsa"));
  EXPECT_FALSE(device.OpenSound((AudioDir() / "Click.wav").string())) << "nothing is open";

  ASSERT_TRUE(device.Open("winmm"));
  const fs::path damaged = base_ / "damaged.wav";
  const std::string cutShort("RIFF\x10\0\0\0WAVEfmt ", 16);
  std::ofstream(damaged, std::ios::binary) << cutShort;
  EXPECT_FALSE(device.OpenSound(damaged.string()));
  EXPECT_NE(Log().find("WARNING: Damaged sound file "), std::string::npos);
}

}  // namespace
}  // namespace tav
