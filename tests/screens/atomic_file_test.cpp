// Tests of the atomic whole-file writer: replacement, and that a failed write
// leaves the old file as it was and no temporary file behind.
#include "base/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>
#include <csignal>
#include <filesystem>

#include "tests/base/temp_dir.h"

namespace tav {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

size_t FilesIn(const std::string& folder) {
  size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++count;
  return count;
}

TEST(AtomicFileTest, CreatesAndReplacesWholeFile) {
  TempDir dir;
  std::string path = dir / "Hiscore.dat";
  ASSERT_TRUE(WriteFileAtomically(path, std::string("first\0contents", 14)));
  EXPECT_EQ(ReadFile(path), std::string("first\0contents", 14));
  ASSERT_TRUE(WriteFileAtomically(path, "2"));
  EXPECT_EQ(ReadFile(path), "2");
  ASSERT_TRUE(WriteFileAtomically(path, ""));
  EXPECT_EQ(ReadFile(path), "");
  EXPECT_EQ(FilesIn(dir.Path()), 1u);
}

// A save killed half way leaves its temporary behind; the next save that goes
// through removes the old leftovers of that file and nothing else.
TEST(AtomicFileTest, SaveRemovesTemporariesLeftByAnInterruptedSave) {
  TempDir dir;
  const std::string path = dir / "Last.dat";
  const std::string leftover = dir / "Last.dat.tmp-a1B2c3";
  const std::string fresh = dir / "Last.dat.tmp-z9Y8x7";
  const std::string otherFile = dir / "Hiscore.dat.tmp-a1B2c3";
  for (const std::string& file : {leftover, fresh, otherFile}) WriteFile(file, "torn");
  const auto hourAgo = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
  std::filesystem::last_write_time(leftover, hourAgo);
  std::filesystem::last_write_time(otherFile, hourAgo);

  ASSERT_TRUE(WriteFileAtomically(path, "level 3"));
  EXPECT_FALSE(std::filesystem::exists(leftover));
  EXPECT_TRUE(std::filesystem::exists(fresh));      // may be another copy's save in progress
  EXPECT_TRUE(std::filesystem::exists(otherFile));  // another file's business
  EXPECT_EQ(ReadFile(path), "level 3");
}

TEST(AtomicFileTest, FailedWriteKeepsOldFileAndLeavesNoTemporary) {
  TempDir dir;
  std::string path = dir / "Config.ini";
  WriteFile(path, "old contents\n");

  // A file size limit makes the write itself fail part way (EFBIG), as a full
  // disk would.
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto savedHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limited = saved;
  limited.rlim_cur = 4;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  bool written = WriteFileAtomically(path, "new contents that do not fit\n");
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, savedHandler);

  EXPECT_FALSE(written);
  EXPECT_EQ(ReadFile(path), "old contents\n");
  EXPECT_EQ(FilesIn(dir.Path()), 1u);
}

TEST(AtomicFileTest, FailsCleanlyWhenTargetCannotBeReplacedOrCreated) {
  TempDir dir;
  // A folder in the way: the rename fails and the temporary file is removed.
  std::filesystem::create_directories(dir / "Last.dat");
  EXPECT_FALSE(WriteFileAtomically(dir / "Last.dat", "x"));
  EXPECT_TRUE(std::filesystem::is_directory(dir / "Last.dat"));
  EXPECT_EQ(FilesIn(dir.Path()), 1u);
  // A missing folder: nothing can be created.
  EXPECT_FALSE(WriteFileAtomically(dir / "missing/Last.dat", "x"));
  EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

}  // namespace
}  // namespace tav
