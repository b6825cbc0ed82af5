// Creates and removes the tests' temporary game folders.
#include "tests/support/temp_game_folder.h"

#include <fstream>
#include <sstream>

#include "base/log.h"
#include "tests/support/unique_temp_dir.h"

namespace tav::test {

bool TempGameFolder::Create(const std::string& prefix) {
  Remove();
  path_ = MakeUniqueTempDirectory(prefix);
  if (path_.empty()) return false;
  std::filesystem::create_directories(Data());
  return true;
}

void TempGameFolder::StartLog() const {
  LogStart(path_.string());
}

void TempGameFolder::Remove() {
  if (path_.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
  path_.clear();
}

std::string ReadLog() {
  std::ifstream file(BaseDirectory() + "/log.txt", std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

}  // namespace tav::test
