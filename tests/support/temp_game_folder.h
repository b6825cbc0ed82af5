// A throw-away game folder for tests: a fresh directory below /tmp with a Data
// folder, the log started in it, removed again when the test is done.
#pragma once

#include <filesystem>
#include <string>

namespace tav::test {

class TempGameFolder {
 public:
  TempGameFolder() = default;
  ~TempGameFolder() { Remove(); }
  TempGameFolder(const TempGameFolder&) = delete;
  TempGameFolder& operator=(const TempGameFolder&) = delete;

  // Makes <temp>/<prefix>XXXXXX with an empty Data folder; false if it could not.
  bool Create(const std::string& prefix);
  // Starts the log in the folder, so it becomes the game's base directory.
  void StartLog() const;
  // Deletes the folder and everything in it (nothing if there is none).
  void Remove();

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path Data() const { return path_ / "Data"; }

 private:
  std::filesystem::path path_;
};

// Everything the log of the current base directory holds so far.
std::string ReadLog();

}  // namespace tav::test
