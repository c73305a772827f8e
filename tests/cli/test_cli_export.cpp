// export and split-search: the options reach the export, to stdout or a file, and the refusals.
#include <gtest/gtest.h>

#include "tests/cli/cli_runner.h"

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
      {{"--newest-first"}, false, "01/09/98 84.0000 84.5000 83.5000 84.2500 5000.00 50.00\r\n", 5},
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

// A portfolio with one 2-for-1 split, a flat series and a symbol of one quote.
path WriteSplitPortfolio(const path& dir) {
  PortfolioBuilder(dir)
      .Add(Spec(1, "SPL", "SPLIT CO",
                {{DayFromYmd(98, 3, 2), 0, 50, 51, 49, 50, 100, 0},
                 {DayFromYmd(98, 3, 3), 0, 25, 26, 25, 25.1f, 200, 0}}))
      .Add(Spec(2, "FLAT", "FLAT CO", MakeDailyQuotes(DayFromYmd(97, 1, 2), 30)))
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
  EXPECT_EQ(r.err,
            "ledgrix-cli: For symbol ONE\nSplitSearch cannot perform search\n"
            "as there are fewer than 2 quotes.\n");
  const path file = out / "result.txt";
  r = RunCli({"split-search", d, "-o", file.string()});  // a new file needs no --yes
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(Text(file), found);
  EXPECT_EQ(Snapshot(dir.get()), before);

  TempDir flat;
  PortfolioBuilder(flat.get())
      .Add(Spec(1, "F", "F", MakeDailyQuotes(DayFromYmd(97, 1, 2), 30)))
      .Write();
  r = RunCli({"split-search", flat.get().string()});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("No candidate splits found"), std::string::npos);
}

TEST(CliExportTest, RefusalsAndDamagedFilesLeaveEveryFileAsItWas) {
  TempDir dir, split, out;
  const std::string d = WriteSamplePortfolio(dir.get()).string();
  const std::string s = WriteSplitPortfolio(split.get()).string();
  const std::string file = (out / "keep.txt").string();
  WriteText(file, "precious\n");
  const std::string exists = file + "\nThis file already exists\n\nReplace existing file?";
  const std::string noFile = (out / "no" / "such" / "dir.txt").string();
  ExpectRefusals({{{"export", d, "MSFT", "-o", file}, {exists}},
                  {{"split-search", s, "-o", file}, {exists}},
                  {{"export", d, "MSFT", "-o", noFile}, {"file export error"}},
                  {{"export", d}, {}, 2},
                  {{"split-search"}, {}, 2}},
                 {dir.get(), split.get(), out.get()});
  fs::remove(dir / "F1.DAT");
  fs::remove(split / "F2.DAT");
  ExpectRefusals({{{"--yes", "export", d, "MSFT", "-o", file}, {}},
                  {{"split-search", s}, {"Error in SplitSearch bars read\n  the quotes of FLAT"}}},
                 {dir.get(), split.get(), out.get()});
}

}  // namespace
}  // namespace ledgrix::testing
