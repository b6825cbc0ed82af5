// SDL2_mixer device: sounds are decoded whole into chunks (WAV, Ogg Vorbis, ...) and
// each plays on a channel reserved for it for as long as it is loaded.
#include "audio/sdl_mixer_device.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <set>
#include <vector>

namespace tav {

// Shared between the device and its sounds, so that a sound outliving the device
// (a handle released after shutdown) finds the mixer closed and does nothing.
struct MixerState {
  bool open = false;
  std::vector<bool> channelUsed;
  std::set<class MixerStream*> streams;
  std::set<class MixerMusic*> music;
  class MixerMusic* musicPlaying = nullptr;  // the music SDL_mixer's one music slot holds
};

class MixerStream : public SoundStream {
 public:
  MixerStream(std::shared_ptr<MixerState> state, Mix_Chunk* chunk, int channel)
      : state_(std::move(state)), chunk_(chunk), channel_(channel) {
    state_->streams.insert(this);
  }

  ~MixerStream() override {
    Unload();
    state_->streams.erase(this);
  }

  // Frees the chunk and gives the channel back; after this the stream is inert.
  void Unload() {
    if (chunk_ == nullptr) return;
    if (state_->open) {
      Mix_HaltChannel(channel_);
      Mix_FreeChunk(chunk_);
      state_->channelUsed[channel_] = false;
    }
    chunk_ = nullptr;
  }

  void PlayFromStart(bool repeat) override {
    if (chunk_ == nullptr) return;
    repeat_ = repeat;
    Mix_HaltChannel(channel_);
    Mix_PlayChannel(channel_, chunk_, repeat ? -1 : 0);
  }

  void Stop() override {
    if (chunk_ == nullptr) return;
    if (Mix_Playing(channel_)) Mix_Pause(channel_);
  }

  void Resume() override {
    if (chunk_ == nullptr) return;
    if (Mix_Playing(channel_)) {
      if (Mix_Paused(channel_)) Mix_Resume(channel_);
      return;
    }
    Mix_PlayChannel(channel_, chunk_, repeat_ ? -1 : 0);
  }

  bool IsPlaying() override {
    return chunk_ != nullptr && Mix_Playing(channel_) && !Mix_Paused(channel_);
  }

  void SetVolume(float volume) override {
    if (chunk_ == nullptr) return;
    const float clamped = std::clamp(volume, 0.0f, 1.0f);
    Mix_Volume(channel_, static_cast<int>(std::lround(clamped * MIX_MAX_VOLUME)));
  }

 private:
  std::shared_ptr<MixerState> state_;
  Mix_Chunk* chunk_;
  int channel_;
  bool repeat_ = false;
};

// Music streamed through SDL_mixer's one music slot: read and decoded while it plays,
// so that minutes of music do not sit decoded in memory.
class MixerMusic : public SoundStream {
 public:
  MixerMusic(std::shared_ptr<MixerState> state, Mix_Music* music)
      : state_(std::move(state)), music_(music) {
    state_->music.insert(this);
  }

  ~MixerMusic() override {
    Unload();
    state_->music.erase(this);
  }

  void Unload() {
    if (music_ == nullptr) return;
    if (state_->open) {
      if (OwnsSlot()) Mix_HaltMusic();
      Mix_FreeMusic(music_);
    }
    if (OwnsSlot()) state_->musicPlaying = nullptr;
    music_ = nullptr;
  }

  void PlayFromStart(bool repeat) override {
    if (music_ == nullptr) return;
    repeat_ = repeat;
    state_->musicPlaying = this;
    ApplyVolume();
    Mix_PlayMusic(music_, repeat ? -1 : 1);
  }

  void Stop() override {
    if (music_ == nullptr || !OwnsSlot()) return;
    if (Mix_PlayingMusic()) Mix_PauseMusic();
  }

  void Resume() override {
    if (music_ == nullptr) return;
    if (OwnsSlot() && Mix_PlayingMusic()) {
      if (Mix_PausedMusic()) Mix_ResumeMusic();
      return;
    }
    PlayFromStart(repeat_);
  }

  bool IsPlaying() override {
    return music_ != nullptr && OwnsSlot() && Mix_PlayingMusic() && !Mix_PausedMusic();
  }

  void SetVolume(float volume) override {
    volume_ = std::clamp(volume, 0.0f, 1.0f);
    if (music_ != nullptr && OwnsSlot()) ApplyVolume();
  }

 private:
  bool OwnsSlot() const { return state_->musicPlaying == this; }
  void ApplyVolume() { Mix_VolumeMusic(static_cast<int>(std::lround(volume_ * MIX_MAX_VOLUME))); }

  std::shared_ptr<MixerState> state_;
  Mix_Music* music_;
  bool repeat_ = false;
  float volume_ = 1.0f;
};

namespace {

// The game's sounds are small; a larger file is not one of them.
constexpr long kMaxSoundFileBytes = 64L << 20;

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  long size = -1;
  if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
  bool read = size >= 0 && size <= kMaxSoundFileBytes && std::fseek(file, 0, SEEK_SET) == 0;
  if (read) {
    bytes->resize(static_cast<size_t>(size));
    read = std::fread(bytes->data(), 1, bytes->size(), file) == bytes->size();
  }
  std::fclose(file);
  return read;
}

uint32_t ReadLittleEndian32(const uint8_t* at) {
  return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 |
         static_cast<uint32_t>(at[2]) << 16 | static_cast<uint32_t>(at[3]) << 24;
}

void WriteLittleEndian32(uint8_t* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

// A WAV file states the length of each of its chunks, and SDL reserves the stated
// length before it reads: a damaged length would have it allocate gigabytes for a
// file of a few bytes. Each length is cut to what the file holds, so that a file
// cut off in the middle still plays as far as it goes. SDL also reads a bare
// "WAVE" list without its "RIFF" header; its chunks start right after the word.
void ClampWaveChunkLengths(std::vector<uint8_t>& bytes) {
  const auto clamp = [&](size_t lengthAt, size_t available) {
    const uint32_t length = ReadLittleEndian32(bytes.data() + lengthAt);
    if (length <= available) return static_cast<size_t>(length);
    WriteLittleEndian32(bytes.data() + lengthAt, static_cast<uint32_t>(available));
    return available;
  };
  size_t firstChunk = 0;
  if (bytes.size() >= 12 && std::memcmp(bytes.data(), "RIFF", 4) == 0 &&
      std::memcmp(bytes.data() + 8, "WAVE", 4) == 0) {
    clamp(4, bytes.size() - 8);
    firstChunk = 12;
  } else if (bytes.size() >= 4 && std::memcmp(bytes.data(), "WAVE", 4) == 0) {
    firstChunk = 4;
  } else {
    return;
  }
  for (size_t at = firstChunk; at + 8 <= bytes.size();) {
    const size_t length = clamp(at + 4, bytes.size() - at - 8);
    at += 8 + length + (length & 1);
  }
}

}  // namespace

SdlMixerDevice::SdlMixerDevice() : state_(std::make_shared<MixerState>()) {}

SdlMixerDevice::~SdlMixerDevice() { Close(); }

bool SdlMixerDevice::Open(const std::string& name) {
  if (state_->open) return true;
  if (SDL_AudioInit(name.empty() ? nullptr : name.c_str()) != 0) return false;
  Mix_Init(MIX_INIT_OGG);
  if (Mix_OpenAudio(MIX_DEFAULT_FREQUENCY, MIX_DEFAULT_FORMAT, 2, 1024) != 0) {
    Mix_Quit();
    SDL_AudioQuit();
    return false;
  }
  Mix_AllocateChannels(0);
  state_->channelUsed.clear();
  state_->open = true;
  return true;
}

std::string SdlMixerDevice::Description() {
  const char* driver = SDL_GetCurrentAudioDriver();
  return std::string("SDL2_mixer on ") + (driver != nullptr ? driver : "no driver");
}

void SdlMixerDevice::Close() {
  if (!state_->open) return;
  for (MixerStream* stream : state_->streams) stream->Unload();
  for (MixerMusic* music : state_->music) music->Unload();
  Mix_CloseAudio();
  Mix_Quit();
  SDL_AudioQuit();
  state_->open = false;
  state_->channelUsed.clear();
}

std::shared_ptr<SoundStream> SdlMixerDevice::OpenSound(const std::string& path) {
  if (!state_->open) return nullptr;
  // The file is read here and its reader closed here rather than by SDL2_mixer: on
  // some damaged files (a few bytes long) the library's loader returns without
  // freeing the reader it was given, which would leak it and its open file.
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, &bytes) || bytes.empty()) return nullptr;
  ClampWaveChunkLengths(bytes);
  SDL_RWops* reader = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
  if (reader == nullptr) return nullptr;
  Mix_Chunk* chunk = Mix_LoadWAV_RW(reader, 0);
  SDL_RWclose(reader);
  if (chunk == nullptr) return nullptr;
  // The loader converts into a buffer sized for the largest step of the conversion
  // (twice the result for our mono sounds on a stereo device); only the result is kept.
  if (chunk->allocated != 0 && chunk->alen > 0) {
    if (auto* fitted = static_cast<Uint8*>(SDL_realloc(chunk->abuf, chunk->alen))) {
      chunk->abuf = fitted;
    }
  }
  std::vector<bool>& used = state_->channelUsed;
  int channel = static_cast<int>(std::find(used.begin(), used.end(), false) - used.begin());
  if (channel == static_cast<int>(used.size())) {
    used.push_back(false);
    Mix_AllocateChannels(static_cast<int>(used.size()));
  }
  used[channel] = true;
  Mix_Volume(channel, MIX_MAX_VOLUME);
  return std::make_shared<MixerStream>(state_, chunk, channel);
}

std::shared_ptr<SoundStream> SdlMixerDevice::OpenMusic(const std::string& path) {
  if (!state_->open) return nullptr;
  Mix_Music* music = Mix_LoadMUS(path.c_str());
  if (music == nullptr) return nullptr;
  return std::make_shared<MixerMusic>(state_, music);
}

}  // namespace tav
