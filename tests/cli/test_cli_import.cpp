// import and export --all: a portfolio made from text and taken back by undo, a merge into an
// existing symbol, the refusals, and every quote of a real portfolio in one export.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "tests/cli/cli_runner.h"
#include "tests/support/independent_reader.h"

namespace ledgrix::testing {
namespace {

TEST(CliImport, ANewPortfolioFromTextIsExportedWholeAndUndone) {
  TempDir dir, in;
  const path csv = in / "acme.csv";
  WriteText(csv, "Date;Close;Volume\n2014-06-30;1,75;10\n2014-06-27;1,5;20\n");
  const std::string d = (dir / "NEW").string();
  CliResult r = RunCli({"import", d, "acme", csv.string(), "--name", "Acme Café"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Imported 2 quotes into ACME (F1.DAT), a new portfolio\n");

  r = RunCli({"export", d, "--all", "--title", "--delim", "comma", "--omit", "open,high,low"});
  EXPECT_EQ(r.out,
            "SYMBOL,DATE,CLOSE,VOL,OI\r\nACME,06/27/14,1.5000,20.00,N/A\r\n"
            "ACME,06/30/14,1.7500,10.00,N/A\r\n");
  EXPECT_EQ(independent::Read(d).symbols.at(0).longName, "");
  EXPECT_EQ(independent::Read(d).symbols.at(0).name, "Acme Caf\xE9");

  ASSERT_EQ(RunCli({"undo", d}).status, 0);
  EXPECT_TRUE(Snapshot(d).empty());
}

TEST(CliImport, MergeIntoAnExistingSymbolIsOneUndoableStep) {
  TempDir dir, in;
  const std::string d = WriteSamplePortfolio(dir.get()).string();
  const auto before = Snapshot(dir.get());
  const path csv = in / "ibm.txt";
  // Newest first, as the export writes it with --newest-first: one new date, one replaced.
  WriteText(csv, "01/12/98 1 2 1 1.5 100 7\r\n01/09/98 1 2 1 1.25 100 7\r\n");
  ASSERT_EQ(RunCli({"import", d, "IBM", csv.string(), "--merge"}).status, 0);
  const CliResult r = RunCli({"export", d, "IBM", "--newest-first", "--omit", "open,high,low"});
  EXPECT_TRUE(
      r.out.starts_with("01/12/98 1.5000 100.00 7.00\r\n01/09/98 1.2500 100.00 7.00\r\n"
                        "01/08/98 83.2500"))
      << r.out;
  ASSERT_EQ(RunCli({"undo", d}).status, 0);
  // The backups the rewrite keeps stay, as after every other correction.
  auto after = Snapshot(dir.get());
  std::erase_if(after, [](const auto& file) { return file.first.ends_with(".BAK"); });
  EXPECT_EQ(after, before);
}

TEST(CliImport, RefusalsChangeNothing) {
  TempDir dir, in;
  const std::string d = WriteSamplePortfolio(dir.get()).string();
  const path bad = in / "bad.csv";
  WriteText(bad, "Date,Close\n1998-01-05,1\n1998-01-05,2\n1998-01-06,x\n");
  const path good = in / "good.csv";
  WriteText(good, "Date,Close\n1998-01-05,1\n");
  ExpectRefusals(
      {
          {{"import", d, "NEW", bad.string()},
           {"cannot be imported; nothing was written", "line 4: unreadable CLOSE 'x'",
            "line 3: date given twice (also on line 2)"}},
          {{"import", d, "IBM", good.string()}, {"Symbol IBM already exists in"}},
          {{"import", d, "NONE", good.string(), "--replace"}, {"Symbol NONE is not in"}},
          {{"import", d, "IBM", good.string(), "--merge", "--replace"}, {"excludes"}, 2},
          {{"export", d, "IBM", "--all"}, {"name a SYMBOL or give --all, not both"}, 2},
          {{"export", in.get().string(), "--all"}, {"holds no MASTER"}},
      },
      {dir.get(), in.get()});
}

// Every quote of every symbol of a real portfolio (MASTER, XMASTER, mixed-case names), in order,
// as the independent reader finds them.
TEST(CliImport, ExportAllCoversEveryQuoteOfARealPortfolio) {
  const auto samples = SamplesDir();
  if (!samples)
    GTEST_SKIP() << "no sample portfolios";
  const path sample = *samples / "okomarov-sampleData";
  const CliResult r = RunCli({"export", sample.string(), "--all", "--omit", "open,high,low"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::map<std::string, std::vector<std::string>> lines;
  std::istringstream text(r.out);
  for (std::string line; std::getline(text, line);) {
    const std::size_t blank = line.find(' ');
    lines[line.substr(0, blank)].push_back(line.substr(blank + 1, 8));
  }
  const independent::Portfolio p = independent::Read(sample);
  ASSERT_EQ(lines.size(), p.symbols.size());
  for (const independent::Symbol& s : p.symbols) {
    const std::vector<std::string>& dates = lines[s.symbol];
    ASSERT_EQ(dates.size(), s.quotes.size()) << s.symbol;
    for (std::size_t i = 0; i < dates.size(); ++i) {
      const long d = s.quotes[i].date;
      char expected[16];
      std::snprintf(expected, sizeof expected, "%02ld/%02ld/%02ld", d / 100 % 100, d % 100,
                    d / 10000 % 100);
      ASSERT_EQ(dates[i], expected) << s.symbol << " " << i;
    }
  }
}

}  // namespace
}  // namespace ledgrix::testing
