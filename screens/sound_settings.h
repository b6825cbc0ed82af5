// The four sound settings (effects and music volume, a switch for each), the
// file Data\Config.ini that keeps them between runs, and the rule that turns
// them into the two library volumes: (volume * 0.9 + 0.1) while switched on, 0
// while off, so an enabled category never plays below a tenth of full volume.
#pragma once

#include <string>

namespace tav {

class SoundManager;
class WindowManager;

struct SoundSettings {
  float soundVolume = 1.0f;
  float musicVolume = 1.0f;
  bool soundOn = true;
  bool musicOn = true;
};

// The process-wide settings the options dialog and the application share.
SoundSettings& GetSoundSettings();

// The library volume of one category.
float LibraryVolume(float volume, bool on);

// Reads Data\Config.ini (section "Sound"). A missing file leaves `settings` as
// they are and returns false. In an existing file a missing volume key gives
// 0.5, a missing switch key gives on, and a switch is on only for the text "1".
// A volume that is not a number gives 0.5 and one outside 0 to 1 is clamped,
// each with a warning in the log.
bool ReadSoundSettings(SoundSettings& settings);
bool ReadSoundSettingsFrom(const std::string& nativePath, SoundSettings& settings);

// The five lines of the file, each ended by a line feed.
std::string FormatSoundSettings(const SoundSettings& settings);
// Writes Data\Config.ini atomically; false when it could not be written.
bool WriteSoundSettings(const SoundSettings& settings);
bool WriteSoundSettingsTo(const std::string& nativePath, const SoundSettings& settings);

// Sets the effects and music library volumes, then shows the values on the
// options dialog's sliders and check boxes ("SetValue ..." to SoundSlider,
// MusicSlider, SoundCheck and MusicCheck of "OptionsWindow"), which take them
// without reporting back.
void ApplySoundSettings(const SoundSettings& settings, SoundManager& sound, WindowManager& windows);
// The same with the process-wide settings, sound manager and window manager.
void ApplySoundSettings();

}  // namespace tav
