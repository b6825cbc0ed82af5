// The Windows audio device. It opens one of two outputs by name: "directsound" (one
// DirectSound buffer per loaded sound, so each sound plays, stops and loops on its
// own) or "winmm" (a waveOut stream fed by our own mixer on a thread of its own).
// Sounds are decoded by our WAV and Ogg Vorbis decoders, since neither output
// reads files.
#pragma once

#include <memory>
#include <string>

#include "audio/audio_device.h"

namespace tav {

class WindowsAudioDevice : public AudioDevice {
 public:
  // `window` (an HWND) is the game's main window, which DirectSound ties its
  // cooperative level to; null means the desktop.
  explicit WindowsAudioDevice(void* window);
  ~WindowsAudioDevice() override;
  WindowsAudioDevice(const WindowsAudioDevice&) = delete;
  WindowsAudioDevice& operator=(const WindowsAudioDevice&) = delete;

  // "directsound" or "winmm"; any other name (the system default "") is not
  // offered here and gives false, as does an output that fails to open.
  bool Open(const std::string& name) override;
  std::string Description() override;
  void Close() override;
  std::shared_ptr<SoundStream> OpenSound(const std::string& path) override;

 private:
  void* window_;
  std::unique_ptr<AudioDevice> output_;
};

// The two outputs, usable on their own.
std::unique_ptr<AudioDevice> MakeDirectSoundOutput(void* window);
std::unique_ptr<AudioDevice> MakeWaveOutOutput();

}  // namespace tav
