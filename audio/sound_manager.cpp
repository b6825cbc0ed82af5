// The sound manager, its two libraries and the sound handles.
#include "audio/sound_manager.h"

#include "audio/find_file.h"
#include "base/case_compare.h"
#include "base/data_path.h"
#include "base/log.h"

namespace tav {

// --- SoundLibrary

std::shared_ptr<SoundStream> SoundLibrary::Load(const std::string& name) {
  for (const Entry& entry : entries_) {
    if (EqualIgnoringCase(entry.name, name)) return entry.stream;
  }
  SoundManager& manager = SoundManager::Instance();
  if (!manager.DeviceOpen() || manager.Device() == nullptr) return nullptr;

  // Sounds are loose files, never read from the package.
  const std::string path = FindFileIgnoringCase(DataPath("Data\\Audio\\" + name));
  entries_.push_back(Entry{name, nullptr});
  std::shared_ptr<SoundStream> stream =
      streamed_ ? manager.Device()->OpenMusic(path) : manager.Device()->OpenSound(path);
  if (stream) {
    stream->SetVolume(volume_);
  } else {
    LogLine("WARNING: Failed to load sound %s.\n", name.c_str());
  }
  entries_.back().stream = stream;
  return stream;
}

void SoundLibrary::SetVolume(float volume) {
  volume_ = volume;
  for (const Entry& entry : entries_) {
    if (entry.stream) entry.stream->SetVolume(volume);
  }
}

void SoundLibrary::Clear() { entries_.clear(); }

// --- SoundHandle

void SoundHandle::Load(const std::string& name, SoundLibrary& library) {
  if (!SoundManager::Instance().DeviceOpen()) return;
  stream_ = library.Load(name);
  pausedWhilePlaying_ = false;
}

void SoundHandle::Play(bool repeat) {
  if (!SoundManager::Instance().DeviceOpen() || !stream_) return;
  stream_->PlayFromStart(repeat);
}

void SoundHandle::Stop() {
  if (!SoundManager::Instance().DeviceOpen() || !stream_) return;
  stream_->Stop();
}

void SoundHandle::PauseForDeactivation() {
  if (!SoundManager::Instance().DeviceOpen() || !stream_) return;
  pausedWhilePlaying_ = stream_->IsPlaying();
  stream_->Stop();
}

void SoundHandle::ResumeAfterReactivation() {
  if (!SoundManager::Instance().DeviceOpen() || !stream_) return;
  // Music that had not started yet (the intro) or had been stopped stays as it was.
  if (pausedWhilePlaying_) stream_->Resume();
  pausedWhilePlaying_ = false;
}

void SoundHandle::Release() {
  stream_.reset();
  pausedWhilePlaying_ = false;
}

// --- SoundManager

SoundManager& SoundManager::Instance() {
  static SoundManager manager;
  return manager;
}

bool SoundManager::TryOpen(const char* name, const char* logName) {
  LogLine("OpenDevice( \"%s\" )\n", logName);
  return device_ != nullptr && device_->Open(name);
}

void SoundManager::Start() {
  LogLine("sound initialization\n");
  if (open_) return;
  if (TryOpen("directsound", "directsound")) {
    LogLine("AUDIERE DEVICE: Direct Sound.\n");
    open_ = true;
    return;
  }
  if (TryOpen("winmm", "winmm")) {
    LogLine("AUDIERE DEVICE: WINMM.\n");
    open_ = true;
    return;
  }
  if (TryOpen("", "")) {
    LogLine("AUDIERE DEVICE: %s.\n", device_->Description().c_str());
    open_ = true;
    return;
  }
  LogLine("AUDIERE ERROR: OpenDevice() failed.\n");
}

void SoundManager::Stop() {
  if (open_ && device_ != nullptr) device_->Close();
  open_ = false;
}

void SoundManager::ResetForTests() {
  Stop();
  musicHandle_.Release();
  music_.Clear();
  effects_.Clear();
  music_.SetVolume(1.0f);
  effects_.SetVolume(1.0f);
  device_ = nullptr;
}

}  // namespace tav
