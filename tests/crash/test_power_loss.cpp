// Every write path survives a power cut before any of its operations: each index and quote file
// is found complete in its old or new form, and in its new form once the path reported success.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/crash/crash_harness.h"
#include "tests/crash/write_paths.h"

namespace ledgrix::testing {
namespace {

TEST(PowerLoss, EveryWritePathKeepsEachFileOldOrNew) {
  long states = 0;
  int points = 0;
  for (const WritePath& path : AllWritePaths()) {
    SCOPED_TRACE(path.name);
    const CrashReport report = RunPowerLossTest(path);
    EXPECT_TRUE(report.reportedSuccess);
    EXPECT_GT(report.crashPoints, 3);
    EXPECT_GT(report.changedFiles, 0);
    EXPECT_EQ(report.violations, 0);
    for (const std::string& example : report.examples)
      ADD_FAILURE() << example;
    std::printf("%-45s %3d power cuts, %5ld states, %d files changed\n", path.name.c_str(),
                report.crashPoints, report.statesChecked, report.changedFiles);
    states += report.statesChecked;
    points += report.crashPoints;
  }
  std::printf("Power-loss states checked: %ld (%d power cuts)\n", states, points);
  RecordProperty("states", static_cast<int>(states));
}

}  // namespace
}  // namespace ledgrix::testing
