// The rendering tests' fixture: a throw-away game folder with a Data tree, a
// recording renderer installed as the process renderer and a hand-driven clock
// (see tests/support for the picture bytes the tests write into Data).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "render/recording_renderer.h"
#include "tests/support/temp_game_folder.h"
#include "tests/support/test_clocks.h"
#include "tests/support/tga_bytes.h"

namespace tav::test {

// A fresh base directory with an empty Data folder and the log started in it, no
// packages, a recording renderer installed, errors raising, an empty catalogue
// and a hand-driven clock. Everything is undone afterwards.
class RenderTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes base/Data/<name>.
  void WriteDataFile(const std::string& name, const std::vector<uint8_t>& bytes);
  void WriteTexturesIni(const std::string& text);
  std::string LogText() const { return ReadLog(); }
  // One frame of the given length (at most 0.05 s counts: the clock clamps).
  void RunFrame(float seconds);

  TempGameFolder folder_;
  RecordingRenderer renderer_;
  ManualTimeSource time_;
};

}  // namespace tav::test
