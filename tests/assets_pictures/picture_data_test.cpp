// Checks the built picture package against what the game needs: every picture name
// the code loads is packed, every picture has the size and depth the manifest gives
// and the file layout the game's decoders read, the font picture can be measured
// glyph by glyph, Textures.ini names real pictures, and a second build of the package
// is identical byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "base/package_file_system.h"

namespace fs = std::filesystem;
using tav::PackageFileSystem;

namespace {

struct ManifestRow {
  std::string name;
  int width = 0;
  int height = 0;
  int bits = 0;
};

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

std::vector<ManifestRow> ReadManifestPictures() {
  std::vector<ManifestRow> rows;
  std::istringstream in(ReadText(fs::path(TAV_SOURCE_DIR) / "assets" / "manifest.txt"));
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("# --- sounds ---", 0) == 0) break;
    std::istringstream words(line);
    std::string kind, name, size;
    int bits = 0;
    if (!(words >> kind >> name >> size >> bits) || kind != "picture") continue;
    ManifestRow row;
    row.name = name;
    row.bits = bits;
    if (std::sscanf(size.c_str(), "%dx%d", &row.width, &row.height) != 2) continue;
    rows.push_back(row);
  }
  return rows;
}

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
uint16_t U16(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

class PictureData : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    manifest_ = new std::vector<ManifestRow>(ReadManifestPictures());
    entries_ = new std::vector<PackageFileSystem::Entry>();
    result_ = PackageFileSystem::ReadDirectory(TAV_DATA_PKG, entries_);
  }
  static void TearDownTestSuite() {
    delete manifest_;
    delete entries_;
  }

  static std::vector<uint8_t> Load(const std::string& name) {
    std::vector<uint8_t> bytes;
    bool found = false;
    EXPECT_EQ(PackageFileSystem::Load(TAV_DATA_PKG, name, &bytes, &found),
              PackageFileSystem::ReadResult::kOk);
    EXPECT_TRUE(found) << name;
    return bytes;
  }

  static std::set<std::string> PackedNames() {
    std::set<std::string> names;
    for (const auto& e : *entries_) names.insert(Lower(e.name));
    return names;
  }

  static std::vector<ManifestRow>* manifest_;
  static std::vector<PackageFileSystem::Entry>* entries_;
  static PackageFileSystem::ReadResult result_;
};

std::vector<ManifestRow>* PictureData::manifest_ = nullptr;
std::vector<PackageFileSystem::Entry>* PictureData::entries_ = nullptr;
PackageFileSystem::ReadResult PictureData::result_ = PackageFileSystem::ReadResult::kCannotOpen;

TEST_F(PictureData, PackageHoldsExactlyTheManifestPictures) {
  ASSERT_EQ(result_, PackageFileSystem::ReadResult::kOk) << TAV_DATA_PKG;
  ASSERT_GT(manifest_->size(), 150u);
  std::set<std::string> packed = PackedNames();
  EXPECT_EQ(packed.size(), entries_->size()) << "two entries differ only in case";
  std::set<std::string> listed;
  for (const auto& row : *manifest_) {
    listed.insert(Lower(row.name));
    EXPECT_TRUE(packed.count(Lower(row.name))) << row.name << " is not in data.pkg";
  }
  for (const auto& name : packed) EXPECT_TRUE(listed.count(name)) << name << " is not listed";
  // The piece families the board builds its names from.
  for (const char* kind : {"blue", "red", "green", "rgb", "moln", "no"}) {
    for (const char* dir : {"u", "r", "d", "l"}) {
      EXPECT_TRUE(packed.count(std::string("sterlka_") + dir + "_" + kind + ".tga"));
    }
  }
  for (const char* kind : {"blue", "red", "green"}) {
    for (const char* dir : {"u", "r", "d", "l"}) {
      EXPECT_TRUE(packed.count(std::string("sterlkab_") + dir + "_" + kind + ".tga"));
    }
  }
}

// A string literal in source text that names a picture: "<name>.tga" or
// "<name>.spt", the name made of letters, digits and _!<>.- only.
struct QuotedName {
  std::string name;
  size_t position;  // of the opening quote
};

std::vector<QuotedName> QuotedPictureNames(const std::string& text) {
  auto nameCharacter = [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || std::strchr("_!<>.-", c) != nullptr;
  };
  std::vector<QuotedName> found;
  size_t open = text.find('"');
  while (open != std::string::npos) {
    size_t end = open + 1;
    while (end < text.size() && nameCharacter(text[end])) ++end;
    if (end < text.size() && text[end] == '"' && end - open - 1 > 4) {
      std::string name = text.substr(open + 1, end - open - 1);
      std::string extension = Lower(name.substr(name.size() - 4));
      if (extension == ".tga" || extension == ".spt") found.push_back({name, open});
      open = text.find('"', end + 1);
    } else {
      open = end < text.size() && text[end] == '"' ? end : text.find('"', end);
    }
  }
  return found;
}

TEST_F(PictureData, EveryPictureNamedInTheCodeIsPacked) {
  ASSERT_EQ(result_, PackageFileSystem::ReadResult::kOk);
  std::set<std::string> packed = PackedNames();
  int scanned = 0;
  for (const char* dir : {"base", "platform", "render", "audio", "game", "gui", "screens", "app"}) {
    fs::path root = fs::path(TAV_SOURCE_DIR) / dir;
    if (!fs::exists(root)) continue;
    for (const auto& item : fs::recursive_directory_iterator(root)) {
      std::string ext = item.path().extension().string();
      if (ext != ".cpp" && ext != ".h") continue;
      std::string text = ReadText(item.path());
      for (const QuotedName& quoted : QuotedPictureNames(text)) {
        if (quoted.name.front() == '.') continue;  // an extension on its own
        // A literal added to something before it ("x_" + "Loop.tga") is only the end of
        // a name built at run time.
        size_t before = quoted.position;
        while (before > 0 && std::isspace(static_cast<unsigned char>(text[before - 1]))) --before;
        if (before > 0 && text[before - 1] == '+') continue;
        ++scanned;
        EXPECT_TRUE(packed.count(Lower(quoted.name)))
            << quoted.name << " (named in " << item.path().string() << ") is not in data.pkg";
      }
    }
  }
  RecordProperty("names_scanned", scanned);
}

TEST_F(PictureData, EveryPictureHasItsManifestSizeAndAReadableLayout) {
  ASSERT_EQ(result_, PackageFileSystem::ReadResult::kOk);
  for (const auto& row : *manifest_) {
    SCOPED_TRACE(row.name);
    std::vector<uint8_t> b = Load(row.name);
    ASSERT_TRUE(row.bits == 24 || row.bits == 32);
    if (Lower(row.name).size() > 4 && Lower(row.name).substr(row.name.size() - 4) == ".spt") {
      ASSERT_GE(b.size(), 60u);
      EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.data())), "SPT Pictures list  ");
      EXPECT_EQ(static_cast<int>(U32(b, 20)), row.width);
      EXPECT_EQ(static_cast<int>(U32(b, 24)), row.height);
      EXPECT_EQ(static_cast<int>(U32(b, 28)), row.bits);
      uint32_t actions = U32(b, 32);
      EXPECT_GE(actions, 1u);
      size_t at = 60;
      size_t frame = static_cast<size_t>(row.width) * row.height * row.bits / 8;
      for (uint32_t a = 0; a < actions && at + 33 <= b.size(); ++a) {
        int frames = static_cast<int8_t>(b[at + 32]);
        EXPECT_GE(frames, 1);
        at += 33 + static_cast<size_t>(std::max(frames, 0)) * frame;
      }
      EXPECT_EQ(at, b.size()) << "frames do not fill the picture list exactly";
      continue;
    }
    ASSERT_GE(b.size(), 18u);
    EXPECT_EQ(b[0], 0) << "ID field present";
    EXPECT_EQ(b[1], 0) << "colour map present";
    EXPECT_EQ(b[2], 2) << "not uncompressed true colour";
    EXPECT_EQ(U16(b, 12), row.width);
    EXPECT_EQ(U16(b, 14), row.height);
    EXPECT_EQ(b[16], row.bits);
    EXPECT_EQ(b[17] & 0x20, 0) << "stored top row first";
    EXPECT_EQ(b[17] & 0x0f, row.bits == 32 ? 8 : 0) << "alpha bits";
    EXPECT_EQ(b.size(), 18u + static_cast<size_t>(row.width) * row.height * row.bits / 8);
  }
}

TEST_F(PictureData, FontCellsCanBeMeasuredFromTheirAlpha) {
  ASSERT_EQ(result_, PackageFileSystem::ReadResult::kOk);
  std::vector<uint8_t> b = Load("xFont.tga");
  ASSERT_GE(b.size(), 18u);
  const int w = U16(b, 12), h = U16(b, 14);
  ASSERT_EQ(b[16], 32);
  // 16 rows of Latin-1, then 8 of Latin Extended-A (U+0100 to U+017F).
  ASSERT_EQ(w, 256);
  ASSERT_EQ(h, 384);
  ASSERT_EQ(b.size(), 18u + 256u * 384u * 4u);
  auto alpha = [&](int x, int rowFromBottom) { return b[18 + (rowFromBottom * w + x) * 4 + 3]; };
  const int cell = w / 16;
  for (int code = 0; code < 0x180; ++code) {
    const int x0 = (code % 16) * cell;
    const int y0 = (23 - code / 16) * cell;  // from the bottom, as the game scans it
    int visible = 0;
    for (int y = y0; y < y0 + cell; ++y) {
      EXPECT_EQ(alpha(x0, y), 0) << "code " << code << " touches its cell's left edge";
      EXPECT_EQ(alpha(x0 + cell - 1, y), 0) << "code " << code << " touches its right edge";
      for (int x = x0; x < x0 + cell; ++x) visible += alpha(x, y) != 0;
    }
    const bool printable = (code > 32 && code < 127) || code >= 0x100;
    if (printable) {
      EXPECT_GT(visible, 0) << "code " << code << " has no glyph";
    }
    if (code <= 32 || code == 127) {
      EXPECT_EQ(visible, 0) << "code " << code;
    }
  }
}

TEST_F(PictureData, TexturesIniNamesRealPicturesAndKnownValues) {
  std::set<std::string> listed;
  for (const auto& row : *manifest_) listed.insert(Lower(row.name));
  std::istringstream in(ReadText(fs::path(TAV_SOURCE_DIR) / "assets" / "Textures.ini"));
  std::string line, section;
  int sections = 0;
  const std::map<std::string, std::set<std::string>> values = {
      {"blendmode", {"none", "normal", "multiply"}},
      {"filter", {"nearest", "linear"}},
      {"mode", {"static", "dynamic"}},
      {"collision", {"true", "false"}}};
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      section = Lower(line.substr(1, line.find(']') - 1));
      ++sections;
      if (section != "defaults") {
        EXPECT_TRUE(listed.count(section)) << "[" << section << "]";
      }
      continue;
    }
    std::string key, eq, value;
    std::istringstream words(line);
    words >> key >> eq >> value;
    auto known = values.find(Lower(key));
    ASSERT_NE(known, values.end()) << line;
    EXPECT_TRUE(known->second.count(Lower(value))) << line;
  }
  EXPECT_GT(sections, 10);
}

TEST_F(PictureData, ASecondBuildGivesTheSamePackage) {
  ASSERT_EQ(result_, PackageFileSystem::ReadResult::kOk);
  fs::path dir = fs::path(TAV_BINARY_DIR) / "tests" / "pictures_rebuild";
  fs::remove_all(dir);
  fs::create_directories(dir);
  fs::path pkg = dir / "data.pkg";
  std::string command = std::string(TAV_PYTHON) + " \"" + TAV_SOURCE_DIR +
                        "/assets/pictures/make_pictures.py\" --out \"" + dir.string() +
                        "\" --manifest \"" + TAV_SOURCE_DIR + "/assets/manifest.txt\" --pkgtool \"" +
                        TAV_PKGTOOL + "\" --pkg \"" + pkg.string() + "\"";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  std::string first = ReadText(TAV_DATA_PKG);
  std::string second = ReadText(pkg);
  EXPECT_GT(first.size(), 100000u);
  EXPECT_TRUE(first == second) << "data.pkg differs between two builds";
  fs::remove_all(dir);
}

}  // namespace
