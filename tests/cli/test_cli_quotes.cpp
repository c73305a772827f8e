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
// before it; ODD: values the grid would round; TW: a daily file holding 01/05/98 twice.
void WriteOddPortfolio(const path& dir) {
  const formats::QuoteDate mon = DayFromYmd(98, 1, 5), tue = mon + 1;
  SymbolSpec tick = Spec(2, "TICK", "TICKS");
  tick.periodicity = 'I';
  tick.fields = {formats::kDate, formats::kTime,  formats::kOpen, formats::kHigh,
                 formats::kLow,  formats::kClose, formats::kVol};
  for (const int hour : {10, 11, 12})
    tick.quotes.push_back({mon, static_cast<formats::QuoteTime>(hour * 1800), 5, 6, 4, 5, 100, 0});
  tick.quotes.push_back({tue, 18000, 7, 8, 6, 7, 200, 0});
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
      .Add(Spec(5, "ODD", "ODD", {{mon, 0, 10.123456f, 11.98765f, 9.55555f, 10.5f, 1500.7f, 3.3f}}))
      .Add(Spec(
          6, "TW", "TW",
          {{mon, 0, 1, 1, 1, 1, 1, 1}, {mon, 0, 2, 2, 2, 2, 2, 2}, {tue, 0, 3, 3, 3, 3, 3, 3}}))
      .Write();
}

class CliQuotesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteSamplePortfolio(dir.get());
    WriteOddPortfolio(dir / "x");
  }
  // Runs a command that must succeed; the quotes of MSFT after it.
  std::vector<Quote> Msft(const std::vector<std::string>& args) {
    const CliResult r = RunCli(args);
    EXPECT_EQ(r.status, 0) << r.err;
    return ReadQuotes(dir.get(), "MSFT");
  }
  TempDir dir;
  const std::string d = dir.get().string(), x = (dir / "x").string();
};

// Values not given stay as stored to the bit (no round trip through the grid's four decimals);
// an intraday day of one quote is a whole day.
TEST_F(CliQuotesTest, EditSetsTheGivenValuesAndKeepsEveryOtherBit) {
  const Quote odd = ReadQuotes(dir / "x", "ODD").at(0);
  CliResult r = RunCli({"edit", x, "ODD", "--date", "01/05/98", "--close", "11", "--volume", "7"});
  ASSERT_EQ(r.status, 0) << r.err;
  const Quote after = ReadQuotes(dir / "x", "ODD").at(0);
  auto same = [](float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; };
  EXPECT_TRUE(same(after.open, odd.open) && same(after.high, odd.high) && same(after.low, odd.low));
  EXPECT_TRUE(same(after.openInterest, odd.openInterest));
  EXPECT_EQ(after.close, 11.0f);
  EXPECT_EQ(after.volume, 7.0f);

  ASSERT_EQ(RunCli({"edit", x, "TICK", "--date", "01/06/98", "--close", "9"}).status, 0);
  const auto tick = ReadQuotes(dir / "x", "TICK");
  ASSERT_EQ(tick.size(), 4u);
  EXPECT_EQ(tick[3].close, 9.0f);
  EXPECT_EQ(tick[3].open, 7.0f);
  EXPECT_EQ(tick[2].close, 5.0f);

  // A field the file lacks is ignored with a note.
  r = RunCli({"edit", d, "AAPL", "--date", "01/05/98", "--oi", "9", "--open", "1"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("--oi ignored"), std::string::npos);
  EXPECT_EQ(ReadQuotes(dir.get(), "AAPL")[0].open, 1.0f);
  EXPECT_EQ(ReadQuotes(dir.get(), "AAPL")[0].openInterest, -1.0f);
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

  // A daily file holding a day twice is no intraday data: delete drops the first copy.
  r = RunCli({"--yes", "delete", x, "TW", "--date", "01/05/98"});
  EXPECT_EQ(r.status, 0) << r.err;
  const auto twice = ReadQuotes(dir / "x", "TW");
  ASSERT_EQ(twice.size(), 2u);
  EXPECT_EQ(twice[0].close, 2.0f);
}

// The date and factor checks themselves are the core's; here each command's own refusals, each
// with every reason it found and no file changed.
TEST_F(CliQuotesTest, RefusalsAndDamagedFilesChangeNoFile) {
  const std::string on = "01/07/98";
  const std::string intraday =
      "works on whole days, and 01/05/98 holds 3 quotes (intraday data).\nNothing was changed.";
  ExpectRefusals(
      {{{"edit", d, "MSFT", "--date", "01/04/98", "--close", "1"}, {"Invalid Data", "outside"}},
       {{"edit", d, "MSFT", "--date", on, "--open", "-5"}, {"only digits"}},
       {{"edit", d, "MSFT", "--date", on, "--open", "12345678901234567"}, {"at most 16"}},
       {{"edit", d, "MSFT", "--date", on, "--high", "."}, {"holds no number"}},
       {{"edit", x, "TICK", "--date", "01/05/98", "--close", "9"}, {intraday}},
       {{"split", d, "MSFT", "--date", on, "--new", "123456", "--old", "1"}, {"at most 5"}},
       {{"split", d, "MSFT", "--date", "01/01/98", "--new", "0", "--old", "x"},
        {"Invalid Data Entered\n  --date", "--new: a factor of 0", "--old \"x\""}},
       {{"adjust", d, "MSFT", "--volume", "0", "--oi", "abc", "--to", "02/01/98", "--price",
         "123456789"},
        {"--volume: a factor of 0", "--oi: ", "holds no number", "--to: ", "outside", "at most 8"}},
       {{"adjust", x, "E"}, {"has no quotes"}},
       {{"add", d, "MSFT", "--before", on}, {"Date 01/06/98 already exists."}},
       {{"add", d, "MSFT", "--before", "01/05/98"}, {"oldest quote"}},
       {{"add", d, "MSFT", "--before", "01/12/98"}, {"Invalid Data Entered"}},
       {{"add", x, "X", "--before", "01/03/98"},
        {"The quote of 01/03/98 is not dated on a weekday."}},
       {{"add", x, "OLD", "--before", "01/02/61"},
        {"The quote of 01/02/61 is not dated on a weekday."}},
       {{"--yes", "delete", x, "X", "--date", "01/04/98"}, {"X has no quote dated 01/04/98"}},
       {{"--yes", "delete", x, "TICK", "--date", "01/05/98"}, {intraday}}},
      {dir.get()});
  EXPECT_EQ(RunCli({"quotes", x, "E"}).status, 0);

  // The work file's name is taken by a directory that cannot be replaced.
  fs::create_directories(dir / "F1.NEW" / "keep");
  ExpectRefusals(
      {{{"split", d, "MSFT", "--date", on, "--new", "2", "--old", "1"}, {"Split Edit Failed"}}},
      {dir.get()});
  fs::remove(dir / "F1.DAT");
  ExpectRefusals({{{"edit", d, "MSFT", "--date", on, "--close", "1"}, {"Error in FillQuotesGrid"}}},
                 {dir.get()});
}

}  // namespace
}  // namespace ledgrix::testing
