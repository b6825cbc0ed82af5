// Feeds bytes to the sound settings reader as Data/Config.ini; whatever it reads
// must give volumes the sound libraries accept.
#include <cmath>

#include "fuzz/support/fuzz_support.h"
#include "screens/sound_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tav::fuzz::ResetLog();
  const std::string path = tav::fuzz::WriteScratchFile("Data/Config.ini", data, size);
  tav::SoundSettings settings;
  tav::ReadSoundSettingsFrom(path, settings);
  for (float volume : {settings.soundVolume, settings.musicVolume}) {
    if (!(volume >= 0.0f && volume <= 1.0f)) __builtin_trap();
  }
  const float library = tav::LibraryVolume(settings.musicVolume, settings.musicOn);
  if (!(library >= 0.0f && library <= 1.0f)) __builtin_trap();
  tav::FormatSoundSettings(settings);
  return 0;
}
