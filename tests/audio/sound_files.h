// Writes the test sounds: a sine tone as a 16-bit PCM WAV file, and the same tone
// encoded as Ogg Vorbis with libvorbisenc.
#pragma once

#include <string>

namespace tav {

// Mono sine tone of `seconds` at `rate` samples per second.
bool WriteToneWav(const std::string& path, double seconds, int rate);
bool WriteToneOgg(const std::string& path, double seconds, int rate);

}  // namespace tav
