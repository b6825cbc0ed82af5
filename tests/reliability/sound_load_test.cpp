// Damaged sound files of a few bytes fail to load without leaving anything behind:
// SDL2_mixer's loader once kept the reader (and its open file) of such files. A WAV
// whose stated data length is damaged loads what it holds without reserving the
// gigabytes it states.
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "audio/sdl_mixer_device.h"

namespace tav {
namespace {

int OpenFileDescriptors() {
  int count = 0;
  if (DIR* directory = opendir("/proc/self/fd")) {
    while (readdir(directory) != nullptr) ++count;
    closedir(directory);
  }
  return count;
}

TEST(SoundLoadTest, TinyDamagedFilesFailWithoutLeakingTheirReader) {
  const std::filesystem::path folder =
      std::filesystem::path(TAV_BINARY_DIR) / "tests" / "reliability_sounds";
  std::filesystem::create_directories(folder);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  SdlMixerDevice device;
  ASSERT_TRUE(device.Open(""));
  const std::string bytes = "RIFF\x04\0\0\0WAVEfmt ";
  // Warm up whatever the loaders open once per process.
  std::ofstream(folder / "warm.wav") << "RIFF";
  device.OpenSound((folder / "warm.wav").string());
  const int before = OpenFileDescriptors();
  for (size_t size = 4; size <= 11; ++size) {
    for (const std::string& head : {bytes, std::string("OggS\0\0\0\0\0\0\0\0", 12),
                                    std::string("ID3\x03\0\0\0\0\0\0\0\0", 12)}) {
      const std::filesystem::path path = folder / ("tiny" + std::to_string(size) + ".wav");
      std::ofstream(path, std::ios::binary) << head.substr(0, size);
      EXPECT_EQ(device.OpenSound(path.string()), nullptr) << size;
    }
  }
  EXPECT_EQ(OpenFileDescriptors(), before);
  device.Close();
}

TEST(SoundLoadTest, DamagedWaveLengthLoadsWhatTheFileHolds) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address space limit below leaves no room for the sanitizer's shadow";
#else
  const std::filesystem::path path =
      std::filesystem::path(TAV_BINARY_DIR) / "tests" / "reliability_sounds" / "long.wav";
  std::filesystem::create_directories(path.parent_path());
  // 16-bit mono at 8000 Hz whose data chunk states 3 GB and holds 11 bytes.
  const std::string bytes(
      "RIFF\xa4\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x40\x1f\0\0\x80\x3e\0\0\x02\0\x10\0"
      "data\x80\0\0\xb4\xb6\0F\0.(d\0\0\0\0",
      55);
  std::ofstream(path, std::ios::binary) << bytes;
  // The same without the "RIFF" header, which SDL reads too.
  const std::filesystem::path bare = path.parent_path() / "bare.wav";
  std::ofstream(bare, std::ios::binary) << bytes.substr(8);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  // In a child limited to 1 GB of address space, so that reserving the stated
  // length fails instead of quietly taking memory.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const rlimit limit = {1L << 30, 1L << 30};
    setrlimit(RLIMIT_AS, &limit);
    SdlMixerDevice device;
    const bool loaded = device.Open("") && device.OpenSound(path.string()) != nullptr &&
                        device.OpenSound(bare.string()) != nullptr;
    _exit(loaded ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
#endif
}

}  // namespace
}  // namespace tav
