// Loads whole files by name from package files or, with no package registered,
// from the loose Data tree. Package contents are checked against the file size
// before anything is allocated or read.
#include "base/package_file_system.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/case_compare.h"
#include "base/data_path.h"
#include "base/file_system.h"
#include "base/log.h"

namespace tav {
namespace {

constexpr char kMagic[] = "PKG Package ";
constexpr size_t kMagicLength = 12;
constexpr size_t kHeaderSize = 20;
constexpr size_t kEntrySize = 40;
constexpr size_t kNameField = 32;
// Deeper loose trees than this are not searched (guards against link loops).
constexpr int kMaxSearchDepth = 32;

std::vector<std::string>& PackageList() {
  static std::vector<std::string> packages;
  return packages;
}

uint32_t ReadLittleEndian32(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

// Closes the file when it goes out of scope.
struct FileCloser {
  std::FILE* file;
  ~FileCloser() {
    if (file) std::fclose(file);
  }
};

// An opened package whose header has been checked.
struct OpenPackage {
  std::FILE* file = nullptr;
  int64_t fileSize = 0;
  uint32_t entryCount = 0;
};

PackageFileSystem::ReadResult OpenAndCheckHeader(const std::string& path, OpenPackage* package) {
  using R = PackageFileSystem::ReadResult;
  package->file = OpenFile(path, "rb");
  if (!package->file) return R::kCannotOpen;
  package->fileSize = OpenFileSize(package->file);
  uint8_t header[kHeaderSize];
  size_t got = std::fread(header, 1, kHeaderSize, package->file);
  // The magic is the text up to the first NUL, so a 13th byte that is not NUL
  // makes it a different text.
  if (got < kMagicLength + 1 || std::memcmp(header, kMagic, kMagicLength) != 0 ||
      header[kMagicLength] != 0) {
    return R::kBadMagic;
  }
  if (got < kHeaderSize || package->fileSize < 0) return R::kCorrupt;
  package->entryCount = ReadLittleEndian32(header + 16);
  uint64_t directoryEnd = kHeaderSize + static_cast<uint64_t>(package->entryCount) * kEntrySize;
  if (directoryEnd > static_cast<uint64_t>(package->fileSize)) return R::kCorrupt;
  return R::kOk;
}

// Reads the next 40-byte directory entry. False if the entry is unreadable or its
// name has no terminating NUL.
bool ReadEntry(std::FILE* file, PackageFileSystem::Entry* entry) {
  uint8_t bytes[kEntrySize];
  if (std::fread(bytes, 1, kEntrySize, file) != kEntrySize) return false;
  const void* nul = std::memchr(bytes, 0, kNameField);
  if (!nul) return false;
  entry->name.assign(reinterpret_cast<const char*>(bytes),
                     static_cast<const uint8_t*>(nul) - bytes);
  entry->size = ReadLittleEndian32(bytes + 32);
  entry->offset = ReadLittleEndian32(bytes + 36);
  return true;
}

bool EntryFitsInFile(const PackageFileSystem::Entry& entry, int64_t fileSize) {
  return static_cast<uint64_t>(entry.offset) + entry.size <= static_cast<uint64_t>(fileSize);
}

// Depth-first search in directory listing order: a subdirectory is searched as
// soon as it is listed, before the entries that follow it.
bool FindLooseFile(const std::string& directory, const std::string& name, int depth,
                   std::string* found) {
  if (depth > kMaxSearchDepth) return false;
  std::vector<DirectoryItem> items;
  if (!ListDirectory(directory, &items)) return false;
  for (const DirectoryItem& item : items) {
    if (item.isDirectory) {
      if (FindLooseFile(directory + "/" + item.name, name, depth + 1, found)) return true;
    } else if (EqualIgnoringCase(name, item.name)) {
      *found = directory + "/" + item.name;
      return true;
    }
  }
  return false;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes) {
  FileCloser closer{OpenFile(path, "rb")};
  if (!closer.file) return false;
  int64_t size = OpenFileSize(closer.file);
  if (size < 0 || size > static_cast<int64_t>(UINT32_MAX)) return false;
  bytes->resize(static_cast<size_t>(size));
  return bytes->empty() ||
         std::fread(bytes->data(), 1, bytes->size(), closer.file) == bytes->size();
}

}  // namespace

void PackageFileSystem::AddPackage(const std::string& path) {
  PackageList().push_back(path);
}
void PackageFileSystem::ClearPackages() {
  PackageList().clear();
}
const std::vector<std::string>& PackageFileSystem::Packages() {
  return PackageList();
}

PackageFileSystem::ReadResult PackageFileSystem::ReadDirectory(const std::string& path,
                                                               std::vector<Entry>* entries) {
  entries->clear();
  OpenPackage package;
  ReadResult result = OpenAndCheckHeader(path, &package);
  FileCloser closer{package.file};
  if (result != ReadResult::kOk) return result;
  // The count has been checked against the file size, so this is bounded by it.
  entries->reserve(package.entryCount);
  for (uint32_t i = 0; i < package.entryCount; ++i) {
    Entry entry;
    if (!ReadEntry(package.file, &entry) || !EntryFitsInFile(entry, package.fileSize)) {
      return ReadResult::kCorrupt;
    }
    entries->push_back(std::move(entry));
  }
  return ReadResult::kOk;
}

PackageFileSystem::ReadResult PackageFileSystem::Load(const std::string& path,
                                                      const std::string& name,
                                                      std::vector<uint8_t>* bytes, bool* found) {
  *found = false;
  OpenPackage package;
  ReadResult result = OpenAndCheckHeader(path, &package);
  FileCloser closer{package.file};
  if (result != ReadResult::kOk) return result;
  for (uint32_t i = 0; i < package.entryCount; ++i) {
    Entry entry;
    if (!ReadEntry(package.file, &entry)) return ReadResult::kCorrupt;
    if (!EqualIgnoringCase(entry.name, name)) continue;
    if (!EntryFitsInFile(entry, package.fileSize)) return ReadResult::kCorrupt;
    std::vector<uint8_t> data(entry.size);
    if (std::fseek(package.file, static_cast<long>(entry.offset), SEEK_SET) != 0 ||
        (!data.empty() && std::fread(data.data(), 1, data.size(), package.file) != data.size())) {
      return ReadResult::kCorrupt;
    }
    *bytes = std::move(data);
    *found = true;
    return ReadResult::kOk;
  }
  return ReadResult::kOk;
}

bool MemoryFile::Open(const std::string& name, bool usePackages) {
  Close();
  std::vector<uint8_t> bytes;
  if (usePackages && !PackageList().empty()) {
    for (const std::string& packagePath : PackageList()) {
      bool found = false;
      std::string path = NativePath(packagePath);
      switch (PackageFileSystem::Load(path, name, &bytes, &found)) {
        case PackageFileSystem::ReadResult::kCannotOpen:
          continue;  // a missing package is skipped
        case PackageFileSystem::ReadResult::kBadMagic:
          LogLine("Package %s is not a package file.\n", path.c_str());
          return false;
        case PackageFileSystem::ReadResult::kCorrupt:
          LogLine("Package %s is damaged; cannot load %s.\n", path.c_str(), name.c_str());
          return false;
        case PackageFileSystem::ReadResult::kOk:
          break;
      }
      if (found) {
        Assign(std::move(bytes));
        return true;
      }
    }
    return false;
  }
  std::string path;
  if (!FindLooseFile(DataPath("Data"), name, 0, &path)) return false;
  if (!ReadWholeFile(path, &bytes)) return false;
  Assign(std::move(bytes));
  return true;
}

size_t MemoryFile::Read(void* destination, size_t elementSize, size_t count) {
  size_t remaining = Remaining();
  size_t wanted = (count != 0 && elementSize > remaining / count) ? remaining : elementSize * count;
  size_t copied = std::min(wanted, remaining);
  if (copied > 0) std::memcpy(destination, Current(), copied);
  position_ += static_cast<uint32_t>(copied);
  return copied;
}

void MemoryFile::Seek(uint32_t position) {
  // A position past the end is held at the end so that reads stay inside the data.
  position_ = std::min(position, Size());
}

void MemoryFile::Close() {
  data_.clear();
  data_.shrink_to_fit();
  position_ = 0;
}

void MemoryFile::Assign(std::vector<uint8_t> bytes) {
  data_ = std::move(bytes);
  position_ = 0;
}

}  // namespace tav
