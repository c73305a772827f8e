// The quote commands: what each writes into F<n>.DAT, what it refuses, and what it leaves alone.
#include <gtest/gtest.h>

#include <cstring>

#include "formats/series.h"
#include "tests/cli/cli_runner.h"

namespace ledgrix::testing {
namespace {

namespace fs = std::filesystem;
using formats::DayFromYmd;

// The quotes of symbol, oldest first.
std::vector<Quote> ReadQuotes(const path& dir, const std::string& symbol) {
  formats::QuoteSeries series;
  formats::InitSeries(series, 1000);
  std::vector<Quote> quotes;
  if (formats::LoadSeries(series, dir, symbol, 0, -1) == formats::kOk) {
    for (int k = 0; k < series.count; ++k) {
      const auto i = static_cast<std::size_t>(k);
      quotes.push_back({series.date[i], 0, series.values[0][i], series.values[1][i],
                        series.values[2][i], series.values[3][i], series.values[4][i],
                        series.values[5][i]});
    }
  }
  formats::FreeSeries(series);
  return quotes;
}

bool SameBits(float a, float b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

class CliQuotesTest : public ::testing::Test {
 protected:
  void SetUp() override { WriteSamplePortfolio(dir.get()); }
  std::string Dir() const { return dir.get().string(); }
  // Runs a command that must be refused: status 1, the text on stderr, no file touched.
  void ExpectRefused(const std::vector<std::string>& args, const std::string& text) {
    const auto before = Snapshot(dir.get());
    const CliResult r = RunCli(args);
    EXPECT_EQ(r.status, 1) << ::testing::PrintToString(args) << r.err;
    EXPECT_NE(r.err.find(text), std::string::npos) << ::testing::PrintToString(args) << r.err;
    EXPECT_EQ(Snapshot(dir.get()), before) << ::testing::PrintToString(args);
  }
  TempDir dir;
};

TEST_F(CliQuotesTest, EditSetsTheGivenValuesAndKeepsTheOthers) {
  const auto before = ReadQuotes(dir.get(), "MSFT");
  const auto otherSymbol = FileBytes(dir / "F2.DAT");
  const auto master = FileBytes(dir / "MASTER");
  const CliResult r =
      RunCli({"edit", Dir(), "MSFT", "--date", "01/07/98", "--close", "99.5", "--volume", "7"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  const auto after = ReadQuotes(dir.get(), "MSFT");
  ASSERT_EQ(after.size(), 5u);
  for (std::size_t i = 0; i < 5; ++i) {
    const bool edited = i == 2;
    EXPECT_EQ(after[i].date, before[i].date);
    EXPECT_EQ(after[i].open, before[i].open);
    EXPECT_EQ(after[i].close, edited ? 99.5f : before[i].close) << i;
    EXPECT_EQ(after[i].volume, edited ? 7.0f : before[i].volume) << i;
    EXPECT_EQ(after[i].openInterest, before[i].openInterest);
  }
  EXPECT_TRUE(fs::exists(dir / "F1.BAK"));
  EXPECT_EQ(FileBytes(dir / "F2.DAT"), otherSymbol);
  EXPECT_EQ(FileBytes(dir / "MASTER"), master);
}

// Values the grid would round (four decimals, whole volumes) stay exactly as stored.
TEST(CliEditTest, ValuesNotGivenKeepEveryBit) {
  TempDir dir;
  SymbolSpec spec = Spec(1, "ODD", "ODD");
  spec.quotes = {{DayFromYmd(98, 1, 5), 0, 10.123456f, 11.98765f, 9.55555f, 10.5f, 1500.7f, 3.3f}};
  PortfolioBuilder(dir.get()).Add(spec).Write();
  const CliResult r =
      RunCli({"edit", dir.get().string(), "ODD", "--date", "01/05/98", "--close", "11"});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto after = ReadQuotes(dir.get(), "ODD");
  ASSERT_EQ(after.size(), 1u);
  EXPECT_TRUE(SameBits(after[0].open, 10.123456f));
  EXPECT_TRUE(SameBits(after[0].high, 11.98765f));
  EXPECT_TRUE(SameBits(after[0].low, 9.55555f));
  EXPECT_EQ(after[0].close, 11.0f);
  EXPECT_TRUE(SameBits(after[0].volume, 1500.7f));
  EXPECT_TRUE(SameBits(after[0].openInterest, 3.3f));
}

TEST_F(CliQuotesTest, EditRefusals) {
  const std::string d = Dir();
  ExpectRefused({"edit", d, "MSFT", "--date", "01/10/98", "--close", "1"}, "Invalid Data Entered");
  ExpectRefused({"edit", d, "MSFT", "--date", "01/04/98", "--close", "1"}, "outside");
  ExpectRefused({"edit", d, "MSFT", "--date", "1/7/98", "--close", "1"}, "MM/DD/YY");
  ExpectRefused({"edit", d, "MSFT", "--date", "01/07/98", "--open", "-5"}, "only digits");
  ExpectRefused({"edit", d, "MSFT", "--date", "01/07/98", "--open", "1e3"}, "only digits");
  ExpectRefused({"edit", d, "MSFT", "--date", "01/07/98", "--open", "12345678901234567"},
                "at most 16");
  ExpectRefused({"edit", d, "MSFT", "--date", "01/07/98", "--high", "."}, "holds no number");
}

TEST_F(CliQuotesTest, EditOfAFieldTheFileLacksIsIgnoredWithANote) {
  const CliResult r =
      RunCli({"edit", Dir(), "AAPL", "--date", "01/05/98", "--oi", "9", "--open", "1"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("--oi ignored"), std::string::npos);
  const auto after = ReadQuotes(dir.get(), "AAPL");
  EXPECT_EQ(after[0].open, 1.0f);
  EXPECT_EQ(after[0].openInterest, -1.0f);
}

TEST_F(CliQuotesTest, SplitScalesTheQuotesBeforeItsDate) {
  const auto before = ReadQuotes(dir.get(), "MSFT");
  const CliResult r =
      RunCli({"split", Dir(), "MSFT", "--date", "01/07/98", "--new", "2", "--old", "1"});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto after = ReadQuotes(dir.get(), "MSFT");
  for (std::size_t i = 0; i < 5; ++i) {
    const float price = i < 2 ? 0.5f : 1.0f;
    const float volume = i < 2 ? 2.0f : 1.0f;
    EXPECT_EQ(after[i].open, before[i].open * price) << i;
    EXPECT_EQ(after[i].close, before[i].close * price) << i;
    EXPECT_EQ(after[i].volume, before[i].volume * volume) << i;
    EXPECT_EQ(after[i].openInterest, before[i].openInterest * volume) << i;
  }
}

TEST_F(CliQuotesTest, SplitRefusalsNameEveryReason) {
  const std::string d = Dir();
  ExpectRefused({"split", d, "MSFT", "--date", "01/07/98", "--new", "0", "--old", "1"},
                "a factor of 0");
  ExpectRefused({"split", d, "MSFT", "--date", "01/12/98", "--new", "2", "--old", "1"}, "outside");
  ExpectRefused({"split", d, "MSFT", "--date", "01/07/98", "--new", "123456", "--old", "1"},
                "at most 5");
  const CliResult r =
      RunCli({"split", d, "MSFT", "--date", "01/01/98", "--new", "0", "--old", "x"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Invalid Data Entered\n  --date"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("--new: a factor of 0"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("--old \"x\""), std::string::npos) << r.err;
}

TEST_F(CliQuotesTest, AdjustDefaultsToTheWholeSeriesTimesOne) {
  const auto before = ReadQuotes(dir.get(), "MSFT");
  ASSERT_EQ(RunCli({"adjust", Dir(), "MSFT"}).status, 0);
  EXPECT_TRUE(fs::exists(dir / "F1.BAK"));  // rewritten all the same
  const auto after = ReadQuotes(dir.get(), "MSFT");
  for (std::size_t i = 0; i < 5; ++i)
    EXPECT_EQ(after[i].close, before[i].close);
}

TEST_F(CliQuotesTest, AdjustScalesTheRangeInclusive) {
  const auto before = ReadQuotes(dir.get(), "MSFT");
  const CliResult r = RunCli({"adjust", Dir(), "MSFT", "--from", "01/06/98", "--to", "01/07/98",
                              "--price", "0.5", "--oi", "3"});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto after = ReadQuotes(dir.get(), "MSFT");
  for (std::size_t i = 0; i < 5; ++i) {
    const bool in = i == 1 || i == 2;
    EXPECT_EQ(after[i].high, before[i].high * (in ? 0.5f : 1.0f)) << i;
    EXPECT_EQ(after[i].volume, before[i].volume) << i;
    EXPECT_EQ(after[i].openInterest, before[i].openInterest * (in ? 3.0f : 1.0f)) << i;
  }
}

TEST_F(CliQuotesTest, AdjustRefusals) {
  const std::string d = Dir();
  ExpectRefused({"adjust", d, "MSFT", "--volume", "0"}, "a factor of 0");
  ExpectRefused({"adjust", d, "MSFT", "--oi", "abc"}, "holds no number");
  ExpectRefused({"adjust", d, "MSFT", "--to", "02/01/98"}, "outside");
  ExpectRefused({"adjust", d, "MSFT", "--price", "123456789"}, "at most 8");
}

TEST_F(CliQuotesTest, AddFillsTheMissingWeekdayWithACopy) {
  // Drop Tuesday, then add it back in front of Wednesday.
  ASSERT_EQ(RunCli({"--yes", "delete", Dir(), "MSFT", "--date", "01/06/98"}).status, 0);
  const auto before = ReadQuotes(dir.get(), "MSFT");
  ASSERT_EQ(before.size(), 4u);
  const CliResult r = RunCli({"add", Dir(), "MSFT", "--before", "01/07/98"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "01/06/98\n");
  const auto after = ReadQuotes(dir.get(), "MSFT");
  ASSERT_EQ(after.size(), 5u);
  EXPECT_EQ(after[1].date, DayFromYmd(98, 1, 6));
  EXPECT_EQ(after[1].close, before[1].close);  // a copy of Wednesday
  EXPECT_EQ(after[2].date, DayFromYmd(98, 1, 7));
}

TEST(CliAddTest, MondayGetsTheFridayBefore) {
  TempDir dir;
  SymbolSpec spec = Spec(1, "X", "X");
  spec.quotes = {{DayFromYmd(98, 1, 1), 0, 1, 1, 1, 1, 1, 1},
                 {DayFromYmd(98, 1, 5), 0, 2, 2, 2, 2, 2, 2}};
  PortfolioBuilder(dir.get()).Add(spec).Write();
  const CliResult r = RunCli({"add", dir.get().string(), "X", "--before", "01/05/98"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "01/02/98\n");
  EXPECT_EQ(ReadQuotes(dir.get(), "X").size(), 3u);
}

TEST_F(CliQuotesTest, AddRefusals) {
  const std::string d = Dir();
  ExpectRefused({"add", d, "MSFT", "--before", "01/07/98"}, "Date 01/06/98 already exists.");
  ExpectRefused({"add", d, "MSFT", "--before", "01/05/98"}, "oldest quote");
  ExpectRefused({"add", d, "MSFT", "--before", "01/12/98"}, "Invalid Data Entered");
}

TEST(CliAddTest, WeekendQuoteIsRefused) {
  TempDir dir;
  SymbolSpec spec = Spec(1, "X", "X");
  spec.quotes = {{DayFromYmd(98, 1, 2), 0, 1, 1, 1, 1, 1, 1},
                 {DayFromYmd(98, 1, 3), 0, 2, 2, 2, 2, 2, 2},
                 {DayFromYmd(98, 1, 5), 0, 3, 3, 3, 3, 3, 3}};
  PortfolioBuilder(dir.get()).Add(spec).Write();
  const auto before = Snapshot(dir.get());
  const CliResult r = RunCli({"add", dir.get().string(), "X", "--before", "01/03/98"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("The quote of 01/03/98 is not dated on a weekday."), std::string::npos)
      << r.err;
  EXPECT_EQ(Snapshot(dir.get()), before);
}

TEST_F(CliQuotesTest, DeleteAsksAndNeedsYesWithoutATerminal) {
  const auto before = Snapshot(dir.get());
  CliResult r = RunCli({"delete", Dir(), "MSFT", "--date", "01/07/98"}, "y\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("You are about to delete the data for date\n01/07/98\nAre you sure?"),
            std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("--yes"), std::string::npos);
  EXPECT_EQ(Snapshot(dir.get()), before);

  r = RunCli({"delete", Dir(), "MSFT", "--date", "01/07/98", "--yes"});
  EXPECT_EQ(r.status, 0) << r.err;
  const auto after = ReadQuotes(dir.get(), "MSFT");
  ASSERT_EQ(after.size(), 4u);
  EXPECT_EQ(after[2].date, DayFromYmd(98, 1, 8));
}

TEST_F(CliQuotesTest, DeleteOfADayNotInTheFileIsRefusedBeforeAsking) {
  ASSERT_EQ(RunCli({"--yes", "delete", Dir(), "MSFT", "--date", "01/07/98"}).status, 0);
  ExpectRefused({"--yes", "delete", Dir(), "MSFT", "--date", "01/07/98"},
                "MSFT has no quote dated 01/07/98");
  ExpectRefused({"--yes", "delete", Dir(), "MSFT", "--date", "01/10/98"}, "outside");
}

TEST_F(CliQuotesTest, FailedRewriteReportsAndLeavesTheQuoteFile) {
  // The work file's name is taken by a directory that cannot be replaced.
  fs::create_directories(dir / "F1.NEW" / "keep");
  ExpectRefused({"split", Dir(), "MSFT", "--date", "01/07/98", "--new", "2", "--old", "1"},
                "Split Edit Failed");
}

TEST_F(CliQuotesTest, MissingQuoteFileIsReportedForEveryQuoteCommand) {
  fs::remove(dir / "F1.DAT");
  const std::string d = Dir();
  ExpectRefused({"edit", d, "MSFT", "--date", "01/07/98", "--close", "1"},
                "Error in FillQuotesGrid");
  ExpectRefused({"adjust", d, "MSFT"}, "Error in FillQuotesGrid");
  ExpectRefused({"--yes", "delete", d, "MSFT", "--date", "01/07/98"}, "Error in FillQuotesGrid");
}

// Intraday data: three quotes on 01/05/98, one on 01/06/98.
TEST(CliIntradayTest, EditAndDeleteWorkOnWholeDaysOnly) {
  TempDir dir;
  SymbolSpec spec = Spec(1, "TICK", "TICKS");
  spec.periodicity = 'I';
  spec.fields = {formats::kDate, formats::kTime,  formats::kOpen, formats::kHigh,
                 formats::kLow,  formats::kClose, formats::kVol};
  const formats::QuoteDate mon = DayFromYmd(98, 1, 5);
  for (const int hour : {10, 11, 12}) {
    const auto time = static_cast<formats::QuoteTime>(hour * 1800);
    spec.quotes.push_back({mon, time, 5, 6, 4, 5, 100, 0});
  }
  spec.quotes.push_back({static_cast<formats::QuoteDate>(mon + 1), 18000, 7, 8, 6, 7, 200, 0});
  PortfolioBuilder(dir.get()).Add(spec).Write();
  const std::string d = dir.get().string();
  const auto before = Snapshot(dir.get());
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"edit", d, "TICK", "--date", "01/05/98", "--close", "9"},
        std::vector<std::string>{"--yes", "delete", d, "TICK", "--date", "01/05/98"}}) {
    const CliResult r = RunCli(args);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("works on whole days, and 01/05/98 holds 3 quotes (intraday "
                         "data).\nNothing was changed."),
              std::string::npos)
        << r.err;
  }
  EXPECT_EQ(Snapshot(dir.get()), before);

  const CliResult r = RunCli({"edit", d, "TICK", "--date", "01/06/98", "--close", "9"});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto after = ReadQuotes(dir.get(), "TICK");
  ASSERT_EQ(after.size(), 4u);
  EXPECT_EQ(after[3].close, 9.0f);
  EXPECT_EQ(after[3].open, 7.0f);
  EXPECT_EQ(after[2].close, 5.0f);
}

TEST(CliQuotesEmptyTest, SymbolWithoutQuotesIsRefused) {
  TempDir dir;
  PortfolioBuilder(dir.get()).Add(Spec(1, "E", "E")).Write();
  const CliResult r = RunCli({"adjust", dir.get().string(), "E"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("has no quotes"), std::string::npos) << r.err;
  EXPECT_EQ(RunCli({"quotes", dir.get().string(), "E"}).status, 0);
}

}  // namespace
}  // namespace ledgrix::testing
