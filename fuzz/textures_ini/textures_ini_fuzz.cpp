// Feeds bytes to the texture catalogue as Data/Textures.ini, loading a picture and a
// picture list that the settings apply to.
#include "base/log.h"
#include "base/package_file_system.h"
#include "fuzz/support/fuzz_support.h"
#include "render/recording_renderer.h"
#include "render/texture_catalogue.h"

namespace {

// A 2 by 2 picture, 32 bits, stored bottom row first.
std::string SmallTga() {
  std::string bytes(18, '\0');
  bytes[2] = 2;
  bytes[12] = 2;
  bytes[14] = 2;
  bytes[16] = 32;
  bytes[17] = 8;
  bytes.append(16, '\x7f');
  return bytes;
}

// A picture list of one 1 by 1 frame in each of two actions.
std::string SmallSpt() {
  std::string bytes(60, '\0');
  bytes.replace(0, 19, "SPT Pictures list  ");
  bytes[20] = 1;
  bytes[24] = 1;
  bytes[28] = 24;
  bytes[32] = 2;
  for (const char* name : {"Loop", "Burst"}) {
    std::string action(33, '\0');
    action.replace(0, std::string(name).size(), name);
    action[32] = 1;
    bytes += action + std::string(3, '\x40');
  }
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool written = [] {
    tav::fuzz::WriteScratchFile("Data/pic.tga", SmallTga());
    tav::fuzz::WriteScratchFile("Data/list.spt", SmallSpt());
    return true;
  }();
  (void)written;
  tav::fuzz::ResetLog();
  tav::PackageFileSystem::ClearPackages();
  tav::fuzz::WriteScratchFile("Data/Textures.ini", data, size);
  tav::RecordingRenderer renderer;
  tav::SetRenderer(&renderer);
  tav::TextureCatalogue& catalogue = tav::TextureCatalogue::Instance();
  for (const char* name : {"pic.tga", "LIST.SPT"}) {
    try {
      catalogue.Get(name);
    } catch (const tav::FatalError&) {
    }
  }
  catalogue.Clear();
  tav::SetRenderer(nullptr);
  return 0;
}
