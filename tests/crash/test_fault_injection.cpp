// Every write path of the power-loss tests run once for every file operation that can fail, as
// one step of the undo journal: whatever fails, every index and quote file holds its complete old
// or complete new bytes, a run that did not complete says so, no work file is left behind, the
// journal holds a step exactly when a file changed, and that step can be undone and redone; after
// a run that completed EMASTER is in step with MASTER. Undo and redo themselves run under the
// same faults. A folder sync that fails after a file was put in place leaves that change made:
// the operation goes on and reports success, and only a portfolio folder's failed sync is
// reported to the user.
#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>
#include <vector>

#include "platform/files.h"
#include "tests/crash/write_paths.h"
#include "tests/support/failing_file_system.h"
#include "tests/support/fixture.h"
#include "tests/support/independent_reader.h"

namespace ledgrix::testing {
namespace {

using std::filesystem::path;

bool InPortfolios(const std::string& key) {
  return key.rfind(PortfolioRoot().generic_string() + "/", 0) == 0;
}

// What an independent reader finds wrong with EMASTER in the portfolios of files.
std::vector<std::string> EmasterProblems(const FileMap& files) {
  TempDir copy;
  std::set<path> portfolios;
  for (const auto& [key, content] : files) {
    if (!InPortfolios(key) || !content)
      continue;
    const path file = copy / key.substr(PortfolioRoot().generic_string().size() + 1);
    std::filesystem::create_directories(file.parent_path());
    WriteBytes(file, *content);
    portfolios.insert(file.parent_path());
  }
  std::vector<std::string> problems;
  for (const path& dir : portfolios) {
    for (const std::string& problem : independent::Read(dir).problems) {
      if (problem.find("EMASTER") != std::string::npos)
        problems.push_back(problem);
    }
  }
  return problems;
}

struct Case {
  WritePath path;
  bool countReads;
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << c.path.name;
}

class FaultInjectionTest : public ::testing::TestWithParam<Case> {};

TEST_P(FaultInjectionTest, EveryFileHoldsItsOldOrItsNewContent) {
  const WritePath& writePath = GetParam().path;
  MemoryFileSystem start;
  writePath.setup(start);
  const FileMap before = Files(start.state());
  MemoryFileSystem clean(start.Snapshot());
  {
    platform::ScopedFileSystem installed(clean);
    ASSERT_TRUE(writePath.run()) << "the operation fails without any fault";
  }
  const FileMap after = Files(clean.state());
  ASSERT_NE(FirstDifference(before, after, false), "") << "the operation changes nothing";
  EXPECT_EQ(EmasterProblems(after), std::vector<std::string>());

  int faults = 0;
  bool completed = false;
  for (int k = 1; k < 1000 && !completed; ++k) {
    MemoryFileSystem fs(start.Snapshot());
    FailingFileSystem failing(fs, k);
    failing.setCountReads(GetParam().countReads);
    bool ok = false;
    {
      platform::ScopedFileSystem installed(failing);
      ok = writePath.run();
    }
    const FileMap now = Files(fs.state());
    SCOPED_TRACE("fault at operation " + std::to_string(k) + ": " + failing.failedOperation());
    // The journal's own folders are no news for the user; a portfolio folder's are.
    const bool syncFailed = failing.failedOperation() == "sync folder";
    const path inPortfolios = failing.failedPath().lexically_relative(PortfolioRoot());
    const bool portfolioSyncFailed =
        syncFailed && !inPortfolios.empty() && *inPortfolios.begin() != "..";
    EXPECT_EQ(!platform::TakeUnconfirmedChanges().empty(), portfolioSyncFailed);
    if (syncFailed && !(portfolioSyncFailed && writePath.stopsWhenUnconfirmed)) {
      EXPECT_TRUE(ok) << "a change that is in place was reported as a failure";
    }
    completed = !failing.failed();
    EXPECT_TRUE(ok || !completed);
    if (ok) {
      EXPECT_EQ(FirstDifference(now, after, false, {&before}), "")
          << "success reported, but not every file holds its new content";
    }
    if (completed)
      continue;
    ++faults;
    EXPECT_EQ(NeitherOldNorNew(now, before, after, false), "");
    for (const auto& entry : now) {
      if (InPortfolios(entry.first) && !before.count(entry.first) && !after.count(entry.first))
        ADD_FAILURE() << "work file left: " << entry.first;
    }
    if (writePath.invariant) {
      EXPECT_EQ(writePath.invariant(now, before, after), "");
    }
    EXPECT_EQ(writePath.recovery(fs.state(), true, before, after), "");
  }
  EXPECT_TRUE(completed);
  EXPECT_GT(faults, 0);
}

std::vector<Case> Cases() {
  std::vector<Case> cases;
  for (bool reads : {false, true}) {
    for (const WritePath& path : AllWritePaths())
      cases.push_back({path, reads});
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(WritePaths, FaultInjectionTest, ::testing::ValuesIn(Cases()),
                         [](const auto& tp) {
                           std::string name = tp.param.path.name;
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c)))
                               c = '_';
                           }
                           return name + (tp.param.countReads ? "_ReadsToo" : "_Writes");
                         });

}  // namespace
}  // namespace ledgrix::testing
