// The high-score tables: where a new score goes, the exact file layout, reading
// damaged files, and the dialog's name entry and the moments it saves.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "screens/hiscore_table.h"
#include "screens/hiscore_window.h"
#include "screens_test_support.h"
#include "tests/base/temp_dir.h"

namespace tav {
namespace {

using Strings = std::vector<std::string>;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;
constexpr int kClassic = HiscoreTable::kClassicTable;
constexpr int kTime = HiscoreTable::kTimeTable;

// A classic table of 1000, 900, ..., 100 named A to J.
HiscoreTable Descending() {
  HiscoreTable table;
  for (int row = 0; row < 10; ++row) {
    table.At(kClassic, row).score = static_cast<uint32_t>(1000 - 100 * row);
    table.At(kClassic, row).name = std::string(1, static_cast<char>('A' + row));
  }
  return table;
}

TEST(HiscoreTableTest, NewScoreGoesBelowEqualScoresAndPushesTheRestDown) {
  HiscoreTable table = Descending();
  EXPECT_EQ(table.Insert(kClassic, 700), 4);  // row 3 holds 700 already
  EXPECT_EQ(table.At(kClassic, 3).name, "D");
  EXPECT_EQ(table.At(kClassic, 4).score, 700u);
  EXPECT_EQ(table.At(kClassic, 4).name, "");
  EXPECT_EQ(table.At(kClassic, 5).name, "E");
  EXPECT_EQ(table.At(kClassic, 5).score, 600u);
  EXPECT_EQ(table.At(kClassic, 9).name, "I");  // the old last row dropped out
  // The other table is untouched.
  EXPECT_EQ(table.At(kTime, 0).score, 0u);
}

TEST(HiscoreTableTest, ScoreThatBeatsNoRowChangesNothing) {
  HiscoreTable table = Descending();
  EXPECT_EQ(table.Insert(kClassic, 100), -1);  // equal to the last row
  EXPECT_EQ(table.Insert(kClassic, 5), -1);
  EXPECT_EQ(table.Serialize(), Descending().Serialize());
  EXPECT_EQ(table.Insert(2, 5000), -1);
  EXPECT_EQ(table.Insert(-1, 5000), -1);
  // An empty table takes any positive score at the top, but not 0.
  HiscoreTable empty;
  EXPECT_EQ(empty.Insert(kTime, 0), -1);
  EXPECT_EQ(empty.Insert(kTime, 1), 0);
  EXPECT_EQ(empty.Insert(kTime, 1), 1);
  // Unsigned comparison: the largest score beats everything.
  EXPECT_EQ(empty.Insert(kTime, 0xFFFFFFFFu), 0);
}

TEST(HiscoreTableTest, FileLayoutIsTwentyRecordsOfNameAndLittleEndianScore) {
  HiscoreTable table;
  table.At(kClassic, 0) = {"Ann", 0x01020304u};
  table.At(kTime, 9) = {"Zed", 7};
  table.At(kTime, 1).name = std::string(300, 'x');  // cut to 255 and still terminated
  table.SetLastName("Zed");
  const std::string bytes = table.Serialize();
  ASSERT_EQ(bytes.size(), 5200u + 4 + 4 + 256);
  EXPECT_EQ(bytes.substr(5200, 12), std::string("TAVH\x02\0\0\0Zed\0", 12));
  EXPECT_EQ(bytes.substr(0, 4), std::string("Ann\0", 4));
  EXPECT_EQ(bytes.substr(256, 4), "\x04\x03\x02\x01");
  EXPECT_EQ(bytes.substr(19 * 260, 4), std::string("Zed\0", 4));
  EXPECT_EQ(bytes[19 * 260 + 256], 7);
  EXPECT_EQ(bytes.substr(11 * 260, 255), std::string(255, 'x'));
  EXPECT_EQ(bytes[11 * 260 + 255], '\0');

  HiscoreTable back;
  EXPECT_TRUE(back.Parse(bytes));
  EXPECT_EQ(back.At(kClassic, 0).name, "Ann");
  EXPECT_EQ(back.At(kClassic, 0).score, 0x01020304u);
  EXPECT_EQ(back.At(kTime, 9).name, "Zed");
  EXPECT_EQ(back.At(kTime, 1).name.size(), 255u);
  EXPECT_EQ(back.LastName(), "Zed");
  EXPECT_EQ(back.Serialize(), bytes);

  // A file of the records alone, as the first version wrote it: its names are
  // single-byte Latin-1 and keep their letters.
  std::string old = bytes.substr(0, 5200);
  old.replace(0, 6, std::string("\xD8rjan\0", 6));
  HiscoreTable fromOld;
  EXPECT_TRUE(fromOld.Parse(old));
  EXPECT_EQ(fromOld.At(kClassic, 0).name, "\xC3\x98rjan");  // UTF-8
  EXPECT_EQ(fromOld.LastName(), "");
  // A UTF-8 name too long for its slot is cut on a whole letter.
  HiscoreTable longNames;
  std::string polish;
  for (int i = 0; i < 200; ++i) polish += "\xC5\xBB";  // 400 bytes of Z with dot
  longNames.At(kTime, 0).name = polish;
  HiscoreTable cut;
  EXPECT_TRUE(cut.Parse(longNames.Serialize()));
  EXPECT_EQ(cut.At(kTime, 0).name, polish.substr(0, 254));
}

TEST(HiscoreTableTest, DamagedFilesGiveTheRowsThatCanBeRead) {
  const std::string whole = Descending().Serialize();
  std::string why;

  // Short: three whole records and half of the fourth.
  HiscoreTable shortTable = Descending();
  shortTable.At(kTime, 0).score = 55;
  EXPECT_FALSE(shortTable.Parse(whole.substr(0, 3 * 260 + 130), &why));
  EXPECT_NE(why.find("910"), std::string::npos) << why;
  EXPECT_EQ(shortTable.At(kClassic, 2).name, "C");
  EXPECT_EQ(shortTable.At(kClassic, 2).score, 800u);
  EXPECT_EQ(shortTable.At(kClassic, 3).name, "");
  EXPECT_EQ(shortTable.At(kClassic, 3).score, 0u);
  EXPECT_EQ(shortTable.At(kTime, 0).score, 0u);

  // Empty: every row empty.
  HiscoreTable emptyFile = Descending();
  EXPECT_FALSE(emptyFile.Parse(""));
  EXPECT_EQ(emptyFile.Serialize(), HiscoreTable().Serialize());

  // Long: the twenty records are read, the rest ignored.
  HiscoreTable longTable;
  EXPECT_FALSE(longTable.Parse(whole + "garbage"));
  EXPECT_EQ(longTable.Serialize(), whole);

  // A name without its NUL ends after 255 bytes, never running into the score.
  std::string garbled = whole;
  for (int i = 0; i < 256; ++i) garbled[260 + i] = 'q';
  HiscoreTable unterminated;
  EXPECT_FALSE(unterminated.Parse(garbled, &why));
  EXPECT_EQ(unterminated.At(kClassic, 1).name, std::string(255, 'q'));
  EXPECT_EQ(unterminated.At(kClassic, 1).score, 900u);
  EXPECT_EQ(unterminated.At(kClassic, 2).name, "C");
}

TEST(HiscoreTableTest, LoadKeepsTablesWhenFileIsMissingAndReadsDamagedOnes) {
  TempDir dir;
  HiscoreTable table = Descending();
  EXPECT_FALSE(table.Load(dir / "missing.dat"));
  EXPECT_EQ(table.At(kClassic, 0).name, "A");

  WriteFile(dir / "short.dat", Descending().Serialize().substr(0, 260));
  HiscoreTable fromShort;
  fromShort.At(kTime, 3).score = 9;
  EXPECT_TRUE(fromShort.Load(dir / "short.dat"));
  EXPECT_EQ(fromShort.At(kClassic, 0).score, 1000u);
  EXPECT_EQ(fromShort.At(kClassic, 1).score, 0u);
  EXPECT_EQ(fromShort.At(kTime, 3).score, 0u);

  ASSERT_TRUE(Descending().Save(dir / "saved.dat"));
  EXPECT_EQ(ReadFile(dir / "saved.dat"), Descending().Serialize());
}

// The dialog, with its file in a scratch folder.
class HiscoreWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { window.SetFilePath(dir / "Hiscore.dat"); }

  void Type(const std::string& text) {
    for (unsigned char c : text) window.OnKeyChar(c, 0);
  }
  bool FileExists() const { return std::filesystem::exists(dir / "Hiscore.dat"); }
  HiscoreTable SavedTable() const {
    HiscoreTable table;
    table.Parse(ReadFile(dir / "Hiscore.dat"));
    return table;
  }

  TempDir dir;
  HiscoreWindow window{"HiscoreWindow"};
};

TEST_F(HiscoreWindowTest, NewEntryOpensItsPageStartsTheNameAndSavesAtOnce) {
  window.Command("NewTimeUser 500");
  EXPECT_EQ(window.Page(), kTime);
  EXPECT_TRUE(window.NameField(kTime, 0).IsEditing());
  ASSERT_TRUE(FileExists());
  EXPECT_EQ(SavedTable().At(kTime, 0).score, 500u);

  // Enter ends the entry and saves the name; until then the row is saved with
  // the name an empty entry would get.
  EXPECT_EQ(window.EntryRow(), 0);
  Type("Bo");
  EXPECT_EQ(SavedTable().At(kTime, 0).name, "Player");
  Type("b\r");
  EXPECT_FALSE(window.NameField(kTime, 0).IsEditing());
  EXPECT_EQ(SavedTable().At(kTime, 0).name, "Bob");
  // Later typing goes nowhere.
  Type("x");
  EXPECT_EQ(window.Table().At(kTime, 0).name, "Bob");
}

// The last name entered is offered again, selected: Enter keeps it, typing
// replaces it, and an entry left empty takes it. It survives a restart.
TEST_F(HiscoreWindowTest, TheLastNameIsFilledInSelectedAndTakenByAnEmptyEntry) {
  window.Command("NewClassicUser 300");
  Type("\r");  // nothing ever entered: an empty name becomes "Player"
  EXPECT_EQ(SavedTable().At(kClassic, 0).name, "Player");
  window.Command("NewClassicUser 400");
  Type("Ann\r");
  EXPECT_EQ(SavedTable().LastName(), "Ann");

  HiscoreWindow restarted("HiscoreWindow");
  restarted.SetFilePath(dir / "Hiscore.dat");
  restarted.Command("LoadData");
  restarted.Command("NewClassicUser 500");
  EXPECT_EQ(restarted.NameField(kClassic, 0).Text(), "Ann");
  EXPECT_EQ(restarted.EntryRow(), 0);
  restarted.OnKeyChar('\r', 0);  // kept as it is
  EXPECT_EQ(restarted.Table().At(kClassic, 0).name, "Ann");

  restarted.Command("NewClassicUser 600");
  for (unsigned char c : std::string("Bo")) restarted.OnKeyChar(c, 0);  // replaces the selection
  EXPECT_EQ(restarted.NameField(kClassic, 0).Text(), "Bo");
  restarted.Command("EndInput");
  restarted.Command("NewClassicUser 700");
  restarted.OnKeyChar(8, 0);  // Backspace deletes the selected name...
  EXPECT_EQ(restarted.NameField(kClassic, 0).Text(), "");
  restarted.Command("EndInput");  // ...and an empty entry takes the last name
  EXPECT_EQ(SavedTable().At(kClassic, 0).name, "Bo");
  EXPECT_EQ(restarted.EntryRow(), -1);
}

// Letters beyond Latin-1 typed into a name are saved as UTF-8 and read back
// unchanged by the next run.
TEST_F(HiscoreWindowTest, TypedLettersSurviveTheFileAsUtf8) {
  const std::vector<std::vector<uint32_t>> typed = {
      {0x17B, 0xF3, 0x142, 'w'}, {0xD8, 'r', 'j', 'a', 'n'}, {0x15E, 'u', 'l', 'e'}};
  const Strings expected = {"\xC5\xBB\xC3\xB3\xC5\x82w", "\xC3\x98rjan", "\xC5\x9Eule"};
  for (size_t i = 0; i < typed.size(); ++i) {
    window.Command("NewTimeUser " + std::to_string(100 * (i + 1)));
    window.OnKeyChar(8, 0);  // the offered last name goes
    for (uint32_t letter : typed[i]) window.OnKeyChar(letter, 0);
    window.OnKeyChar('\r', 0);
  }
  HiscoreWindow restarted("HiscoreWindow");
  restarted.SetFilePath(dir / "Hiscore.dat");
  restarted.Command("LoadData");
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(restarted.Table().At(kTime, static_cast<int>(2 - i)).name, expected[i]);
  }
}

// Two dialogs writing the same file in turn, each from its own stale tables,
// lose nothing: every save keeps the rows the other one wrote.
TEST_F(HiscoreWindowTest, TwoWritersInterleavingTwoHundredSavesLoseNoRow) {
  HiscoreWindow other("HiscoreWindow");
  other.SetFilePath(dir / "Hiscore.dat");
  HiscoreWindow* writers[2] = {&window, &other};
  std::vector<HiscoreTable::Row> all;
  uint32_t seed = 7;
  for (int save = 0; save < 200; ++save) {
    seed = seed * 1103515245u + 12345u;
    const uint32_t score = 1 + (seed >> 8) % 100000;
    const std::string name = "P" + std::to_string(save);
    HiscoreWindow& writer = *writers[save % 2];
    writer.Command("NewTimeUser " + std::to_string(score));
    for (unsigned char c : name) writer.OnKeyChar(c, 0);
    writer.OnKeyChar('\r', 0);
    all.push_back({name, score});
  }
  std::stable_sort(all.begin(), all.end(),
                   [](const auto& a, const auto& b) { return a.score > b.score; });
  const HiscoreTable saved = SavedTable();
  for (int row = 0; row < 10; ++row) {
    EXPECT_EQ(saved.At(kTime, row).score, all[row].score) << row;
    EXPECT_EQ(saved.At(kTime, row).name, all[row].name) << row;
  }
}

TEST_F(HiscoreWindowTest, OkButtonEndsTheEntryAndSaves) {
  window.Command("NewClassicUser 300");
  window.Command("NewClassicUser 900");  // above the first: its row moves down
  EXPECT_EQ(window.Page(), kClassic);
  Type("Eve");
  window.Command("HiscoreEnd");
  window.Command("EndInput");
  const HiscoreTable saved = SavedTable();
  EXPECT_EQ(saved.At(kClassic, 0).name, "Eve");
  EXPECT_EQ(saved.At(kClassic, 0).score, 900u);
  EXPECT_EQ(saved.At(kClassic, 1).score, 300u);
  for (int row = 0; row < 10; ++row) {
    EXPECT_FALSE(window.NameField(kClassic, row).IsEditing());
    EXPECT_FALSE(window.NameField(kTime, row).IsEditing());
  }
}

TEST_F(HiscoreWindowTest, NamesMoveDownWithTheirScores) {
  HiscoreTable stored = Descending();
  stored.At(kClassic, 0).name = std::string(
      "\x08\x0d"
      "Al\x01",
      5);  // keys in a name
  ASSERT_TRUE(stored.Save(dir / "Hiscore.dat"));
  window.Command("LoadData");
  EXPECT_EQ(window.Table().At(kClassic, 0).name, "Al");
  EXPECT_EQ(window.Table().At(kClassic, 5).name, "F");

  window.Command("NewClassicUser 650");  // between 700 (row 3) and 600 (row 4)
  const HiscoreTable table = window.Table();
  EXPECT_EQ(table.At(kClassic, 3).name, "D");
  EXPECT_EQ(table.At(kClassic, 4).name, "");
  EXPECT_EQ(table.At(kClassic, 5).name, "E");
  EXPECT_EQ(table.At(kClassic, 9).name, "I");
  EXPECT_TRUE(window.NameField(kClassic, 4).IsEditing());
  EXPECT_FALSE(window.NameField(kClassic, 5).IsEditing());
}

TEST_F(HiscoreWindowTest, ScoreThatDoesNotEnterStillShowsItsPageAndWritesNothing) {
  window.Command("Inc");
  EXPECT_EQ(window.Page(), kTime);
  window.Command("NewClassicUser 0");
  EXPECT_EQ(window.Page(), kClassic);
  window.Command("NewTimeUser -40");
  window.Command("NewTimeUser x");
  EXPECT_EQ(window.Page(), kTime);
  EXPECT_FALSE(FileExists());
  // Characters reach only a running entry.
  Type("abc\r");
  EXPECT_EQ(window.Table().At(kTime, 0).name, "");
  EXPECT_FALSE(FileExists());
  window.Command("EndInput");
  EXPECT_FALSE(FileExists());
  window.Command("SaveData");
  EXPECT_TRUE(FileExists());
}

TEST_F(HiscoreWindowTest, PagesFlipAndFadesIgnoreTheWrongDirection) {
  window.Command("Dec");
  EXPECT_EQ(window.Page(), 1);
  window.Command("Dec");
  EXPECT_EQ(window.Page(), 0);

  // A fade does not restart itself, but the other command turns it round.
  window.Command("HiscoreBegin");
  test::RunFrames(window, 2, 0.05f);
  window.Command("HiscoreBegin");
  EXPECT_FLOAT_EQ(window.Blend(), 0.8f);
  EXPECT_EQ(test::RunFrames(window, 8, 0.05f), Strings{});  // half a second, silent
  EXPECT_EQ(window.Blend(), 0.0f);

  window.Command("HiscoreEnd");
  test::RunFrames(window, 2, 0.05f);
  window.Command("HiscoreEnd");
  EXPECT_FLOAT_EQ(window.Blend(), -0.8f);
  EXPECT_EQ(test::RunFrames(window, 7, 0.05f), Strings{});
  EXPECT_EQ(test::RunFrames(window, 2, 0.05f), Strings{"EndBlend"});

  window.Command("HiscoreBegin");
  window.Command("HiscoreEnd");
  EXPECT_EQ(window.Blend(), -1.0f);
}

TEST_F(HiscoreWindowTest, DrawsRowLabelsScoresAndTitle) {
  window.Command("NewTimeUser 42");
  test::Recorder().ClearCalls();
  window.DrawOverlay();
  // The shade at 60 % over the whole screen.
  const auto shades = test::DrawsOf("Black.tga");
  ASSERT_EQ(shades.size(), 1u);
  EXPECT_FLOAT_EQ(shades[0].alpha, 0.6f);
  EXPECT_EQ(shades[0].vertices[2].x, 800.0f);
  // Text quads left of the name column: the label " 1." starts after a blank,
  // "10." right at x 180.
  auto labelLeft = [](float baseline) {
    float left = 1000;
    for (const RecordedCall& call : test::Recorder().Draws()) {
      if (call.vertices[0].y == baseline && call.vertices[0].x < 210) {
        left = std::min(left, call.vertices[0].x);
      }
    }
    return left;
  };
  EXPECT_EQ(labelLeft(452), 185.0f);
  EXPECT_EQ(labelLeft(182), 180.0f);
  // The score of row 0 at x 550.
  bool scoreDrawn = false;
  for (const RecordedCall& call : test::Recorder().Draws()) {
    if (call.vertices[0].y == 452 && call.vertices[0].x == 550) scoreDrawn = true;
  }
  EXPECT_TRUE(scoreDrawn);
}

}  // namespace
}  // namespace tav
