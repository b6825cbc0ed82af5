// The "winmm" output: one waveOut stream of 16-bit stereo at 44.1 kHz, kept fed by
// a thread of ours that mixes every playing sound into whichever of its few short
// blocks the system has finished with. The sounds and the thread share the mixer
// under one lock; the game's thread only flips flags and volumes, so it never
// waits longer than one block's mixing. A block the system refuses is queued again
// on the next round; when the system refuses every block, the output falls silent
// with one log line rather than spinning.
#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <cstring>
#include <vector>

#include "audio/sound_decoder.h"
#include "audio/sound_mixer.h"
#include "audio/win32/windows_audio_device.h"
#include "base/log.h"

namespace tav {

namespace {

constexpr int kOutputRate = 44100;
constexpr int kBlockCount = 4;
constexpr int kBlockFrames = 2048;  // about 46 ms, so about 0.2 s queued in all

struct WaveOutState {
  WaveOutState() { InitializeCriticalSection(&lock); }
  ~WaveOutState() { DeleteCriticalSection(&lock); }
  CRITICAL_SECTION lock;
  SoundMixer mixer{kOutputRate};
  bool open = false;
};

class Locked {
 public:
  explicit Locked(WaveOutState& state) : state_(state) { EnterCriticalSection(&state_.lock); }
  ~Locked() { LeaveCriticalSection(&state_.lock); }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;

 private:
  WaveOutState& state_;
};

class WaveOutStream : public SoundStream {
 public:
  WaveOutStream(std::shared_ptr<WaveOutState> state, int voice)
      : state_(std::move(state)), voice_(voice) {}
  ~WaveOutStream() override {
    Locked locked(*state_);
    state_->mixer.RemoveVoice(voice_);
  }

  void PlayFromStart(bool repeat) override {
    Locked locked(*state_);
    if (state_->open) state_->mixer.PlayFromStart(voice_, repeat);
  }
  void Stop() override {
    Locked locked(*state_);
    if (state_->open) state_->mixer.Stop(voice_);
  }
  void Resume() override {
    Locked locked(*state_);
    if (state_->open) state_->mixer.Resume(voice_);
  }
  bool IsPlaying() override {
    Locked locked(*state_);
    return state_->open && state_->mixer.IsPlaying(voice_);
  }
  void SetVolume(float volume) override {
    Locked locked(*state_);
    if (state_->open) state_->mixer.SetVolume(voice_, volume);
  }

 private:
  std::shared_ptr<WaveOutState> state_;
  int voice_;
};

class WaveOutOutput : public AudioDevice {
 public:
  WaveOutOutput() : state_(std::make_shared<WaveOutState>()) {}
  ~WaveOutOutput() override { Close(); }

  bool Open(const std::string& /*name*/) override {
    if (state_->open) return true;
    WAVEFORMATEX format;
    std::memset(&format, 0, sizeof format);
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = kOutputRate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 4;
    format.nAvgBytesPerSec = kOutputRate * 4;

    blockDone_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (blockDone_ == nullptr) return false;
    if (waveOutOpen(&waveOut_, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(blockDone_), 0,
                    CALLBACK_EVENT) != MMSYSERR_NOERROR) {
      waveOut_ = nullptr;
      CloseHandle(blockDone_);
      blockDone_ = nullptr;
      return false;
    }
    blocks_.assign(kBlockCount, std::vector<int16_t>(kBlockFrames * 2, 0));
    headers_.assign(kBlockCount, WAVEHDR{});
    for (int i = 0; i < kBlockCount; ++i) {
      headers_[i].lpData = reinterpret_cast<LPSTR>(blocks_[i].data());
      headers_[i].dwBufferLength = kBlockFrames * 4;
      // Silence to start with; a device that takes none of it is not used.
      const MMRESULT prepared = waveOutPrepareHeader(waveOut_, &headers_[i], sizeof(WAVEHDR));
      if (prepared != MMSYSERR_NOERROR ||
          waveOutWrite(waveOut_, &headers_[i], sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
        LogLine("WARNING: The waveOut device refuses its blocks (%u).\n", prepared);
        waveOutReset(waveOut_);
        for (int j = 0; j <= i; ++j) waveOutUnprepareHeader(waveOut_, &headers_[j], sizeof(WAVEHDR));
        waveOutClose(waveOut_);
        waveOut_ = nullptr;
        CloseHandle(blockDone_);
        blockDone_ = nullptr;
        return false;
      }
    }
    state_->open = true;
    quit_ = false;
    thread_ = CreateThread(nullptr, 0, &WaveOutOutput::FeedThread, this, 0, nullptr);
    if (thread_ == nullptr) {
      Close();
      return false;
    }
    return true;
  }

  std::string Description() override { return "WINMM"; }

  void Close() override {
    if (waveOut_ == nullptr) return;
    if (thread_ != nullptr) {
      quit_ = true;
      SetEvent(blockDone_);
      WaitForSingleObject(thread_, INFINITE);
      CloseHandle(thread_);
      thread_ = nullptr;
    }
    waveOutReset(waveOut_);
    for (WAVEHDR& header : headers_) waveOutUnprepareHeader(waveOut_, &header, sizeof(WAVEHDR));
    waveOutClose(waveOut_);
    waveOut_ = nullptr;
    CloseHandle(blockDone_);
    blockDone_ = nullptr;
    Locked locked(*state_);
    state_->open = false;
    // Sounds still held elsewhere keep their voices but answer as silent and inert.
  }

  std::shared_ptr<SoundStream> OpenSound(const std::string& path) override {
    if (!state_->open) return nullptr;
    auto sound = std::make_shared<DecodedSound>();
    if (!DecodeSoundFile(path, sound.get())) return nullptr;
    Locked locked(*state_);
    return std::make_shared<WaveOutStream>(state_, state_->mixer.AddVoice(std::move(sound)));
  }

 private:
  static DWORD WINAPI FeedThread(void* self) {
    static_cast<WaveOutOutput*>(self)->Feed();
    return 0;
  }

  // Refills every block the system has played and queues it again. A block the
  // system refuses keeps its done flag and is queued again on the next round (its
  // sound is mixed anew); when no block is queued at all, nothing will ever come
  // back, and the output falls silent.
  void Feed() {
    while (!quit_) {
      WaitForSingleObject(blockDone_, 100);
      int queued = 0;
      for (int i = 0; i < kBlockCount && !quit_; ++i) {
        if ((headers_[i].dwFlags & WHDR_DONE) == 0) {
          ++queued;
          continue;
        }
        {
          Locked locked(*state_);
          state_->mixer.Mix(blocks_[i].data(), kBlockFrames);
        }
        if (waveOutWrite(waveOut_, &headers_[i], sizeof(WAVEHDR)) == MMSYSERR_NOERROR) ++queued;
      }
      if (queued == 0 && !quit_) {
        LogLine("WARNING: The waveOut device stopped taking sound; the game goes on silent.\n");
        Locked locked(*state_);
        state_->open = false;
        return;
      }
    }
  }

  std::shared_ptr<WaveOutState> state_;
  HWAVEOUT waveOut_ = nullptr;
  HANDLE blockDone_ = nullptr;
  HANDLE thread_ = nullptr;
  std::atomic<bool> quit_ = false;
  std::vector<std::vector<int16_t>> blocks_;
  std::vector<WAVEHDR> headers_;
};

}  // namespace

std::unique_ptr<AudioDevice> MakeWaveOutOutput() { return std::make_unique<WaveOutOutput>(); }

}  // namespace tav
