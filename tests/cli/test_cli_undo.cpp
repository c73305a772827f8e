// history, undo and redo on a copy of a real portfolio: corrections made by the CLI are taken
// back one by one to the very bytes, and an outside change to a file refuses the undo.
#include <gtest/gtest.h>

#include <sstream>

#include "tests/cli/cli_runner.h"

namespace ledgrix::testing {
namespace {

namespace fs = std::filesystem;

// The portfolio's files without the backups the corrections leave.
std::vector<std::pair<std::string, std::vector<std::uint8_t>>> DataFiles(const path& dir) {
  auto files = Snapshot(dir);
  std::erase_if(files, [](const auto& file) {
    const std::string name = file.first;
    return name.size() > 4 && (name.ends_with(".BAK") || name.ends_with(".bak"));
  });
  return files;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

// The label column of each history line.
std::vector<std::string> History(const std::string& dir) {
  std::vector<std::string> labels;
  for (const std::string& line : Lines(RunCli({"history", dir}).out))
    labels.push_back(line.substr(0, line.find('\t')) + " " + line.substr(line.rfind('\t') + 1));
  return labels;
}

// A copy of a real sample portfolio in dir, writable; false when the samples are absent.
bool CopySample(const std::string& sample, const path& dir) {
  const auto samples = SamplesDir();
  if (!samples || !fs::exists(*samples / sample))
    return false;
  fs::copy(*samples / sample, dir, fs::copy_options::recursive);
  fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add);
  // Windows refuses to replace a read-only file.
  for (const auto& entry : fs::recursive_directory_iterator(dir))
    fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add);
  return true;
}

TEST(CliUndo, CorrectionsOfARealPortfolioAreUndoneOneByOne) {
  TempDir temp;
  const path dir = temp / "P";
  if (!CopySample("msdir_bbfinance", dir))
    GTEST_SKIP() << "no sample portfolios";
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

  std::vector<decltype(DataFiles(dir))> states = {DataFiles(dir)};
  const std::vector<std::vector<std::string>> corrections = {
      {"split", d, split, "--date", splitDate, "--new", "2", "--old", "1"},
      {"delete", d, deleted, "--date", deletedDate, "--yes"},
      {"remove-symbol", d, removed, "--yes"}};
  for (const auto& args : corrections) {
    const CliResult r = RunCli(args);
    ASSERT_EQ(r.status, 0) << r.err;
    states.push_back(DataFiles(dir));
    ASSERT_NE(states.back(), states[states.size() - 2]);
  }
  EXPECT_EQ(History(d), (std::vector<std::string>{"done Delete Symbol " + removed,
                                                  "done Delete Data " + deleted + " " + deletedDate,
                                                  "done Split Data " + split + " " + splitDate}));

  for (std::size_t k = states.size() - 1; k > 0; --k) {
    const CliResult r = RunCli({"undo", d});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(DataFiles(dir), states[k - 1]) << r.out;
  }
  EXPECT_EQ(RunCli({"undo", d}).status, 1);

  // Redone, then another program changes the quote file: the undo is refused.
  ASSERT_EQ(RunCli({"redo", d}).out, "Redo Split Data " + split + " " + splitDate + "\n");
  EXPECT_EQ(DataFiles(dir), states[1]);
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

// In a portfolio with EMASTER and XMASTER, removing the first symbol and renaming the last reach
// every index file that lists them; both are undone to the very bytes.
TEST(CliUndo, ARemovalAndARenameInAnExtendedIndexAreUndone) {
  TempDir temp;
  const path dir = temp / "P";
  if (!CopySample("msdir_equis_b", dir))
    GTEST_SKIP() << "no sample portfolios";
  const std::string d = dir.string();
  const auto symbols = Lines(RunCli({"symbols", d}).out);
  ASSERT_GE(symbols.size(), 2u);
  const auto before = DataFiles(dir);
  const std::string first = symbols.front().substr(0, symbols.front().find('\t'));
  const std::string last = symbols.back().substr(0, symbols.back().find('\t'));
  for (const auto& args :
       {std::vector<std::string>{"remove-symbol", d, first, "--yes"},
        std::vector<std::string>{"rename-symbol", d, last, "--name", "RENAMED"}}) {
    const CliResult r = RunCli(args);
    ASSERT_EQ(r.status, 0) << r.err;
  }
  ASSERT_NE(DataFiles(dir), before);
  for (int k = 0; k < 2; ++k)
    ASSERT_EQ(RunCli({"undo", d}).status, 0);
  EXPECT_EQ(DataFiles(dir), before);
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

}  // namespace
}  // namespace ledgrix::testing
