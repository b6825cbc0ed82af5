// Feeds bytes to the INI reader and looks up sections and keys of every shape the
// game uses, including ones the file may lack.
#include <string>

#include "base/ini_file.h"
#include "fuzz/support/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = tav::fuzz::WriteScratchFile("Data/any.ini", data, size);
  tav::IniFile ini;
  if (!ini.OpenPath(path)) return 0;
  std::string value;
  for (const char* section : {"Defaults", "1", "Sound", "", "a"}) {
    for (const char* key : {"LevelData", "Time", "Music", "k", ""}) {
      if (ini.Get(section, key, &value) && value.size() > tav::IniFile::kMaxLine) {
        __builtin_trap();  // a value is never longer than a line
      }
    }
  }
  ini.Close();
  return 0;
}
