// High-score insertion and the Data\Hiscore.dat record layout, read defensively.
#include "screens/hiscore_table.h"

#include <cstring>
#include <fstream>
#include <iterator>

#include "base/atomic_file.h"
#include "base/file_system.h"
#include "base/log.h"

namespace tav {

int HiscoreTable::Insert(int table, uint32_t score) {
  if (table < 0 || table >= kTableCount) return -1;
  Row* rows = rows_[table];
  int place = -1;
  for (int i = 0; i < kRowCount; ++i) {
    if (score > rows[i].score) {
      place = i;
      break;
    }
  }
  if (place < 0) return -1;
  for (int j = kRowCount - 2; j >= place; --j) rows[j + 1] = rows[j];
  rows[place].score = score;
  rows[place].name.clear();
  return place;
}

std::string HiscoreTable::Serialize() const {
  std::string bytes(kFileBytes, '\0');
  size_t offset = 0;
  for (int table = 0; table < kTableCount; ++table) {
    for (int row = 0; row < kRowCount; ++row) {
      const Row& entry = rows_[table][row];
      // The name stops at an embedded NUL as the reader would, and always keeps
      // room for its own terminating NUL.
      size_t length = std::strlen(entry.name.c_str());
      if (length > kMaxNameLength) length = kMaxNameLength;
      std::memcpy(&bytes[offset], entry.name.data(), length);
      for (int b = 0; b < 4; ++b) {
        bytes[offset + kNameBytes + b] = static_cast<char>((entry.score >> (8 * b)) & 0xFF);
      }
      offset += kRecordBytes;
    }
  }
  return bytes;
}

bool HiscoreTable::Parse(const std::string& bytes, std::string* why) {
  bool wellFormed = true;
  auto complain = [&](const std::string& text) {
    if (wellFormed && why != nullptr) *why = text;
    wellFormed = false;
  };
  if (bytes.size() < kFileBytes) {
    complain("it is " + std::to_string(bytes.size()) + " bytes long, not " +
             std::to_string(kFileBytes));
  } else if (bytes.size() > kFileBytes) {
    complain("it is longer than " + std::to_string(kFileBytes) + " bytes");
  }
  size_t offset = 0;
  for (int table = 0; table < kTableCount; ++table) {
    for (int row = 0; row < kRowCount; ++row, offset += kRecordBytes) {
      Row& entry = rows_[table][row];
      if (offset + kRecordBytes > bytes.size()) {
        entry = Row();
        continue;
      }
      const char* record = bytes.data() + offset;
      const void* nul = std::memchr(record, '\0', kNameBytes);
      size_t length =
          nul ? static_cast<size_t>(static_cast<const char*>(nul) - record) : kMaxNameLength;
      if (nul == nullptr) complain("a name has no terminating NUL");
      entry.name.assign(record, length);
      const auto* scoreBytes = reinterpret_cast<const unsigned char*>(record + kNameBytes);
      entry.score =
          static_cast<uint32_t>(scoreBytes[0]) | static_cast<uint32_t>(scoreBytes[1]) << 8 |
          static_cast<uint32_t>(scoreBytes[2]) << 16 | static_cast<uint32_t>(scoreBytes[3]) << 24;
    }
  }
  return wellFormed;
}

bool HiscoreTable::Load(const std::string& path) {
  std::ifstream in(FileSystemPath(path), std::ios::binary);
  if (!in) return false;
  // Read one byte more than a whole file, enough to see that it is too long
  // without reading a huge file into memory.
  std::string bytes(kFileBytes + 1, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<size_t>(in.gcount()));
  std::string why;
  if (!Parse(bytes, &why)) {
    LogLine("WARNING: %s is damaged (%s); the rows that could be read are kept.\n", path.c_str(),
            why.c_str());
  }
  return true;
}

bool HiscoreTable::Save(const std::string& path) const {
  return WriteFileAtomically(path, Serialize());
}

}  // namespace tav
