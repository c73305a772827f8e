// The reading commands (portfolios, symbols, facts, quotes), their refusals and the usage errors.
#include <gtest/gtest.h>

#include "platform/paths.h"
#include "tests/cli/cli_runner.h"

namespace ledgrix::testing {
namespace {

namespace fs = std::filesystem;

TEST(CliReadTest, SymbolsSortedIgnoringCaseAsTheGridDoes) {
  TempDir dir;
  PortfolioBuilder(dir.get())
      .Add(Spec(1, "bb", "B"))
      .Add(Spec(2, "AA", "A"))
      .Add(Spec(3, "Ab", "C"))
      .Write();
  const CliResult r = RunCli({"symbols", dir.get().string()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "AA\tA\nAb\tC\nbb\tB\n");
}

// The values as the facts dialog shows them; the labels are the dialog's own table.
TEST(CliReadTest, FactsOfASymbol) {
  TempDir dir;
  const std::string d = WriteSamplePortfolio(dir.get()).string();
  const CliResult r = RunCli({"facts", d, "msft"});
  EXPECT_EQ(r.status, 0) << r.err;
  for (const std::string& line : std::vector<std::string>{
           "Path: " + d + "\n", "File number: 1\n", "Number of quotes: 5\n",
           "Name of issue: MICROSOFT\n", "First date in file: 980105\n", "Long name: \n",
           "\nField  Input        Display\nDate   Whole Num.   Whole Num.\nTime\n"})
    EXPECT_NE(r.out.find(line), std::string::npos) << line << " in:\n" << r.out;
}

TEST(CliReadTest, QuotesNewestFirstWithTheGridsTexts) {
  TempDir dir;
  const std::string d = WriteSamplePortfolio(dir.get()).string();
  CliResult r = RunCli({"quotes", d, "MSFT", "--newest", "2", "--title"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "Date\tOpen\tHigh\tLow\tClose\tVolume\tOpen Interest\n"
            "01/09/98\t104.0000\t104.5000\t103.5000\t104.2500\t5000\t50\n"
            "01/08/98\t103.0000\t103.5000\t102.5000\t103.2500\t4000\t50\n");
  r = RunCli({"quotes", d, "AAPL", "--newest", "1"});
  EXPECT_EQ(r.out, "01/09/98\t24.0000\t24.5000\t23.5000\t24.2500\t5000\tN/A\n");
}

TEST(CliReadTest, LongSeriesListedWholeAcrossWindows) {
  TempDir dir;
  SymbolSpec spec = Spec(1, "LONG", "LONG");
  spec.quotes = MakeDailyQuotes(formats::DayFromYmd(90, 1, 1), 401);
  PortfolioBuilder(dir.get()).Add(spec).Write();
  const CliResult r = RunCli({"quotes", dir.get().string(), "LONG"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 401u);
  for (std::size_t i = 0; i < lines.size(); ++i)
    EXPECT_EQ(lines[i].substr(0, 8), formats::DisplayDate(spec.quotes[400 - i].date)) << i;
}

TEST(CliReadTest, DamagedFilesAndUnknownSymbolsAreRefusedAndLeftAlone) {
  TempDir root;
  const path gone = WriteSamplePortfolio(root / "gone"), bad = root / "bad";
  fs::remove(gone / "F1.DAT");
  fs::create_directories(root / "none");
  PortfolioBuilder(root / "count").Add(Spec(1, "X", "X")).SetCounts(2, 2).Write();
  PortfolioBuilder(root / "blank").Add(Spec(1, " X", "NAMED")).Write();
  SymbolSpec odd = Spec(2, "ODD", "ODD", MakeDailyQuotes(formats::DayFromYmd(90, 1, 1), 3));
  odd.recordLength = 30;  // a length the loader cannot hold
  odd.writeDop = false;
  PortfolioBuilder(bad)
      .Add(Spec(1, "CUT", "CUT", MakeDailyQuotes(formats::DayFromYmd(90, 1, 1), 500)))
      .Add(odd)
      .Write();
  auto bytes = FileBytes(bad / "F1.DAT");
  bytes.resize(bytes.size() - 28 * 300);
  WriteBytes(bad / "F1.DAT", bytes);
  const std::string g = gone.string(), b = bad.string();
  const std::string symbols = "Failure while filling symbols grid";
  ExpectRefusals({{{"symbols", (root / "none").string()}, {symbols, "cannot read"}},
                  {{"symbols", (root / "count").string()}, {symbols, "announces 2 symbols"}},
                  {{"symbols", (root / "blank").string()}, {symbols, "repair"}},
                  {{"facts", g, "NOPE"}, {"Symbol not found"}},
                  {{"facts", g, "MSFT"}, {"The facts of symbol MSFT cannot be shown"}},
                  {{"quotes", b, "CUT"}, {"Error in FillQuotesGrid"}},
                  {{"export", b, "ODD"}, {"layout cannot be determined"}}},
                 {root.get()});
}

// The walk itself is the platform layer's; here the list is absolute, normalised and sorted.
TEST(CliReadTest, PortfoliosListedSortedAndUnreadablePathsReported) {
  TempDir root;
  for (const path& d : {root.get(), root / "b", root / "A" / "deep" / "er"}) {
    fs::create_directories(d);
    PortfolioBuilder(d).SetMasterName(d == root.get() ? "master" : "MASTER").Write();
  }
  fs::create_directories(root / "b" / "empty");
  WriteText(root / "file", "x");
  CliResult r = RunCli({"portfolios", root.get().string() + "/"});
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string base = fs::absolute(root.get()).lexically_normal().string();
  const std::string deep = platform::JoinPath(platform::JoinPath(base, "A"), "deep");
  EXPECT_EQ(r.out, base + "\n" + platform::JoinPath(deep, "er") + "\n" +
                       platform::JoinPath(base, "b") + "\n");

  std::string absent = "No such file or directory", file = "Not a directory";
#ifdef _WIN32
  absent = file = "";  // the system's own words
#endif
  const auto unreadable = [&](const char* name, const std::string& reason) {
    return "cannot read " + platform::JoinPath(base, name) + ": " + reason;
  };
  ExpectRefusals({{{"portfolios", (root / "b" / "empty").string()}, {"No master files found"}},
                  {{"portfolios", (root / "absent").string()},
                   {unreadable("absent", absent), "No master files found"}},
                  {{"portfolios", (root / "file").string()},
                   {unreadable("file", file), "No master files found"}}},
                 {root.get()});
}

// Exit status 2 and the parser's reason; nothing is read or written.
TEST(CliReadTest, UsageErrorsExitWithTwo) {
  TempDir dir, out;
  const std::string d = WriteSamplePortfolio(dir.get()).string();
  WriteText(out / "x.csv", "Date,Close\n1998-01-12,1\n");
  ExpectRefusals(
      {{{}, {"A subcommand is required"}, 2},
       {{"frobnicate"}, {"A subcommand is required"}, 2},
       {{"symbols"}, {"DIR is required"}, 2},
       {{"symbols", d, "extra"}, {"extra"}, 2},
       {{"quotes", d}, {"SYMBOL is required"}, 2},
       {{"quotes", d, "MSFT", "--newest", "-1"}, {"--newest"}, 2},
       {{"quotes", d, "MSFT", "--bogus"}, {"--bogus"}, 2},
       {{"edit", d, "MSFT", "--close", "1"}, {"--date is required"}, 2},
       {{"split", d, "MSFT", "--date", "01/07/98", "--new", "2"}, {"--old is required"}, 2},
       {{"add", d, "MSFT"}, {"--before is required"}, 2},
       {{"export", d}, {"SYMBOL"}, 2},
       {{"export", d, "MSFT", "--delim", "semicolon"}, {"--delim"}, 2},
       {{"export", d, "MSFT", "--omit", "open,date"}, {"date"}, 2},
       {{"export", d, "IBM", "--all"}, {"name a SYMBOL or give --all, not both"}, 2},
       {{"split-search"}, {"DIR is required"}, 2},
       {{"copy-symbol", d, "MSFT"}, {"DEST is required"}, 2},
       {{"rename-symbol", d, "MSFT"}, {"--symbol"}, 2},
       {{"import", d, "IBM", (out / "x.csv").string(), "--merge", "--replace"}, {"excludes"}, 2},
       {{"check", d, "--tick", "0"}, {"--tick"}, 2}},
      {dir.get(), out.get()});
}

}  // namespace
}  // namespace ledgrix::testing
