// history, undo and redo on a copy of a real portfolio: corrections made by the CLI are taken
// back one by one to the very bytes, and an outside change to a file refuses the undo. check on
// the same damaged portfolio and on a clean one: its safe fixes change only the files they are
// for, and undo takes them back.
#include <gtest/gtest.h>

#include "tests/cli/cli_runner.h"

namespace ledgrix::testing {
namespace {

// The label column of each history line.
std::vector<std::string> History(const std::string& dir) {
  std::vector<std::string> labels;
  for (const std::string& line : Lines(RunCli({"history", dir}).out))
    labels.push_back(line.substr(0, line.find('\t')) + " " + line.substr(line.rfind('\t') + 1));
  return labels;
}

TEST(CliUndo, CorrectionsOfARealPortfolioAreUndoneOneByOne) {
  const auto samples = SamplesDir();
  if (!samples)
    GTEST_SKIP() << "no sample portfolios";
  TempDir temp;
  const path dir = temp / "P";
  CopyWritable(*samples / "msdir_bbfinance", dir);
  const std::string d = dir.string();

  // Three symbols with at least two quotes, and the newest date of each.
  std::vector<std::pair<std::string, std::string>> picked;
  for (const std::string& line : Lines(RunCli({"symbols", d}).out)) {
    const std::string symbol = line.substr(0, line.find('\t'));
    const auto quotes = Lines(RunCli({"quotes", d, symbol, "--newest", "2"}).out);
    if (quotes.size() == 2)
      picked.emplace_back(symbol, quotes[0].substr(0, 8));
    if (picked.size() == 3)
      break;
  }
  ASSERT_EQ(picked.size(), 3u);
  const auto& [split, splitDate] = picked[0];
  const auto& [deleted, deletedDate] = picked[1];
  const std::string removed = picked[2].first;

  std::vector<decltype(Snapshot(dir, false))> states = {Snapshot(dir, false)};
  const std::vector<std::vector<std::string>> corrections = {
      {"split", d, split, "--date", splitDate, "--new", "2", "--old", "1"},
      {"delete", d, deleted, "--date", deletedDate, "--yes"},
      {"remove-symbol", d, removed, "--yes"}};
  for (const auto& args : corrections) {
    const CliResult r = RunCli(args);
    ASSERT_EQ(r.status, 0) << r.err;
    states.push_back(Snapshot(dir, false));
    ASSERT_NE(states.back(), states[states.size() - 2]);
  }
  EXPECT_EQ(History(d), (std::vector<std::string>{"done Delete Symbol " + removed,
                                                  "done Delete Data " + deleted + " " + deletedDate,
                                                  "done Split Data " + split + " " + splitDate}));

  for (std::size_t k = states.size() - 1; k > 0; --k) {
    const CliResult r = RunCli({"undo", d});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Snapshot(dir, false), states[k - 1]) << r.out;
  }
  EXPECT_EQ(RunCli({"undo", d}).status, 1);

  // Redone, then another program changes the quote file: the undo is refused.
  ASSERT_EQ(RunCli({"redo", d}).out, "Redo Split Data " + split + " " + splitDate + "\n");
  EXPECT_EQ(Snapshot(dir, false), states[1]);
  std::string quoteFile;  // the one file the split changed
  for (std::size_t i = 0; i < states[1].size(); ++i) {
    if (states[1][i] != states[0][i])
      quoteFile = states[1][i].first;
  }
  ASSERT_FALSE(quoteFile.empty());
  std::vector<std::uint8_t> bytes = FileBytes(dir / quoteFile);
  bytes.push_back(0);
  WriteBytes(dir / quoteFile, bytes);
  ExpectRefusals({{{"undo", d}, {"is refused", quoteFile, "Nothing was changed."}}}, {dir});
}

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
