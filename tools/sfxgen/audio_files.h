// Writing finished sounds to disk: 16-bit PCM WAV for effects and Ogg Vorbis
// for music. Both outputs depend only on the samples, so every build writes the
// same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/sfxgen/synth.h"

namespace tav::sfx {

// The stream serial number of every Ogg file we write (fixed, so builds repeat).
constexpr int kOggSerial = 0x54415652;

// Samples in [-1, 1] to signed 16-bit, rounded; values beyond are clamped.
std::vector<int16_t> ToPcm16(const Buffer& buffer);

// The bytes of a canonical 44-byte-header PCM WAV file.
std::string EncodeWav(const Buffer& buffer);

// The bytes of an Ogg Vorbis file at the given VBR quality (-0.1 .. 1).
// Throws std::runtime_error if the encoder refuses the settings.
std::string EncodeOggVorbis(const Buffer& buffer, float quality);

// Writes bytes to a file; throws std::runtime_error naming it on failure.
void WriteFileBytes(const std::string& path, const std::string& bytes);

}  // namespace tav::sfx
