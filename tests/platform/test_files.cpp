// The file layer on a real temporary folder, on every system: names resolved ignoring case, and
// replacements that leave the old or the new file whatever operation fails.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/files.h"
#include "tests/platform/file_helpers.h"
#include "tests/support/failing_file_system.h"

namespace ledgrix::platform {
namespace {

using testing::FailingFileSystem;

TEST(ResolveName, ExistingSpellingWinsAndNewFilesKeepTheFormatName) {
  Folder folder;
  Put(folder / "master", "m");
  Put(folder / "f1.dat", "d");
  Put(folder / "F2.DAT", "D");
  EXPECT_EQ(ResolveName(folder.get(), "MASTER"), folder / "master");
  EXPECT_EQ(ResolveName(folder.get(), "F1.DAT"), folder / "f1.dat");
  EXPECT_EQ(ResolveName(folder.get(), "F2.DAT"), folder / "F2.DAT");
  EXPECT_EQ(ResolveName(folder.get(), "F3.DAT"), folder / "F3.DAT");
  EXPECT_EQ(ResolvePath(folder / "F1.Dat"), folder / "f1.dat");
  EXPECT_EQ(ResolveName(folder / "missing", "MASTER"), folder / "missing" / "MASTER");
  EXPECT_TRUE(FileExists(folder / "Master"));
  EXPECT_FALSE(FileExists(folder / "F3.DAT"));
}

TEST(ReadWholeFile, ReadsEveryByteOrSaysWhy) {
  Folder folder;
  std::string big(200000, 'x');
  big[199999] = 'y';
  Put(folder / "BIG", big);
  Bytes bytes;
  ASSERT_TRUE(ReadWholeFile(folder / "big", bytes));
  EXPECT_EQ(bytes.size(), big.size());
  EXPECT_EQ(bytes.back(), 'y');
  std::string error;
  EXPECT_FALSE(ReadWholeFile(folder / "nothing", bytes, &error));
  EXPECT_NE(error.find("nothing"), std::string::npos);
  EXPECT_FALSE(ReadWholeFile(folder.get(), bytes));  // a folder is no file
}

// The new content takes the name on disk and the old becomes the backup; a missing target is
// created, a stale work file overwritten; a missing folder is a failure with a message.
TEST(ReplaceFile, PlainCases) {
  Folder folder;
  Put(folder / "master", "old");
  Put(folder / "master.bak", "older");
  ASSERT_TRUE(ReplaceFile(folder / "MASTER", "MASTER.NEW", Of("new"), "MASTER.BAK"));
  EXPECT_EQ(Get(folder / "master"), "new");
  EXPECT_EQ(Get(folder / "master.bak"), "old");
  Put(folder / "F1.NEW", "left over from a crash");
  ASSERT_TRUE(ReplaceFile(folder / "F1.DAT", "F1.NEW", Of("quotes"), "F1.BAK"));
  EXPECT_EQ(Get(folder / "F1.DAT"), "quotes");
  EXPECT_EQ(Names(folder.get()), (std::vector<std::string>{"F1.DAT", "master", "master.bak"}));
  const IoResult result = ReplaceFile(folder / "none" / "MASTER", "MASTER.NEW", Of("x"));
  EXPECT_FALSE(result);
  EXPECT_FALSE(result.message().empty());
}

// Every operation of the replacement fails once; the target then holds its old or its new
// content, the backup (a second name, or a copy where linking fails) never replaces it, and no
// work file stays behind. A failed sync of the folder after the rename leaves the change made:
// reported as done but unconfirmed, and noted.
TEST(ReplaceFile, AnyFailedOperationLeavesTheOldOrTheNewFile) {
  int completedAt = 0;
  int unconfirmed = 0;
  for (int k = 1; k < 100 && completedAt == 0; ++k) {
    Folder folder;
    Put(folder / "F7.DAT", "old content");
    Put(folder / "F7.BAK", "older content");
    FailingFileSystem failing(RealFileSystem(), k);
    failing.setCountReads(true);
    IoResult result;
    {
      ScopedFileSystem scope(failing);
      result = ReplaceFile(folder / "F7.DAT", "F7.NEW", Of("new content"), "F7.BAK");
    }
    const std::vector<std::string> notes = TakeUnconfirmedChanges();
    std::string now = Get(folder / "F7.DAT");
    SCOPED_TRACE("fault in " + failing.failedOperation() + ", k=" + std::to_string(k));
    EXPECT_TRUE(now == "old content" || now == "new content");
    EXPECT_FALSE(std::filesystem::exists(folder / "F7.NEW"));
    if (result) {
      EXPECT_EQ(now, "new content");
      EXPECT_EQ(Get(folder / "F7.BAK"), "old content");
    } else {
      EXPECT_EQ(now, "old content");
    }
    if (failing.failedOperation() == "sync folder") {
      EXPECT_TRUE(result && result.unconfirmed()) << result.message();
      EXPECT_EQ(notes.size(), 1u);
      ++unconfirmed;
    } else {
      EXPECT_FALSE(result.unconfirmed());
      EXPECT_TRUE(notes.empty());
    }
    if (!failing.failed())
      completedAt = k;
  }
  EXPECT_GT(completedAt, 5);
  EXPECT_EQ(unconfirmed, 1);
}

TEST(CopyAndMove, ReplaceTheDestinationAndRemoveTheSourceOnlyAfterTheCopy) {
  Folder a, b;
  Put(a / "F1.DAT", "quotes");
  Put(b / "f4.dat", "stray");
  ASSERT_TRUE(CopyFileReplacing(a / "F1.DAT", b / "F4.DAT"));
  EXPECT_EQ(Get(b / "f4.dat"), "quotes");
  EXPECT_EQ(Names(b.get()), (std::vector<std::string>{"f4.dat"}));

  ASSERT_TRUE(MoveFile(a / "f1.dat", b / "F9.DAT"));
  EXPECT_EQ(Get(b / "F9.DAT"), "quotes");
  EXPECT_TRUE(Names(a.get()).empty());

  Put(a / "F2.DOP", "dop");
  ASSERT_TRUE(MoveFile(a / "F2.DOP", a / "F3.DOP"));
  EXPECT_EQ(Names(a.get()), (std::vector<std::string>{"F3.DOP"}));
  EXPECT_FALSE(MoveFile(a / "F2.DOP", a / "F5.DOP"));
}

TEST(CopyAndMove, AFailedMoveKeepsTheSource) {
  for (int k = 1; k < 40; ++k) {
    Folder a, b;
    Put(a / "F1.DAT", "quotes");
    FailingFileSystem failing(RealFileSystem(), k);
    IoResult result;
    {
      ScopedFileSystem scope(failing);
      result = MoveFile(a / "F1.DAT", b / "F2.DAT");
    }
    bool atSource = std::filesystem::exists(a / "F1.DAT");
    bool atTarget = std::filesystem::exists(b / "F2.DAT");
    EXPECT_TRUE(atSource || atTarget) << "k=" << k;
    if (atTarget) {
      EXPECT_EQ(Get(b / "F2.DAT"), "quotes");
    }
    if (!failing.failed()) {
      EXPECT_TRUE(result);
      break;
    }
  }
}

TEST(DeleteFileIfPresent, DeletesWhateverTheCaseAndIgnoresAbsentFiles) {
  Folder folder;
  Put(folder / "f1.bak", "b");
  EXPECT_TRUE(DeleteFileIfPresent(folder / "F1.BAK"));
  EXPECT_TRUE(Names(folder.get()).empty());
  EXPECT_TRUE(DeleteFileIfPresent(folder / "F1.BAK"));
}

TEST(DeleteFileIfPresent, AFailedSyncAfterTheDeleteIsNoFailure) {
  Folder folder;
  Put(folder / "F1.DAT", "d");
  (void)TakeUnconfirmedChanges();
  FailingFileSystem failing(RealFileSystem(), 2);  // remove, then the folder's sync
  IoResult result;
  {
    ScopedFileSystem scope(failing);
    result = DeleteFileIfPresent(folder / "F1.DAT");
  }
  EXPECT_TRUE(result && result.unconfirmed());
  EXPECT_EQ(TakeUnconfirmedChanges().size(), 1u);
  EXPECT_TRUE(Names(folder.get()).empty());
}

}  // namespace
}  // namespace ledgrix::platform
