// Package file writer used by pkgtool.
#include "tools/pkgtool/package_writer.h"

#include <cstdint>
#include <cstring>

#include "tools/pkgtool/file_io.h"

namespace tav {
namespace {

constexpr char kPackageMagic[] = "PKG Package ";
constexpr size_t kHeaderSize = 20;
constexpr size_t kEntrySize = 40;

void PutLittleEndian32(std::string* bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) (*bytes)[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

std::string BaseName(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool WritePackage(const std::string& outputPath, const std::vector<std::string>& files,
                  std::string* error) {
  if (files.size() > (UINT32_MAX - kHeaderSize) / kEntrySize) {
    *error = "too many files for one package";
    return false;
  }
  std::string directory(kHeaderSize + kEntrySize * files.size(), '\0');
  std::memcpy(directory.data(), kPackageMagic, std::strlen(kPackageMagic));
  PutLittleEndian32(&directory, 16, static_cast<uint32_t>(files.size()));

  std::string data;
  for (size_t i = 0; i < files.size(); ++i) {
    std::string name = BaseName(files[i]);
    if (name.empty()) {
      *error = "no file name in '" + files[i] + "'";
      return false;
    }
    if (name.size() > kMaxPackageEntryName) {
      *error = "entry name '" + name + "' is longer than 31 characters";
      return false;
    }
    std::string bytes;
    if (!ReadInputFile(files[i], &bytes, error)) return false;
    uint64_t offset = directory.size() + data.size();
    if (offset + bytes.size() > UINT32_MAX) {
      *error = "package would be larger than 4 GiB at '" + files[i] + "'";
      return false;
    }
    size_t at = kHeaderSize + kEntrySize * i;
    std::memcpy(directory.data() + at, name.data(), name.size());
    PutLittleEndian32(&directory, at + 32, static_cast<uint32_t>(bytes.size()));
    PutLittleEndian32(&directory, at + 36, static_cast<uint32_t>(offset));
    data += bytes;
  }

  return WriteOutputFile(outputPath, directory + data, error);
}

}  // namespace tav
