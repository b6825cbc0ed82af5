// Feeds arbitrary bytes to the sound decoders of the Windows sound device (our WAV
// reader, Ogg Vorbis through stb_vorbis): whatever they accept must be whole frames
// of one or two channels within the decoder's cap, and a refusal must leave nothing.
#include <cstdint>
#include <cstdlib>

#include "audio/sound_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tav::DecodedSound sound;
  if (tav::DecodeSound(data, size, "fuzz", &sound)) {
    // A decoded sound is whole frames of one or two channels, within the cap.
    if (sound.channels != 1 && sound.channels != 2) std::abort();
    if (sound.samples.size() % sound.channels != 0) std::abort();
    if (sound.FrameCount() == 0 || sound.FrameCount() > tav::kMaxDecodedFrames) std::abort();
  } else if (!sound.samples.empty() || sound.channels != 0) {
    std::abort();
  }
  return 0;
}
