// The GUI tests' environment: the pictures the controls load and the font written
// into the temporary Data folder, and the fake clock installed for the run.
#include "gui_test_support.h"

#include "tests/support/block_font.h"
#include "tests/support/gui_test_environment.h"
#include "tests/support/tga_bytes.h"

namespace tav::test {
namespace {

const BlankPicture kTestPictures[] = {
    {"btn_loop.tga", 4, 2},      {"btn_focus.tga", 4, 2},    {"btn_down.tga", 4, 2},
    {"back.tga", 8, 8},          {"panel.tga", 65, 21},      {"knob.tga", 20, 32},
    {"knob_focus.tga", 20, 32},  {"knob_drag.tga", 20, 32},  {"track.tga", 190, 8},
    {"track_spare.tga", 190, 8}, {"track_drag.tga", 190, 8}, {"check0.tga", 16, 16},
    {"check1.tga", 16, 16},      {"check2.tga", 16, 16},     {"check3.tga", 16, 16},
    {"check4.tga", 16, 16},      {"check5.tga", 16, 16},
};

class GuiEnvironment : public GuiTestEnvironment {
 public:
  GuiEnvironment() : GuiTestEnvironment("tav_gui_test_") {}

 protected:
  void WriteData(const std::filesystem::path& data) override {
    WriteBlankPictures(data, kTestPictures);
    WriteBytes(data / "xFont.tga", MakeBlockFontTga(kGlyphColumns, kWideGlyphColumns));
  }
  void Install() override { SetTimeSource(&FakeTime()); }
  void Uninstall() override { SetTimeSource(nullptr); }
};

const bool kEnvironmentAdded = (::testing::AddGlobalTestEnvironment(new GuiEnvironment), true);

}  // namespace
}  // namespace tav::test
