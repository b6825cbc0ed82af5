// The two high-score tables ("Classic Mode" and "Time Attack", ten rows each,
// row 0 the best) and their file Data\Hiscore.dat: 20 records of 260 bytes, the
// classic rows first, each a NUL-terminated name in 256 bytes followed by the
// score as 32-bit little-endian unsigned.
#pragma once

#include <cstdint>
#include <string>

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
  static constexpr size_t kFileBytes = kRecordBytes * kTableCount * kRowCount;

  struct Row {
    std::string name;
    uint32_t score = 0;
  };

  // Puts `score` into table `table` below every row it does not beat: rows from
  // there on move down one, the last row drops out, the new row gets an empty
  // name. Returns the row it took, or -1 when it beats no row (or the table
  // number is not 0 or 1), in which case nothing changes.
  int Insert(int table, uint32_t score);

  // Both tables in the file layout. Names longer than 255 bytes are cut.
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

 private:
  Row rows_[kTableCount][kRowCount];
};

}  // namespace tav
