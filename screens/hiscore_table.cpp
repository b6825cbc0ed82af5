// High-score insertion and the Data\Hiscore.dat record layout, read defensively.
#include "screens/hiscore_table.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "base/atomic_file.h"
#include "base/file_system.h"
#include "base/log.h"
#include "base/utf8.h"

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

namespace {

const char kTrailerMagic[4] = {'T', 'A', 'V', 'H'};

// A name in its 256-byte slot: cut to 255 bytes on a whole letter, stopping at an
// embedded NUL as the reader would, the rest of the slot NUL.
void PutName(std::string& bytes, size_t offset, const std::string& name) {
  const std::string cut = CutUtf8(std::string_view(name.c_str()), HiscoreTable::kMaxNameLength);
  std::memcpy(&bytes[offset], cut.data(), cut.size());
}

// The name in a 256-byte slot; false when it has no NUL (it is then cut to 255).
bool GetName(const char* slot, std::string* name) {
  const void* nul = std::memchr(slot, '\0', HiscoreTable::kNameBytes);
  const size_t length = nul ? static_cast<size_t>(static_cast<const char*>(nul) - slot)
                            : HiscoreTable::kMaxNameLength;
  name->assign(slot, length);
  return nul != nullptr;
}

void PutLittleEndian(std::string& bytes, size_t offset, uint32_t value) {
  for (int b = 0; b < 4; ++b) bytes[offset + b] = static_cast<char>((value >> (8 * b)) & 0xFF);
}

uint32_t GetLittleEndian(const char* p) {
  const auto* u = reinterpret_cast<const unsigned char*>(p);
  return static_cast<uint32_t>(u[0]) | static_cast<uint32_t>(u[1]) << 8 |
         static_cast<uint32_t>(u[2]) << 16 | static_cast<uint32_t>(u[3]) << 24;
}

}  // namespace

std::string HiscoreTable::Serialize() const {
  std::string bytes(kFileBytes, '\0');
  size_t offset = 0;
  for (int table = 0; table < kTableCount; ++table) {
    for (int row = 0; row < kRowCount; ++row) {
      const Row& entry = rows_[table][row];
      PutName(bytes, offset, entry.name);
      PutLittleEndian(bytes, offset + kNameBytes, entry.score);
      offset += kRecordBytes;
    }
  }
  std::memcpy(&bytes[offset], kTrailerMagic, 4);
  PutLittleEndian(bytes, offset + 4, kVersion);
  PutName(bytes, offset + 8, lastName_);
  return bytes;
}

bool HiscoreTable::Parse(const std::string& bytes, std::string* why) {
  bool wellFormed = true;
  auto complain = [&](const std::string& text) {
    if (wellFormed && why != nullptr) *why = text;
    wellFormed = false;
  };
  // A file of the records alone is the first version: single-byte names.
  bool utf8 = false;
  lastName_.clear();
  if (bytes.size() >= kRecordsBytes + 8 &&
      std::memcmp(bytes.data() + kRecordsBytes, kTrailerMagic, 4) == 0) {
    const uint32_t version = GetLittleEndian(bytes.data() + kRecordsBytes + 4);
    // A later version is read as this one as far as its layout agrees.
    utf8 = version >= 2;
    if (bytes.size() < kFileBytes) {
      complain("its trailer is cut short");
    } else {
      if (bytes.size() > kFileBytes) complain("it is longer than " + std::to_string(kFileBytes) + " bytes");
      std::string name;
      if (!GetName(bytes.data() + kRecordsBytes + 8, &name)) complain("a name has no terminating NUL");
      lastName_ = utf8 ? name : Latin1ToUtf8(name);
    }
  } else if (bytes.size() < kRecordsBytes) {
    complain("it is " + std::to_string(bytes.size()) + " bytes long, not " +
             std::to_string(kFileBytes));
  } else if (bytes.size() > kRecordsBytes) {
    complain("it is longer than " + std::to_string(kRecordsBytes) + " bytes");
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
      if (!GetName(record, &entry.name)) complain("a name has no terminating NUL");
      if (!utf8) entry.name = Latin1ToUtf8(entry.name);
      entry.score = GetLittleEndian(record + kNameBytes);
    }
  }
  return wellFormed;
}

void HiscoreTable::MergeFrom(const HiscoreTable& onDisk, const HiscoreTable& base,
                             int origin[kTableCount][kRowCount]) {
  for (int table = 0; table < kTableCount; ++table) {
    struct Candidate {
      Row row;
      int from;
    };
    std::vector<Candidate> rows;
    for (int row = 0; row < kRowCount; ++row) {
      if (rows_[table][row].score != 0) rows.push_back({rows_[table][row], row});
    }
    // Rows another writer added: those on disk beyond what the base held, one
    // for one (a name and score that appear twice are two rows).
    std::vector<bool> baseUsed(kRowCount, false);
    for (int row = 0; row < kRowCount; ++row) {
      const Row& disk = onDisk.rows_[table][row];
      if (disk.score == 0) continue;
      bool known = false;
      for (int b = 0; b < kRowCount && !known; ++b) {
        const Row& old = base.rows_[table][b];
        if (!baseUsed[b] && old.score == disk.score && old.name == disk.name) {
          baseUsed[b] = true;
          known = true;
        }
      }
      if (!known) rows.push_back({disk, -1});
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Candidate& a, const Candidate& b) {
      return a.row.score > b.row.score;
    });
    for (int row = 0; row < kRowCount; ++row) {
      const bool filled = static_cast<size_t>(row) < rows.size();
      rows_[table][row] = filled ? rows[row].row : Row();
      if (origin != nullptr) origin[table][row] = filled ? rows[row].from : -1;
    }
  }
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
