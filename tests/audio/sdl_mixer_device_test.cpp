// The SDL2_mixer device on SDL's dummy audio driver: loading a WAV and an Ogg Vorbis
// file, playing, stopping and resuming (measured in the bytes the mixer actually
// played), looping, and sounds that outlive the device.
#include "audio/sdl_mixer_device.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <system_error>

#include <unistd.h>

#include "audio/sound_manager.h"
#include "base/log.h"
#include "tests/audio/sound_files.h"

namespace tav {
namespace {

namespace fs = std::filesystem;

constexpr int kMaxChannels = 16;
std::atomic<long> playedBytes[kMaxChannels];

void CountPlayedBytes(int channel, void*, int length, void*) {
  if (channel >= 0 && channel < kMaxChannels) playedBytes[channel] += length;
}

long PlayedBytesOnAllChannels() {
  long total = 0;
  for (auto& bytes : playedBytes) total += bytes;
  return total;
}

// Counts what the mixer plays from now on, on every channel.
void WatchAllChannels() {
  for (auto& bytes : playedBytes) bytes = 0;
  const int channels = std::min(Mix_AllocateChannels(-1), kMaxChannels);
  for (int channel = 0; channel < channels; ++channel) {
    Mix_RegisterEffect(channel, CountPlayedBytes, nullptr, nullptr);
  }
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMilliseconds = 8000) {
  for (int waited = 0; waited < timeoutMilliseconds; waited += 5) {
    if (condition()) return true;
    SDL_Delay(5);
  }
  return condition();
}

class SdlMixerDeviceTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    // Each test runs in a process of its own, several at once: each process writes
    // and reads its own copy of the files, never one that another is rewriting.
    directory_ = fs::path(TAV_BINARY_DIR) / "tests" / "sdl_mixer_test" / std::to_string(getpid());
    fs::create_directories(directory_ / "Data" / "Audio");
    ASSERT_TRUE(WriteToneWav((directory_ / "Data" / "Audio" / "tone.wav").string(), 1.0, 22050));
    ASSERT_TRUE(WriteToneOgg((directory_ / "Data" / "Audio" / "Tone.ogg").string(), 0.5, 22050));
    std::ofstream(directory_ / "Data" / "Audio" / "broken.wav") << "RIFF this is not a sound";
    LogStart(directory_.string());
  }

  static void TearDownTestSuite() {
    std::error_code ignored;
    fs::remove_all(directory_, ignored);
  }

  std::string Path(const std::string& name) const {
    return (directory_ / "Data" / "Audio" / name).string();
  }

  // Bytes the device plays per second of sound.
  static long BytesPerSecond() {
    int frequency = 0, channels = 0;
    Uint16 format = 0;
    Mix_QuerySpec(&frequency, &format, &channels);
    return static_cast<long>(frequency) * channels * (SDL_AUDIO_BITSIZE(format) / 8);
  }

  static fs::path directory_;
  SdlMixerDevice device_;
};

fs::path SdlMixerDeviceTest::directory_;

TEST_F(SdlMixerDeviceTest, OpensOnlyOutputsThatExist) {
  EXPECT_FALSE(device_.Open("directsound"));
  EXPECT_FALSE(device_.Open("winmm"));
  ASSERT_TRUE(device_.Open(""));
  EXPECT_EQ(device_.Description(), "SDL2_mixer on dummy");
}

TEST_F(SdlMixerDeviceTest, LoadsWavAndOggAndRefusesMissingOrBrokenFiles) {
  ASSERT_TRUE(device_.Open(""));
  EXPECT_NE(device_.OpenSound(Path("tone.wav")), nullptr);
  EXPECT_NE(device_.OpenSound(Path("Tone.ogg")), nullptr);
  EXPECT_EQ(device_.OpenSound(Path("missing.wav")), nullptr);
  EXPECT_EQ(device_.OpenSound(Path("broken.wav")), nullptr);
}

TEST_F(SdlMixerDeviceTest, StopKeepsThePositionAndResumeContinuesFromIt) {
  ASSERT_TRUE(device_.Open(""));
  auto tone = device_.OpenSound(Path("tone.wav"));  // one second
  ASSERT_NE(tone, nullptr);
  const long oneSecond = BytesPerSecond();

  tone->PlayFromStart(false);
  WatchAllChannels();
  ASSERT_TRUE(WaitFor([&] { return PlayedBytesOnAllChannels() >= oneSecond * 3 / 10; }));
  tone->Stop();
  EXPECT_FALSE(tone->IsPlaying());
  const long atStop = PlayedBytesOnAllChannels();
  SDL_Delay(150);
  EXPECT_LE(PlayedBytesOnAllChannels() - atStop, oneSecond / 10);  // at most a buffer

  tone->Resume();
  EXPECT_TRUE(tone->IsPlaying());
  ASSERT_TRUE(WaitFor([&] { return !tone->IsPlaying(); }));
  // Continued: the whole second was played once (a restart would add the 0.3 s
  // before the stop again).
  const long total = PlayedBytesOnAllChannels();
  EXPECT_GT(total, oneSecond * 85 / 100);
  EXPECT_LT(total, oneSecond * 115 / 100);
}

TEST_F(SdlMixerDeviceTest, RepeatLoopsUntilStoppedAndEachSoundHasItsOwnChannel) {
  ASSERT_TRUE(device_.Open(""));
  auto loop = device_.OpenSound(Path("Tone.ogg"));  // half a second
  auto other = device_.OpenSound(Path("tone.wav"));
  ASSERT_NE(loop, nullptr);
  ASSERT_NE(other, nullptr);

  loop->PlayFromStart(true);
  other->PlayFromStart(false);
  WatchAllChannels();
  ASSERT_TRUE(WaitFor([&] { return PlayedBytesOnAllChannels() >= BytesPerSecond() * 2; }));
  EXPECT_TRUE(loop->IsPlaying());  // well past its length: looping
  other->Stop();
  EXPECT_TRUE(loop->IsPlaying());  // stopping one sound leaves the other alone
  loop->Stop();
  EXPECT_FALSE(loop->IsPlaying());
  loop->PlayFromStart(false);
  EXPECT_TRUE(loop->IsPlaying());
  loop->SetVolume(0.0f);
  loop->SetVolume(7.0f);  // clamped
}

TEST_F(SdlMixerDeviceTest, SoundsOutlivingTheDeviceAreHarmless) {
  std::shared_ptr<SoundStream> tone;
  {
    SdlMixerDevice device;
    ASSERT_TRUE(device.Open(""));
    tone = device.OpenSound(Path("tone.wav"));
    ASSERT_NE(tone, nullptr);
    tone->PlayFromStart(true);
    device.Close();
    EXPECT_FALSE(tone->IsPlaying());
    tone->Resume();
    EXPECT_FALSE(tone->IsPlaying());
    EXPECT_EQ(device.OpenSound(Path("tone.wav")), nullptr);
    // Reopening works after a close.
    ASSERT_TRUE(device.Open(""));
    EXPECT_NE(device.OpenSound(Path("tone.wav")), nullptr);
  }
  tone->PlayFromStart(false);
  tone.reset();
}

TEST_F(SdlMixerDeviceTest, StreamedMusicPlaysPausesResumesEndsAndOutlivesTheDevice) {
  std::shared_ptr<SoundStream> music;
  {
    SdlMixerDevice device;
    ASSERT_TRUE(device.Open(""));
    EXPECT_EQ(device.OpenMusic(Path("missing.ogg")), nullptr);
    music = device.OpenMusic(Path("Tone.ogg"));  // half a second
    ASSERT_NE(music, nullptr);
    music->PlayFromStart(false);
    EXPECT_TRUE(music->IsPlaying());
    music->Stop();
    EXPECT_FALSE(music->IsPlaying());
    EXPECT_TRUE(Mix_PausedMusic());  // paused, keeping its position
    music->Resume();
    EXPECT_TRUE(music->IsPlaying());
    music->SetVolume(0.5f);
    EXPECT_EQ(Mix_VolumeMusic(-1), MIX_MAX_VOLUME / 2);
    EXPECT_TRUE(WaitFor([&] { return !music->IsPlaying(); })) << "played once, it ends";
    music->PlayFromStart(true);
    device.Close();
    EXPECT_FALSE(music->IsPlaying());
  }
  music->PlayFromStart(false);
  music->Resume();
  music.reset();
}

TEST_F(SdlMixerDeviceTest, SoundManagerRunsOnTheMixer) {
  SoundManager& manager = SoundManager::Instance();
  manager.ResetForTests();
  manager.SetDevice(&device_);
  SetErrorsRaise(true);
  LogStart(directory_.string());
  manager.Start();
  ASSERT_TRUE(manager.DeviceOpen());

  SoundHandle& music = manager.MusicHandle();
  music.Load("TONE.OGG", manager.MusicLibrary());
  ASSERT_FALSE(music.Empty());
  music.Play(true);
  EXPECT_TRUE(music.Stream()->IsPlaying());
  manager.PauseMusic();
  EXPECT_FALSE(music.Stream()->IsPlaying());
  manager.ResumeMusic();
  EXPECT_TRUE(music.Stream()->IsPlaying());
  manager.ResetForTests();

  std::ifstream file(directory_ / "log.txt");
  std::stringstream log;
  log << file.rdbuf();
  EXPECT_EQ(log.str(),
            "log start\n"
            "sound initialization\n"
            "OpenDevice( \"directsound\" )\n"
            "OpenDevice( \"winmm\" )\n"
            "OpenDevice( \"\" )\n"
            "AUDIERE DEVICE: SDL2_mixer on dummy.\n");
}

}  // namespace
}  // namespace tav
