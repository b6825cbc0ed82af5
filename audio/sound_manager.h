// The sound manager: one process-wide audio device, the music and effects libraries
// (named caches of loaded sounds with one volume each) and sound handles, through
// which the game plays, stops and resumes one sound. Without a device every
// operation quietly does nothing and the game runs silent.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "audio/audio_device.h"

namespace tav {

class SoundLibrary {
 public:
  // A `streamed` library opens its sounds as music (AudioDevice::OpenMusic).
  explicit SoundLibrary(bool streamed = false) : streamed_(streamed) {}
  // The library's sound named `name` (case-insensitive), loaded from
  // Data\Audio\<name> on first use. A sound that failed to load stays failed (null)
  // and is not retried. Null too while no device is open.
  std::shared_ptr<SoundStream> Load(const std::string& name);
  // Sets the volume of every loaded sound and of the sounds loaded later.
  void SetVolume(float volume);
  float Volume() const { return volume_; }
  // Drops every sound; handles that still hold one keep it alive.
  void Clear();
  size_t Count() const { return entries_.size(); }

 private:
  struct Entry {
    std::string name;
    std::shared_ptr<SoundStream> stream;  // null when loading failed
  };
  std::vector<Entry> entries_;
  float volume_ = 1.0f;
  bool streamed_ = false;
};

// A reference to one loaded sound. Empty until loaded, or when loading failed.
class SoundHandle {
 public:
  // Takes the library's sound (loading it if needed), replacing any previous one.
  // Does nothing while no device is open.
  void Load(const std::string& name, SoundLibrary& library);
  // Plays from the beginning (a playing sound restarts), looping with `repeat`.
  void Play(bool repeat);
  // Stops, keeping the position.
  void Stop();
  // For the main loop when the game is deactivated and reactivated: pausing keeps
  // the position, resuming continues from it, and only if the sound was playing
  // when it was paused.
  void PauseForDeactivation();
  void ResumeAfterReactivation();
  void Release();
  bool Empty() const { return stream_ == nullptr; }
  SoundStream* Stream() const { return stream_.get(); }

 private:
  std::shared_ptr<SoundStream> stream_;
  bool pausedWhilePlaying_ = false;
};

class SoundManager {
 public:
  static SoundManager& Instance();

  // Installs the device Start opens (not owned). Null: no device, a silent game.
  void SetDevice(AudioDevice* device) { device_ = device; }
  AudioDevice* Device() const { return device_; }

  // Opens the device: the outputs "directsound" and "winmm" (as they are called on
  // Windows), then the system's default output. Each attempt is logged; failing
  // all of them only leaves the game silent.
  void Start();
  // Closes the device if it was opened.
  void Stop();
  bool DeviceOpen() const { return open_; }

  SoundLibrary& MusicLibrary() { return music_; }
  SoundLibrary& EffectsLibrary() { return effects_; }
  // The handle of the game's music, which the main loop pauses while the game is
  // deactivated and resumes when it returns.
  SoundHandle& MusicHandle() { return musicHandle_; }
  void PauseMusic() { musicHandle_.PauseForDeactivation(); }
  void ResumeMusic() { musicHandle_.ResumeAfterReactivation(); }

  // Back to a fresh process: closed, libraries and music handle emptied, volumes 1,
  // no device installed. For tests.
  void ResetForTests();

 private:
  bool TryOpen(const char* name, const char* logName);

  AudioDevice* device_ = nullptr;
  bool open_ = false;
  SoundLibrary music_{true};  // the music is long: streamed, not decoded whole
  SoundLibrary effects_;
  SoundHandle musicHandle_;
};

}  // namespace tav
