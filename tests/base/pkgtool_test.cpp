// Runs the built pkgtool: package round trip, lookups the game's way, refusals,
// and the picture list layout written from TGA frames.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <sstream>

#include "tests/base/temp_dir.h"

namespace tav {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

class PkgtoolTest : public ::testing::Test {
 protected:
  RunResult Run(const std::string& arguments) {
    std::string command = std::string(TAV_BINARY_DIR) + "/pkgtool " + arguments + " >" +
                          (dir_ / "stdout") + " 2>" + (dir_ / "stderr");
    int raw = std::system(command.c_str());
    RunResult result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = ReadFile(dir_ / "stdout");
    result.err = ReadFile(dir_ / "stderr");
    return result;
  }
  // A failure says why on exactly one line of standard error.
  void ExpectOneLineFailure(const RunResult& result) {
    EXPECT_NE(result.status, 0);
    EXPECT_EQ(result.out, "");
    ASSERT_FALSE(result.err.empty());
    EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << result.err;
  }

  TempDir dir_;
};

TEST_F(PkgtoolTest, PackListAndCatRoundTrip) {
  std::string binary("\x00\x01\xff\x00zz", 6);
  WriteFile(dir_ / "in/alpha.txt", "alpha bytes");
  WriteFile(dir_ / "in/sub/Beta.bin", binary);
  WriteFile(dir_ / "in/gamma", "");
  RunResult pack = Run("pack " + (dir_ / "out.pkg") + " " + (dir_ / "in/alpha.txt") + " " +
                       (dir_ / "in/sub/Beta.bin") + " " + (dir_ / "in/gamma"));
  ASSERT_EQ(pack.status, 0) << pack.err;

  RunResult list = Run("list " + (dir_ / "out.pkg"));
  ASSERT_EQ(list.status, 0) << list.err;
  size_t directoryEnd = 20 + 3 * 40;
  std::ostringstream expected;
  expected << "alpha.txt\t11\t" << directoryEnd << "\n"
           << "Beta.bin\t6\t" << directoryEnd + 11 << "\n"
           << "gamma\t0\t" << directoryEnd + 17 << "\n";
  EXPECT_EQ(list.out, expected.str());

  RunResult cat = Run("cat " + (dir_ / "out.pkg") + " ALPHA.TXT");
  EXPECT_EQ(cat.status, 0);
  EXPECT_EQ(cat.out, "alpha bytes");
  EXPECT_EQ(Run("cat " + (dir_ / "out.pkg") + " beta.BIN").out, binary);
  RunResult empty = Run("cat " + (dir_ / "out.pkg") + " gamma");
  EXPECT_EQ(empty.status, 0);
  EXPECT_EQ(empty.out, "");

  RunResult missing = Run("cat " + (dir_ / "out.pkg") + " delta");
  EXPECT_EQ(missing.status, 1);
  ExpectOneLineFailure(missing);
}

TEST_F(PkgtoolTest, DuplicatedNameFindsTheFirstEntry) {
  WriteFile(dir_ / "one/same.tga", "first");
  WriteFile(dir_ / "two/SAME.tga", "second");
  ASSERT_EQ(Run("pack " + (dir_ / "dup.pkg") + " " + (dir_ / "one/same.tga") + " " +
                (dir_ / "two/SAME.tga"))
                .status,
            0);
  EXPECT_EQ(Run("cat " + (dir_ / "dup.pkg") + " Same.TGA").out, "first");
}

TEST_F(PkgtoolTest, RefusesBadInputWithOneLine) {
  WriteFile(dir_ / "a.txt", "a");
  ASSERT_EQ(Run("pack " + (dir_ / "p.pkg") + " " + (dir_ / "a.txt")).status, 0);
  std::string bytes = ReadFile(dir_ / "p.pkg");
  bytes[4] = 'p';  // "PKG package "
  WriteFile(dir_ / "wrong.pkg", bytes);
  ExpectOneLineFailure(Run("cat " + (dir_ / "wrong.pkg") + " a.txt"));
  ExpectOneLineFailure(Run("list " + (dir_ / "wrong.pkg")));
  WriteFile(dir_ / "cut.pkg", ReadFile(dir_ / "p.pkg").substr(0, 40));
  ExpectOneLineFailure(Run("list " + (dir_ / "cut.pkg")));
  ExpectOneLineFailure(Run("cat " + (dir_ / "cut.pkg") + " a.txt"));
  ExpectOneLineFailure(Run("list " + (dir_ / "absent.pkg")));

  std::string longName(32, 'n');
  WriteFile(dir_ / longName, "x");
  ExpectOneLineFailure(Run("pack " + (dir_ / "long.pkg") + " " + (dir_ / longName)));
  EXPECT_EQ(ReadFile(dir_ / "long.pkg"), "");  // nothing written
  ExpectOneLineFailure(Run("pack " + (dir_ / "q.pkg") + " " + (dir_ / "missing.txt")));
  ExpectOneLineFailure(Run("pack " + (dir_ / "q.pkg") + " " + dir_.Path()));  // a directory
  ExpectOneLineFailure(Run("frobnicate"));
  ExpectOneLineFailure(Run(""));
}

// An uncompressed TGA whose pixel bytes are numbered 0, 1, 2, ... in file order.
std::string MakeTga(int width, int height, int bits, bool topFirst, uint8_t firstByte = 0) {
  std::string tga(18, '\0');
  tga[2] = 2;
  tga[12] = static_cast<char>(width);
  tga[14] = static_cast<char>(height);
  tga[16] = static_cast<char>(bits);
  tga[17] = static_cast<char>(topFirst ? 0x20 : 0x00);
  for (int i = 0; i < width * height * bits / 8; ++i)
    tga.push_back(static_cast<char>(firstByte + i));
  return tga;
}

uint32_t LittleEndian32(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(bytes[at + i]);
  return value;
}

TEST_F(PkgtoolTest, PictureListLayout) {
  WriteFile(dir_ / "walk1.tga", MakeTga(2, 2, 24, false, 0));
  WriteFile(dir_ / "walk2.tga", MakeTga(2, 2, 24, true, 100));
  WriteFile(dir_ / "idle.tga", MakeTga(2, 2, 24, false, 200));
  RunResult run = Run("spt " + (dir_ / "a.spt") +
                      " --duration 0.1 --bbox 1,-2,3,4 --mode dynamic --collision false"
                      " --action Walk " +
                      (dir_ / "walk1.tga") + " " + (dir_ / "walk2.tga") + " --action Idle " +
                      (dir_ / "idle.tga"));
  ASSERT_EQ(run.status, 0) << run.err;
  std::string spt = ReadFile(dir_ / "a.spt");
  const size_t frameBytes = 2 * 2 * 3;
  ASSERT_EQ(spt.size(), 60 + 2 * 33 + 3 * frameBytes);
  EXPECT_EQ(spt.substr(0, 20), std::string("SPT Pictures list  \0", 20));
  EXPECT_EQ(LittleEndian32(spt, 20), 2u);
  EXPECT_EQ(LittleEndian32(spt, 24), 2u);
  EXPECT_EQ(LittleEndian32(spt, 28), 24u);
  EXPECT_EQ(LittleEndian32(spt, 32), 2u);
  EXPECT_EQ(static_cast<int32_t>(LittleEndian32(spt, 36)), 1);
  EXPECT_EQ(static_cast<int32_t>(LittleEndian32(spt, 40)), -2);
  EXPECT_EQ(static_cast<int32_t>(LittleEndian32(spt, 48)), 4);
  float duration;
  uint32_t durationBits = LittleEndian32(spt, 52);
  std::memcpy(&duration, &durationBits, 4);
  EXPECT_FLOAT_EQ(duration, 0.1f);
  EXPECT_EQ(spt[56], 1);  // dynamic
  EXPECT_EQ(spt[57], 0);  // no collision
  EXPECT_EQ(spt.substr(58, 2), std::string(2, '\0'));

  EXPECT_EQ(spt.substr(60, 33), std::string("Walk") + std::string(28, '\0') + "\x02");
  // The bottom-first frame comes out with its second stored row first.
  std::string walk1 = spt.substr(93, frameBytes);
  EXPECT_EQ(static_cast<uint8_t>(walk1[0]), 6);
  EXPECT_EQ(static_cast<uint8_t>(walk1[6]), 0);
  // A frame already stored top first is copied as it is.
  EXPECT_EQ(static_cast<uint8_t>(spt[93 + frameBytes]), 100);
  size_t idleHeader = 93 + 2 * frameBytes;
  EXPECT_EQ(spt.substr(idleHeader, 5), std::string("Idle\0", 5));
  EXPECT_EQ(spt[idleHeader + 32], 1);
  EXPECT_EQ(static_cast<uint8_t>(spt[idleHeader + 33]), 206);
}

TEST_F(PkgtoolTest, PictureListDefaultsAndRefusals) {
  WriteFile(dir_ / "f32.tga", MakeTga(1, 1, 32, false));
  ASSERT_EQ(Run("spt " + (dir_ / "d.spt") + " --action Loop " + (dir_ / "f32.tga")).status, 0);
  std::string spt = ReadFile(dir_ / "d.spt");
  ASSERT_EQ(spt.size(), 60u + 33u + 4u);
  float duration;
  uint32_t durationBits = LittleEndian32(spt, 52);
  std::memcpy(&duration, &durationBits, 4);
  EXPECT_FLOAT_EQ(duration, 0.04f);
  EXPECT_EQ(spt[56], 0);  // static
  EXPECT_EQ(spt[57], 1);  // collision

  WriteFile(dir_ / "f24.tga", MakeTga(1, 1, 24, false));
  WriteFile(dir_ / "big.tga", MakeTga(2, 1, 32, false));
  std::string rle = MakeTga(1, 1, 32, false);
  rle[2] = 10;
  WriteFile(dir_ / "rle.tga", rle);
  WriteFile(dir_ / "short.tga", MakeTga(4, 4, 32, false).substr(0, 30));
  const std::string out = " " + (dir_ / "x.spt") + " ";
  ExpectOneLineFailure(
      Run("spt" + out + "--action A " + (dir_ / "f32.tga") + " " + (dir_ / "f24.tga")));
  ExpectOneLineFailure(
      Run("spt" + out + "--action A " + (dir_ / "f32.tga") + " --action B " + (dir_ / "big.tga")));
  ExpectOneLineFailure(Run("spt" + out + "--action A " + (dir_ / "rle.tga")));
  ExpectOneLineFailure(Run("spt" + out + "--action A " + (dir_ / "short.tga")));
  ExpectOneLineFailure(Run("spt" + out + "--action A"));
  ExpectOneLineFailure(Run("spt" + out + (dir_ / "f32.tga")));
  ExpectOneLineFailure(
      Run("spt" + out + "--action " + std::string(32, 'a') + " " + (dir_ / "f32.tga")));
  ExpectOneLineFailure(Run("spt" + out + "--mode sometimes --action A " + (dir_ / "f32.tga")));
  ExpectOneLineFailure(Run("spt" + out + "--bbox 1,2,3 --action A " + (dir_ / "f32.tga")));
  ExpectOneLineFailure(Run("spt" + out + "--duration fast --action A " + (dir_ / "f32.tga")));
  std::string tooMany = "spt" + out + "--action A";
  for (int i = 0; i < 128; ++i) tooMany += " " + (dir_ / "f32.tga");
  ExpectOneLineFailure(Run(tooMany));
  EXPECT_EQ(ReadFile(dir_ / "x.spt"), "");
}

}  // namespace
}  // namespace tav
