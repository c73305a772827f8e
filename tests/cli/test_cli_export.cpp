// export, split-search and import: the options reach the export, to stdout or a file; a portfolio
// made from text and taken back by undo, a merge into an existing symbol; the refusals.
#include <gtest/gtest.h>

#include "tests/cli/cli_runner.h"
#include "tests/support/independent_reader.h"

namespace ledgrix::testing {
namespace {

namespace fs = std::filesystem;
using formats::DayFromYmd;

TEST(CliExportTest, OptionsMapToTheExportWrittenToStdoutOrWithOToAFile) {
  TempDir dir, out;
  const std::string d = WriteSamplePortfolio(dir.get()).string();
  const auto before = Snapshot(dir.get());
  const path file = out / "out.txt";
  WriteText(file, "old\n");
  struct Case {
    std::vector<std::string> options;
    bool toFile;
    std::string head;  // the output's first lines
    int lines;
  } cases[] = {
      {{}, false, "01/05/98 80.0000 80.5000 79.5000 80.2500 1000.00 50.00\r\n", 5},
      {{"--delim", "TAB", "--omit", "Volume,OI"},
       false,
       "01/05/98\t80.0000\t80.5000\t79.5000\t80.2500\r\n",
       5},
      {{"--omit", "open,high,low,close,volume,oi", "--title"}, false, "DATE\r\n01/05/98\r\n", 6},
      // An existing file is replaced with --yes.
      {{"-o", file.string(), "--yes", "--delim", "comma", "--title", "--omit", "volume",
        "--newest-first"},
       true,
       "DATE,OPEN,HIGH,LOW,CLOSE,OI\r\n01/09/98,84.0000,84.5000,83.5000,84.2500,50.00\r\n",
       6},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args{"export", d, "IBM"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    SCOPED_TRACE(::testing::PrintToString(args));
    const CliResult r = RunCli(args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::string text = c.toFile ? Text(file) : r.out;
    EXPECT_TRUE(text.starts_with(c.head)) << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), c.lines);
    EXPECT_EQ(c.toFile ? r.out : Text(file), c.toFile ? "" : "old\n");
  }
  EXPECT_EQ(Snapshot(dir.get()), before);
}

// A portfolio with one 2-for-1 split and a symbol of one quote.
path WriteSplitPortfolio(const path& dir) {
  PortfolioBuilder(dir)
      .Add(Spec(1, "SPL", "SPLIT CO",
                {{DayFromYmd(98, 3, 2), 0, 50, 51, 49, 50, 100, 0},
                 {DayFromYmd(98, 3, 3), 0, 25, 26, 25, 25.1f, 200, 0}}))
      .Add(Spec(3, "ONE", "ONE CO", {{DayFromYmd(98, 3, 2), 0, 5, 5, 5, 5, 5, 5}}))
      .Write();
  return dir;
}

TEST(CliSplitSearchTest, ResultLinesToStdoutOrAFileMessagesToStderr) {
  TempDir dir, out;
  const std::string d = WriteSplitPortfolio(dir.get()).string();
  const auto before = Snapshot(dir.get());
  const std::string found = "SPL possible 2 for 1 split on 03/03/98\n";
  CliResult r = RunCli({"split-search", d});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, found);
  EXPECT_NE(r.err.find("For symbol ONE\nSplitSearch cannot perform search"), std::string::npos);
  const path file = out / "result.txt";
  r = RunCli({"split-search", d, "-o", file.string()});  // a new file needs no --yes
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(Text(file), found);
  EXPECT_EQ(Snapshot(dir.get()), before);

  r = RunCli({"split-search", WriteSamplePortfolio(out / "none").string()});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("No candidate splits found"), std::string::npos);
}

TEST(CliExportTest, RefusalsAndDamagedFilesLeaveEveryFileAsItWas) {
  TempDir dir, out;
  const std::string d = WriteSamplePortfolio(dir.get()).string();
  const std::string file = (out / "keep.txt").string();
  WriteText(file, "precious\n");
  const std::string exists = file + "\nThis file already exists\n\nReplace existing file?";
  const std::string noFile = (out / "no" / "such" / "dir.txt").string();
  ExpectRefusals({{{"export", d, "MSFT", "-o", file}, {exists}},
                  {{"split-search", d, "-o", file}, {exists}},
                  {{"export", d, "MSFT", "-o", noFile}, {"file export error"}}},
                 {dir.get(), out.get()});
  fs::remove(dir / "F2.DAT");
  ExpectRefusals({{{"--yes", "export", d, "IBM", "-o", file}, {}},
                  {{"split-search", d}, {"Error in SplitSearch bars read\n  the quotes of IBM"}}},
                 {dir.get(), out.get()});
}

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
  EXPECT_EQ(Snapshot(dir.get(), false), before);
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
          {{"export", in.get().string(), "--all"}, {"holds no MASTER"}},
      },
      {dir.get(), in.get()});
}

}  // namespace
}  // namespace ledgrix::testing
