// The reading commands (portfolios, symbols, facts, quotes) and the usage errors.
#include <gtest/gtest.h>

#include "platform/paths.h"
#include "tests/cli/cli_runner.h"

namespace ledgrix::testing {
namespace {

namespace fs = std::filesystem;

class CliReadTest : public ::testing::Test {
 protected:
  void SetUp() override { WriteSamplePortfolio(dir.get()); }
  std::string Dir() const { return dir.get().string(); }
  TempDir dir;
};

TEST_F(CliReadTest, SymbolsSortedAsTheGridWithNames) {
  const auto before = Snapshot(dir.get());
  const CliResult r = RunCli({"symbols", Dir()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "AAPL\tAPPLE COMPUTER\nIBM\tINTL BUS MACH\nMSFT\tMICROSOFT\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(Snapshot(dir.get()), before);
}

TEST(CliSymbolsListTest, SortIgnoresCaseAsTheGridDoes) {
  TempDir dir;
  PortfolioBuilder(dir.get())
      .Add(Spec(1, "bb", "B"))
      .Add(Spec(2, "AA", "A"))
      .Add(Spec(3, "Ab", "C"))
      .Write();
  EXPECT_EQ(RunCli({"symbols", dir.get().string()}).out, "AA\tA\nAb\tC\nbb\tB\n");
}

TEST(CliSymbolsListTest, DamagedMastersAreRefusedAndLeftAlone) {
  struct Case {
    const char* what;
    std::function<void(const path&)> make;
    const char* reason;
  };
  const std::vector<Case> cases = {
      {"no MASTER", [](const path& d) { fs::create_directories(d); }, "cannot read"},
      {"header shorter than 53 bytes",
       [](const path& d) { WriteBytes(d / "MASTER", std::vector<std::uint8_t>(20, 0)); },
       "cannot read"},
      {"header count above the records",
       [](const path& d) { PortfolioBuilder(d).Add(Spec(1, "X", "X")).SetCounts(2, 2).Write(); },
       "announces 2 symbols"},
      {"record without a symbol",
       [](const path& d) {
         SymbolSpec spec = Spec(1, " X", "NAMED");
         PortfolioBuilder(d).Add(spec).Write();
       },
       "repair"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    c.make(dir.get());
    const auto before = Snapshot(dir.get());
    const CliResult r = RunCli({"symbols", dir.get().string()});
    EXPECT_EQ(r.status, 1) << c.what;
    EXPECT_EQ(r.out, "") << c.what;
    EXPECT_NE(r.err.find("Failure while filling symbols grid"), std::string::npos) << c.what;
    EXPECT_NE(r.err.find(c.reason), std::string::npos) << c.what << ": " << r.err;
    EXPECT_EQ(Snapshot(dir.get()), before) << c.what;
  }
}

TEST_F(CliReadTest, FactsLabelledAsTheFactsDialog) {
  const CliResult r = RunCli({"facts", Dir(), "msft"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Path: " + Dir() +
                       "\n"
                       "File number: 1\n"
                       "DAT file record length: 28\n"
                       "DAT file number of fields: 7\n"
                       "Number of quotes: 5\n"
                       "Name of issue: MICROSOFT\n"
                       "First date in file: 980105\n"
                       "Last date in file: 980109\n"
                       "Data format: D Daily\n"
                       "Symbol: MSFT\n"
                       "Long name: \n"
                       "Listed in: MASTER\n"
                       "\n"
                       "Field  Input        Display\n"
                       "Date   Whole Num.   Whole Num.\n"
                       "Time\n"
                       "Open   Whole Num.   Whole Num.\n"
                       "High   Whole Num.   Whole Num.\n"
                       "Low    Whole Num.   Whole Num.\n"
                       "Close  Whole Num.   Whole Num.\n"
                       "Vol    Whole Num.   Whole Num.\n"
                       "OI     Whole Num.   Whole Num.\n");
}

TEST_F(CliReadTest, UnknownSymbolIsRefused) {
  for (const char* command : {"facts", "quotes", "export"}) {
    const CliResult r = RunCli({command, Dir(), "NOPE"});
    EXPECT_EQ(r.status, 1) << command;
    EXPECT_NE(r.err.find("Symbol not found"), std::string::npos) << command << r.err;
  }
}

TEST_F(CliReadTest, FactsOfASymbolWhoseFilesAreGone) {
  fs::remove(dir / "F1.DAT");
  const CliResult r = RunCli({"facts", Dir(), "MSFT"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("The facts of symbol MSFT cannot be shown"), std::string::npos) << r.err;
}

TEST_F(CliReadTest, QuotesNewestFirstWithTheGridsTexts) {
  CliResult r = RunCli({"quotes", Dir(), "MSFT", "--newest", "2", "--title"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "Date\tOpen\tHigh\tLow\tClose\tVolume\tOpen Interest\n"
            "01/09/98\t104.0000\t104.5000\t103.5000\t104.2500\t5000\t50\n"
            "01/08/98\t103.0000\t103.5000\t102.5000\t103.2500\t4000\t50\n");
  r = RunCli({"quotes", Dir(), "AAPL"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 5);
  EXPECT_EQ(r.out.substr(0, r.out.find('\n')),
            "01/09/98\t24.0000\t24.5000\t23.5000\t24.2500\t5000\tN/A");
  EXPECT_EQ(r.out.substr(r.out.rfind('\n', r.out.size() - 2) + 1),
            "01/05/98\t20.0000\t20.5000\t19.5000\t20.2500\t1000\tN/A\n");
}

TEST(CliQuotesListTest, LongSeriesListedWholeAcrossWindows) {
  TempDir dir;
  SymbolSpec spec = Spec(1, "LONG", "LONG");
  spec.quotes = MakeDailyQuotes(formats::DayFromYmd(90, 1, 1), 401);
  PortfolioBuilder(dir.get()).Add(spec).Write();
  const CliResult r = RunCli({"quotes", dir.get().string(), "LONG"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> dates;
  std::istringstream lines(r.out);
  for (std::string line; std::getline(lines, line);)
    dates.push_back(line.substr(0, 8));
  ASSERT_EQ(dates.size(), 401u);
  for (std::size_t i = 0; i < dates.size(); ++i)
    EXPECT_EQ(dates[i], formats::DisplayDate(spec.quotes[400 - i].date)) << i;
}

TEST(CliQuotesListTest, QuoteFileCutShortIsReported) {
  TempDir dir;
  SymbolSpec spec = Spec(1, "CUT", "CUT");
  spec.quotes = MakeDailyQuotes(formats::DayFromYmd(90, 1, 1), 500);
  PortfolioBuilder(dir.get()).Add(spec).Write();
  auto bytes = FileBytes(dir / "F1.DAT");
  bytes.resize(bytes.size() - 28 * 300);
  WriteBytes(dir / "F1.DAT", bytes);
  const CliResult r = RunCli({"quotes", dir.get().string(), "CUT"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Error in FillQuotesGrid"), std::string::npos) << r.err;
}

TEST(CliQuotesListTest, RecordLengthTheLoaderCannotHoldIsReported) {
  TempDir dir;
  SymbolSpec spec = Spec(1, "ODD", "ODD", MakeDailyQuotes(formats::DayFromYmd(90, 1, 1), 3));
  spec.recordLength = 30;
  spec.writeDop = false;
  PortfolioBuilder(dir.get()).Add(spec).Write();
  const auto before = Snapshot(dir.get());
  for (const char* command : {"quotes", "export"}) {
    const CliResult r = RunCli({command, dir.get().string(), "ODD"});
    EXPECT_EQ(r.status, 1) << command;
    EXPECT_NE(r.err.find("layout cannot be determined"), std::string::npos) << r.err;
  }
  EXPECT_EQ(RunCli({"adjust", dir.get().string(), "ODD"}).status, 1);
  EXPECT_EQ(Snapshot(dir.get()), before);
}

TEST(CliPortfoliosTest, WalkFindsMastersSortedWithoutDotDirsOrLinks) {
  TempDir root;
  auto master = [](const path& d, const std::string& name = "MASTER") {
    fs::create_directories(d);
    PortfolioBuilder(d).SetMasterName(name).Write();
  };
  master(root.get());
  master(root / "b");
  master(root / "A" / "deep" / "er", "master");
  master(root / ".hidden");
  fs::create_directories(root / "dir-named" / "MASTER");  // a directory is no portfolio
  fs::create_directories(root / "empty");
#ifndef _WIN32  // on Windows the walk's refusal of reparse points is checked by windows-parity.sh
  fs::create_directory_symlink(root / "b", root / "link");  // never followed
#endif
  const CliResult r = RunCli({"portfolios", root.get().string() + "/"});
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string base = fs::absolute(root.get()).lexically_normal().string();
  const std::string deep = platform::JoinPath(platform::JoinPath(base, "A"), "deep");
  EXPECT_EQ(r.out, base + "\n" + platform::JoinPath(deep, "er") + "\n" +
                       platform::JoinPath(base, "b") + "\n");
}

TEST(CliPortfoliosTest, NothingFound) {
  TempDir root;
  fs::create_directories(root / "x");
  const CliResult r = RunCli({"portfolios", root.get().string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("No master files found"), std::string::npos);
}

TEST(CliPortfoliosTest, AMissingPathOrAFileIsReportedAsUnreadable) {
  TempDir root;
  fs::create_directories(root / "dir");
  WriteText(root / "file", "x");
  const std::string base = fs::absolute(root.get()).lexically_normal().string();
  for (auto [name, reason] :
       {std::pair{"absent", "No such file or directory"}, std::pair{"file", "Not a directory"}}) {
#ifdef _WIN32
    reason = "";  // the system's own words
#endif
    const CliResult r = RunCli({"portfolios", (root / name).string()});
    EXPECT_EQ(r.status, 1) << name;
    EXPECT_EQ(r.out, "") << name;
    EXPECT_NE(r.err.find("cannot read " + platform::JoinPath(base, name) + ": " + reason),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("No master files found"), std::string::npos) << r.err;
  }
}

TEST_F(CliReadTest, UsageErrorsExitWithTwo) {
  const std::vector<std::vector<std::string>> usages = {
      {},
      {"frobnicate"},
      {"symbols"},
      {"quotes", Dir()},
      {"quotes", Dir(), "MSFT", "--newest", "-1"},
      {"quotes", Dir(), "MSFT", "--bogus"},
      {"split", Dir(), "MSFT", "--date", "01/07/98", "--new", "2"},
      {"export", Dir(), "MSFT", "--delim", "semicolon"},
      {"export", Dir(), "MSFT", "--omit", "open,date"},
      {"rename-symbol", Dir(), "MSFT"},
      {"symbols", Dir(), "extra"},
  };
  const auto before = Snapshot(dir.get());
  for (const auto& args : usages) {
    const CliResult r = RunCli(args);
    EXPECT_EQ(r.status, 2) << ::testing::PrintToString(args) << r.err;
    EXPECT_EQ(r.out, "");
  }
  EXPECT_EQ(Snapshot(dir.get()), before);
}

TEST(CliHelpTest, HelpOnEverySubCommand) {
  for (const char* command : {"portfolios", "symbols", "facts", "quotes", "edit", "split", "adjust",
                              "add", "delete", "export", "split-search", "repair", "remove-symbol",
                              "copy-symbol", "move-symbol", "rename-symbol"}) {
    const CliResult r = RunCli({command, "--help"});
    EXPECT_EQ(r.status, 0) << command;
    EXPECT_NE(r.out.find("Usage"), std::string::npos) << command;
  }
}

}  // namespace
}  // namespace ledgrix::testing
