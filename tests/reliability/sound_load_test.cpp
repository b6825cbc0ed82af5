// Damaged sound files of a few bytes fail to load without leaving anything behind:
// SDL2_mixer's loader once kept the reader (and its open file) of such files.
#include <dirent.h>
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tav
