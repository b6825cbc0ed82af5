// WAV and Ogg Vorbis decoding into interleaved 16-bit samples.
#include "audio/sound_decoder.h"

#include <algorithm>
#include <cstring>
#include <fstream>

#include "base/log.h"

#define STB_VORBIS_NO_STDIO
#define STB_VORBIS_NO_PUSHDATA_API
#define STB_VORBIS_HEADER_ONLY
#include <stb/stb_vorbis.h>

namespace tav {

namespace {

bool Refuse(const std::string& name, const char* reason, DecodedSound* sound) {
  LogLine("WARNING: Damaged sound file %s: %s.\n", name.c_str(), reason);
  *sound = DecodedSound{};
  return false;
}

uint32_t ReadLittle32(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
         (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

uint16_t ReadLittle16(const uint8_t* bytes) {
  return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
}

constexpr uint16_t kWavFormatPcm = 1;
constexpr uint16_t kWavFormatExtensible = 0xFFFE;
constexpr size_t kWavFmtMinimumSize = 16;
constexpr size_t kWavExtensibleSize = 40;

}  // namespace

SoundFileFormat DetectSoundFileFormat(const uint8_t* bytes, size_t byteCount) {
  if (byteCount >= 12 && std::memcmp(bytes, "RIFF", 4) == 0 &&
      std::memcmp(bytes + 8, "WAVE", 4) == 0) {
    return SoundFileFormat::kWav;
  }
  if (byteCount >= 4 && std::memcmp(bytes, "OggS", 4) == 0) return SoundFileFormat::kOggVorbis;
  return SoundFileFormat::kUnknown;
}

bool DecodeWav(const uint8_t* bytes, size_t byteCount, const std::string& name,
               DecodedSound* sound) {
  if (DetectSoundFileFormat(bytes, byteCount) != SoundFileFormat::kWav) {
    return Refuse(name, "no RIFF WAVE header", sound);
  }
  // The RIFF size field is not trusted (many writers get it wrong); the chunks are
  // walked up to the real end of the bytes instead.
  const uint8_t* format = nullptr;
  size_t formatSize = 0;
  const uint8_t* data = nullptr;
  size_t dataSize = 0;
  size_t offset = 12;
  while (byteCount - offset >= 8 && data == nullptr) {
    const uint8_t* chunk = bytes + offset;
    const size_t chunkSize = ReadLittle32(chunk + 4);
    const size_t bodyOffset = offset + 8;
    if (chunkSize > byteCount - bodyOffset) {
      return Refuse(name, "a chunk runs past the end of the file", sound);
    }
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      format = bytes + bodyOffset;
      formatSize = chunkSize;
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      data = bytes + bodyOffset;
      dataSize = chunkSize;
    }
    // Chunk bodies are padded to an even length; the pad byte of the last chunk
    // may be missing.
    offset = bodyOffset + chunkSize + (chunkSize & 1);
    if (offset > byteCount) offset = byteCount;
  }
  if (format == nullptr) return Refuse(name, "no format chunk before the samples", sound);
  if (data == nullptr) return Refuse(name, "no data chunk", sound);
  if (formatSize < kWavFmtMinimumSize) return Refuse(name, "format chunk too short", sound);

  uint16_t formatTag = ReadLittle16(format);
  const int channels = ReadLittle16(format + 2);
  const uint32_t sampleRate = ReadLittle32(format + 4);
  const int bitsPerSample = ReadLittle16(format + 14);
  if (formatTag == kWavFormatExtensible && formatSize >= kWavExtensibleSize) {
    // The sub-format GUID starts with the plain format tag.
    formatTag = ReadLittle16(format + 24);
  }
  if (formatTag != kWavFormatPcm) return Refuse(name, "not PCM samples", sound);
  if (channels != 1 && channels != 2) return Refuse(name, "not mono or stereo", sound);
  if (bitsPerSample != 8 && bitsPerSample != 16) {
    return Refuse(name, "not 8 or 16 bits per sample", sound);
  }
  if (sampleRate < 1000 || sampleRate > 192000) {
    return Refuse(name, "sample rate out of range", sound);
  }

  const size_t frameBytes = static_cast<size_t>(channels) * (bitsPerSample / 8);
  const size_t frames = std::min(dataSize / frameBytes, kMaxDecodedFrames);
  if (frames == 0) return Refuse(name, "no samples", sound);

  sound->channels = channels;
  sound->sampleRate = static_cast<int>(sampleRate);
  sound->samples.resize(frames * channels);
  if (bitsPerSample == 8) {
    // 8-bit samples are unsigned with silence at 128.
    for (size_t i = 0; i < sound->samples.size(); ++i) {
      sound->samples[i] = static_cast<int16_t>((data[i] - 128) * 256);
    }
  } else {
    for (size_t i = 0; i < sound->samples.size(); ++i) {
      sound->samples[i] = static_cast<int16_t>(ReadLittle16(data + 2 * i));
    }
  }
  return true;
}

bool DecodeOggVorbis(const uint8_t* bytes, size_t byteCount, const std::string& name,
                     DecodedSound* sound) {
  if (DetectSoundFileFormat(bytes, byteCount) != SoundFileFormat::kOggVorbis) {
    return Refuse(name, "no Ogg header", sound);
  }
  if (byteCount > 0x7FFFFFFF) return Refuse(name, "file too large", sound);
  int error = 0;
  stb_vorbis* vorbis = stb_vorbis_open_memory(bytes, static_cast<int>(byteCount), &error, nullptr);
  if (vorbis == nullptr) return Refuse(name, "not a readable Vorbis stream", sound);
  const stb_vorbis_info info = stb_vorbis_get_info(vorbis);
  if (info.channels != 1 && info.channels != 2) {
    stb_vorbis_close(vorbis);
    return Refuse(name, "not mono or stereo", sound);
  }
  if (info.sample_rate < 1000 || info.sample_rate > 192000) {
    stb_vorbis_close(vorbis);
    return Refuse(name, "sample rate out of range", sound);
  }

  // Decoded in blocks rather than in one call, so that the length cap holds
  // whatever the stream claims about itself.
  const int channels = info.channels;
  constexpr int kBlockFrames = 4096;
  std::vector<short> block(static_cast<size_t>(kBlockFrames) * channels);
  std::vector<int16_t> samples;
  while (samples.size() / channels < kMaxDecodedFrames) {
    const int frames = stb_vorbis_get_samples_short_interleaved(
        vorbis, channels, block.data(), static_cast<int>(block.size()));
    if (frames <= 0) break;
    const size_t room = kMaxDecodedFrames - samples.size() / channels;
    const size_t kept = std::min(static_cast<size_t>(frames), room);
    samples.insert(samples.end(), block.begin(), block.begin() + kept * channels);
  }
  stb_vorbis_close(vorbis);
  if (samples.empty()) return Refuse(name, "no samples", sound);

  sound->channels = channels;
  sound->sampleRate = static_cast<int>(info.sample_rate);
  sound->samples = std::move(samples);
  return true;
}

bool DecodeSound(const uint8_t* bytes, size_t byteCount, const std::string& name,
                 DecodedSound* sound) {
  switch (DetectSoundFileFormat(bytes, byteCount)) {
    case SoundFileFormat::kWav:
      return DecodeWav(bytes, byteCount, name, sound);
    case SoundFileFormat::kOggVorbis:
      return DecodeOggVorbis(bytes, byteCount, name, sound);
    case SoundFileFormat::kUnknown:
      break;
  }
  return Refuse(name, "neither WAV nor Ogg Vorbis", sound);
}

bool DecodeSoundFile(const std::string& path, DecodedSound* sound) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    LogLine("WARNING: Cannot read sound file %s.\n", path.c_str());
    *sound = DecodedSound{};
    return false;
  }
  // Our longest sound is a few megabytes; anything far larger is not a sound of ours.
  constexpr std::streamoff kMaxFileBytes = 64 << 20;
  file.seekg(0, std::ios::end);
  const std::streamoff size = file.tellg();
  if (size < 0 || size > kMaxFileBytes) {
    LogLine("WARNING: Cannot read sound file %s.\n", path.c_str());
    *sound = DecodedSound{};
    return false;
  }
  file.seekg(0, std::ios::beg);
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  file.read(reinterpret_cast<char*>(bytes.data()), size);
  bytes.resize(static_cast<size_t>(file.gcount()));
  return DecodeSound(bytes.data(), bytes.size(), path, sound);
}

}  // namespace tav
