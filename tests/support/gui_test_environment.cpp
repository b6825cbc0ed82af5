// Sets up and takes down the GUI tests' world in the order the game does it.
#include "tests/support/gui_test_environment.h"

#include "audio/sound_manager.h"
#include "render/bitmap_font.h"
#include "render/texture_catalogue.h"
#include "tests/support/recorded_draws.h"
#include "tests/support/tga_bytes.h"

namespace tav::test {

void GuiTestEnvironment::SetUp() {
  ASSERT_TRUE(folder_.Create(folderPrefix_));
  WriteData(folder_.Data());
  folder_.StartLog();
  Install();
  SetRenderer(&Recorder());
  BitmapFont::Shared().Load("xFont.tga");
  BitmapFont::Shared().SetMetrics(1, 5, 15);
  Load();
}

void GuiTestEnvironment::TearDown() {
  Unload();
  TextureCatalogue::Instance().Clear();
  BitmapFont::Shared().Release();
  SetRenderer(nullptr);
  Uninstall();
  folder_.Remove();
}

void WriteBlankPictures(const std::filesystem::path& data, std::span<const BlankPicture> pictures) {
  for (const BlankPicture& picture : pictures) {
    WriteBytes(data / picture.name, MakeWhiteTga(picture.width, picture.height));
  }
}

RecordingAudioDevice& SoundRecorder() {
  static RecordingAudioDevice device;
  return device;
}

void StartRecordingSound() {
  SoundRecorder().SetOpenAnyPath(true);
  SoundManager::Instance().SetDevice(&SoundRecorder());
  SoundManager::Instance().Start();
}

void StopRecordingSound() {
  SoundManager::Instance().ResetForTests();
}

}  // namespace tav::test
