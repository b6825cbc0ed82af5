// Reads values by section and key from the game's text configuration files
// (Data\Textures.ini, Data\Levels.ini, Data\Config.ini).
#pragma once

#include <cstdio>
#include <string>

namespace tav {

class IniFile {
 public:
  IniFile() = default;
  ~IniFile();
  IniFile(const IniFile&) = delete;
  IniFile& operator=(const IniFile&) = delete;

  // Opens base directory + name ("Data\Levels.ini"). False if it cannot be opened.
  bool Open(const std::string& name);
  // Opens a native path as given (tools and tests).
  bool OpenPath(const std::string& path);
  bool IsOpen() const { return file_ != nullptr; }
  // Looks up the first `key` in `section` (both case-insensitive). False if the
  // file is not open or the key is absent.
  bool Get(const std::string& section, const std::string& key, std::string* value);
  void Close();

  static constexpr size_t kMaxLine = 1023;

 private:
  std::FILE* file_ = nullptr;
};

}  // namespace tav
