// Package lookup rules, damaged packages, the loose Data tree and MemoryFile reads.
#include "base/package_file_system.h"

#include <dirent.h>
#include <strings.h>

#include <gtest/gtest.h>

#include <cstring>

#include "base/log.h"
#include "tests/base/temp_dir.h"

namespace tav {
namespace {

using testing::TempDir;
using testing::WriteFile;
using ReadResult = PackageFileSystem::ReadResult;

void PutLittleEndian32(std::string* bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) (*bytes)[at + i] = static_cast<char>(value >> (8 * i));
}

struct TestEntry {
  std::string name;
  std::string data;
};

// A well-formed package: header, directory, then the data in directory order.
std::string BuildPackage(const std::vector<TestEntry>& entries) {
  std::string bytes(20 + 40 * entries.size(), '\0');
  std::memcpy(bytes.data(), "PKG Package ", 12);
  PutLittleEndian32(&bytes, 16, static_cast<uint32_t>(entries.size()));
  for (size_t i = 0; i < entries.size(); ++i) {
    size_t at = 20 + 40 * i;
    std::memcpy(bytes.data() + at, entries[i].name.data(), entries[i].name.size());
    PutLittleEndian32(&bytes, at + 32, static_cast<uint32_t>(entries[i].data.size()));
    PutLittleEndian32(&bytes, at + 36, static_cast<uint32_t>(bytes.size()));
    bytes += entries[i].data;
  }
  return bytes;
}

std::string Text(const MemoryFile& file) {
  return std::string(reinterpret_cast<const char*>(file.Data()), file.Size());
}

class PackageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LogStart(dir_.Path());
    PackageFileSystem::ClearPackages();
  }
  void TearDown() override { PackageFileSystem::ClearPackages(); }

  std::string AddPackage(const std::string& fileName, const std::string& bytes) {
    WriteFile(dir_ / fileName, bytes);
    PackageFileSystem::AddPackage(dir_ / fileName);
    return dir_ / fileName;
  }

  TempDir dir_;
};

TEST_F(PackageTest, FindsEntriesIgnoringCaseFirstMatchWins) {
  AddPackage("data.pkg", BuildPackage({{"xfont.tga", "font"},
                                       {"Black.tga", "first"},
                                       {"black.TGA", "second"},
                                       {"empty.spt", ""}}));
  MemoryFile file;
  ASSERT_TRUE(file.Open("XFONT.TGA"));
  EXPECT_EQ(Text(file), "font");
  ASSERT_TRUE(file.Open("black.tga"));
  EXPECT_EQ(Text(file), "first");
  ASSERT_TRUE(file.Open("empty.spt"));  // size 0 is a successful load
  EXPECT_EQ(file.Size(), 0u);
  EXPECT_FALSE(file.Open("missing.tga"));
  EXPECT_EQ(file.Size(), 0u);        // a failed load leaves nothing behind
  EXPECT_FALSE(file.Open("xfont"));  // whole names only
}

TEST_F(PackageTest, MissingPackagesAreSkippedButWrongMagicStopsTheLookup) {
  PackageFileSystem::AddPackage(dir_ / "absent.pkg");
  AddPackage("one.pkg", BuildPackage({{"a.tga", "A"}}));
  std::string wrongMagic = BuildPackage({{"b.tga", "B"}});
  wrongMagic[0] = 'p';
  AddPackage("two.pkg", wrongMagic);
  AddPackage("three.pkg", BuildPackage({{"b.tga", "B3"}, {"c.tga", "C"}}));

  MemoryFile file;
  ASSERT_TRUE(file.Open("a.tga"));
  EXPECT_EQ(Text(file), "A");
  EXPECT_FALSE(file.Open("b.tga"));  // never reaches three.pkg
  EXPECT_FALSE(file.Open("c.tga"));
  // With packages registered the loose tree is not searched.
  WriteFile(dir_ / "Data/loose.tga", "L");
  EXPECT_FALSE(file.Open("loose.tga"));
  EXPECT_TRUE(file.Open("loose.tga", false));
}

TEST_F(PackageTest, MagicMustEndAtItsTwelfthCharacter) {
  std::string bytes = BuildPackage({{"a.tga", "A"}});
  bytes[12] = 'X';  // "PKG Package X" is a different text
  std::string path = AddPackage("x.pkg", bytes);
  std::vector<PackageFileSystem::Entry> entries;
  EXPECT_EQ(PackageFileSystem::ReadDirectory(path, &entries), ReadResult::kBadMagic);
  WriteFile(path, "PKG Pack");
  EXPECT_EQ(PackageFileSystem::ReadDirectory(path, &entries), ReadResult::kBadMagic);
  EXPECT_EQ(PackageFileSystem::ReadDirectory(dir_ / "nope.pkg", &entries), ReadResult::kCannotOpen);
}

// Damaged packages: each must fail the lookup and the directory read cleanly,
// without reading past the file or allocating more than it holds.
TEST_F(PackageTest, DamagedPackagesFailCleanly) {
  const std::string good = BuildPackage({{"a.tga", "AAAA"}, {"b.tga", "BBBB"}});
  struct Damage {
    const char* what;
    std::string bytes;
  };
  std::vector<Damage> cases;
  {
    std::string b = good;
    PutLittleEndian32(&b, 16, 0xFFFFFFFFu);
    cases.push_back({"huge entry count", b});
  }
  {
    std::string b = good;
    PutLittleEndian32(&b, 16, 3);
    cases.push_back({"count one past the directory", b.substr(0, 20 + 40 * 2 + 8)});
  }
  cases.push_back({"truncated directory", good.substr(0, 20 + 40 + 17)});
  cases.push_back({"truncated header", good.substr(0, 18)});
  {
    std::string b = good;
    PutLittleEndian32(&b, 20 + 40 + 32, 5);  // b.tga one byte too long
    cases.push_back({"size past end", b});
  }
  {
    std::string b = good;
    PutLittleEndian32(&b, 20 + 40 + 36, 0xFFFFFFF0u);  // offset + size wraps in 32 bits
    PutLittleEndian32(&b, 20 + 40 + 32, 0x20u);
    cases.push_back({"offset wraps", b});
  }
  {
    std::string b = good;
    std::memset(b.data() + 20 + 40, 'b', 32);  // second name fills its field, no NUL
    cases.push_back({"name without NUL", b});
  }

  for (const Damage& damage : cases) {
    SCOPED_TRACE(damage.what);
    PackageFileSystem::ClearPackages();
    std::string path = AddPackage("bad.pkg", damage.bytes);
    AddPackage("later.pkg", BuildPackage({{"b.tga", "later"}}));
    std::vector<PackageFileSystem::Entry> entries;
    EXPECT_NE(PackageFileSystem::ReadDirectory(path, &entries), ReadResult::kOk);
    EXPECT_LE(entries.size(), 2u);
    MemoryFile file;
    EXPECT_FALSE(file.Open("b.tga"));
    EXPECT_EQ(file.Size(), 0u);
  }
}

TEST_F(PackageTest, ReadDirectoryListsEntriesInOrder) {
  std::string path = AddPackage("d.pkg", BuildPackage({{"one", "1"}, {"two", "22"}}));
  std::vector<PackageFileSystem::Entry> entries;
  ASSERT_EQ(PackageFileSystem::ReadDirectory(path, &entries), ReadResult::kOk);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].name, "one");
  EXPECT_EQ(entries[1].name, "two");
  EXPECT_EQ(entries[1].size, 2u);
  EXPECT_EQ(entries[1].offset, 20u + 80u + 1u);
}

// The first entry of `directory` in listing order that is `a` or `b`.
std::string FirstListed(const std::string& directory, const std::string& a, const std::string& b) {
  DIR* listing = opendir(directory.c_str());
  std::string first;
  while (const dirent* item = readdir(listing)) {
    if (strcasecmp(item->d_name, a.c_str()) == 0 || strcasecmp(item->d_name, b.c_str()) == 0) {
      first = item->d_name;
      break;
    }
  }
  closedir(listing);
  return first;
}

TEST_F(PackageTest, LooseTreeIsSearchedDepthFirstIgnoringCase) {
  WriteFile(dir_ / "Data/Textures/Deep/Piece.TGA", "deep");
  WriteFile(dir_ / "Data/piece.tga", "top");
  WriteFile(dir_ / "Data/Audio/boom.wav", "boom");
  MemoryFile file;
  ASSERT_TRUE(file.Open("BOOM.wav"));
  EXPECT_EQ(Text(file), "boom");
  // Whichever of the subdirectory and the file is listed first wins.
  std::string first = FirstListed(dir_ / "Data", "Textures", "piece.tga");
  ASSERT_TRUE(file.Open("piece.tga"));
  EXPECT_EQ(Text(file), first == "Textures" ? "deep" : "top");
  EXPECT_FALSE(file.Open("Deep"));  // directories are not files
  EXPECT_FALSE(file.Open("nothing.tga"));
}

TEST(MemoryFileTest, ReadsStopAtTheEnd) {
  MemoryFile file;
  file.Assign({1, 2, 3, 4, 5});
  uint8_t buffer[8] = {};
  EXPECT_EQ(file.Read(buffer, 2, 2), 4u);
  EXPECT_EQ(file.Tell(), 4u);
  EXPECT_EQ(file.Read(buffer, 1, 8), 1u);  // only what remains
  EXPECT_EQ(buffer[0], 5);
  EXPECT_EQ(file.Tell(), 5u);
  EXPECT_EQ(file.Read(buffer, 1, 1), 0u);
  // A count whose byte total overflows is still bounded by what remains.
  file.Seek(3);
  EXPECT_EQ(file.Read(buffer, SIZE_MAX / 2, 4), 2u);
  file.Seek(100);  // held at the end
  EXPECT_EQ(file.Tell(), 5u);
  EXPECT_EQ(file.Remaining(), 0u);
  file.Close();
  EXPECT_EQ(file.Size(), 0u);
  EXPECT_EQ(file.Tell(), 0u);
}

}  // namespace
}  // namespace tav
