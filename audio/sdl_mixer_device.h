// The Linux audio device on SDL2_mixer. Every loaded sound gets a mixer channel of its
// own, so a sound is stopped, resumed and restarted without touching any other; the
// music is streamed through the mixer's music slot.
#pragma once

#include <memory>
#include <string>

#include "audio/audio_device.h"

namespace tav {

struct MixerState;

class SdlMixerDevice : public AudioDevice {
 public:
  SdlMixerDevice();
  ~SdlMixerDevice() override;
  SdlMixerDevice(const SdlMixerDevice&) = delete;
  SdlMixerDevice& operator=(const SdlMixerDevice&) = delete;

  // Opens SDL's audio driver of this name ("" = SDL's choice, which honours
  // SDL_AUDIODRIVER) and the mixer on it.
  bool Open(const std::string& name) override;
  std::string Description() override;
  void Close() override;
  std::shared_ptr<SoundStream> OpenSound(const std::string& path) override;
  std::shared_ptr<SoundStream> OpenMusic(const std::string& path) override;

 private:
  std::shared_ptr<MixerState> state_;
};

}  // namespace tav
