// The screen tests' environment: writes every picture the screens ask for into the
// temporary Data folder, and installs the fake clock, the shade picture and the
// recording sound device around the run.
#include "screens_test_support.h"

#include "base/log.h"
#include "screens/screen_parts.h"
#include "tests/support/block_font.h"
#include "tests/support/test_clocks.h"
#include "tests/support/tga_bytes.h"

namespace tav::test {
namespace {

const char* const kButtonStems[] = {"start", "options",  "help", "hiscore", "exit",
                                    "up",    "down",     "ok",   "left",    "right",
                                    "play",  "exitmenu", "prev", "next"};

const BlankPicture kPictures[] = {
    {"Black.tga", 8, 8},
    {"back.tga", 128, 128},
    {"stenkal.tga", 16, 16},
    {"stenkar.tga", 16, 16},
    {"menu_bgr.tga", 16, 16},
    {"menu_bgr_down.tga", 16, 16},
    {"top_bar_logo.tga", 256, 37},
    {"top_bar.tga", 256, 37},
    {"x_Loop.tga", 32, 32},
    {"x_Focus.tga", 32, 32},
    {"x_down.tga", 32, 32},
    {"_Loop.tga", 32, 32},
    {"_Focus.tga", 32, 32},
    {"_down.tga", 32, 32},
    {"hiscore_window.tga", 16, 16},
    {"window_options.tga", 16, 16},
    {"Plus1.tga", 20, 32},
    {"Plus2.tga", 20, 32},
    {"slider.tga", 190, 8},
    {"Checked1.tga", 16, 16},
    {"Checked2.tga", 16, 16},
    {"Unchecked1.tga", 16, 16},
    {"Unchecked2.tga", 16, 16},
    {"pause_window.tga", 16, 16},
    {"gameover_window.tga", 16, 16},
    {"Help_p1.tga", 16, 16},
    {"Help_p2.tga", 16, 16},
    {"Help_p3.tga", 16, 16},
    {"tavrolith_logo.tga", 64, 32},
    {"zelto_logo.tga", 32, 16},
    {"Ind1.tga", 8, 8},
    {"Ind2.tga", 8, 8},
    {"rc_window.tga", 16, 16},
    {"papirus1.tga", 16, 16},
    {"papirus2.tga", 16, 16},
    {"papirus3.tga", 16, 16},
    {"papirus4.tga", 16, 16},
    {"papirus5.tga", 16, 16},
    {"papirus6.tga", 16, 16},
};

class ScreensEnvironment : public GuiTestEnvironment {
 public:
  ScreensEnvironment() : GuiTestEnvironment("tav_screens_test_") {}

 protected:
  void WriteData(const std::filesystem::path& data) override {
    std::filesystem::create_directories(data / "Audio");
    WriteBlankPictures(data, kPictures);
    for (const char* stem : kButtonStems) {
      for (const char* ending : {"_loop.tga", "_focus.tga", "_down.tga"}) {
        WriteBytes(data / (std::string(stem) + ending), MakeWhiteTga(8, 8));
      }
    }
    // Every glyph five columns wide, 'W' included.
    WriteBytes(data / "xFont.tga", MakeBlockFontTga(5, 5));
  }
  void Install() override {
    SetErrorsRaise(false);
    SetTimeSource(&FakeTime());
  }
  void Load() override {
    SharedShade().SetTexture("Black.tga");
    StartRecordingSound();
  }
  void Unload() override { StopRecordingSound(); }
  void Uninstall() override { SetTimeSource(nullptr); }
};

ScreensEnvironment* const kEnvironment = [] {
  auto* environment = new ScreensEnvironment;
  ::testing::AddGlobalTestEnvironment(environment);
  return environment;
}();

}  // namespace

std::string GamePath(const std::string& relative) {
  return (kEnvironment->Folder().Path() / relative).string();
}

}  // namespace tav::test
