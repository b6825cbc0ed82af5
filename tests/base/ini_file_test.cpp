// The INI lookup rules: sections, the first "=", space-only trimming, no comments.
#include "base/ini_file.h"

#include <gtest/gtest.h>

#include "base/log.h"
#include "tests/base/temp_dir.h"

namespace tav {
namespace {

using testing::TempDir;
using testing::WriteFile;

class IniFileTest : public ::testing::Test {
 protected:
  // Opens a file with the given text and returns the looked-up value, or
  // "<missing>" when the lookup fails.
  std::string Lookup(const std::string& text, const std::string& section, const std::string& key) {
    WriteFile(dir_ / "test.ini", text);
    IniFile ini;
    if (!ini.OpenPath(dir_ / "test.ini")) return "<cannot open>";
    std::string value = "<untouched>";
    return ini.Get(section, key, &value) ? value : "<missing>";
  }

  TempDir dir_;
};

TEST_F(IniFileTest, KeyAndValueSeparators) {
  EXPECT_EQ(Lookup("[Sound]\nSoundVolume = 80\n", "Sound", "SoundVolume"), "80");
  EXPECT_EQ(Lookup("[Sound]\nSoundVolume=80\n", "Sound", "SoundVolume"), "80");
  EXPECT_EQ(Lookup("[Sound]\nSoundVolume 80\n", "Sound", "SoundVolume"), "80");
  EXPECT_EQ(Lookup("[Sound]\nSoundVolume=\n", "Sound", "SoundVolume"), "");
  // Only the first "=" separates; later ones are part of the value.
  EXPECT_EQ(Lookup("[a]\nk = x=y\n", "a", "k"), "x=y");
}

TEST_F(IniFileTest, ValuesKeepInnerSpacesAndTrailingText) {
  EXPECT_EQ(Lookup("[a]\nname =  two words   \r\n", "a", "name"), "two words");
  EXPECT_EQ(Lookup("[a]\nk = 5 ; a note\n", "a", "k"), "5 ; a note");
  // A semicolon line is a key line like any other.
  EXPECT_EQ(Lookup("[a]\n;k = 1\nk = 2\n", "a", ";k"), "1");
  EXPECT_EQ(Lookup("[a]\n;k = 1\nk = 2\n", "a", "k"), "2");
  // Only spaces are trimmed: a tab stays in the value.
  EXPECT_EQ(Lookup("[a]\nk = \tv\t \n", "a", "k"), "\tv\t");
}

TEST_F(IniFileTest, SectionLines) {
  std::string text =
      "top = 0\n"
      "   [ Sound ] extra words\n"
      "SoundVolume = 80\n"
      "[Other]\n"
      "SoundVolume = 1\n"
      "[sound]\n"
      "MusicVolume = 60\n"
      "SoundVolume = 2\n";
  EXPECT_EQ(Lookup(text, "", "top"), "0");
  EXPECT_EQ(Lookup(text, "SOUND", "SOUNDVOLUME"), "80");  // first match, any case
  EXPECT_EQ(Lookup(text, "Sound", "MusicVolume"), "60");  // section seen twice
  EXPECT_EQ(Lookup(text, "Other", "MusicVolume"), "<missing>");
  EXPECT_EQ(Lookup(text, "Missing", "top"), "<missing>");
  // A tab before "[" makes the line a key line, so the section does not change.
  EXPECT_EQ(Lookup("[a]\n\t[b]\nk = 1\n", "a", "k"), "1");
  EXPECT_EQ(Lookup("[a]\n\t[b]\nk = 1\n", "b", "k"), "<missing>");
}

TEST_F(IniFileTest, BlankLinesAndEmptyKeysMatchNothing) {
  EXPECT_EQ(Lookup("[a]\n\n   \n\r\n", "a", ""), "<missing>");
  EXPECT_EQ(Lookup("", "a", "k"), "<missing>");
}

TEST_F(IniFileTest, OverlongLinesAreReadInPieces) {
  // The second 1023-character piece of a long line is a line of its own.
  std::string text = "[a]\n" + std::string(IniFile::kMaxLine, 'x') + "k = tail\n";
  EXPECT_EQ(Lookup(text, "a", "k"), "tail");
  std::string longValue(3000, 'v');
  std::string value = Lookup("[a]\nk = " + longValue + "\n", "a", "k");
  EXPECT_EQ(value, longValue.substr(0, IniFile::kMaxLine - 4));
}

TEST_F(IniFileTest, OpenUsesTheBaseDirectoryAndReportsFailure) {
  LogStart(dir_.Path());
  WriteFile(dir_ / "Data/Config.ini", "[Sound]\nMusicVolume = 40\n");
  IniFile ini;
  std::string value;
  EXPECT_FALSE(ini.Get("Sound", "MusicVolume", &value));  // not open yet
  ASSERT_TRUE(ini.Open("Data\\Config.ini"));
  EXPECT_TRUE(ini.Get("Sound", "MusicVolume", &value));
  EXPECT_EQ(value, "40");
  EXPECT_TRUE(ini.Get("sound", "musicvolume", &value));  // repeated lookups rescan
  ini.Close();
  EXPECT_FALSE(ini.IsOpen());
  EXPECT_FALSE(ini.Get("Sound", "MusicVolume", &value));
  EXPECT_FALSE(ini.Open("Data\\Missing.ini"));
}

}  // namespace
}  // namespace tav
