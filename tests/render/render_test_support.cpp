// The rendering tests' fixture: temporary Data tree, recording renderer, manual clock.
#include "tests/render/render_test_support.h"

#include <cmath>

#include "base/log.h"
#include "base/package_file_system.h"
#include "render/texture_catalogue.h"

namespace tav::test {

void RenderTest::SetUp() {
  ASSERT_TRUE(folder_.Create("tav-render-"));
  folder_.StartLog();
  PackageFileSystem::ClearPackages();
  SetErrorsRaise(true);
  SetRenderer(&renderer_);
  TextureCatalogue::Instance().Clear();
  SetTimeSource(&time_);
  FrameClock::Instance().ResetForTests();
}

void RenderTest::TearDown() {
  TextureCatalogue::Instance().UsePictureScale(1);
  TextureCatalogue::Instance().SetSharpPackage("");
  TextureCatalogue::Instance().Clear();
  SetRenderer(nullptr);
  SetTimeSource(nullptr);
  FrameClock::Instance().ResetForTests();
  SetErrorsRaise(true);
  folder_.Remove();
}

void RenderTest::WriteDataFile(const std::string& name, const std::vector<uint8_t>& bytes) {
  WriteBytes(folder_.Data() / name, bytes);
}

void RenderTest::WriteTexturesIni(const std::string& text) {
  WriteDataFile("Textures.ini", std::vector<uint8_t>(text.begin(), text.end()));
}

void RenderTest::RunFrame(float seconds) {
  FrameClock::Instance().FrameStart();
  time_.counter += static_cast<uint64_t>(std::llround(seconds * 1e6));
  time_.milliTicks += static_cast<uint32_t>(std::llround(seconds * 1e3));
  FrameClock::Instance().FrameEnd();
}

}  // namespace tav::test
