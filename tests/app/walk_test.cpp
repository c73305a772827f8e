// The walk for MASTER files: filter on and off, pruning, dot directories, links, odd entries.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/drive_walk.h"
#include "tests/support/fixture.h"

namespace ledgrix::testing {
namespace {

namespace fs = std::filesystem;
using app::WalkDrive;
using app::WalkFilter;

void Touch(const fs::path& file) {
  fs::create_directories(file.parent_path());
  WriteText(file, "x");
}

class Recorder final : public app::WalkObserver {
 public:
  void EnterDirectory(const std::string& dir) override { entered.push_back(dir); }
  void FoundMaster(const std::string& dir, int count) override {
    found.push_back(dir);
    counts.push_back(count);
  }
  std::vector<std::string> entered, found;
  std::vector<int> counts;
};

std::vector<std::string> Sorted(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

WalkFilter Filter(const fs::path& path) {
  return {true, app::UpperAscii(path.string())};
}

TEST(Walk, FindsEveryMasterOnTheVolumeWithTheFilterOff) {
  TempDir t;
  const std::string r = t.get().string();
  Touch(t / "MASTER");
  Touch(t / "A" / "MASTER");
  Touch(t / "A" / "B" / "master");  // any case
  Touch(t / "C" / "D" / "E" / "Master");
  fs::create_directories(t / "EMPTY");
  Recorder rec;
  const auto found = WalkDrive(r, WalkFilter{}, &rec);
  EXPECT_EQ(Sorted(found), Sorted({r, r + "/A", r + "/A/B", r + "/C/D/E"}));
  EXPECT_EQ(rec.found, found);
  EXPECT_EQ(rec.counts, (std::vector<int>{1, 2, 3, 4}));
  // The root comes first; each directory before anything below it.
  ASSERT_FALSE(rec.entered.empty());
  EXPECT_EQ(rec.entered.front(), r);
  EXPECT_EQ(rec.entered.size(), 7u);
  const auto at = [&](const std::string& d) {
    return std::find(rec.entered.begin(), rec.entered.end(), d) - rec.entered.begin();
  };
  EXPECT_LT(at(r + "/A"), at(r + "/A/B"));
  EXPECT_LT(at(r + "/C"), at(r + "/C/D"));
}

TEST(Walk, FilterPrunesEverythingOffThePathToIt) {
  TempDir t;
  const std::string r = t.get().string();
  Touch(t / "MASTER");
  Touch(t / "QUOTES" / "MASTER");
  Touch(t / "QUOTES" / "DATA" / "MASTER");
  Touch(t / "OTHER" / "MASTER");
  Touch(t / "OTHER" / "QUOTES" / "MASTER");
  Recorder rec;
  // A lower-case filter matches paths in any case.
  WalkFilter filter{true, app::UpperAscii(r + "/quotes")};
  const auto found = WalkDrive(r, filter, &rec);
  EXPECT_EQ(Sorted(found), Sorted({r, r + "/QUOTES", r + "/QUOTES/DATA"}));
  EXPECT_EQ(std::count(rec.entered.begin(), rec.entered.end(), r + "/OTHER"), 0);
}

TEST(Walk, FilterEntersAncestorsAndLeadingParts) {
  TempDir t;
  const std::string r = t.get().string();
  Touch(t / "DATA" / "MS" / "MASTER");
  Touch(t / "DATA" / "MASTER");
  Touch(t / "DAT" / "MASTER");  // a leading part of the filter path: entered too
  Touch(t / "DATA" / "OTHER" / "MASTER");
  const auto found = WalkDrive(r, Filter(t / "DATA" / "MS"), nullptr);
  EXPECT_EQ(Sorted(found), Sorted({r + "/DAT", r + "/DATA", r + "/DATA/MS"}));
}

TEST(Walk, EmptyFilterPassesEverything) {
  TempDir t;
  Touch(t / "X" / "MASTER");
  EXPECT_EQ(WalkDrive(t.get().string(), WalkFilter{true, ""}, nullptr).size(), 1u);
}

TEST(Walk, DotDirectoriesAreNeverEntered) {
  TempDir t;
  const std::string r = t.get().string();
  Touch(t / ".cache" / "MASTER");
  Touch(t / ".x" / "y" / "MASTER");
  Touch(t / "visible" / "MASTER");
  Recorder rec;
  EXPECT_EQ(WalkDrive(r, WalkFilter{}, &rec), std::vector<std::string>{r + "/visible"});
  for (const std::string& d : rec.entered)
    EXPECT_EQ(d.find("/.", r.size()), std::string::npos) << d;
}

TEST(Walk, SymbolicLinksAreNotFollowedSoALoopEnds) {
  TempDir t;
  const std::string r = t.get().string();
  Touch(t / "A" / "MASTER");
  fs::create_directory_symlink(t.get(), t / "A" / "loop");
  fs::create_directory_symlink(t / "A", t / "alias");
  Recorder rec;
  EXPECT_EQ(WalkDrive(r, WalkFilter{}, &rec), std::vector<std::string>{r + "/A"});
  EXPECT_EQ(rec.entered.size(), 2u);
}

TEST(Walk, AMasterThatIsADirectoryIsNoPortfolio) {
  TempDir t;
  fs::create_directories(t / "P" / "MASTER");
  EXPECT_TRUE(WalkDrive(t.get().string(), WalkFilter{}, nullptr).empty());
}

TEST(Walk, AMasterLinkCountsOnlyWhenItNamesAFile) {
  TempDir t;
  const std::string r = t.get().string();
  Touch(t / "real.dat");
  fs::create_directories(t / "good");
  fs::create_symlink(t / "real.dat", t / "good" / "MASTER");
  fs::create_directories(t / "dangling");
  fs::create_symlink(t / "nothing", t / "dangling" / "MASTER");
  EXPECT_EQ(WalkDrive(r, WalkFilter{}, nullptr), std::vector<std::string>{r + "/good"});
}

TEST(Walk, UnreadableOrMissingDirectoriesYieldNothing) {
  TempDir t;
  EXPECT_TRUE(WalkDrive((t / "absent").string(), WalkFilter{}, nullptr).empty());
}

TEST(Walk, DeepTreesDoNotExhaustTheStack) {
  TempDir t;
  fs::path deep = t.get();
  for (int i = 0; i < 300; ++i)
    deep /= "d";
  Touch(deep / "MASTER");
  EXPECT_EQ(WalkDrive(t.get().string(), WalkFilter{}, nullptr).size(), 1u);
}

TEST(Walk, FilterTest) {
  WalkFilter f{true, app::UpperAscii("/data/ms")};
  EXPECT_TRUE(app::PassesFilter("/data", f));
  EXPECT_TRUE(app::PassesFilter("/DATA/MS/X", f));
  EXPECT_TRUE(app::PassesFilter("/Data/Ms", f));
  EXPECT_FALSE(app::PassesFilter("/other", f));
  EXPECT_TRUE(app::PassesFilter("/other", WalkFilter{false, "/DATA"}));
}

TEST(Walk, JoinPath) {
  EXPECT_EQ(app::JoinPath("/", "a"), "/a");
  EXPECT_EQ(app::JoinPath("/x", "a"), "/x/a");
}

}  // namespace
}  // namespace ledgrix::testing
