// Feeds bytes to the bitmap font as its picture "xFont.tga", then measures and draws
// a text with every character code on the recording renderer.
#include <string>

#include "base/log.h"
#include "base/package_file_system.h"
#include "fuzz/support/fuzz_support.h"
#include "render/bitmap_font.h"
#include "render/recording_renderer.h"
#include "render/texture_catalogue.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tav::fuzz::ResetLog();
  tav::PackageFileSystem::ClearPackages();
  tav::fuzz::WriteScratchFile("Data/xFont.tga", data, size);
  tav::RecordingRenderer renderer;
  tav::SetRenderer(&renderer);
  {
    tav::BitmapFont font;
    try {
      font.Load("xFont.tga");
      std::string every;
      for (int c = 1; c < 256; ++c) every += static_cast<char>(c);
      font.TextWidth(every);
      font.PrintText(10.0f, 10.0f, every);
      font.PrintTextWithShadow(10.0f, 10.0f, "Magic Symbol +500");
    } catch (const tav::FatalError&) {
    }
    font.Release();
  }
  tav::TextureCatalogue::Instance().Clear();
  tav::SetRenderer(nullptr);
  return 0;
}
