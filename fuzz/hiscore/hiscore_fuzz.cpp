// Feeds bytes to the high-score table as Data/Hiscore.dat, then enters a score in
// each table and writes the file back as the game does after a name is typed.
#include "fuzz/support/fuzz_support.h"
#include "screens/hiscore_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tav::fuzz::ResetLog();
  const std::string path = tav::fuzz::WriteScratchFile("Data/Hiscore.dat", data, size);
  tav::HiscoreTable table;
  table.Load(path);
  table.Insert(tav::HiscoreTable::kClassicTable, 12345);
  table.Insert(tav::HiscoreTable::kTimeTable, 0xFFFFFFFFu);
  // What is written back is always one whole, well-formed file.
  const std::string bytes = table.Serialize();
  if (bytes.size() != tav::HiscoreTable::kFileBytes) __builtin_trap();
  tav::HiscoreTable reread;
  if (!reread.Parse(bytes)) __builtin_trap();
  return 0;
}
