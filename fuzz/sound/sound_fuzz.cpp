// Feeds arbitrary bytes to the sound decoders (WAV reader, Ogg Vorbis through
// stb_vorbis). Without libFuzzer, main() replays files given on the command line, or
// mutates seed sounds with a fixed seed for N rounds: a small WAV made here and,
// when its path is given after N, the start of a real Ogg Vorbis file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

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

#ifndef TAV_LIBFUZZER
namespace {

std::vector<uint8_t> ReadFile(const char* path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// A stereo 16-bit WAV with an extra chunk before its few samples.
std::vector<uint8_t> SeedWav() {
  const uint8_t header[] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E',
                            'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 2, 0,
                            0x44, 0xAC, 0, 0, 0x10, 0xB1, 2, 0, 4, 0, 16, 0,
                            'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0,
                            'd', 'a', 't', 'a', 16, 0, 0, 0};
  std::vector<uint8_t> wav(std::begin(header), std::end(header));
  for (int i = 0; i < 16; ++i) wav.push_back(static_cast<uint8_t>(i * 17));
  return wav;
}

}  // namespace

int main(int argc, char** argv) {
  const long rounds = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 0;
  if (rounds <= 0) {
    for (int i = 1; i < argc; ++i) {
      const std::vector<uint8_t> bytes = ReadFile(argv[i]);
      LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    return 0;
  }
  std::vector<std::vector<uint8_t>> seeds = {SeedWav()};
  if (argc > 2) {
    // The headers and first audio pages are where a Vorbis decoder is most exposed.
    std::vector<uint8_t> ogg = ReadFile(argv[2]);
    if (ogg.size() > 12000) ogg.resize(12000);
    if (!ogg.empty()) seeds.push_back(ogg);
  }
  std::mt19937 random(12345);
  for (long round = 0; round < rounds; ++round) {
    std::vector<uint8_t> bytes = seeds[round % seeds.size()];
    const int edits = 1 + static_cast<int>(random() % 8);
    for (int edit = 0; edit < edits && !bytes.empty(); ++edit) {
      const size_t at = random() % bytes.size();
      switch (random() % 4) {
        case 0: bytes[at] = static_cast<uint8_t>(random()); break;
        case 1: bytes[at] ^= static_cast<uint8_t>(1u << (random() % 8)); break;
        case 2: bytes.resize(at); break;
        default: bytes[at] = (random() % 2) ? 0xFF : 0x00; break;
      }
    }
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  }
  std::printf("%ld rounds\n", rounds);
  return 0;
}
#endif
