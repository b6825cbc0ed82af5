// The sound settings: the volume rule, Config.ini read back from good, partial
// and damaged files, the exact written lines, applying to the libraries and the
// dialog's controls, and the dialog saving when it closes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "audio/sound_manager.h"
#include "gui/check_box.h"
#include "gui/slider.h"
#include "gui/window_manager.h"
#include "screens/options_window.h"
#include "screens/sound_settings.h"
#include "screens_test_support.h"
#include "tests/base/temp_dir.h"

namespace tav {
namespace {

using Strings = std::vector<std::string>;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

SoundSettings ReadText(const std::string& text, SoundSettings start = SoundSettings()) {
  TempDir dir;
  WriteFile(dir / "Config.ini", text);
  EXPECT_TRUE(ReadSoundSettingsFrom(dir / "Config.ini", start));
  return start;
}

TEST(SoundSettingsTest, LibraryVolumeNeverBelowATenthWhileOn) {
  EXPECT_FLOAT_EQ(LibraryVolume(0.0f, true), 0.1f);
  EXPECT_FLOAT_EQ(LibraryVolume(1.0f, true), 1.0f);
  EXPECT_FLOAT_EQ(LibraryVolume(0.5f, true), 0.55f);
  EXPECT_FLOAT_EQ(LibraryVolume(1.0f, false), 0.0f);
  EXPECT_FLOAT_EQ(LibraryVolume(0.0f, false), 0.0f);
}

TEST(SoundSettingsTest, WrittenFileIsFiveLinesWithTwoDecimals) {
  TempDir dir;
  SoundSettings settings{0.756f, 0.1f, true, false};
  ASSERT_TRUE(WriteSoundSettingsTo(dir / "Config.ini", settings));
  EXPECT_EQ(ReadFile(dir / "Config.ini"),
            "[Sound]\nSoundVolume = 0.76\nMusicVolume = 0.10\nUseSound = 1\nUseMusic = 0\n");
  SoundSettings back;
  ASSERT_TRUE(ReadSoundSettingsFrom(dir / "Config.ini", back));
  EXPECT_FLOAT_EQ(back.soundVolume, 0.76f);
  EXPECT_FLOAT_EQ(back.musicVolume, 0.1f);
  EXPECT_TRUE(back.soundOn);
  EXPECT_FALSE(back.musicOn);
}

TEST(SoundSettingsTest, MissingFileKeepsValuesAndMissingKeysGiveKeyDefaults) {
  TempDir dir;
  SoundSettings settings{0.3f, 0.2f, false, false};
  EXPECT_FALSE(ReadSoundSettingsFrom(dir / "none.ini", settings));
  EXPECT_FLOAT_EQ(settings.soundVolume, 0.3f);
  EXPECT_FALSE(settings.soundOn);

  // An empty file is not a missing one: volumes 0.5, switches on.
  settings = ReadText("", settings);
  EXPECT_FLOAT_EQ(settings.soundVolume, 0.5f);
  EXPECT_FLOAT_EQ(settings.musicVolume, 0.5f);
  EXPECT_TRUE(settings.soundOn);
  EXPECT_TRUE(settings.musicOn);

  // Any layout the reader accepts: case, spaces, CR line ends, other sections.
  settings =
      ReadText("[other]\r\nSoundVolume=0.1\r\n[SOUND]\r\nsoundvolume=0.25\r\nUSEMUSIC = 0\r\n");
  EXPECT_FLOAT_EQ(settings.soundVolume, 0.25f);
  EXPECT_FLOAT_EQ(settings.musicVolume, 0.5f);
  EXPECT_TRUE(settings.soundOn);
  EXPECT_FALSE(settings.musicOn);
}

TEST(SoundSettingsTest, OnlyTheTextOneSwitchesOn) {
  SoundSettings settings = ReadText("[Sound]\nUseSound = true\nUseMusic = 1\n");
  EXPECT_FALSE(settings.soundOn);
  EXPECT_TRUE(settings.musicOn);
  EXPECT_NE(FormatSoundSettings(settings).find("UseSound = 0\n"), std::string::npos);
  EXPECT_FALSE(ReadText("[Sound]\nUseSound = yes\n").soundOn);
  EXPECT_FALSE(ReadText("[Sound]\nUseSound = 0\n").soundOn);
}

TEST(SoundSettingsTest, DamagedVolumesGiveSaneValues) {
  SoundSettings settings = ReadText("[Sound]\nSoundVolume = loud\nMusicVolume = nan\n");
  EXPECT_FLOAT_EQ(settings.soundVolume, 0.5f);
  EXPECT_FLOAT_EQ(settings.musicVolume, 0.5f);
  settings = ReadText("[Sound]\nSoundVolume = 7.5\nMusicVolume = -2\n");
  EXPECT_FLOAT_EQ(settings.soundVolume, 1.0f);
  EXPECT_FLOAT_EQ(settings.musicVolume, 0.0f);
  settings = ReadText("[Sound]\nSoundVolume = inf\nMusicVolume = 1e40\n");
  EXPECT_FLOAT_EQ(settings.soundVolume, 0.5f);
  EXPECT_FLOAT_EQ(settings.musicVolume, 0.5f);
  // Binary junk and a line far longer than the reader's limit.
  settings = ReadText(std::string("\0\xff[Sound\n=\n\x01", 10) + std::string(5000, 'v') +
                      "\n[Sound]\nMusicVolume = 0.3\n");
  EXPECT_FLOAT_EQ(settings.musicVolume, 0.3f);
}

// Applying, against a window manager of its own that holds the options dialog.
class ApplySettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dialog = windows.AddWindow(std::make_unique<OptionsWindow>("OptionsWindow"));
  }

  Slider& SliderNamed(const std::string& name) {
    return *static_cast<Slider*>(dialog->FindControl(name));
  }
  CheckBox& CheckNamed(const std::string& name) {
    return *static_cast<CheckBox*>(dialog->FindControl(name));
  }

  WindowManager windows;
  OptionsWindow* dialog = nullptr;
};

TEST_F(ApplySettingsTest, SetsLibraryVolumesAndControlsWithoutNotifying) {
  SoundManager& sound = SoundManager::Instance();
  ApplySoundSettings(SoundSettings{0.0f, 0.6f, true, false}, sound, windows);
  EXPECT_FLOAT_EQ(sound.EffectsLibrary().Volume(), 0.1f);
  EXPECT_FLOAT_EQ(sound.MusicLibrary().Volume(), 0.0f);
  EXPECT_FLOAT_EQ(SliderNamed("SoundSlider").Value(), 0.0f);
  EXPECT_FLOAT_EQ(SliderNamed("MusicSlider").Value(), 0.6f);
  EXPECT_TRUE(CheckNamed("SoundCheck").IsTicked());
  EXPECT_FALSE(CheckNamed("MusicCheck").IsTicked());
  EXPECT_EQ(test::RunFrames(*dialog, 1), Strings{});

  ApplySoundSettings(SoundSettings{1.0f, 0.2f, false, true}, sound, windows);
  EXPECT_FLOAT_EQ(sound.EffectsLibrary().Volume(), 0.0f);
  EXPECT_FLOAT_EQ(sound.MusicLibrary().Volume(), 0.28f);
  EXPECT_FALSE(CheckNamed("SoundCheck").IsTicked());
  EXPECT_TRUE(CheckNamed("MusicCheck").IsTicked());
  EXPECT_FLOAT_EQ(SliderNamed("SoundSlider").Value(), 1.0f);
}

TEST_F(ApplySettingsTest, ControlsSitWhereThePlayerExpectsThem) {
  // Value 0 at x 307 and 1 at x 490 on the sound track at y 403.
  EXPECT_EQ(SliderNamed("SoundSlider").KnobPoint(), Vec2(307, 403));
  SliderNamed("MusicSlider").OnCommand("SetValue 1");
  EXPECT_EQ(SliderNamed("MusicSlider").KnobPoint(), Vec2(490, 343));
  // A click on the sound check box toggles it and says so.
  CheckNamed("SoundCheck").OnCommand("SetValue True");
  test::Click(*dialog, 318, 300);
  EXPECT_FALSE(CheckNamed("SoundCheck").IsTicked());
  const Strings words = test::RunFrames(*dialog, 1);
  EXPECT_NE(std::find(words.begin(), words.end(), "False"), words.end());
}

TEST(OptionsWindowTest, ClosingSavesTheSettingsAndFadesOut) {
  const std::string path = test::GamePath("Data/Config.ini");
  std::filesystem::remove(path);
  GetSoundSettings() = SoundSettings{0.25f, 0.75f, false, true};
  OptionsWindow dialog("OptionsWindow");
  dialog.Command("OptionsBegin");
  EXPECT_EQ(test::RunFrames(dialog, 7), Strings{});  // a third of a second, silent
  EXPECT_EQ(dialog.Blend(), 0.0f);
  EXPECT_FALSE(std::filesystem::exists(path));

  dialog.Command("OptionsEnd");
  EXPECT_EQ(ReadFile(path),
            "[Sound]\nSoundVolume = 0.25\nMusicVolume = 0.75\nUseSound = 0\nUseMusic = 1\n");
  EXPECT_EQ(test::RunFrames(dialog, 6), Strings{});
  EXPECT_EQ(test::RunFrames(dialog, 1), Strings{"EndBlend"});
  GetSoundSettings() = SoundSettings();
  std::filesystem::remove(path);
}

TEST(OptionsWindowTest, IgnoresEnableDisableAndBroadcasts) {
  OptionsWindow dialog("OptionsWindow");
  dialog.Command("Disable");
  EXPECT_TRUE(dialog.IsEnabled());
  auto& check = *static_cast<CheckBox*>(dialog.FindControl("MusicCheck"));
  dialog.Command("SetValue True");  // not passed on to the controls
  EXPECT_FALSE(check.IsTicked());
}

}  // namespace
}  // namespace tav
