// The main() of a fuzz target built without libFuzzer, so that CTest can run it in
// every build (and under the sanitizers in CI):
//   target ROUNDS     runs every seed file of the target's corpus, then ROUNDS
//                     mutations of them from a fixed random seed
//   target FILE...    replays the given inputs (a crash found by libFuzzer)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "fuzz/support/fuzz_support.h"

namespace {

std::vector<uint8_t> ReadInput(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
}

void PutLittleEndian32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  for (size_t i = 0; i < 4 && at + i < bytes.size(); ++i) {
    bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
  }
}

// The edits libFuzzer's mutator also makes, in a plain form: single bytes, cuts,
// extreme 32-bit values, repeated and removed stretches, and inserted text of the
// readers' own words.
void Mutate(std::vector<uint8_t>& input, std::mt19937& random) {
  static const uint32_t kExtremes[] = {0, 1, 0x7F, 0xFF, 0x7FFF, 0xFFFF, 0x7FFFFFFF,
                                       0x80000000u, 0xFFFFFFFFu};
  static const char* kWords[] = {"\n", "=", "[", "]", " = 2147483647", "-1", "\r\n", ";",
                                 "99999999999", "\0", "0.5"};
  const int edits = 1 + static_cast<int>(random() % 4);
  for (int e = 0; e < edits; ++e) {
    const size_t at = input.empty() ? 0 : random() % input.size();
    switch (random() % 7) {
      case 0:
        if (!input.empty()) input[at] = static_cast<uint8_t>(random());
        break;
      case 1:
        if (!input.empty()) input[at] ^= static_cast<uint8_t>(1u << (random() % 8));
        break;
      case 2:
        input.resize(at);
        break;
      case 3:
        PutLittleEndian32(input, at, kExtremes[random() % std::size(kExtremes)]);
        break;
      case 4: {
        const size_t length = std::min<size_t>(input.size() - at, 1 + random() % 64);
        std::vector<uint8_t> stretch(input.begin() + at, input.begin() + at + length);
        input.insert(input.begin() + at, stretch.begin(), stretch.end());
        break;
      }
      case 5: {
        const size_t length = std::min<size_t>(input.size() - at, 1 + random() % 16);
        input.erase(input.begin() + at, input.begin() + at + length);
        break;
      }
      default: {
        const char* word = kWords[random() % std::size(kWords)];
        const size_t length = word[0] == '\0' ? 1 : std::strlen(word);
        input.insert(input.begin() + at, word, word + length);
        break;
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  char* end = nullptr;
  const long rounds = argc == 2 ? std::strtol(argv[1], &end, 10) : -1;
  const bool replay = argc > 2 || (argc == 2 && (end == argv[1] || *end != '\0'));
  if (replay) {
    for (int i = 1; i < argc; ++i) {
      std::vector<uint8_t> input = ReadInput(argv[i]);
      LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    return 0;
  }
  std::vector<std::vector<uint8_t>> seeds;
  std::vector<std::filesystem::path> seedPaths;
  for (const auto& entry : std::filesystem::directory_iterator(TAV_FUZZ_SEEDS)) {
    if (entry.is_regular_file()) seedPaths.push_back(entry.path());
  }
  std::sort(seedPaths.begin(), seedPaths.end());
  for (const auto& path : seedPaths) seeds.push_back(ReadInput(path));
  if (seeds.empty()) {
    std::fprintf(stderr, "no seed files in %s\n", TAV_FUZZ_SEEDS);
    return 1;
  }
  for (const auto& seed : seeds) LLVMFuzzerTestOneInput(seed.data(), seed.size());
  std::mt19937 random(20261208);
  for (long round = 0; round < rounds; ++round) {
    std::vector<uint8_t> input = seeds[random() % seeds.size()];
    Mutate(input, random);
    LLVMFuzzerTestOneInput(input.data(), input.size());
  }
  std::printf("%zu seeds and %ld mutations ran\n", seeds.size(), rounds < 0 ? 0 : rounds);
  return 0;
}
