// The Windows file layer on real files: replacing over an existing file, a read-only target, a
// target another handle holds open, names in another case, long paths and non-ASCII folders.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/portfolio_walk.h"
#include "platform/win32_path.h"
#include "tests/platform/file_helpers.h"

namespace ledgrix::platform {
namespace {

TEST(WindowsFiles, ReplaceKeepsTheNameOnDiskAndTheBackupIsTheOldFile) {
  Folder folder;
  Put(folder / "f1.dat", "old");
  ASSERT_TRUE(ReplaceFile(folder / "F1.DAT", "F1.NEW", Of("new"), "F1.BAK"));
  EXPECT_EQ(Names(folder.get()), (std::vector<std::string>{"F1.BAK", "f1.dat"}));
  EXPECT_EQ(Get(folder / "f1.dat"), "new");
  EXPECT_EQ(Get(folder / "F1.BAK"), "old");
  // Again, over the backup of the first change.
  ASSERT_TRUE(ReplaceFile(folder / "F1.Dat", "F1.NEW", Of("newer"), "F1.BAK"));
  EXPECT_EQ(Names(folder.get()), (std::vector<std::string>{"F1.BAK", "f1.dat"}));
  EXPECT_EQ(Get(folder / "F1.BAK"), "new");
}

// A read-only file, and one another program holds open without letting it be deleted, cannot be
// replaced: a clear failure, and every file as it was.
TEST(WindowsFiles, AReadOnlyOrHeldTargetIsRefusedAndNothingChanges) {
  for (const bool held : {false, true}) {
    SCOPED_TRACE(held ? "held open" : "read-only");
    Folder folder;
    Put(folder / "F1.DAT", "old");
    const std::wstring target = Win32Path(folder / "F1.DAT");
    HANDLE other = INVALID_HANDLE_VALUE;
    if (held) {
      other = ::CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
      ASSERT_NE(other, INVALID_HANDLE_VALUE);
    } else {
      ASSERT_TRUE(::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY));
    }
    const IoResult result = ReplaceFile(folder / "F1.DAT", "F1.NEW", Of("new"), "F1.BAK");
    if (held)
      ::CloseHandle(other);
    else
      ::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_FALSE(result);
    EXPECT_NE(result.message().find(held ? "open" : "read-only"), std::string::npos)
        << result.message();
    EXPECT_EQ(Names(folder.get()), std::vector<std::string>{"F1.DAT"});
    EXPECT_EQ(Get(folder / "F1.DAT"), "old");
  }
}

// Paths past the 260 characters of the old Windows limit, in a folder whose name is not ASCII.
TEST(WindowsFiles, LongPathsAndNonAsciiFoldersWorkThroughout) {
  Folder folder;
  Path deep =
      folder.get() / PathFromUtf8("Kurse \xc3\xa4\xc3\xb6\xc3\xbc \xe6\xa0\xaa\xe4\xbe\xa1");
  ASSERT_TRUE(::CreateDirectoryW(Win32Path(deep).c_str(), nullptr));
  while (deep.native().size() < 300) {
    deep /= L"portfolio-directory-with-a-long-name";
    ASSERT_TRUE(::CreateDirectoryW(Win32Path(deep).c_str(), nullptr)) << ::GetLastError();
  }
  ASSERT_TRUE(ReplaceFile(deep / "master", "MASTER.NEW", Of("old"), "MASTER.BAK"));
  ASSERT_TRUE(ReplaceFile(deep / "MASTER", "MASTER.NEW", Of("new"), "MASTER.BAK"));
  std::vector<std::uint8_t> bytes;
  ASSERT_TRUE(ReadWholeFile(deep / "Master", bytes));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "new");
  ASSERT_TRUE(ReadWholeFile(deep / "MASTER.BAK", bytes));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "old");
  EXPECT_EQ(ResolveName(deep, "MASTER").filename(), Path("master"));
  EXPECT_EQ(WalkDrive(Utf8FromPath(folder.get()), WalkFilter{}, nullptr),
            std::vector<std::string>{Utf8FromPath(deep)});
  ASSERT_TRUE(DeleteFileIfPresent(deep / "MASTER.BAK"));
  EXPECT_FALSE(FileExists(deep / "master.bak"));
}

TEST(WindowsFiles, TheWindowsDirectoryIsKnown) {
  const Path windows = WindowsDirectory();
  EXPECT_TRUE(RealFileSystem().IsDirectory(windows)) << Utf8FromPath(windows);
}

}  // namespace
}  // namespace ledgrix::platform
