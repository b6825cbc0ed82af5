// The Windows audio device: chooses the output by name and hands every call to it.
#include "audio/win32/windows_audio_device.h"

namespace tav {

WindowsAudioDevice::WindowsAudioDevice(void* window) : window_(window) {}

WindowsAudioDevice::~WindowsAudioDevice() { Close(); }

bool WindowsAudioDevice::Open(const std::string& name) {
  if (output_) return true;
  std::unique_ptr<AudioDevice> output;
  if (name == "directsound") {
    output = MakeDirectSoundOutput(window_);
  } else if (name == "winmm") {
    output = MakeWaveOutOutput();
  } else {
    return false;
  }
  if (!output->Open(name)) return false;
  output_ = std::move(output);
  return true;
}

std::string WindowsAudioDevice::Description() {
  return output_ ? output_->Description() : std::string("none");
}

void WindowsAudioDevice::Close() {
  if (output_) output_->Close();
  output_.reset();
}

std::shared_ptr<SoundStream> WindowsAudioDevice::OpenSound(const std::string& path) {
  return output_ ? output_->OpenSound(path) : nullptr;
}

}  // namespace tav
