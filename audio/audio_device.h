// The audio device interface the sound manager plays through: an output that can be
// opened by name, and sounds loaded whole from files, each of which plays on its own
// so that stopping one never disturbs another. The Linux device is SDL2_mixer; tests
// use a recorder.
#pragma once

#include <memory>
#include <string>

namespace tav {

// One loaded sound and its playing position.
class SoundStream {
 public:
  virtual ~SoundStream() = default;
  // Plays from the beginning, restarting it if it is already playing; with `repeat`
  // it loops until stopped.
  virtual void PlayFromStart(bool repeat) = 0;
  // Stops, keeping the position.
  virtual void Stop() = 0;
  // Continues from the kept position (from the beginning if it never played or
  // has ended); nothing if it is playing.
  virtual void Resume() = 0;
  virtual bool IsPlaying() = 0;
  // 0 (silent) to 1 (full); values outside are clamped.
  virtual void SetVolume(float volume) = 0;
};

class AudioDevice {
 public:
  virtual ~AudioDevice() = default;
  // Opens the output with this name; "" is the system's default output. False when
  // the output does not exist or cannot be opened.
  virtual bool Open(const std::string& name) = 0;
  // A short human-readable name of the opened output, for the log.
  virtual std::string Description() = 0;
  // Closes the output. Sounds still held elsewhere fall silent and stay harmless.
  virtual void Close() = 0;
  // Loads a whole sound file (format detected from its contents); null when the
  // file is missing or unreadable, or the device is not open.
  virtual std::shared_ptr<SoundStream> OpenSound(const std::string& path) = 0;
  // Opens a long piece of music, played while it is read and decoded rather than
  // decoded whole first; otherwise like OpenSound. One piece of music plays at a time.
  // Devices without streaming load it whole.
  virtual std::shared_ptr<SoundStream> OpenMusic(const std::string& path) {
    return OpenSound(path);
  }
};

}  // namespace tav
