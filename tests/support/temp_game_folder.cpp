// Creates and removes the tests' temporary game folders.
#include "tests/support/temp_game_folder.h"

#include <stdlib.h>

#include <fstream>
#include <sstream>

#include "base/log.h"

namespace tav::test {

bool TempGameFolder::Create(const std::string& prefix) {
  Remove();
  std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "XXXXXX")).string();
  if (mkdtemp(pattern.data()) == nullptr) return false;
  path_ = pattern;
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
