// Whole-file reads and writes for pkgtool.
#include "tools/pkgtool/file_io.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace tav {

bool ReadInputFile(const std::string& path, std::string* bytes, std::string* error) {
  std::error_code ignored;
  if (!std::filesystem::is_regular_file(path, ignored)) {
    *error = "'" + path + "' is not a readable file";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = "cannot read '" + path + "'";
    return false;
  }
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

bool WriteOutputFile(const std::string& path, const std::string& bytes, std::string* error) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (out) {
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
  }
  if (!out) {
    std::remove(path.c_str());
    *error = "cannot write '" + path + "'";
    return false;
  }
  return true;
}

}  // namespace tav
