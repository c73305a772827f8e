// export and split-search: the texts they write, to stdout or a file, and the overwrite question.
#include <gtest/gtest.h>

#include "tests/cli/cli_runner.h"

namespace ledgrix::testing {
namespace {

namespace fs = std::filesystem;
using formats::DayFromYmd;

std::string Text(const path& file) {
  const auto bytes = FileBytes(file);
  return std::string(bytes.begin(), bytes.end());
}

class CliExportTest : public ::testing::Test {
 protected:
  void SetUp() override { WriteSamplePortfolio(dir.get()); }
  std::string Dir() const { return dir.get().string(); }
  TempDir dir, outDir;
};

TEST_F(CliExportTest, DefaultsToStdoutSpaceOldestFirst) {
  const CliResult r = RunCli({"export", Dir(), "IBM"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "01/05/98 80.0000 80.5000 79.5000 80.2500 1000.00 50.00\r\n"
            "01/06/98 81.0000 81.5000 80.5000 81.2500 2000.00 50.00\r\n"
            "01/07/98 82.0000 82.5000 81.5000 82.2500 3000.00 50.00\r\n"
            "01/08/98 83.0000 83.5000 82.5000 83.2500 4000.00 50.00\r\n"
            "01/09/98 84.0000 84.5000 83.5000 84.2500 5000.00 50.00\r\n");
  EXPECT_EQ(r.err, "");
}

TEST_F(CliExportTest, FileWithCommaTitleAndColumnsLeftOut) {
  const path file = outDir / "out.txt";
  const CliResult r = RunCli({"export", Dir(), "AAPL", "-o", file.string(), "--delim", "comma",
                              "--title", "--omit", "volume", "--newest-first"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  const std::string text = Text(file);
  EXPECT_EQ(text.substr(0, text.find("\r\n", 30) + 2),
            "DATE,OPEN,HIGH,LOW,CLOSE,OI\r\n01/09/98,24.0000,24.5000,23.5000,24.2500,N/A\r\n");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 6);
}

TEST_F(CliExportTest, EveryColumnLeftOutAndTabs) {
  const CliResult r = RunCli({"export", Dir(), "MSFT", "--omit", "open,high,low,close,volume,oi",
                              "--delim", "TAB", "--title"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "DATE\r\n01/05/98\r\n01/06/98\r\n01/07/98\r\n01/08/98\r\n01/09/98\r\n");
  const CliResult tabs = RunCli({"export", Dir(), "MSFT", "--delim", "tab", "--omit", "volume,oi"});
  EXPECT_EQ(tabs.out.substr(0, tabs.out.find("\r\n")),
            "01/05/98\t100.0000\t100.5000\t99.5000\t100.2500");
}

TEST_F(CliExportTest, ExistingFileIsReplacedOnlyWithYes) {
  const path file = outDir / "keep.txt";
  WriteText(file, "precious\n");
  CliResult r = RunCli({"export", Dir(), "MSFT", "-o", file.string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find(file.string() + "\nThis file already exists\n\nReplace existing file?"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(Text(file), "precious\n");

  r = RunCli({"export", Dir(), "MSFT", "-o", file.string(), "--yes"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Text(file).substr(0, 9), "01/05/98 ");
}

TEST_F(CliExportTest, ReadFailureLeavesAnExistingFileAsItWas) {
  const path file = outDir / "keep.txt";
  WriteText(file, "precious\n");
  fs::remove(dir / "F1.DAT");
  const CliResult r = RunCli({"--yes", "export", Dir(), "MSFT", "-o", file.string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(Text(file), "precious\n");
}

TEST_F(CliExportTest, FileThatCannotBeCreated) {
  const CliResult r =
      RunCli({"export", Dir(), "MSFT", "-o", (outDir / "no" / "such" / "dir.txt").string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("file export error"), std::string::npos) << r.err;
}

// A portfolio with one 2-for-1 split, a flat series and a symbol of one quote.
path WriteSplitPortfolio(const path& dir) {
  SymbolSpec split = Spec(1, "SPL", "SPLIT CO");
  split.quotes = {{DayFromYmd(98, 3, 2), 0, 50, 51, 49, 50, 100, 0},
                  {DayFromYmd(98, 3, 3), 0, 25, 26, 25, 25.1f, 200, 0}};
  SymbolSpec flat = Spec(2, "FLAT", "FLAT CO");
  flat.quotes = MakeDailyQuotes(DayFromYmd(97, 1, 2), 30);
  SymbolSpec one = Spec(3, "ONE", "ONE CO");
  one.quotes = {{DayFromYmd(98, 3, 2), 0, 5, 5, 5, 5, 5, 5}};
  PortfolioBuilder(dir).Add(split).Add(flat).Add(one).Write();
  return dir;
}

TEST(CliSplitSearchTest, ResultLinesToStdoutMessagesToStderr) {
  TempDir dir;
  WriteSplitPortfolio(dir.get());
  const auto before = Snapshot(dir.get());
  const CliResult r = RunCli({"split-search", dir.get().string()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "SPL possible 2 for 1 split on 03/03/98\n");
  EXPECT_EQ(r.err,
            "ledgrix-cli: For symbol ONE\nSplitSearch cannot perform search\n"
            "as there are fewer than 2 quotes.\n");
  EXPECT_EQ(Snapshot(dir.get()), before);
}

TEST(CliSplitSearchTest, NoCandidate) {
  TempDir dir;
  PortfolioBuilder(dir.get())
      .Add(Spec(1, "FLAT", "FLAT", MakeDailyQuotes(DayFromYmd(97, 1, 2), 30)))
      .Write();
  const CliResult r = RunCli({"split-search", dir.get().string()});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("No candidate splits found"), std::string::npos);
}

TEST(CliSplitSearchTest, UnreadableSymbolStopsTheSearch) {
  TempDir dir;
  WriteSplitPortfolio(dir.get());
  fs::remove(dir / "F2.DAT");
  const CliResult r = RunCli({"split-search", dir.get().string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Error in SplitSearch bars read\n  the quotes of FLAT"), std::string::npos)
      << r.err;
}

TEST(CliSplitSearchTest, ResultFileAndItsOverwriteQuestion) {
  TempDir dir, out;
  WriteSplitPortfolio(dir.get());
  const path file = out / "result.txt";
  CliResult r = RunCli({"split-search", dir.get().string(), "-o", file.string()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(Text(file), "SPL possible 2 for 1 split on 03/03/98\n");

  WriteText(file, "old\n");
  r = RunCli({"split-search", dir.get().string(), "-o", file.string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(Text(file), "old\n");
  r = RunCli({"split-search", dir.get().string(), "-o", file.string(), "-y"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(Text(file), "SPL possible 2 for 1 split on 03/03/98\n");
}

}  // namespace
}  // namespace ledgrix::testing
