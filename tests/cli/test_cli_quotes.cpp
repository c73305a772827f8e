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

// X: a Saturday quote between Friday and Monday; TICK: three intraday quotes on 01/05/98 and one
// on 01/06/98; E: no quotes; OLD: Sunday 01/01/61 and Monday 01/02/61, which has no weekday
// before it.
void WriteOddPortfolio(const path& dir) {
  const formats::QuoteDate mon = DayFromYmd(98, 1, 5);
  SymbolSpec tick = Spec(2, "TICK", "TICKS");
  tick.periodicity = 'I';
  tick.fields = {formats::kDate, formats::kTime,  formats::kOpen, formats::kHigh,
                 formats::kLow,  formats::kClose, formats::kVol};
  for (const int hour : {10, 11, 12})
    tick.quotes.push_back({mon, static_cast<formats::QuoteTime>(hour * 1800), 5, 6, 4, 5, 100, 0});
  tick.quotes.push_back({static_cast<formats::QuoteDate>(mon + 1), 18000, 7, 8, 6, 7, 200, 0});
  PortfolioBuilder(dir)
      .Add(Spec(1, "X", "X",
                {{DayFromYmd(98, 1, 2), 0, 1, 1, 1, 1, 1, 1},
                 {DayFromYmd(98, 1, 3), 0, 2, 2, 2, 2, 2, 2},
                 {mon, 0, 3, 3, 3, 3, 3, 3}}))
      .Add(tick)
      .Add(Spec(3, "E", "E"))
      .Add(Spec(4, "OLD", "OLD",
                {{DayFromYmd(61, 1, 1), 0, 1, 1, 1, 1, 1, 1},
                 {DayFromYmd(61, 1, 2), 0, 2, 2, 2, 2, 2, 2}}))
      .Write();
}

class CliQuotesTest : public ::testing::Test {
 protected:
  void SetUp() override { WriteSamplePortfolio(dir.get()); }
  // Runs a command that must succeed; the quotes of MSFT after it.
  std::vector<Quote> Msft(const std::vector<std::string>& args) {
    const CliResult r = RunCli(args);
    EXPECT_EQ(r.status, 0) << r.err;
    return ReadQuotes(dir.get(), "MSFT");
  }
  TempDir dir;
  const std::string d = dir.get().string();
};

TEST_F(CliQuotesTest, EditSetsTheGivenValuesAndKeepsTheOthers) {
  const auto before = ReadQuotes(dir.get(), "MSFT");
  const auto otherSymbol = FileBytes(dir / "F2.DAT");
  const auto master = FileBytes(dir / "MASTER");
  const auto after =
      Msft({"edit", d, "MSFT", "--date", "01/07/98", "--close", "99.5", "--volume", "7"});
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
  // A field the file lacks is ignored with a note.
  const CliResult r = RunCli({"edit", d, "AAPL", "--date", "01/05/98", "--oi", "9", "--open", "1"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("--oi ignored"), std::string::npos);
  EXPECT_EQ(ReadQuotes(dir.get(), "AAPL")[0].open, 1.0f);
  EXPECT_EQ(ReadQuotes(dir.get(), "AAPL")[0].openInterest, -1.0f);
}

// Values the grid would round (four decimals, whole volumes) stay exactly as stored; so does a
// day of intraday data that holds one quote.
TEST(CliEditTest, ValuesNotGivenKeepEveryBitAndAnIntradayDayOfOneQuoteIsEdited) {
  TempDir dir;
  const Quote odd{DayFromYmd(98, 1, 5), 0, 10.123456f, 11.98765f, 9.55555f, 10.5f, 1500.7f, 3.3f};
  PortfolioBuilder(dir.get()).Add(Spec(1, "ODD", "ODD", {odd})).Write();
  WriteOddPortfolio(dir / "x");
  const std::string d = dir.get().string();
  ASSERT_EQ(RunCli({"edit", d, "ODD", "--date", "01/05/98", "--close", "11"}).status, 0);
  ASSERT_EQ(RunCli({"edit", d + "/x", "TICK", "--date", "01/06/98", "--close", "9"}).status, 0);
  const Quote after = ReadQuotes(dir.get(), "ODD").at(0);
  auto same = [](float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; };
  EXPECT_TRUE(same(after.open, odd.open) && same(after.high, odd.high) && same(after.low, odd.low));
  EXPECT_EQ(after.close, 11.0f);
  EXPECT_TRUE(same(after.volume, odd.volume) && same(after.openInterest, odd.openInterest));
  const auto tick = ReadQuotes(dir / "x", "TICK");
  ASSERT_EQ(tick.size(), 4u);
  EXPECT_EQ(tick[3].close, 9.0f);
  EXPECT_EQ(tick[3].open, 7.0f);
  EXPECT_EQ(tick[2].close, 5.0f);
}

// A daily file holding a day twice is no intraday data: delete drops the first copy.
TEST(CliDeleteTest, ADayHeldTwiceInDailyDataLosesItsFirstCopy) {
  TempDir dir;
  const formats::QuoteDate mon = DayFromYmd(98, 1, 5);
  PortfolioBuilder(dir.get())
      .Add(Spec(1, "TW", "TW",
                {{mon, 0, 1, 1, 1, 1, 1, 1},
                 {mon, 0, 2, 2, 2, 2, 2, 2},
                 {static_cast<formats::QuoteDate>(mon + 1), 0, 3, 3, 3, 3, 3, 3}}))
      .Write();
  const CliResult r = RunCli({"--yes", "delete", dir.get().string(), "TW", "--date", "01/05/98"});
  EXPECT_EQ(r.status, 0) << r.err;
  const auto after = ReadQuotes(dir.get(), "TW");
  ASSERT_EQ(after.size(), 2u);
  EXPECT_EQ(after[0].close, 2.0f);
}

// The arithmetic is the rewrite's; here the options reach it.
TEST_F(CliQuotesTest, SplitAndAdjustOptionsReachTheRewrite) {
  const auto before = ReadQuotes(dir.get(), "MSFT");
  const auto split = Msft({"split", d, "MSFT", "--date", "01/07/98", "--new", "2", "--old", "1"});
  ASSERT_EQ(split.size(), 5u);
  EXPECT_EQ(split[1].close, before[1].close * 0.5f);
  EXPECT_EQ(split[1].volume, before[1].volume * 2.0f);
  EXPECT_EQ(split[2].close, before[2].close);

  EXPECT_EQ(Msft({"adjust", d, "MSFT"})[0].close, split[0].close);  // times one by default
  const auto adjusted = Msft({"adjust", d, "MSFT", "--from", "01/08/98", "--to", "01/08/98",
                              "--price", "0.5", "--volume", "3", "--oi", "4"});
  EXPECT_EQ(adjusted[3].high, split[3].high * 0.5f);
  EXPECT_EQ(adjusted[3].volume, split[3].volume * 3.0f);
  EXPECT_EQ(adjusted[3].openInterest, split[3].openInterest * 4.0f);
  EXPECT_EQ(adjusted[4].high, split[4].high);
}

TEST_F(CliQuotesTest, DeleteNeedsYesWithoutATerminalAndAddFillsTheDayWithACopy) {
  const auto before = Snapshot(dir.get());
  CliResult r = RunCli({"delete", d, "MSFT", "--date", "01/06/98"}, "y\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("You are about to delete the data for date\n01/06/98\nAre you sure?"),
            std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("--yes"), std::string::npos);
  EXPECT_EQ(Snapshot(dir.get()), before);
  const auto deleted = Msft({"delete", d, "MSFT", "--date", "01/06/98", "--yes"});
  ASSERT_EQ(deleted.size(), 4u);
  EXPECT_EQ(deleted[1].date, DayFromYmd(98, 1, 7));

  r = RunCli({"add", d, "MSFT", "--before", "01/07/98"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "01/06/98\n");
  const auto added = ReadQuotes(dir.get(), "MSFT");
  ASSERT_EQ(added.size(), 5u);
  EXPECT_EQ(added[1].date, DayFromYmd(98, 1, 6));
  EXPECT_EQ(added[1].close, deleted[1].close);  // a copy of Wednesday
  EXPECT_EQ(added[2].date, DayFromYmd(98, 1, 7));
}

TEST_F(CliQuotesTest, RefusalsAndDamagedFilesChangeNoFile) {
  WriteOddPortfolio(dir / "x");
  const std::string x = (dir / "x").string(), on = "01/07/98";
  const std::string intraday =
      "works on whole days, and 01/05/98 holds 3 quotes (intraday data).\nNothing was changed.";
  ExpectRefusals(
      {{{"edit", d, "MSFT", "--date", "01/10/98", "--close", "1"}, {"Invalid Data Entered"}},
       {{"edit", d, "MSFT", "--date", "01/04/98", "--close", "1"}, {"outside"}},
       {{"edit", d, "MSFT", "--date", "1/7/98", "--close", "1"}, {"MM/DD/YY"}},
       {{"edit", d, "MSFT", "--date", on, "--open", "-5"}, {"only digits"}},
       {{"edit", d, "MSFT", "--date", on, "--open", "1e3"}, {"only digits"}},
       {{"edit", d, "MSFT", "--date", on, "--open", "12345678901234567"}, {"at most 16"}},
       {{"edit", d, "MSFT", "--date", on, "--high", "."}, {"holds no number"}},
       {{"edit", x, "TICK", "--date", "01/05/98", "--close", "9"}, {intraday}},
       {{"edit", d, "MSFT", "--close", "1"}, {}, 2},
       {{"split", d, "MSFT", "--date", on, "--new", "0", "--old", "1"}, {"a factor of 0"}},
       {{"split", d, "MSFT", "--date", "01/12/98", "--new", "2", "--old", "1"}, {"outside"}},
       {{"split", d, "MSFT", "--date", on, "--new", "123456", "--old", "1"}, {"at most 5"}},
       {{"split", d, "MSFT", "--date", "01/01/98", "--new", "0", "--old", "x"},
        {"Invalid Data Entered\n  --date", "--new: a factor of 0", "--old \"x\""}},
       {{"adjust", d, "MSFT", "--volume", "0"}, {"a factor of 0"}},
       {{"adjust", d, "MSFT", "--oi", "abc"}, {"holds no number"}},
       {{"adjust", d, "MSFT", "--to", "02/01/98"}, {"outside"}},
       {{"adjust", d, "MSFT", "--price", "123456789"}, {"at most 8"}},
       {{"adjust", x, "E"}, {"has no quotes"}},
       {{"add", d, "MSFT", "--before", on}, {"Date 01/06/98 already exists."}},
       {{"add", d, "MSFT", "--before", "01/05/98"}, {"oldest quote"}},
       {{"add", d, "MSFT", "--before", "01/12/98"}, {"Invalid Data Entered"}},
       {{"add", x, "X", "--before", "01/03/98"},
        {"The quote of 01/03/98 is not dated on a weekday."}},
       {{"add", x, "OLD", "--before", "01/02/61"},
        {"The quote of 01/02/61 is not dated on a weekday."}},
       {{"add", d, "MSFT"}, {}, 2},
       {{"--yes", "delete", x, "X", "--date", "01/04/98"}, {"X has no quote dated 01/04/98"}},
       {{"--yes", "delete", d, "MSFT", "--date", "01/10/98"}, {"outside"}},
       {{"--yes", "delete", x, "TICK", "--date", "01/05/98"}, {intraday}}},
      {dir.get()});
  EXPECT_EQ(RunCli({"quotes", x, "E"}).status, 0);

  // The work file's name is taken by a directory that cannot be replaced.
  fs::create_directories(dir / "F1.NEW" / "keep");
  ExpectRefusals(
      {{{"split", d, "MSFT", "--date", on, "--new", "2", "--old", "1"}, {"Split Edit Failed"}}},
      {dir.get()});
  fs::remove(dir / "F1.DAT");
  ExpectRefusals({{{"edit", d, "MSFT", "--date", on, "--close", "1"}, {"Error in FillQuotesGrid"}},
                  {{"adjust", d, "MSFT"}, {"Error in FillQuotesGrid"}},
                  {{"--yes", "delete", d, "MSFT", "--date", on}, {"Error in FillQuotesGrid"}}},
                 {dir.get()});
}

}  // namespace
}  // namespace ledgrix::testing
