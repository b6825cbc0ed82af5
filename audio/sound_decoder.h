// Decoding of the game's sound files into 16-bit samples, for the Windows audio
// devices (which get no decoder from the system). Two formats, told apart by the
// file's first bytes rather than its name: RIFF WAV with PCM samples (8 or 16 bit,
// mono or stereo) read by our own reader, and Ogg Vorbis through stb_vorbis. Sound
// files are untrusted: a damaged one is refused with a log line, never read past
// its end, and a decoded sound is capped in length so a hostile file cannot make us
// allocate without bound.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tav {

enum class SoundFileFormat { kUnknown, kWav, kOggVorbis };

struct DecodedSound {
  int channels = 0;                // 1 or 2
  int sampleRate = 0;              // frames per second
  std::vector<int16_t> samples;    // interleaved, channels per frame

  size_t FrameCount() const {
    return channels > 0 ? samples.size() / static_cast<size_t>(channels) : 0;
  }
};

// The longest sound we decode: ten minutes at 48 kHz. Longer sounds are cut there.
constexpr size_t kMaxDecodedFrames = 10u * 60u * 48000u;

// The format the first bytes announce ("RIFF....WAVE" or "OggS").
SoundFileFormat DetectSoundFileFormat(const uint8_t* bytes, size_t byteCount);

// Each decoder fills `sound` and returns true, or logs
// "WARNING: Damaged sound file <name>: <reason>.\n" and returns false with `sound`
// empty. `name` is only used in that line.
bool DecodeWav(const uint8_t* bytes, size_t byteCount, const std::string& name,
               DecodedSound* sound);
bool DecodeOggVorbis(const uint8_t* bytes, size_t byteCount, const std::string& name,
                     DecodedSound* sound);

// Detects the format and decodes; an unknown format is refused with the same line.
bool DecodeSound(const uint8_t* bytes, size_t byteCount, const std::string& name,
                 DecodedSound* sound);

// Reads the whole file and decodes it. A missing or unreadable file is logged as
// "WARNING: Cannot read sound file <path>.\n".
bool DecodeSoundFile(const std::string& path, DecodedSound* sound);

}  // namespace tav
