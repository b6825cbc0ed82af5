// The "directsound" output: each loaded sound is decoded whole into a DirectSound
// secondary buffer of its own, which plays, stops where it is, rewinds and loops
// without touching any other sound. DirectSound mixes them. A buffer whose memory
// the system took back (DSERR_BUFFERLOST, after another program took the sound card)
// is restored and filled again from its file before it plays.
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>

#include "audio/sound_decoder.h"
#include "audio/win32/windows_audio_device.h"
#include "base/log.h"

namespace tav {

namespace {

class DirectSoundStream;

// Shared by the output and its sounds, so that a sound outliving the output (a
// handle released after shutdown) finds it closed and does nothing.
struct DirectSoundState {
  IDirectSound8* directSound = nullptr;
  std::set<DirectSoundStream*> streams;
};

// DirectSound volumes are attenuations in hundredths of a decibel.
LONG ToAttenuation(float volume) {
  const float clamped = std::clamp(volume, 0.0f, 1.0f);
  if (clamped <= 0.0f) return DSBVOLUME_MIN;
  const long hundredths = std::lround(2000.0 * std::log10(clamped));
  return std::max<LONG>(DSBVOLUME_MIN, static_cast<LONG>(hundredths));
}

// Copies the decoded samples into the whole buffer.
bool FillBuffer(IDirectSoundBuffer* buffer, const DecodedSound& sound) {
  const DWORD bytes = static_cast<DWORD>(sound.samples.size() * sizeof(int16_t));
  void* first = nullptr;
  void* second = nullptr;
  DWORD firstBytes = 0;
  DWORD secondBytes = 0;
  if (FAILED(buffer->Lock(0, bytes, &first, &firstBytes, &second, &secondBytes, 0))) return false;
  const auto* samples = reinterpret_cast<const uint8_t*>(sound.samples.data());
  std::memcpy(first, samples, std::min(firstBytes, bytes));
  if (second != nullptr && firstBytes < bytes) {
    std::memcpy(second, samples + firstBytes, std::min(secondBytes, bytes - firstBytes));
  }
  buffer->Unlock(first, firstBytes, second, secondBytes);
  return true;
}

class DirectSoundStream : public SoundStream {
 public:
  DirectSoundStream(std::shared_ptr<DirectSoundState> state, IDirectSoundBuffer* buffer,
                    std::string path)
      : state_(std::move(state)), buffer_(buffer), path_(std::move(path)) {
    state_->streams.insert(this);
  }
  ~DirectSoundStream() override {
    Unload();
    state_->streams.erase(this);
  }

  void Unload() {
    if (buffer_ == nullptr) return;
    buffer_->Stop();
    buffer_->Release();
    buffer_ = nullptr;
  }

  void PlayFromStart(bool repeat) override {
    if (buffer_ == nullptr) return;
    repeat_ = repeat;
    stoppedPart_ = false;
    buffer_->Stop();
    buffer_->SetCurrentPosition(0);
    Play();
  }

  void Stop() override {
    if (buffer_ == nullptr || !IsPlaying()) return;
    buffer_->Stop();
    stoppedPart_ = true;
  }

  void Resume() override {
    if (buffer_ == nullptr || IsPlaying()) return;
    // A sound that ran to its end (rather than being stopped part-way) starts over.
    if (!stoppedPart_) buffer_->SetCurrentPosition(0);
    stoppedPart_ = false;
    Play();
  }

  bool IsPlaying() override {
    if (buffer_ == nullptr) return false;
    DWORD status = 0;
    return SUCCEEDED(buffer_->GetStatus(&status)) && (status & DSBSTATUS_PLAYING) != 0;
  }

  void SetVolume(float volume) override {
    if (buffer_ != nullptr) buffer_->SetVolume(ToAttenuation(volume));
  }

 private:
  void Play() {
    const DWORD flags = repeat_ ? DSBPLAY_LOOPING : 0;
    HRESULT result = buffer_->Play(0, 0, flags);
    if (result == DSERR_BUFFERLOST) {
      DecodedSound sound;
      if (SUCCEEDED(buffer_->Restore()) && DecodeSoundFile(path_, &sound) &&
          FillBuffer(buffer_, sound)) {
        LogLine("Sound buffer restored: %s\n", path_.c_str());
        result = buffer_->Play(0, 0, flags);
      }
    }
    if (FAILED(result) && !playFailureLogged_) {
      LogLine("WARNING: A sound cannot be played (0x%08lx): %s\n",
              static_cast<unsigned long>(result), path_.c_str());
      playFailureLogged_ = true;
    }
  }

  std::shared_ptr<DirectSoundState> state_;
  IDirectSoundBuffer* buffer_;
  std::string path_;  // read again when the buffer's memory is lost
  bool playFailureLogged_ = false;
  bool repeat_ = false;
  bool stoppedPart_ = false;
};

class DirectSoundOutput : public AudioDevice {
 public:
  explicit DirectSoundOutput(void* window)
      : window_(window), state_(std::make_shared<DirectSoundState>()) {}
  ~DirectSoundOutput() override { Close(); }

  bool Open(const std::string& /*name*/) override {
    if (state_->directSound != nullptr) return true;
    IDirectSound8* directSound = nullptr;
    if (FAILED(DirectSoundCreate8(nullptr, &directSound, nullptr)) || directSound == nullptr) {
      return false;
    }
    HWND window = window_ != nullptr ? static_cast<HWND>(window_) : GetDesktopWindow();
    if (FAILED(directSound->SetCooperativeLevel(window, DSSCL_PRIORITY))) {
      directSound->Release();
      return false;
    }
    state_->directSound = directSound;
    return true;
  }

  std::string Description() override { return "Direct Sound"; }

  void Close() override {
    if (state_->directSound == nullptr) return;
    for (DirectSoundStream* stream : state_->streams) stream->Unload();
    state_->directSound->Release();
    state_->directSound = nullptr;
  }

  std::shared_ptr<SoundStream> OpenSound(const std::string& path) override {
    if (state_->directSound == nullptr) return nullptr;
    DecodedSound sound;
    if (!DecodeSoundFile(path, &sound)) return nullptr;
    const DWORD bytes = static_cast<DWORD>(sound.samples.size() * sizeof(int16_t));
    if (bytes < DSBSIZE_MIN || bytes > DSBSIZE_MAX) return nullptr;

    WAVEFORMATEX format;
    std::memset(&format, 0, sizeof format);
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = static_cast<WORD>(sound.channels);
    format.nSamplesPerSec = static_cast<DWORD>(sound.sampleRate);
    format.wBitsPerSample = 16;
    format.nBlockAlign = static_cast<WORD>(sound.channels * 2);
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    DSBUFFERDESC description;
    std::memset(&description, 0, sizeof description);
    description.dwSize = sizeof description;
    // Global focus keeps sounds audible when another window has the focus, as the
    // game itself decides when to fall silent.
    description.dwFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_GLOBALFOCUS | DSBCAPS_GETCURRENTPOSITION2;
    description.dwBufferBytes = bytes;
    description.lpwfxFormat = &format;

    IDirectSoundBuffer* buffer = nullptr;
    if (FAILED(state_->directSound->CreateSoundBuffer(&description, &buffer, nullptr)) ||
        buffer == nullptr) {
      return nullptr;
    }
    if (!FillBuffer(buffer, sound)) {
      buffer->Release();
      return nullptr;
    }
    buffer->SetVolume(0);
    return std::make_shared<DirectSoundStream>(state_, buffer, path);
  }

 private:
  void* window_;
  std::shared_ptr<DirectSoundState> state_;
};

}  // namespace

std::unique_ptr<AudioDevice> MakeDirectSoundOutput(void* window) {
  return std::make_unique<DirectSoundOutput>(window);
}

}  // namespace tav
