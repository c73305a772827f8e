// The in-memory file system loses exactly what a real one may lose at a power cut, and the
// file layer's replace survives every such cut.
#include "tests/support/memory_file_system.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/files.h"
#include "tests/crash/crash_harness.h"

namespace ledgrix::testing {
namespace {

using platform::Path;

Bytes B(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

std::optional<Bytes> After(const MemoryFileSystem::State& s, std::size_t prefix, CrashMode mode,
                           const std::string& key, std::uint32_t seed = 0) {
  MemoryFileSystem rebooted(MemoryFileSystem::Crash(s, prefix, mode, seed));
  return rebooted.Contents(key);
}

void WriteFile(MemoryFileSystem& fs, const Path& path, const std::string& text, bool sync) {
  std::string error;
  auto out = fs.OpenWrite(path, &error);
  ASSERT_TRUE(out) << error;
  ASSERT_TRUE(out->Write(text.data(), text.size()));
  if (sync) {
    ASSERT_TRUE(out->Sync());
  }
  ASSERT_TRUE(out->Close());
}

class MemoryFileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override { fs.AddFile("/d/MASTER", B("old content")); }
  MemoryFileSystem fs;
};

TEST_F(MemoryFileSystemTest, ReadsWhatWasWrittenAndListsTheDirectory) {
  WriteFile(fs, "/d/F1.DAT", "quotes", false);
  fs.AddDirectory("/d/SUB");
  auto in = fs.OpenRead("/d/F1.DAT");
  ASSERT_TRUE(in);
  char buffer[16] = {};
  EXPECT_EQ(in->Read(buffer, sizeof buffer), 6u);
  EXPECT_EQ(std::string(buffer), "quotes");
  EXPECT_TRUE(in->Seek(2));
  EXPECT_EQ(in->Read(buffer, 2), 2u);
  EXPECT_EQ(std::string(buffer, 2), "ot");

  std::vector<std::string> names;
  for (const auto& entry : fs.List("/d/"))
    names.push_back(entry.name + (entry.isDirectory ? "/" : ""));
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"F1.DAT", "MASTER", "SUB/"}));
  EXPECT_TRUE(fs.IsDirectory("/d/SUB"));
  EXPECT_FALSE(fs.Exists("/d/master"));  // case-sensitive, like the disks we run on
  EXPECT_FALSE(fs.OpenRead("/d/none"));
  std::string error;
  EXPECT_FALSE(fs.OpenWrite("/nowhere/x", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(fs.Rename("/d/none", "/d/x"));
  EXPECT_FALSE(fs.Remove("/d/none"));
  EXPECT_FALSE(fs.SyncDirectory("/nowhere"));
}

TEST_F(MemoryFileSystemTest, UnflushedDataIsDroppedKeptOrTorn) {
  WriteFile(fs, "/d/MASTER", "new content that is longer than sixteen bytes", false);
  const auto s = fs.Snapshot();
  EXPECT_EQ(After(s, 0, CrashMode::kDrop, "/d/MASTER"), B("old content"));
  EXPECT_EQ(After(s, 0, CrashMode::kKeep, "/d/MASTER"),
            B("new content that is longer than sixteen bytes"));
  bool mixed = false;
  for (std::uint32_t seed = 1; seed < 20; ++seed) {
    auto torn = After(s, 0, CrashMode::kTear, "/d/MASTER", seed);
    ASSERT_TRUE(torn);
    mixed = mixed || (torn != B("old content") &&
                      torn != B("new content that is longer than sixteen bytes"));
  }
  EXPECT_TRUE(mixed);
}

TEST_F(MemoryFileSystemTest, FlushedDataSurvivesEveryMode) {
  WriteFile(fs, "/d/MASTER", "new", true);
  const auto s = fs.Snapshot();
  for (CrashMode mode : {CrashMode::kDrop, CrashMode::kKeep, CrashMode::kTear}) {
    EXPECT_EQ(After(s, 0, mode, "/d/MASTER", 7), B("new"));
  }
}

TEST_F(MemoryFileSystemTest, NameChangesNeedADirectorySync) {
  WriteFile(fs, "/d/MASTER.NEW", "new", true);
  ASSERT_TRUE(fs.Rename("/d/MASTER.NEW", "/d/MASTER"));
  auto s = fs.Snapshot();
  ASSERT_EQ(s.pending.size(), 2u);  // creation, rename
  EXPECT_EQ(After(s, 0, CrashMode::kKeep, "/d/MASTER"), B("old content"));
  EXPECT_EQ(After(s, 0, CrashMode::kKeep, "/d/MASTER.NEW"), std::nullopt);
  EXPECT_EQ(After(s, 1, CrashMode::kKeep, "/d/MASTER.NEW"), B("new"));
  EXPECT_EQ(After(s, 1, CrashMode::kKeep, "/d/MASTER"), B("old content"));
  EXPECT_EQ(After(s, 2, CrashMode::kKeep, "/d/MASTER"), B("new"));

  ASSERT_TRUE(fs.SyncDirectory("/d"));
  s = fs.Snapshot();
  EXPECT_TRUE(s.pending.empty());
  EXPECT_EQ(After(s, 0, CrashMode::kDrop, "/d/MASTER"), B("new"));
  EXPECT_EQ(After(s, 0, CrashMode::kDrop, "/d/MASTER.NEW"), std::nullopt);
}

TEST_F(MemoryFileSystemTest, ADeletionIsPendingUntilTheDirectorySync) {
  fs.AddFile("/e/F1.DAT", B("quotes"));
  ASSERT_TRUE(fs.Remove("/d/MASTER"));
  ASSERT_TRUE(fs.Remove("/e/F1.DAT"));
  EXPECT_FALSE(fs.Exists("/d/MASTER"));
  ASSERT_TRUE(fs.SyncDirectory("/e"));  // durable in /e only
  const auto s = fs.Snapshot();
  EXPECT_EQ(After(s, 0, CrashMode::kKeep, "/d/MASTER"), B("old content"));
  EXPECT_EQ(After(s, 0, CrashMode::kKeep, "/e/F1.DAT"), std::nullopt);
  EXPECT_EQ(After(s, 1, CrashMode::kKeep, "/d/MASTER"), std::nullopt);
}

TEST_F(MemoryFileSystemTest, ASnapshotDoesNotChangeWithTheFileSystem) {
  const auto s = fs.Snapshot();
  WriteFile(fs, "/d/MASTER", "changed", true);
  EXPECT_EQ(MemoryFileSystem(s.Clone()).Contents("/d/MASTER"), B("old content"));
}

TEST_F(MemoryFileSystemTest, CallsTheHookBeforeEveryChange) {
  int calls = 0;
  fs.SetBeforeChange([&] { ++calls; });
  WriteFile(fs, "/d/X", "x", true);  // open, write, sync
  ASSERT_TRUE(fs.Rename("/d/X", "/d/Y"));
  ASSERT_TRUE(fs.SyncDirectory("/d"));
  ASSERT_TRUE(fs.Remove("/d/Y"));
  (void)fs.Exists("/d/Y");
  (void)fs.List("/d");
  EXPECT_EQ(calls, 6);
  EXPECT_EQ(fs.changeCount(), 6);
}

// The file layer's replace, cut at every step, and each way of getting it wrong.
WritePath ReplaceMaster() {
  WritePath path;
  path.name = "ReplaceFile";
  path.setup = [](MemoryFileSystem& fs) { fs.AddFile("/d/MASTER", B("old master")); };
  path.run = [] {
    return platform::ReplaceFile("/d/MASTER", "MASTER.NEW", B("new master bytes"), "MASTER.BAK")
        .ok();
  };
  return path;
}

TEST(ReplaceFileUnderPowerLoss, KeepsOldOrNewAtEveryCut) {
  const CrashReport report = RunPowerLossTest(ReplaceMaster());
  EXPECT_TRUE(report.reportedSuccess);
  EXPECT_GT(report.statesChecked, 20);
  EXPECT_EQ(report.violations, 0);
  for (const auto& example : report.examples)
    ADD_FAILURE() << example;
}

TEST(ReplaceFileUnderPowerLoss, EveryBrokenVariantIsCaught) {
  for (BrokenReplace variant : {BrokenReplace::kNoFileSync, BrokenReplace::kNoDirectorySync,
                                BrokenReplace::kDeleteBeforeRename}) {
    SCOPED_TRACE(BrokenReplaceName(variant));
    const CrashReport report = RunPowerLossTest(ReplaceMaster(), variant);
    EXPECT_TRUE(report.reportedSuccess);
    EXPECT_GT(report.violations, 0);
  }
}

TEST(GuardedFiles, AreMasterAndQuoteFilesInAnyCase) {
  EXPECT_TRUE(IsGuardedFile("/p/MASTER"));
  EXPECT_TRUE(IsGuardedFile("/p/master"));
  EXPECT_TRUE(IsGuardedFile("/p/F12.DAT"));
  EXPECT_TRUE(IsGuardedFile("/p/f3.dat"));
  EXPECT_FALSE(IsGuardedFile("/p/F1.DOP"));
  EXPECT_FALSE(IsGuardedFile("/p/F1.NEW"));
  EXPECT_FALSE(IsGuardedFile("/p/MASTER.BAK"));
  EXPECT_FALSE(IsGuardedFile("/p/F.DAT"));
  EXPECT_FALSE(IsGuardedFile("/p/FX.DAT"));
}

}  // namespace
}  // namespace ledgrix::testing
