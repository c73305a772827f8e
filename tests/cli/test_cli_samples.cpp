// Copies of the real sample portfolios corrected with ledgrix-cli, read back through the
// independent reader: names, dates, counts and values agree, EMASTER stays in step, and undo
// takes each correction back to the very bytes; symbols and export --all list each sample whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "tests/cli/cli_runner.h"
#include "tests/support/independent_reader.h"

namespace ledgrix::testing {
namespace {

namespace ind = independent;

const ind::Symbol* Find(const ind::Portfolio& p, const std::string& symbol) {
  const auto it = std::find_if(p.symbols.begin(), p.symbols.end(),
                               [&](const ind::Symbol& s) { return s.symbol == symbol; });
  return it == p.symbols.end() ? nullptr : &*it;
}

// Every index date is its quote file's: the okomarov files are complete.
void ExpectDatesMatchTheFiles(const ind::Portfolio& p) {
  for (const ind::Symbol& s : p.symbols) {
    if (s.quotes.empty())
      continue;
    EXPECT_EQ(s.firstDate, s.quotes.front().date) << s.symbol;
    EXPECT_EQ(s.lastDate, s.quotes.back().date) << s.symbol;
  }
}

TEST(CliOnSamples, CorrectionsReadBackConsistentlyThroughAnIndependentReader) {
  const auto samples = SamplesDir();
  if (!samples)
    GTEST_SKIP() << "sample portfolios not present";
  TempDir tmp;
  const path dir = tmp / "oko";
  CopyWritable(*samples / "okomarov-sampleData", dir);

  const ind::Portfolio before = ind::Read(dir);
  ASSERT_TRUE(before.problems.empty()) << before.problems.front();
  ExpectDatesMatchTheFiles(before);
  const ind::Symbol m1 = before.symbols[0], m2 = before.symbols[1], m3 = before.symbols[2];
  const ind::Symbol x1 = before.symbols[255], x2 = before.symbols[256];
  ASSERT_TRUE(x1.inXmaster && !m1.inXmaster && m3.quotes.size() > 1);
  const std::string d = dir.string();
  const long edited = x1.quotes[x1.quotes.size() / 2].date;
  const std::string split = "Split Data " + m3.symbol + " " + DateText(m3.quotes.back().date);

  const std::vector<std::vector<std::string>> steps = {
      {"split", d, m3.symbol, "--date", DateText(m3.quotes.back().date), "--new", "2", "--old",
       "1"},
      {"rename-symbol", d, m1.symbol, "--symbol", "ABCDEFGHIJKLMN", "--name",
       "A name longer than its sixteen"},
      {"rename-symbol", d, x1.symbol, "--name", "Pubblica utilit\u00E0 s.p.a."},
      {"delete", d, "ABCDEFGHIJKLMN", "--date", DateText(m1.quotes.front().date)},
      {"delete", d, x1.symbol, "--date", DateText(x1.quotes.front().date)},
      {"edit", d, x1.symbol, "--date", DateText(edited), "--close", "123.5"},
      {"remove-symbol", d, m2.symbol},
      {"remove-symbol", d, x2.symbol}};
  std::vector<decltype(Snapshot(dir))> states = {Snapshot(dir, false)};
  for (std::vector<std::string> step : steps) {
    step.push_back("--yes");
    const CliResult r = RunCli(step);
    ASSERT_EQ(r.status, 0) << step[0] << " " << step[2] << ": " << r.err;
    states.push_back(Snapshot(dir, false));
  }

  const ind::Portfolio after = ind::Read(dir);
  EXPECT_TRUE(after.problems.empty()) << after.problems.front();
  ExpectDatesMatchTheFiles(after);
  EXPECT_EQ(after.symbols.size(), before.symbols.size() - 2);
  EXPECT_EQ(after.masterCount, before.masterCount - 1);
  EXPECT_EQ(after.xmasterNext, before.xmasterNext);  // numbers given out are not given again

  const ind::Symbol* renamed = Find(after, "ABCDEFGHIJKLMN");
  ASSERT_NE(renamed, nullptr);
  EXPECT_EQ(renamed->number, m1.number);
  EXPECT_EQ(renamed->name, "A name longer th");
  EXPECT_EQ(renamed->longName, "A name longer than its sixteen");
  EXPECT_EQ(renamed->quotes.size(), m1.quotes.size() - 1);
  EXPECT_EQ(Find(after, m3.symbol)->quotes[0].close, m3.quotes[0].close / 2);
  const ind::Symbol* x = Find(after, x1.symbol);
  ASSERT_NE(x, nullptr);
  EXPECT_EQ(x->name, "Pubblica utilit\xE0 s.p.a.");  // stored in Windows-1252
  ASSERT_EQ(x->quotes.size(), x1.quotes.size() - 1);
  const auto at = std::find_if(x->quotes.begin(), x->quotes.end(),
                               [&](const ind::Quote& q) { return q.date == edited; });
  ASSERT_NE(at, x->quotes.end());
  EXPECT_EQ(at->close, 123.5f);
  EXPECT_EQ(Find(after, m2.symbol), nullptr);
  EXPECT_EQ(Find(after, x2.symbol), nullptr);
  EXPECT_FALSE(std::filesystem::exists(dir / ("F" + std::to_string(m2.number) + ".DAT")));
  EXPECT_FALSE(std::filesystem::exists(dir / ("F" + std::to_string(x2.number) + ".MWD")));

  // ledgrix-cli lists the same symbols, names in UTF-8.
  const CliResult listed = RunCli({"symbols", d});
  EXPECT_EQ(Lines(listed.out).size(), after.symbols.size());
  EXPECT_NE(listed.out.find("ABCDEFGHIJKLMN\tA name longer than its sixteen\n"), std::string::npos);
  EXPECT_NE(listed.out.find("\tPubblica utilit\u00E0 s.p.a.\n"), std::string::npos);

  // One journal step each, newest first; undone one by one, MASTER, EMASTER, XMASTER and the
  // quote files are as they were before each.
  const auto history = Lines(RunCli({"history", d}).out);
  ASSERT_EQ(history.size(), steps.size());
  EXPECT_TRUE(history.front().starts_with("done\t")) << history.front();
  EXPECT_TRUE(history.front().ends_with("\tDelete Symbol " + x2.symbol)) << history.front();
  EXPECT_TRUE(history.back().ends_with("\t" + split)) << history.back();
  for (std::size_t k = states.size() - 1; k > 0; --k) {
    const CliResult r = RunCli({"undo", d});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Snapshot(dir, false), states[k - 1]) << r.out;
  }
  EXPECT_EQ(RunCli({"undo", d}).status, 1);

  // Redone, then another program changes the quote file: the undo is refused.
  ASSERT_EQ(RunCli({"redo", d}).out, "Redo " + split + "\n");
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

// Every symbol of each sample, and with export --all every quote in order, as the independent
// reader finds them; the damaged index files of bbfinance are reported and its MASTER symbols
// still listed.
TEST(CliOnSamples, SymbolsAndExportAllListEveryEntryOfEachSample) {
  const auto samples = SamplesDir();
  if (!samples)
    GTEST_SKIP() << "sample portfolios not present";
  for (const char* name : {"msdir_equis_a", "msdir_equis_b", "okomarov-sampleData"}) {
    const CliResult r = RunCli({"symbols", (*samples / name).string()});
    EXPECT_EQ(r.status, 0) << name;
    EXPECT_EQ(Lines(r.out).size(), ind::Read(*samples / name).symbols.size()) << name;
  }
  CliResult r = RunCli({"symbols", (*samples / "msdir_bbfinance").string()});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(Lines(r.out).size(), 40u);
  EXPECT_NE(r.err.find("EMASTER is out of step with MASTER"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("cannot be used"), std::string::npos) << r.err;

  // MASTER, XMASTER and mixed-case names: every quote of every symbol, in order.
  const path oko = *samples / "okomarov-sampleData";
  r = RunCli({"export", oko.string(), "--all", "--omit", "open,high,low"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::map<std::string, std::vector<std::string>> dates;
  for (const std::string& line : Lines(r.out)) {
    const std::size_t blank = line.find(' ');
    dates[line.substr(0, blank)].push_back(line.substr(blank + 1, 8));
  }
  const ind::Portfolio p = ind::Read(oko);
  ASSERT_EQ(dates.size(), p.symbols.size());
  for (const ind::Symbol& s : p.symbols) {
    std::vector<std::string> expected;
    for (const ind::Quote& q : s.quotes)
      expected.push_back(DateText(q.date));
    EXPECT_EQ(dates[s.symbol], expected) << s.symbol;
  }
}

}  // namespace
}  // namespace ledgrix::testing
