// Feeds bytes to the texture catalogue as a ".spt" picture list from the loose Data
// folder, on the recording renderer. A refused file is a fatal report, which is
// caught here as the main loop would.
#include "base/log.h"
#include "base/package_file_system.h"
#include "fuzz/support/fuzz_support.h"
#include "render/recording_renderer.h"
#include "render/texture_catalogue.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tav::fuzz::ResetLog();
  tav::PackageFileSystem::ClearPackages();
  tav::fuzz::WriteScratchFile("Data/list.spt", data, size);
  tav::RecordingRenderer renderer;
  tav::SetRenderer(&renderer);
  tav::TextureCatalogue& catalogue = tav::TextureCatalogue::Instance();
  try {
    tav::Texture& texture = catalogue.Get("list.spt");
    for (int i = 0; i < texture.ActionCount(); ++i) texture.FindAction(texture.Action(i)->name);
    texture.FindAction("Loop");
  } catch (const tav::FatalError&) {
  }
  catalogue.Clear();
  tav::SetRenderer(nullptr);
  return 0;
}
