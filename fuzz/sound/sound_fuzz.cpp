// Feeds bytes to the SDL2_mixer device as a sound file (WAV, Ogg Vorbis, or anything
// the mixer detects) on SDL's dummy audio driver, and plays what loads.
#include <cstdlib>

#include "audio/sdl_mixer_device.h"
#include "fuzz/support/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static tav::SdlMixerDevice* device = [] {
    // SDL's silent driver: the mixer mixes as on a sound card, no card needed.
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    auto* opened = new tav::SdlMixerDevice();
    if (!opened->Open("")) __builtin_trap();
    return opened;
  }();
  const std::string path = tav::fuzz::WriteScratchFile("Data/Audio/sound.wav", data, size);
  if (std::shared_ptr<tav::SoundStream> sound = device->OpenSound(path)) {
    sound->SetVolume(0.5f);
    sound->PlayFromStart(false);
    sound->Stop();
  }
  return 0;
}
