// The file layer on a real temporary folder: names resolved ignoring case, and replacements that
// leave the old or the new file whatever operation fails.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/files.h"
#include "tests/support/failing_file_system.h"

namespace ledgrix::platform {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::FailingFileSystem;

class Folder {
 public:
  Folder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "ledgrix-platform-XXXXXX");
    dir_ = ::mkdtemp(pattern.data());
  }
  ~Folder() { std::filesystem::remove_all(dir_); }
  const Path& get() const { return dir_; }
  Path operator/(const std::string& name) const { return dir_ / name; }

 private:
  Path dir_;
};

Bytes Of(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

void Put(const Path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string Get(const Path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> Names(const Path& dir) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    names.push_back(e.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

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

TEST(ReplaceFile, PutsTheNewContentInPlaceKeepsABackupAndTheNameOnDisk) {
  Folder folder;
  Put(folder / "master", "old");
  Put(folder / "master.bak", "older");
  ::chmod((folder / "master").c_str(), 0600);
  ASSERT_TRUE(ReplaceFile(folder / "MASTER", "MASTER.NEW", Of("new"), "MASTER.BAK"));
  EXPECT_EQ(Get(folder / "master"), "new");
  EXPECT_EQ(Get(folder / "master.bak"), "old");
  EXPECT_EQ(Names(folder.get()), (std::vector<std::string>{"master", "master.bak"}));
  struct stat st {};
  ASSERT_EQ(::stat((folder / "master").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(ReplaceFile, CreatesAMissingTargetAndOverwritesAStaleWorkFile) {
  Folder folder;
  Put(folder / "F1.NEW", "left over from a crash");
  ASSERT_TRUE(ReplaceFile(folder / "F1.DAT", "F1.NEW", Of("quotes"), "F1.BAK"));
  EXPECT_EQ(Names(folder.get()), (std::vector<std::string>{"F1.DAT"}));
  EXPECT_EQ(Get(folder / "F1.DAT"), "quotes");
}

TEST(ReplaceFile, FailsCleanlyWhereTheFolderIsMissing) {
  Folder folder;
  IoResult result = ReplaceFile(folder / "none" / "MASTER", "MASTER.NEW", Of("x"));
  EXPECT_FALSE(result);
  EXPECT_FALSE(result.message().empty());
}

// Every operation of the replacement fails once; the target then holds its old or its new
// content, the backup never replaces it, and no work file stays behind.
TEST(ReplaceFile, AnyFailedOperationLeavesTheOldOrTheNewFile) {
  int completedAt = 0;
  for (int k = 1; k < 100 && completedAt == 0; ++k) {
    Folder folder;
    Put(folder / "F7.DAT", "old content");
    FailingFileSystem failing(RealFileSystem(), k);
    failing.setCountReads(true);
    IoResult result;
    {
      ScopedFileSystem scope(failing);
      result = ReplaceFile(folder / "F7.DAT", "F7.NEW", Of("new content"), "F7.BAK");
    }
    std::string now = Get(folder / "F7.DAT");
    EXPECT_TRUE(now == "old content" || now == "new content") << "k=" << k;
    EXPECT_FALSE(std::filesystem::exists(folder / "F7.NEW")) << "k=" << k;
    if (!failing.failed()) {
      EXPECT_TRUE(result) << result.message();
      EXPECT_EQ(now, "new content");
      EXPECT_EQ(Get(folder / "F7.BAK"), "old content");
      completedAt = k;
    } else if (now == "old content") {
      EXPECT_FALSE(result) << "k=" << k;
    }
  }
  EXPECT_GT(completedAt, 5);
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
  EXPECT_TRUE(std::filesystem::is_fifo(fifo));
  EXPECT_EQ(Names(folder.get()), (std::vector<std::string>{"OUT", "SRC"}));

  ASSERT_TRUE(WriteOutputFile(folder / "plain.txt", "plain.txt.~LX", Of("a")));
  EXPECT_EQ(Get(folder / "plain.txt"), "a");
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

}  // namespace
}  // namespace ledgrix::platform
