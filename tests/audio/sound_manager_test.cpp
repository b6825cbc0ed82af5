// The sound manager over the recording device: opening the device, the libraries'
// caching and volumes, the handles' play / stop / resume, silence without a device,
// and the case-insensitive file lookup.
#include "audio/sound_manager.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "audio/find_file.h"
#include "audio/recording_audio_device.h"
#include "base/log.h"

namespace tav {
namespace {

namespace fs = std::filesystem;

class SoundManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = fs::path(TAV_BINARY_DIR) / "tests" / "sound_manager_test" /
            ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(base_);
    fs::create_directories(base_ / "Data" / "Audio");
    LogStart(base_.string());
    manager_.ResetForTests();
    manager_.SetDevice(&device_);
  }
  void TearDown() override { manager_.ResetForTests(); }

  void WriteSound(const fs::path& relative) {
    fs::create_directories((base_ / relative).parent_path());
    std::ofstream(base_ / relative) << "RIFF";
  }
  std::string Log() const {
    std::ifstream file(base_ / "log.txt");
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }
  size_t CallsStartingWith(const std::string& prefix) const {
    size_t count = 0;
    for (const std::string& call : device_.Calls()) count += call.rfind(prefix, 0) == 0;
    return count;
  }

  fs::path base_;
  RecordingAudioDevice device_;
  SoundManager& manager_ = SoundManager::Instance();
};

TEST_F(SoundManagerTest, WithoutAnyOutputTheGameIsSilent) {
  device_.SetAvailableOutputs({});
  WriteSound("Data/Audio/Click.wav");
  manager_.Start();

  EXPECT_EQ(Log(),
            "log start\n"
            "sound initialization\n"
            "OpenDevice( \"directsound\" )\n"
            "OpenDevice( \"winmm\" )\n"
            "OpenDevice( \"\" )\n"
            "AUDIERE ERROR: OpenDevice() failed.\n");
  EXPECT_FALSE(manager_.DeviceOpen());

  SoundHandle click;
  click.Load("Click.wav", manager_.EffectsLibrary());
  click.Play(false);
  click.Stop();
  manager_.PauseMusic();
  manager_.ResumeMusic();
  EXPECT_TRUE(click.Empty());
  EXPECT_EQ(manager_.EffectsLibrary().Load("Click.wav"), nullptr);
  EXPECT_EQ(manager_.EffectsLibrary().Count(), 0u);
  EXPECT_EQ(CallsStartingWith("load"), 0u);
  manager_.Stop();
  EXPECT_EQ(CallsStartingWith("close"), 0u);
}

TEST_F(SoundManagerTest, NoDeviceInstalledIsSilentToo) {
  manager_.SetDevice(nullptr);
  manager_.Start();
  EXPECT_FALSE(manager_.DeviceOpen());
  EXPECT_NE(Log().find("AUDIERE ERROR: OpenDevice() failed.\n"), std::string::npos);
}

TEST_F(SoundManagerTest, FirstOutputThatOpensWins) {
  device_.SetAvailableOutputs({"directsound", "winmm", ""});
  manager_.Start();
  EXPECT_EQ(device_.Calls(), (std::vector<std::string>{"open directsound"}));
  EXPECT_NE(Log().find("OpenDevice( \"directsound\" )\nAUDIERE DEVICE: Direct Sound.\n"),
            std::string::npos);
  manager_.Stop();

  device_.SetAvailableOutputs({"winmm"});
  device_.ClearCalls();
  manager_.Start();
  EXPECT_EQ(device_.Calls(), (std::vector<std::string>{"open directsound", "open winmm"}));
  EXPECT_NE(Log().find("OpenDevice( \"winmm\" )\nAUDIERE DEVICE: WINMM.\n"), std::string::npos);
  manager_.Stop();

  device_.SetAvailableOutputs({""});
  manager_.Start();
  EXPECT_NE(Log().find("OpenDevice( \"\" )\nAUDIERE DEVICE: recorder.\n"), std::string::npos);
  EXPECT_TRUE(manager_.DeviceOpen());
}

TEST_F(SoundManagerTest, LibraryOpensEachSoundOnceWhateverTheCaseOfItsName) {
  WriteSound("Data/Audio/Click.wav");
  manager_.Start();
  SoundLibrary& effects = manager_.EffectsLibrary();

  auto first = effects.Load("Click.wav");
  auto second = effects.Load("Click.wav");
  auto third = effects.Load("CLICK.WAV");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first, second);
  EXPECT_EQ(first, third);
  EXPECT_EQ(CallsStartingWith("load"), 1u);
  EXPECT_EQ(effects.Count(), 1u);
  // The music library is a cache of its own.
  EXPECT_NE(manager_.MusicLibrary().Load("Click.wav"), first);
}

TEST_F(SoundManagerTest, FileIsFoundWhenItsNameDiffersInCaseOnDisk) {
  fs::remove_all(base_ / "Data");
  WriteSound("data/AUDIO/music.OGG");
  manager_.Start();

  SoundHandle& music = manager_.MusicHandle();
  music.Load("Music.ogg", manager_.MusicLibrary());
  ASSERT_FALSE(music.Empty());
  // The file on disk is the one opened (on Windows under the name asked for).
  EXPECT_TRUE(
      fs::equivalent(device_.Sounds().at(0)->path, base_ / "data" / "AUDIO" / "music.OGG"));
}

TEST_F(SoundManagerTest, MissingSoundWarnsOnceAndStaysSilent) {
  manager_.Start();
  SoundHandle& music = manager_.MusicHandle();
  music.Load("Music.ogg", manager_.MusicLibrary());
  music.Load("Music.ogg", manager_.MusicLibrary());
  music.Play(true);
  manager_.PauseMusic();
  manager_.ResumeMusic();

  EXPECT_TRUE(music.Empty());
  EXPECT_EQ(CallsStartingWith("load"), 1u);
  const std::string log = Log();
  const std::string warning = "WARNING: Failed to load sound Music.ogg.\n";
  EXPECT_NE(log.find(warning), std::string::npos);
  EXPECT_EQ(log.find(warning), log.rfind(warning));
}

TEST_F(SoundManagerTest, VolumeReachesLoadedAndLaterSounds) {
  WriteSound("Data/Audio/a.wav");
  WriteSound("Data/Audio/b.wav");
  manager_.Start();
  SoundLibrary& effects = manager_.EffectsLibrary();
  effects.Load("a.wav");
  effects.SetVolume(0.25f);
  effects.Load("b.wav");
  EXPECT_FLOAT_EQ(device_.Find("a.wav")->volume, 0.25f);
  EXPECT_FLOAT_EQ(device_.Find("b.wav")->volume, 0.25f);
  EXPECT_FLOAT_EQ(effects.Volume(), 0.25f);
}

TEST_F(SoundManagerTest, PlayRestartsFromTheStartAndStopKeepsThePosition) {
  WriteSound("Data/Audio/laser.wav");
  manager_.Start();
  SoundHandle laser;
  laser.Load("laser.wav", manager_.EffectsLibrary());
  device_.ClearCalls();

  laser.Play(false);
  laser.Play(false);
  laser.Stop();
  laser.Play(true);

  EXPECT_EQ(device_.Calls(), (std::vector<std::string>{"start laser.wav", "start laser.wav",
                                                       "stop laser.wav",
                                                       "start laser.wav repeat"}));
  laser.Release();
  EXPECT_TRUE(laser.Empty());
  laser.Play(false);  // nothing to play
  EXPECT_EQ(device_.Calls().size(), 4u);
}

TEST_F(SoundManagerTest, DeactivationPausesMusicAndReactivationContinuesIt) {
  WriteSound("Data/Audio/Music.ogg");
  manager_.Start();
  SoundHandle& music = manager_.MusicHandle();
  music.Load("Music.ogg", manager_.MusicLibrary());

  // Not started yet (the intro is still running): coming back leaves it silent.
  manager_.PauseMusic();
  manager_.ResumeMusic();
  EXPECT_FALSE(device_.Find("Music.ogg")->playing);
  EXPECT_EQ(device_.Find("Music.ogg")->resumes, 0);

  // Switched off by volume, then minimised and restored: still at volume 0.
  manager_.MusicLibrary().SetVolume(0.0f);
  music.Play(true);
  manager_.PauseMusic();
  EXPECT_FALSE(device_.Find("Music.ogg")->playing);
  manager_.ResumeMusic();
  const RecordedSound* sound = device_.Find("Music.ogg");
  EXPECT_TRUE(sound->playing);
  EXPECT_EQ(sound->resumes, 1);
  EXPECT_EQ(sound->starts, 1);  // continued, not restarted
  EXPECT_TRUE(sound->repeat);
  EXPECT_FLOAT_EQ(sound->volume, 0.0f);
}

TEST_F(SoundManagerTest, AfterStopHandlesNoLongerReachTheDevice) {
  WriteSound("Data/Audio/Click.wav");
  manager_.Start();
  SoundHandle click;
  click.Load("Click.wav", manager_.EffectsLibrary());
  manager_.Stop();
  EXPECT_EQ(device_.Calls().back(), "close");
  click.Play(false);
  click.Stop();
  EXPECT_EQ(device_.Calls().back(), "close");
}

TEST(FindFileTest, MatchesEveryComponentWithoutRegardToCase) {
  const fs::path base = fs::path(TAV_BINARY_DIR) / "tests" / "find_file_test";
  fs::remove_all(base);
  fs::create_directories(base / "Data" / "AuDiO");
  std::ofstream(base / "Data" / "AuDiO" / "Click.WAV") << "x";

  const std::string exact = (base / "Data" / "AuDiO" / "Click.WAV").string();
  EXPECT_EQ(FindFileIgnoringCase(exact), exact);
  const std::string otherCase = (base / "data" / "audio" / "click.wav").string();
  EXPECT_TRUE(fs::equivalent(FindFileIgnoringCase(otherCase), exact));
  const std::string missing = (base / "data" / "audio" / "nothing.wav").string();
  EXPECT_EQ(FindFileIgnoringCase(missing), missing);
  const std::string throughAFile = (base / "data" / "audio" / "click.wav" / "x").string();
  EXPECT_EQ(FindFileIgnoringCase(throughAFile), throughAFile);
  EXPECT_EQ(FindFileIgnoringCase(""), "");
}

}  // namespace
}  // namespace tav
