// Corrections without the undo journal; check on a copy of a real damaged portfolio and on a
// clean one: its safe fixes change only the files they are for, and undo takes them back. The
// undo of each correction of a real portfolio is tested with the samples.
#include <gtest/gtest.h>

#include "tests/cli/cli_runner.h"

namespace ledgrix::testing {
namespace {

TEST(CliUndo, NothingToTakeBackAndCorrectionsWithoutTheJournal) {
  TempDir dir;
  WriteSamplePortfolio(dir.get());
  const std::string d = dir.get().string();
  ASSERT_EQ(RunCli({"--no-undo", "remove-symbol", d, "IBM", "--yes"}).status, 0);
  EXPECT_EQ(RunCli({"history", d}).out, "");
  ExpectRefusals({{{"undo", d}, {"Nothing to undo"}}, {{"redo", d}, {"Nothing to redo"}}},
                 {dir.get()});
  const CliResult r = RunCli({"remove-symbol", d, "MSFT", "--yes"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Lines(RunCli({"history", d}).out).size(), 1u);
}

bool Holds(const std::string& out, const std::string& text) {
  return out.find(text) != std::string::npos;
}

TEST(CliCheck, NamesTheDamageOfARealPortfolioAndMendsOnlyWhatIsSafe) {
  const auto samples = SamplesDir();
  if (!samples)
    GTEST_SKIP() << "no samples";
  TempDir dir;
  CopyWritable(*samples / "msdir_bbfinance", dir.get());
  const auto before = Snapshot(dir.get());

  const CliResult found = RunCli({"check", dir.get().string()});
  EXPECT_EQ(found.status, 1);
  for (const char* text :
       {"EMASTER\tEMASTER out of step\t", "XMASTER\tindex file unusable\t", "F16.DAT", "F30.DAT",
        "F32.DAT", "F34.DAT", "PVRI\tfirst date wrong\tMASTER says 06/15/98"})
    EXPECT_TRUE(Holds(found.out, text)) << text;

  // No answer on stdin: nothing is fixed.
  EXPECT_EQ(RunCli({"check", dir.get().string(), "--fix"}).out, found.out);
  EXPECT_EQ(Snapshot(dir.get()), before);

  const CliResult fixed = RunCli({"--yes", "check", dir.get().string(), "--fix"});
  EXPECT_EQ(fixed.status, 1) << "the missing files and zero opens are left";
  EXPECT_FALSE(Holds(fixed.out, "out of step") || Holds(fixed.out, "date wrong")) << fixed.out;
  EXPECT_TRUE(Holds(fixed.out, "F30.DAT"));
  for (const auto& [name, bytes] : Snapshot(dir.get())) {
    const auto old = std::find_if(before.begin(), before.end(),
                                  [&](const auto& file) { return file.first == name; });
    if (name == "MASTER" || name == "EMASTER")
      EXPECT_NE(old->second, bytes) << name;
    else if (old != before.end())
      EXPECT_EQ(old->second, bytes) << name << " changed";
    else
      EXPECT_TRUE(name == "MASTER.BAK" || name == "EMASTER.BAK") << name << " is new";
  }

  EXPECT_EQ(RunCli({"undo", dir.get().string()}).status, 0);
  EXPECT_EQ(RunCli({"check", dir.get().string()}).out, found.out);
}

TEST(CliCheck, CleanPortfolioPrintsNothing) {
  TempDir dir;
  WriteSamplePortfolio(dir.get());
  const CliResult r = RunCli({"check", dir.get().string(), "--fix", "--tick", "10"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  ExpectRefusals({{{"check", (dir / "nowhere").string()}, {"is no directory"}}}, {dir.get()});
}

}  // namespace
}  // namespace ledgrix::testing
