// The two high-score tables ("Classic Mode" and "Time Attack", ten rows each,
// row 0 the best) and their file Data\Hiscore.dat: 20 records of 260 bytes, the
// classic rows first, each a NUL-terminated name in 256 bytes followed by the
// score as 32-bit little-endian unsigned. Then a trailer: "TAVH", the version
// (32-bit little-endian, 2) and the last name entered, NUL-terminated in 256
// bytes. Version 2 names are UTF-8; a file of the records alone (the first
// version) holds single-byte Latin-1 names and is read by converting them, so
// old files keep their letters.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace tav {

class HiscoreTable {
 public:
  static constexpr int kTableCount = 2;
  static constexpr int kRowCount = 10;
  static constexpr int kClassicTable = 0;
  static constexpr int kTimeTable = 1;
  static constexpr size_t kNameBytes = 256;  // the name with its NUL
  static constexpr size_t kMaxNameLength = kNameBytes - 1;
  static constexpr size_t kRecordBytes = kNameBytes + 4;
  static constexpr size_t kRecordsBytes = kRecordBytes * kTableCount * kRowCount;
  static constexpr uint32_t kVersion = 2;
  static constexpr size_t kTrailerBytes = 4 + 4 + kNameBytes;
  static constexpr size_t kFileBytes = kRecordsBytes + kTrailerBytes;

  struct Row {
    std::string name;
    uint32_t score = 0;
  };

  // Puts `score` into table `table` below every row it does not beat: rows from
  // there on move down one, the last row drops out, the new row gets an empty
  // name. Returns the row it took, or -1 when it beats no row (or the table
  // number is not 0 or 1), in which case nothing changes.
  int Insert(int table, uint32_t score);

  // Both tables and the last name in the file layout. Names longer than 255
  // bytes are cut at the last whole letter that fits.
  std::string Serialize() const;
  // Reads the rows from the file bytes. A short file gives the complete records
  // it holds and empty rows for the rest; bytes past the 20 records are ignored;
  // a name with no NUL in its 256 bytes is cut to 255. Returns false (with `why`
  // filled) when the bytes were not exactly one well-formed file.
  bool Parse(const std::string& bytes, std::string* why = nullptr);

  // Reads the native path. A file that cannot be opened leaves the tables as
  // they are and returns false; a damaged one is read as far as Parse can and
  // logged as a warning.
  bool Load(const std::string& path);
  // Writes the whole file atomically; false when it could not be written.
  bool Save(const std::string& path) const;

  Row& At(int table, int row) { return rows_[table][row]; }
  const Row& At(int table, int row) const { return rows_[table][row]; }
  // The name the player entered last (empty when none was ever entered).
  const std::string& LastName() const { return lastName_; }
  void SetLastName(std::string name) { lastName_ = std::move(name); }

  // Merges what another writer put into the file since this table was read:
  // rows of `onDisk` that `base` (the file as this table last read or wrote it)
  // does not hold are added, each table then sorted by score (this table's rows
  // first among equals) and cut to ten rows. `origin`, when given, receives for
  // each row of each table the row it came from in this table, or -1.
  void MergeFrom(const HiscoreTable& onDisk, const HiscoreTable& base,
                 int origin[kTableCount][kRowCount] = nullptr);

 private:
  Row rows_[kTableCount][kRowCount];
  std::string lastName_;
};

}  // namespace tav
