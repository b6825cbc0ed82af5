// Whole files by name from the package files (Data\data.pkg), or from the loose
// Data tree when no package is registered. Packages are untrusted input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tav {

// One loaded file in memory, read with read/seek/tell. Reused for successive loads.
class MemoryFile {
 public:
  // Loads `name`; true on success. With usePackages and at least one package
  // registered, only the packages are searched; otherwise the loose Data tree.
  bool Open(const std::string& name, bool usePackages = true);
  // Copies up to elementSize * count bytes (never past the end) and advances.
  // Returns the number of bytes copied.
  size_t Read(void* destination, size_t elementSize, size_t count);
  void Seek(uint32_t position);
  uint32_t Tell() const { return position_; }
  uint32_t Size() const { return static_cast<uint32_t>(data_.size()); }
  const uint8_t* Data() const { return data_.data(); }
  const uint8_t* Current() const { return data_.data() + position_; }
  uint32_t Remaining() const { return Size() - position_; }
  void Close();

  // For loaders that fill the buffer themselves (and tests).
  void Assign(std::vector<uint8_t> bytes);

 private:
  std::vector<uint8_t> data_;
  uint32_t position_ = 0;
};

class PackageFileSystem {
 public:
  static void AddPackage(const std::string& path);
  static void ClearPackages();  // for tests and teardown
  static const std::vector<std::string>& Packages();

  // One directory entry, as read from a package.
  struct Entry {
    std::string name;
    uint32_t size = 0;
    uint32_t offset = 0;
  };
  enum class ReadResult { kOk, kCannotOpen, kBadMagic, kCorrupt };
  // Reads a package's whole directory (for tools). Entries that run past the end
  // of the file or lack their NUL make the result kCorrupt.
  static ReadResult ReadDirectory(const std::string& path, std::vector<Entry>* entries);
  // Finds `name` in one package (case-insensitive, first match) and loads it.
  static ReadResult Load(const std::string& path, const std::string& name,
                         std::vector<uint8_t>* bytes, bool* found);
};

}  // namespace tav
