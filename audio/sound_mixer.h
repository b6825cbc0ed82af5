// A small software mixer for audio outputs that take one stream of samples (the
// Windows waveOut device): every loaded sound is a voice with its own position,
// repeat flag and volume, and the output pulls mixed 16-bit stereo frames from it.
// It does no locking of its own; the device that feeds it from another thread
// holds a lock around every call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "audio/sound_decoder.h"

namespace tav {

class SoundMixer {
 public:
  explicit SoundMixer(int outputRate) : outputRate_(outputRate) {}

  // Adds a decoded sound as a stopped voice at full volume; returns its number.
  int AddVoice(std::shared_ptr<const DecodedSound> sound);
  // The voice stops and its number is never mixed again.
  void RemoveVoice(int voice);

  void PlayFromStart(int voice, bool repeat);
  void Stop(int voice);    // keeps the position
  void Resume(int voice);  // from the kept position; from the start after the end
  bool IsPlaying(int voice) const;
  void SetVolume(int voice, float volume);  // clamped to 0..1

  // Mixes `frameCount` stereo frames into `output` (interleaved left, right),
  // overwriting it; silence where nothing plays. Sums are clipped to 16 bits.
  void Mix(int16_t* output, size_t frameCount);

 private:
  struct Voice {
    std::shared_ptr<const DecodedSound> sound;
    double position = 0;  // in the sound's frames
    double step = 1;      // the sound's frames per output frame
    float volume = 1;
    bool playing = false;
    bool repeat = false;
  };
  Voice* Find(int voice);
  const Voice* Find(int voice) const;

  int outputRate_;
  std::vector<Voice> voices_;  // indexed by voice number; removed ones have no sound
  std::vector<int32_t> sum_;
};

}  // namespace tav
