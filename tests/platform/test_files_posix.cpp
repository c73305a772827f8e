// The file layer's POSIX side: permissions, devices and pipes, and links of every kind among a
// portfolio's files.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/files.h"
#include "tests/platform/file_helpers.h"

namespace ledgrix::platform {
namespace {

namespace fs = std::filesystem;

struct stat Stat(const Path& path) {
  struct stat st {};
  EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
  return st;
}

TEST(ReplaceFile, TheNewFileKeepsThePermissionsAndTheBackupIsTheOldFileItself) {
  Folder folder;
  Put(folder / "F1.DAT", "old");
  ::chmod((folder / "F1.DAT").c_str(), 0600);
  const ino_t old = Stat(folder / "F1.DAT").st_ino;
  ASSERT_TRUE(ReplaceFile(folder / "F1.DAT", "F1.NEW", Of("new"), "F1.BAK"));
  EXPECT_EQ(Stat(folder / "F1.DAT").st_mode & 0777, 0600u);
  // A second name for the old file: nothing copied, nothing to flush.
  EXPECT_EQ(Stat(folder / "F1.BAK").st_ino, old);
  EXPECT_EQ(Stat(folder / "F1.BAK").st_nlink, 1u);
  EXPECT_EQ(Get(folder / "F1.BAK"), "old");
}

// Renaming a new file over a device or pipe would put a plain file in its place (as root even
// over /dev/null): portfolio files refuse, a user's output file is written straight into it.
TEST(ReplaceFile, NeverRenamesOverADeviceOrPipe) {
  Folder folder;
  const Path fifo = folder / "OUT";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);

  EXPECT_FALSE(ReplaceFile(fifo, "OUT.NEW", Of("x"), "OUT.BAK"));
  Put(folder / "SRC", "src");
  EXPECT_FALSE(CopyFileReplacing(folder / "SRC", fifo));
  ASSERT_TRUE(WriteOutputFile(fifo, "OUT.~LX", Of("lines\r\n")));
  char buffer[16] = {};
  EXPECT_EQ(::read(reader, buffer, sizeof buffer), 7);
  ::close(reader);
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_EQ(Names(folder.get()), (std::vector<std::string>{"OUT", "SRC"}));

  ASSERT_TRUE(WriteOutputFile(folder / "plain.txt", "plain.txt.~LX", Of("a")));
  EXPECT_EQ(Get(folder / "plain.txt"), "a");
}

// Work and backup files left behind as links to files outside the portfolio: the replace removes
// each link and writes a file of its own; what a link pointed to stays as it was.
TEST(ReplaceFile, NeverWritesThroughAWorkOrBackupFileThatIsALink) {
  enum Kind { kSymbolic, kHard, kDangling };
  for (const Kind kind : {kSymbolic, kHard, kDangling}) {
    SCOPED_TRACE(kind);
    Folder outside, folder;
    Put(outside / "work", "precious 1");
    Put(outside / "backup", "precious 2");
    Put(folder / "F1.DAT", "old");
    for (const char* name : {"work", "backup"}) {
      const Path at = folder / (std::string(name) == "work" ? "F1.NEW" : "F1.BAK");
      if (kind == kHard)
        fs::create_hard_link(outside / name, at);
      else
        fs::create_symlink(outside / (kind == kDangling ? "none" : name), at);
    }
    ASSERT_TRUE(ReplaceFile(folder / "F1.DAT", "F1.NEW", Of("new"), "F1.BAK"));
    EXPECT_EQ(Names(outside.get()), (std::vector<std::string>{"backup", "work"}));
    EXPECT_EQ(Get(outside / "work"), "precious 1");
    EXPECT_EQ(Get(outside / "backup"), "precious 2");
    EXPECT_EQ(Names(folder.get()), (std::vector<std::string>{"F1.BAK", "F1.DAT"}));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(folder / "F1.DAT")));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(folder / "F1.BAK")));
    EXPECT_EQ(Get(folder / "F1.DAT"), "new");
    EXPECT_EQ(Get(folder / "F1.BAK"), "old");
  }
}

// A portfolio file that is a link to a file kept elsewhere is replaced there; the link stays. The
// change is announced as one of the portfolio's file, by the name on disk.
TEST(ReplaceFile, ATargetThatIsALinkIsUpdatedWhereItPointsAndStaysALink) {
  struct Told final : ChangeObserver {
    std::vector<Path> paths;
    IoResult BeforeChange(const Path& path, const std::vector<std::uint8_t>*) override {
      paths.push_back(path);
      return {};
    }
  } told;
  ScopedChangeObserver observing(told);
  Folder folder;
  fs::create_directories(folder / "store");
  fs::create_directories(folder / "portfolio");
  Put(folder / "store" / "quotes.dat", "old");
  fs::create_symlink("../store/quotes.dat", folder / "portfolio" / "F1.DAT");
  ASSERT_TRUE(ReplaceFile(folder / "portfolio" / "f1.dat", "F1.NEW", Of("new"), "F1.BAK"));
  EXPECT_EQ(fs::read_symlink(folder / "portfolio" / "F1.DAT"), "../store/quotes.dat");
  EXPECT_EQ(Get(folder / "store" / "quotes.dat"), "new");
  EXPECT_EQ(Get(folder / "portfolio" / "F1.BAK"), "old");
  EXPECT_EQ(Names(folder / "store"), std::vector<std::string>{"quotes.dat"});
  EXPECT_EQ(Names(folder / "portfolio"), (std::vector<std::string>{"F1.BAK", "F1.DAT"}));

  // A copy onto a linked destination goes where the link points too.
  Put(folder / "src.dat", "copied");
  ASSERT_TRUE(CopyFileReplacing(folder / "src.dat", folder / "portfolio" / "F1.DAT"));
  EXPECT_EQ(Get(folder / "store" / "quotes.dat"), "copied");
  EXPECT_TRUE(fs::is_symlink(folder / "portfolio" / "F1.DAT"));
  EXPECT_EQ(told.paths, std::vector<Path>(2, folder / "portfolio" / "F1.DAT"));
}

}  // namespace
}  // namespace ledgrix::platform
