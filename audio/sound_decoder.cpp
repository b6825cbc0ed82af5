// WAV and Ogg Vorbis decoding into interleaved 16-bit samples.
#include "audio/sound_decoder.h"

#include <algorithm>
#include <cstring>
#include <fstream>

#include "base/file_system.h"
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
constexpr size_t kVorbisArenaBytes = 2u << 20;

// Collects the first `packetCount` packets of an Ogg stream from its pages. False
// when the pages are malformed or end before the packets do.
bool ReadOggPackets(const uint8_t* bytes, size_t byteCount, size_t packetCount,
                    std::vector<std::vector<uint8_t>>* packets) {
  constexpr size_t kPageHeaderSize = 27;
  std::vector<uint8_t> packet;
  size_t offset = 0;
  while (packets->size() < packetCount) {
    if (byteCount - offset < kPageHeaderSize || std::memcmp(bytes + offset, "OggS", 4) != 0) {
      return false;
    }
    const size_t segmentCount = bytes[offset + 26];
    const uint8_t* lacing = bytes + offset + kPageHeaderSize;
    if (byteCount - offset - kPageHeaderSize < segmentCount) return false;
    size_t body = offset + kPageHeaderSize + segmentCount;
    for (size_t segment = 0; segment < segmentCount; ++segment) {
      const size_t length = lacing[segment];
      if (byteCount - body < length) return false;
      packet.insert(packet.end(), bytes + body, bytes + body + length);
      body += length;
      if (length < 255) {  // a lacing value below 255 ends the packet
        packets->push_back(std::move(packet));
        packet.clear();
        if (packets->size() == packetCount) return true;
      }
    }
    offset = body;
  }
  return true;
}

// Whether the comment header's lengths fit inside it. stb_vorbis trusts them: a
// comment count near 2^29 overflows its allocation size and it writes past the
// block it got, so a file whose comment header lies is refused before decoding.
bool VorbisCommentsAreConsistent(const uint8_t* bytes, size_t byteCount) {
  std::vector<std::vector<uint8_t>> packets;
  if (!ReadOggPackets(bytes, byteCount, 2, &packets)) return false;
  const std::vector<uint8_t>& comments = packets[1];
  constexpr size_t kPrefix = 7;  // packet type 3 and "vorbis"
  if (comments.size() < kPrefix + 4 || comments[0] != 3) return false;
  size_t at = kPrefix;
  auto readLength = [&](size_t* length) {
    if (comments.size() - at < 4) return false;
    *length = ReadLittle32(comments.data() + at);
    at += 4;
    return true;
  };
  size_t vendorLength = 0;
  if (!readLength(&vendorLength) || comments.size() - at < vendorLength) return false;
  at += vendorLength;
  size_t commentCount = 0;
  if (!readLength(&commentCount) || commentCount > (comments.size() - at) / 4) return false;
  for (size_t i = 0; i < commentCount; ++i) {
    size_t length = 0;
    if (!readLength(&length) || comments.size() - at < length) return false;
    at += length;
  }
  return true;
}

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
  if (!VorbisCommentsAreConsistent(bytes, byteCount)) {
    return Refuse(name, "a broken comment header", sound);
  }
  // All of the decoder's memory comes from one block of ours: it cannot leak on a
  // damaged stream (stb_vorbis forgets some of its own blocks on error paths) nor
  // grow past this size, which is many times what a stream of ours needs.
  std::vector<char> arena(kVorbisArenaBytes);
  stb_vorbis_alloc alloc{arena.data(), static_cast<int>(arena.size())};
  int error = 0;
  stb_vorbis* vorbis = stb_vorbis_open_memory(bytes, static_cast<int>(byteCount), &error, &alloc);
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
  std::ifstream file(FileSystemPath(path), std::ios::binary);
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
