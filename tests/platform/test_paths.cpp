// Path text rules of both systems (tested on either), and UTF-8 names on the real file system.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/files.h"
#include "tests/platform/file_helpers.h"

namespace ledgrix::platform {
namespace {

constexpr PathStyle kPosix = PathStyle::kPosix;
constexpr PathStyle kWin = PathStyle::kWindows;

// A portfolio's directory text, and its MASTER path: each gives the other back.
TEST(PathText, PortfolioDirectoryAndMasterPath) {
  struct Case {
    PathStyle style;
    std::string dir, master;
  };
  const Case cases[] = {
      {kPosix, "/", "/MASTER"},
      {kPosix, "/data/stocks", "/data/stocks/MASTER"},
      {kWin, "C:\\", "C:\\MASTER"},
      {kWin, "C:\\Data\\Stocks", "C:\\Data\\Stocks\\MASTER"},
      {kWin, "\\\\server\\share\\", "\\\\server\\share\\MASTER"},
      {kWin, "\\\\server\\share\\data", "\\\\server\\share\\data\\MASTER"},
      {kWin, "D:\\B\xc3\xb6rse \xe6\xa0\xaa", "D:\\B\xc3\xb6rse \xe6\xa0\xaa\\MASTER"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.master);
    EXPECT_EQ(DirectoryOf(c.master, c.style), c.dir);
    EXPECT_EQ(MasterPathOf(c.dir, c.style), c.master);
  }
  // A drive alone stands for its root, never for the drive's current directory.
  EXPECT_EQ(MasterPathOf("C:", kWin), "C:\\MASTER");
  EXPECT_EQ(MasterPathOf("\\\\server\\share", kWin), "\\\\server\\share\\MASTER");
  EXPECT_EQ(JoinPath("/data/", "F1.DAT", kPosix), "/data/F1.DAT");
  EXPECT_EQ(JoinPath("D:/x/", "F1.DAT", kWin), "D:/x/F1.DAT");
  EXPECT_EQ(DirectoryOf("MASTER", kPosix), "");
}

TEST(PathText, AbsolutePathsAndTheVolumeThatHoldsAPath) {
  EXPECT_TRUE(IsAbsolute("/x", kPosix));
  EXPECT_FALSE(IsAbsolute("x/y", kPosix));
  EXPECT_TRUE(IsAbsolute("C:\\x", kWin));
  EXPECT_TRUE(IsAbsolute("\\\\srv\\share", kWin));
  EXPECT_FALSE(IsAbsolute("C:x", kWin));
  EXPECT_FALSE(IsAbsolute("\\x", kWin));

  struct Case {
    PathStyle style;
    std::string path, volume;
  };
  const std::vector<std::string> posixRoots = {"/", "/home", "/media/usb"};
  const std::vector<std::string> windowsRoots = {"C:\\", "D:\\", "\\\\server\\share\\"};
  const Case cases[] = {
      {kPosix, "/home/u/x", "/home"},
      {kPosix, "/homework", "/"},
      {kPosix, "/media/usb", "/media/usb"},
      {kPosix, "/home/../media/usb/./a", "/media/usb"},
      {kPosix, "relative", ""},
      {kWin, "c:\\data", "C:\\"},
      {kWin, "D:/Kurse/", "D:\\"},
      {kWin, "\\\\SERVER\\Share\\data", "\\\\server\\share\\"},
      {kWin, "\\\\server\\other\\data", ""},
      {kWin, "E:\\x", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(VolumeOf(c.style == kPosix ? posixRoots : windowsRoots, c.path, c.style), c.volume);
  }
}

// A folder whose name is not ASCII: created, written, listed and found again by its UTF-8 name.
TEST(PathText, NonAsciiNamesRoundTripThroughTheFileLayer) {
  const std::string name = "Kurse \xc3\xa4\xc3\xb6\xc3\xbc \xe6\xa0\xaa\xe4\xbe\xa1";
  EXPECT_EQ(Utf8FromPath(PathFromUtf8(name)), name);
  Folder folder;
  const Path dir = PathFromUtf8(JoinPath(Utf8FromPath(folder.get()), name));
  std::filesystem::create_directory(dir);
  ASSERT_TRUE(ReplaceFile(dir / "MASTER", "MASTER.NEW", Of("m")));
  EXPECT_EQ(Names(folder.get()), std::vector<std::string>{name});
  EXPECT_TRUE(FileExists(PathFromUtf8(MasterPathOf(Utf8FromPath(dir)))));
}

}  // namespace
}  // namespace ledgrix::platform
