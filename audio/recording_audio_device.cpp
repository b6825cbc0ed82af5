// The recording audio device and its sounds.
#include "audio/recording_audio_device.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace tav {

namespace {

class RecordingStream : public SoundStream {
 public:
  RecordingStream(std::shared_ptr<RecordedSound> sound,
                  std::shared_ptr<std::vector<std::string>> calls)
      : sound_(std::move(sound)), calls_(std::move(calls)) {}

  void PlayFromStart(bool repeat) override {
    sound_->playing = true;
    sound_->repeat = repeat;
    ++sound_->starts;
    calls_->push_back("start " + sound_->fileName + (repeat ? " repeat" : ""));
  }
  void Stop() override {
    sound_->playing = false;
    ++sound_->stops;
    calls_->push_back("stop " + sound_->fileName);
  }
  void Resume() override {
    if (sound_->playing) return;
    sound_->playing = true;
    ++sound_->resumes;
    calls_->push_back("resume " + sound_->fileName);
  }
  bool IsPlaying() override { return sound_->playing; }
  void SetVolume(float volume) override {
    sound_->volume = std::clamp(volume, 0.0f, 1.0f);
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", sound_->volume);
    calls_->push_back("volume " + sound_->fileName + " " + text);
  }

 private:
  std::shared_ptr<RecordedSound> sound_;
  std::shared_ptr<std::vector<std::string>> calls_;
};

}  // namespace

RecordingAudioDevice::RecordingAudioDevice()
    : calls_(std::make_shared<std::vector<std::string>>()) {}

const RecordedSound* RecordingAudioDevice::Find(const std::string& fileName) const {
  for (auto it = sounds_.rbegin(); it != sounds_.rend(); ++it) {
    if ((*it)->fileName == fileName) return it->get();
  }
  return nullptr;
}

bool RecordingAudioDevice::Open(const std::string& name) {
  calls_->push_back("open " + name);
  open_ = outputs_.count(name) != 0;
  return open_;
}

void RecordingAudioDevice::Close() {
  calls_->push_back("close");
  open_ = false;
}

std::shared_ptr<SoundStream> RecordingAudioDevice::OpenSound(const std::string& path) {
  calls_->push_back("load " + path);
  std::error_code error;
  if (!open_ || (!openAnyPath_ && !std::filesystem::is_regular_file(path, error))) {
    return nullptr;
  }
  auto sound = std::make_shared<RecordedSound>();
  sound->path = path;
  sound->fileName = std::filesystem::path(path).filename().string();
  sounds_.push_back(sound);
  return std::make_shared<RecordingStream>(sound, calls_);
}

}  // namespace tav
