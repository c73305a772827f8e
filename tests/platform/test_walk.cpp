// The walk for MASTER files: filter on and off, pruning, dot directories, links, odd entries,
// and the directories it cannot read.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/portfolio_walk.h"
#include "tests/support/fixture.h"

namespace ledgrix::testing {
namespace {

namespace fs = std::filesystem;
using platform::JoinPath;
using platform::WalkDrive;
using platform::WalkFilter;

// r joined with each name, as the walk joins them (the native separator).
std::string Sub(std::string r, std::initializer_list<const char*> names) {
  for (const char* name : names)
    r = JoinPath(r, name);
  return r;
}

void Touch(const fs::path& file) {
  fs::create_directories(file.parent_path());
  WriteText(file, "x");
}

class Recorder final : public platform::WalkObserver {
 public:
  void EnterDirectory(const std::string& dir) override { entered.push_back(dir); }
  void FoundMaster(const std::string& dir, int count) override {
    found.push_back(dir);
    counts.push_back(count);
  }
  void CannotRead(const std::string& dir, const std::string& reason) override {
    unreadable.push_back(dir + ": " + reason);
  }
  std::vector<std::string> entered, found, unreadable;
  std::vector<int> counts;
};

std::vector<std::string> Sorted(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

// Dot directories are never entered, and a MASTER that is a directory is no portfolio.
TEST(Walk, FindsEveryMasterOnTheVolumeWithTheFilterOff) {
  TempDir t;
  const std::string r = platform::Utf8FromPath(t.get());
  Touch(t / "MASTER");
  Touch(t / "A" / "MASTER");
  Touch(t / "A" / "B" / "master");  // any case
  Touch(t / "C" / "D" / "E" / "Master");
  Touch(t / ".cache" / "MASTER");
  Touch(t / ".x" / "y" / "MASTER");
  fs::create_directories(t / "EMPTY" / "MASTER");
  Recorder rec;
  const auto found = WalkDrive(r, WalkFilter{}, &rec);
  EXPECT_EQ(Sorted(found), Sorted({r, Sub(r, {"A"}), Sub(r, {"A", "B"}), Sub(r, {"C", "D", "E"})}));
  EXPECT_EQ(rec.found, found);
  EXPECT_EQ(rec.counts, (std::vector<int>{1, 2, 3, 4}));
  EXPECT_TRUE(rec.unreadable.empty());
  // The root comes first; each directory before anything below it.
  ASSERT_FALSE(rec.entered.empty());
  EXPECT_EQ(rec.entered.front(), r);
  EXPECT_EQ(rec.entered.size(), 8u);
  const auto at = [&](const std::string& d) {
    return std::find(rec.entered.begin(), rec.entered.end(), d) - rec.entered.begin();
  };
  EXPECT_LT(at(Sub(r, {"A"})), at(Sub(r, {"A", "B"})));
  EXPECT_LT(at(Sub(r, {"C"})), at(Sub(r, {"C", "D"})));
}

// The filter (matching in any case) prunes everything off the path to it, but enters its
// ancestors and the folders named by a leading part of it; an empty filter passes everything.
TEST(Walk, FilterPrunesEverythingOffThePathToIt) {
  TempDir t;
  const std::string r = platform::Utf8FromPath(t.get());
  Touch(t / "MASTER");
  Touch(t / "DATA" / "MASTER");
  Touch(t / "DATA" / "MS" / "MASTER");
  Touch(t / "DATA" / "MS" / "X" / "MASTER");
  Touch(t / "DAT" / "MASTER");
  Touch(t / "DATA" / "OTHER" / "MASTER");
  Touch(t / "OTHER" / "MASTER");
  Recorder rec;
  const WalkFilter filter{true, platform::UpperAscii(Sub(r, {"data", "ms"}))};
  EXPECT_EQ(Sorted(WalkDrive(r, filter, &rec)),
            Sorted({r, Sub(r, {"DAT"}), Sub(r, {"DATA"}), Sub(r, {"DATA", "MS"}),
                    Sub(r, {"DATA", "MS", "X"})}));
  EXPECT_EQ(std::count(rec.entered.begin(), rec.entered.end(), Sub(r, {"OTHER"})), 0);
  EXPECT_EQ(WalkDrive(r, WalkFilter{true, ""}, nullptr).size(), 7u);
}

TEST(Walk, AMissingRootOrOneThatIsAFileIsReportedAndYieldsNothing) {
  TempDir t;
  Touch(t / "file");
  const std::string absent = platform::Utf8FromPath(t / "absent");
  const std::string file = platform::Utf8FromPath(t / "file");
  Recorder rec;
  EXPECT_TRUE(WalkDrive(absent, WalkFilter{}, &rec).empty());
  EXPECT_TRUE(WalkDrive(file, WalkFilter{}, &rec).empty());
  EXPECT_TRUE(WalkDrive(absent, WalkFilter{}, nullptr).empty());
  // With the system's reason.
  ASSERT_EQ(rec.unreadable.size(), 2u);
  EXPECT_GT(rec.unreadable[0].size(), absent.size() + 2);
  EXPECT_EQ(rec.unreadable[0].rfind(absent + ": ", 0), 0u);
  EXPECT_EQ(rec.unreadable[1].rfind(file + ": ", 0), 0u);
}

TEST(Walk, DeepTreesDoNotExhaustTheStack) {
  TempDir t;
  fs::path deep = t.get();
  for (int i = 0; i < 300; ++i)
    deep /= "d";
  Touch(deep / "MASTER");
  EXPECT_EQ(WalkDrive(t.get().string(), WalkFilter{}, nullptr).size(), 1u);
}

#ifndef _WIN32
// Links and permissions as POSIX has them.

// A folder on another volume is not entered: /dev/shm, where the machine mounts its memory file
// system there, below /dev.
TEST(Walk, StaysOnTheVolumeOfItsRoot) {
  struct stat dev {};
  struct stat shm {};
  if (::stat("/dev", &dev) != 0 || ::stat("/dev/shm", &shm) != 0 || dev.st_dev == shm.st_dev)
    GTEST_SKIP() << "no other volume mounted below /dev";
  char pattern[] = "/dev/shm/ledgrix-walk-XXXXXX";
  ASSERT_NE(::mkdtemp(pattern), nullptr);
  Touch(fs::path(pattern) / "MASTER");
  const auto found = WalkDrive("/dev", WalkFilter{}, nullptr);
  fs::remove_all(pattern);
  EXPECT_EQ(std::count(found.begin(), found.end(), std::string(pattern)), 0);
}

TEST(Walk, SymbolicLinksAreNotFollowedSoALoopEnds) {
  TempDir t;
  const std::string r = platform::Utf8FromPath(t.get());
  Touch(t / "A" / "MASTER");
  fs::create_directory_symlink(t.get(), t / "A" / "loop");
  fs::create_directory_symlink(t / "A", t / "alias");
  Recorder rec;
  EXPECT_EQ(WalkDrive(r, WalkFilter{}, &rec), std::vector<std::string>{Sub(r, {"A"})});
  EXPECT_EQ(rec.entered.size(), 2u);
}

TEST(Walk, AMasterLinkCountsOnlyWhenItNamesAFile) {
  TempDir t;
  const std::string r = platform::Utf8FromPath(t.get());
  Touch(t / "real.dat");
  fs::create_directories(t / "good");
  fs::create_symlink(t / "real.dat", t / "good" / "MASTER");
  fs::create_directories(t / "dangling");
  fs::create_symlink(t / "nothing", t / "dangling" / "MASTER");
  EXPECT_EQ(WalkDrive(r, WalkFilter{}, nullptr), std::vector<std::string>{Sub(r, {"good"})});
}

TEST(Walk, AnUnreadableDirectoryIsReportedAndTheRestWalked) {
  TempDir t;
  const std::string r = platform::Utf8FromPath(t.get());
  Touch(t / "A" / "MASTER");
  Touch(t / "locked" / "inner" / "MASTER");
  Touch(t / "Z" / "MASTER");
  ::chmod((t / "locked").c_str(), 0);
  const int probe = ::open((t / "locked").c_str(), O_RDONLY | O_DIRECTORY);
  if (probe >= 0) {
    ::close(probe);
    ::chmod((t / "locked").c_str(), 0755);
    GTEST_SKIP() << "this user reads a directory of mode 000";
  }
  Recorder rec;
  const auto found = WalkDrive(r, WalkFilter{}, &rec);
  ::chmod((t / "locked").c_str(), 0755);
  EXPECT_EQ(Sorted(found), Sorted({Sub(r, {"A"}), Sub(r, {"Z"})}));
  EXPECT_EQ(rec.unreadable, std::vector<std::string>{r + "/locked: Permission denied"});
}

TEST(Walk, ARootThatIsALinkIsFollowedButNoLinkBelowIt) {
  TempDir t;
  Touch(t / "real" / "P" / "MASTER");
  fs::create_directory_symlink(t / "real", t / "root");
  fs::create_directory_symlink(t / "real" / "P", t / "real" / "alias");
  const std::string r = (t / "root").string();
  Recorder rec;
  EXPECT_EQ(WalkDrive(r, WalkFilter{}, &rec), std::vector<std::string>{Sub(r, {"P"})});
  EXPECT_TRUE(rec.unreadable.empty());
}

#endif

}  // namespace
}  // namespace ledgrix::testing
