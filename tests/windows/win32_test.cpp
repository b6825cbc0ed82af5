// Tests of the Windows-only code: the atomic replacement of the player's files
// with MoveFileExW, and the window procedure's translation of messages into the
// events the main loop acts on.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/atomic_file.h"
#include "platform/win32/win32_platform.h"
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

TEST(Win32AtomicFileTest, ReplacesAnExistingFileAndLeavesNoTemporary) {
  TempDir dir;
  const std::string path = dir / "Hiscore.dat";
  WriteFile(path, "old contents that are longer than the new ones\n");
  ASSERT_TRUE(WriteFileAtomically(path, std::string("new\0", 4)));
  EXPECT_EQ(ReadFile(path), std::string("new\0", 4));
  EXPECT_EQ(FilesIn(dir.Path()), 1u);
}

TEST(Win32AtomicFileTest, FileHeldOpenByAnotherProgramKeepsItsContents) {
  TempDir dir;
  const std::string path = dir / "Config.ini";
  WriteFile(path, "old\n");
  // Another program holding the file open without delete sharing makes the
  // replacement fail; the old file and the folder must stay as they were.
  HANDLE holder = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  const bool written = WriteFileAtomically(path, "new\n");
  CloseHandle(holder);
  EXPECT_FALSE(written);
  EXPECT_EQ(ReadFile(path), "old\n");
  EXPECT_EQ(FilesIn(dir.Path()), 1u);
  // A missing folder: nothing is created.
  EXPECT_FALSE(WriteFileAtomically(dir / "missing/Last.dat", "x"));
  EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

TEST(Win32AtomicFileTest, TemporariesOfEndedSavesAreClearedByTheNextSave) {
  TempDir dir;
  const std::string path = dir / "Last.dat";
  // A save killed in another game process (a number no running process has), and
  // one under way in this process: only the first is a leftover.
  const std::string killed = path + ".tmp-4294967280-3";
  const std::string underWay = path + ".tmp-" + std::to_string(GetCurrentProcessId()) + "-99";
  WriteFile(killed, "torn");
  WriteFile(underWay, "being written");
  ASSERT_TRUE(WriteFileAtomically(path, "saved"));
  EXPECT_FALSE(std::filesystem::exists(killed));
  EXPECT_TRUE(std::filesystem::exists(underWay));
  EXPECT_EQ(ReadFile(path), "saved");
}

PlatformEvent Handle(Win32Platform& platform, UINT message, WPARAM wParam, LPARAM lParam,
                     bool* handled = nullptr) {
  LRESULT result = 0;
  const bool wasHandled = platform.HandleMessage(message, wParam, lParam, &result);
  if (handled != nullptr) *handled = wasHandled;
  PlatformEvent event;
  event.type = PlatformEventType::kLeftButtonUp;  // stays so when nothing was queued
  platform.PollEvent(&event);
  return event;
}

TEST(Win32PlatformTest, MessagesBecomeTheEventsTheMainLoopActsOn) {
  Win32Platform platform(GetModuleHandleA(nullptr));
  // Closing the window (its close button, Alt+F4) leaves as the game's Exit does;
  // ending the session leaves through the game's shutdown.
  EXPECT_EQ(Handle(platform, WM_CLOSE, 0, 0).type, PlatformEventType::kClose);
  // Keys the game plays with, with Shift and the repeat bit; others are not queued.
  const PlatformEvent left = Handle(platform, WM_KEYDOWN, VK_LEFT, 0x40000001);
  EXPECT_EQ(left.type, PlatformEventType::kKeyDown);
  EXPECT_EQ(left.keyPress.key, InputKey::kLeft);
  EXPECT_TRUE(left.keyPress.repeat);
  EXPECT_EQ(Handle(platform, WM_KEYDOWN, VK_F5, 0).type, PlatformEventType::kLeftButtonUp);
  EXPECT_EQ(Handle(platform, WM_QUERYENDSESSION, 0, 0).type, PlatformEventType::kTerminate);

  // Minimised state is the high word of WM_ACTIVATE's wParam.
  PlatformEvent activate = Handle(platform, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 1), 0);
  EXPECT_EQ(activate.type, PlatformEventType::kActivate);
  EXPECT_TRUE(activate.minimised);
  PlatformEvent inactive = Handle(platform, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0);
  EXPECT_EQ(inactive.type, PlatformEventType::kActivate);
  EXPECT_FALSE(inactive.minimised);

  // Typed characters carry the key data as the signed high half of lParam.
  PlatformEvent typed = Handle(platform, WM_CHAR, 'a', static_cast<LPARAM>(0xC01E0001));
  EXPECT_EQ(typed.type, PlatformEventType::kChar);
  EXPECT_EQ(typed.charCode, 'a');
  EXPECT_EQ(typed.keyData, static_cast<int16_t>(0xC01E));

  // The screen saver and monitor power-down are swallowed; other commands are not.
  bool handled = false;
  Handle(platform, WM_SYSCOMMAND, SC_SCREENSAVE, 0, &handled);
  EXPECT_TRUE(handled);
  Handle(platform, WM_SYSCOMMAND, SC_MONITORPOWER | 2, 0, &handled);
  EXPECT_TRUE(handled);
  Handle(platform, WM_SYSCOMMAND, SC_MINIMIZE, 0, &handled);
  EXPECT_FALSE(handled);
}

TEST(Win32PlatformTest, TypedLettersArriveWhateverTheCodePage) {
  Win32Platform platform(GetModuleHandleA(nullptr));
  // The window is a Unicode one: e-acute and a Polish e-ogonek arrive as their
  // letters whatever the code page; a letter beyond the basic plane becomes one '?'.
  EXPECT_EQ(Handle(platform, WM_CHAR, 0xE9, 0).charCode, 0xE9);
  EXPECT_EQ(Handle(platform, WM_CHAR, 0x0119, 0).charCode, 0x119);
  EXPECT_EQ(Handle(platform, WM_CHAR, 0xD83D, 0).charCode, '?');
  EXPECT_EQ(Handle(platform, WM_CHAR, 0xDE00, 0).type, PlatformEventType::kLeftButtonUp);
}

}  // namespace
}  // namespace tav
