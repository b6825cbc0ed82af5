// The software mixer: nearest-frame resampling (our sounds are made at the output's
// rate, so it only matters for foreign files), mono voices spread to both sides.
#include "audio/sound_mixer.h"

#include <algorithm>

namespace tav {

int SoundMixer::AddVoice(std::shared_ptr<const DecodedSound> sound) {
  Voice voice;
  voice.step = sound && sound->sampleRate > 0
                   ? static_cast<double>(sound->sampleRate) / outputRate_
                   : 1.0;
  voice.sound = std::move(sound);
  voices_.push_back(std::move(voice));
  return static_cast<int>(voices_.size()) - 1;
}

SoundMixer::Voice* SoundMixer::Find(int voice) {
  if (voice < 0 || voice >= static_cast<int>(voices_.size())) return nullptr;
  Voice& found = voices_[voice];
  return found.sound ? &found : nullptr;
}

const SoundMixer::Voice* SoundMixer::Find(int voice) const {
  return const_cast<SoundMixer*>(this)->Find(voice);
}

void SoundMixer::RemoveVoice(int voice) {
  if (Voice* found = Find(voice)) *found = Voice{};
}

void SoundMixer::PlayFromStart(int voice, bool repeat) {
  if (Voice* found = Find(voice)) {
    found->position = 0;
    found->repeat = repeat;
    found->playing = true;
  }
}

void SoundMixer::Stop(int voice) {
  if (Voice* found = Find(voice)) found->playing = false;
}

void SoundMixer::Resume(int voice) {
  Voice* found = Find(voice);
  if (found == nullptr || found->playing) return;
  if (found->position >= static_cast<double>(found->sound->FrameCount())) found->position = 0;
  found->playing = true;
}

bool SoundMixer::IsPlaying(int voice) const {
  const Voice* found = Find(voice);
  return found != nullptr && found->playing;
}

void SoundMixer::SetVolume(int voice, float volume) {
  if (Voice* found = Find(voice)) found->volume = std::clamp(volume, 0.0f, 1.0f);
}

void SoundMixer::Mix(int16_t* output, size_t frameCount) {
  sum_.assign(frameCount * 2, 0);
  for (Voice& voice : voices_) {
    if (!voice.sound || !voice.playing) continue;
    const DecodedSound& sound = *voice.sound;
    const size_t frames = sound.FrameCount();
    const int channels = sound.channels;
    // Volume as a 16.16 fixed-point factor, so the inner loop stays integer.
    const int32_t gain = static_cast<int32_t>(voice.volume * 65536.0f);
    for (size_t i = 0; i < frameCount; ++i) {
      size_t frame = static_cast<size_t>(voice.position);
      if (frame >= frames) {
        if (!voice.repeat || frames == 0) {
          voice.playing = false;
          voice.position = static_cast<double>(frames);
          break;
        }
        voice.position -= static_cast<double>(frames);
        frame = static_cast<size_t>(voice.position);
        if (frame >= frames) frame = 0;
      }
      const int16_t* samples = sound.samples.data() + frame * channels;
      const int32_t left = samples[0];
      const int32_t right = channels == 2 ? samples[1] : samples[0];
      sum_[2 * i] += static_cast<int32_t>((static_cast<int64_t>(left) * gain) >> 16);
      sum_[2 * i + 1] += static_cast<int32_t>((static_cast<int64_t>(right) * gain) >> 16);
      voice.position += voice.step;
    }
  }
  for (size_t i = 0; i < sum_.size(); ++i) {
    output[i] = static_cast<int16_t>(std::clamp(sum_[i], -32768, 32767));
  }
}

}  // namespace tav
