// Feeds arbitrary bytes to the package reader (directory listing, lookups through
// MemoryFile) and to the INI reader. Without libFuzzer, main() replays files given
// on the command line, or mutates a valid package with a fixed seed for N rounds.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "base/ini_file.h"
#include "base/package_file_system.h"

namespace {

const std::string& ScratchPath() {
  static const std::string path = [] {
    char pattern[] = "/tmp/tav-package-fuzz-XXXXXX";
    int descriptor = mkstemp(pattern);
    if (descriptor >= 0) close(descriptor);
    // Removed at exit however the run ends normally, under libFuzzer too.
    std::atexit([] { std::remove(ScratchPath().c_str()); });
    return std::string(pattern);
  }();
  return path;
}

void WriteScratch(const uint8_t* data, size_t size) {
  std::FILE* file = std::fopen(ScratchPath().c_str(), "wb");
  if (!file) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  WriteScratch(data, size);
  const std::string& path = ScratchPath();

  std::vector<tav::PackageFileSystem::Entry> entries;
  tav::PackageFileSystem::ReadDirectory(path, &entries);
  for (const auto& entry : entries) {
    // Every listed entry lies inside the file.
    if (static_cast<uint64_t>(entry.offset) + entry.size > size) std::abort();
  }

  tav::PackageFileSystem::ClearPackages();
  tav::PackageFileSystem::AddPackage(path);
  tav::MemoryFile file;
  for (const char* name : {"a.tga", "B.SPT", "", "missing"}) {
    if (file.Open(name)) {
      if (file.Size() > size) std::abort();
      uint8_t buffer[16];
      while (file.Read(buffer, 3, 5) > 0) {
      }
    }
  }
  tav::PackageFileSystem::ClearPackages();

  tav::IniFile ini;
  if (ini.OpenPath(path)) {
    std::string value;
    ini.Get("a", "k", &value);
    ini.Get("", "", &value);
    if (value.size() > tav::IniFile::kMaxLine) std::abort();
  }
  return 0;
}

#ifndef TAV_LIBFUZZER
namespace {

void PutLittleEndian32(std::vector<uint8_t>* bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) (*bytes)[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// A valid package with a few entries, the starting point for mutations.
std::vector<uint8_t> SeedPackage() {
  const char* names[] = {"a.tga", "b.spt", "A.TGA"};
  const char* contents[] = {"alpha", "[a]\nk = v\n", ""};
  std::vector<uint8_t> bytes(20 + 40 * 3, 0);
  std::memcpy(bytes.data(), "PKG Package ", 12);
  PutLittleEndian32(&bytes, 16, 3);
  for (size_t i = 0; i < 3; ++i) {
    size_t at = 20 + 40 * i;
    std::memcpy(bytes.data() + at, names[i], std::strlen(names[i]));
    PutLittleEndian32(&bytes, at + 32, static_cast<uint32_t>(std::strlen(contents[i])));
    PutLittleEndian32(&bytes, at + 36, static_cast<uint32_t>(bytes.size()));
    bytes.insert(bytes.end(), contents[i], contents[i] + std::strlen(contents[i]));
  }
  return bytes;
}

std::vector<uint8_t> ReadInput(const char* path) {
  std::vector<uint8_t> bytes;
  if (std::FILE* file = std::fopen(path, "rb")) {
    int c;
    while ((c = std::fgetc(file)) != EOF) bytes.push_back(static_cast<uint8_t>(c));
    std::fclose(file);
  }
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  char* end = nullptr;
  long rounds = argc == 2 ? std::strtol(argv[1], &end, 10) : 0;
  if (argc >= 2 && (end == argv[1] || *end != '\0')) {
    for (int i = 1; i < argc; ++i) {
      std::vector<uint8_t> input = ReadInput(argv[i]);
      LLVMFuzzerTestOneInput(input.data(), input.size());
    }
  } else {
    std::mt19937 random(12345);
    const std::vector<uint8_t> seed = SeedPackage();
    const uint32_t interesting[] = {0, 1, 3, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFF0u, 0xFFFFFFFFu};
    for (long round = 0; round < rounds; ++round) {
      std::vector<uint8_t> input = seed;
      int edits = 1 + static_cast<int>(random() % 4);
      for (int e = 0; e < edits && !input.empty(); ++e) {
        size_t at = random() % input.size();
        switch (random() % 4) {
          case 0:  // flip a byte
            input[at] = static_cast<uint8_t>(random());
            break;
          case 1:  // cut the file short
            input.resize(at);
            break;
          case 2:  // an extreme 32-bit field somewhere in the header or directory
            if (at + 4 <= input.size()) {
              PutLittleEndian32(&input, at & ~size_t{3},
                                interesting[random() % (sizeof(interesting) / 4)]);
            }
            break;
          default:  // a name field with no NUL
            if (at + 32 <= input.size()) std::memset(input.data() + at, 'x', 32);
            break;
        }
      }
      LLVMFuzzerTestOneInput(input.data(), input.size());
    }
  }
  return 0;
}
#endif
