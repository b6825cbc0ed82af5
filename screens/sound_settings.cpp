// Reading, writing and applying the sound settings.
#include "screens/sound_settings.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "audio/sound_manager.h"
#include "base/atomic_file.h"
#include "base/data_path.h"
#include "base/ini_file.h"
#include "base/log.h"
#include "gui/window_manager.h"

namespace tav {

namespace {

const char kConfigName[] = "Data\\Config.ini";
constexpr float kMissingVolume = 0.5f;

// A volume value from the file. Garbage or a value that is not finite gives the
// key's default; values outside 0 to 1 are clamped, since a library volume
// above full or below silence has no meaning to the sound device.
float ReadVolume(IniFile& ini, const char* key) {
  std::string text;
  if (!ini.Get("Sound", key, &text)) return kMissingVolume;
  float value = 0.0f;
  if (std::sscanf(text.c_str(), "%f", &value) != 1 || !std::isfinite(value)) {
    LogLine("WARNING: %s = %s in Config.ini is not a volume; using %.2f.\n", key, text.c_str(),
            kMissingVolume);
    return kMissingVolume;
  }
  if (value < 0.0f || value > 1.0f) {
    float clamped = value < 0.0f ? 0.0f : 1.0f;
    LogLine("WARNING: %s = %s in Config.ini is outside 0 to 1; using %.2f.\n", key, text.c_str(),
            clamped);
    return clamped;
  }
  return value;
}

bool ReadSwitch(IniFile& ini, const char* key) {
  std::string text;
  if (!ini.Get("Sound", key, &text)) return true;
  return text == "1";
}

bool ReadOpenFile(IniFile& ini, SoundSettings& settings) {
  if (!ini.IsOpen()) return false;
  settings.soundVolume = ReadVolume(ini, "SoundVolume");
  settings.musicVolume = ReadVolume(ini, "MusicVolume");
  settings.soundOn = ReadSwitch(ini, "UseSound");
  settings.musicOn = ReadSwitch(ini, "UseMusic");
  ini.Close();
  return true;
}

}  // namespace

SoundSettings& GetSoundSettings() {
  static SoundSettings settings;
  return settings;
}

float LibraryVolume(float volume, bool on) {
  return (volume * 0.9f + 0.1f) * (on ? 1.0f : 0.0f);
}

bool ReadSoundSettings(SoundSettings& settings) {
  IniFile ini;
  ini.OpenPath(PlayerFilePath(kConfigName));
  return ReadOpenFile(ini, settings);
}

bool ReadSoundSettingsFrom(const std::string& nativePath, SoundSettings& settings) {
  IniFile ini;
  ini.OpenPath(nativePath);
  return ReadOpenFile(ini, settings);
}

std::string FormatSoundSettings(const SoundSettings& settings) {
  char text[256];
  std::snprintf(text, sizeof text,
                "[Sound]\nSoundVolume = %.2f\nMusicVolume = %.2f\nUseSound = %d\nUseMusic = %d\n",
                settings.soundVolume, settings.musicVolume, settings.soundOn ? 1 : 0,
                settings.musicOn ? 1 : 0);
  return text;
}

bool WriteSoundSettings(const SoundSettings& settings) {
  return WriteSoundSettingsTo(PlayerFilePath(kConfigName), settings);
}

bool WriteSoundSettingsTo(const std::string& nativePath, const SoundSettings& settings) {
  return WriteFileAtomically(nativePath, FormatSoundSettings(settings));
}

void ApplySoundSettings(const SoundSettings& settings, SoundManager& sound,
                        WindowManager& windows) {
  sound.EffectsLibrary().SetVolume(LibraryVolume(settings.soundVolume, settings.soundOn));
  sound.MusicLibrary().SetVolume(LibraryVolume(settings.musicVolume, settings.musicOn));
  char command[64];
  std::snprintf(command, sizeof command, "SetValue %f", settings.soundVolume);
  windows.SendToControl("OptionsWindow", "SoundSlider", command);
  std::snprintf(command, sizeof command, "SetValue %f", settings.musicVolume);
  windows.SendToControl("OptionsWindow", "MusicSlider", command);
  windows.SendToControl("OptionsWindow", "SoundCheck",
                        settings.soundOn ? "SetValue True" : "SetValue False");
  windows.SendToControl("OptionsWindow", "MusicCheck",
                        settings.musicOn ? "SetValue True" : "SetValue False");
}

void ApplySoundSettings() {
  ApplySoundSettings(GetSoundSettings(), SoundManager::Instance(), GetWindowManager());
}

}  // namespace tav
