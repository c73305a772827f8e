// The split search: the candidate test on pairs of quotes and the paged walk over a portfolio.
#include "maintenance/split_search.h"

#include <gtest/gtest.h>

#include "tests/maintenance/helpers.h"

namespace ledgrix::maintenance {
namespace {

using testing::Quote;

// A quote with the given close and a high-low range around it.
Quote Bar(formats::QuoteDate date, float close, float high, float low) {
  return Quote{date, 0, close, high, low, close, 1000.0f, 0.0f};
}

SymbolSpec Quotes(std::uint16_t number, const std::string& symbol, std::vector<Quote> quotes) {
  SymbolSpec spec = Spec(number, symbol);
  spec.quotes = std::move(quotes);
  return spec;
}

struct Outcome {
  SplitSearchEnd end = SplitSearchEnd::kDone;
  bool found = false;
  std::vector<std::string> lines, done, tooFew, readErrors;
};

Outcome Search(const std::filesystem::path& dir, const std::vector<std::string>& symbols) {
  Outcome outcome;
  SplitSearchEvents events;
  events.onCandidate = [&](const std::string& line) { outcome.lines.push_back(line); };
  events.onSymbolDone = [&](const std::string& symbol) { outcome.done.push_back(symbol); };
  events.onTooFewQuotes = [&](const std::string& text) { outcome.tooFew.push_back(text); };
  events.onReadError = [&](const std::string& symbol) { outcome.readErrors.push_back(symbol); };
  outcome.end = RunSplitSearch(dir, symbols, events, outcome.found);
  return outcome;
}

const formats::QuoteDate kMon = DayFromYmd(98, 3, 2);
const formats::QuoteDate kTue = DayFromYmd(98, 3, 3);

// Pairs of quotes, and the split each suggests ("" for none).
TEST(SplitCandidateTest, PairsOfQuotes) {
  struct Case {
    const char* what;
    Quote older, newer;
    std::string split;
    bool highLow = true;  // whether the file holds HIGH and LOW
  };
  const Case cases[] = {
      {"50 to 25.10 across a gap", Bar(kMon, 50, 51, 49), Bar(kTue, 25.10f, 26, 25), "2 for 1"},
      {"50 to 25.10, ranges overlap", Bar(kMon, 50, 51, 49), Bar(kTue, 25.10f, 49, 25), ""},
      {"30 to 40: 3 for 4 is not tried", Bar(kMon, 30, 30.5f, 29.5f), Bar(kTue, 40, 40.5f, 39.5f),
       ""},
      {"25 to 50 across a gap", Bar(kMon, 25, 25.5f, 24.5f), Bar(kTue, 50, 51, 49), "1 for 2"},
      {"10 to 30 across a gap", Bar(kMon, 10, 10.5f, 9.5f), Bar(kTue, 30, 31, 29), "1 for 3"},
      {"10 to 40 across a gap", Bar(kMon, 10, 10.5f, 9.5f), Bar(kTue, 40, 41, 39), "1 for 4"},
      {"40 to 60 across a gap", Bar(kMon, 40, 41, 39), Bar(kTue, 60, 61, 59), "2 for 3"},
      {"30 to 10 across a gap", Bar(kMon, 30, 31, 29), Bar(kTue, 10, 10.5f, 9.5f), "3 for 1"},
      {"60 to 40 across a gap", Bar(kMon, 60, 61, 59), Bar(kTue, 40, 41, 39), "3 for 2"},
      {"40 to 10 across a gap", Bar(kMon, 40, 41, 39), Bar(kTue, 10, 10.5f, 9.5f), "4 for 1"},
      {"zero close", Bar(kMon, 0, 1, 0), Bar(kTue, 25, 26, 24), ""},
      // threshold 0.8 * 25 = 20: a gap of exactly 20 is not enough, 20.5 is.
      {"gap equal to the threshold", Bar(kMon, 50, 51, 45), Bar(kTue, 25, 25, 24), ""},
      {"gap just above the threshold", Bar(kMon, 50, 51, 45.5f), Bar(kTue, 25, 25, 24), "2 for 1"},
      // r = 2.2f lies just above 1.1 * 2: the window is open at both ends.
      {"ratio on the window's edge", Bar(kMon, 2.2f, 2.2f, 2.2f), Bar(kTue, 1, 1, 1), ""},
      {"no high and low, no gap", Bar(kMon, 50, 51, 49), Bar(kTue, 25.1f, 26, 25), "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    SymbolSpec spec = Quotes(1, "XYZ", {c.older, c.newer});
    if (!c.highLow)
      spec.fields = {formats::kDate, formats::kClose, formats::kVol};
    PortfolioBuilder(dir.get()).Add(spec).Write();
    const Outcome outcome = Search(dir.get(), {"XYZ"});
    ASSERT_EQ(outcome.end, SplitSearchEnd::kDone);
    EXPECT_EQ(outcome.found, !c.split.empty());
    EXPECT_EQ(outcome.lines, c.split.empty() ? std::vector<std::string>{}
                                             : std::vector<std::string>{"XYZ possible " + c.split +
                                                                        " split on 03/03/98"});
  }
}

// Closes of 50 at the first quote, 100 up to quote n-3, 50 at n-2, 25 at n-1 (n >= 4): candidates
// at the first pair and at the last two pairs, which straddle the page joins of long series.
std::vector<Quote> SeriesWithSplitsAtBothEnds(int n) {
  std::vector<Quote> quotes = testing::MakeDailyQuotes(DayFromYmd(90, 1, 1), n);
  for (int i = 0; i < n; ++i) {
    float close = 100.0f;
    if (i == 0 || i == n - 2)
      close = 50.0f;
    if (i == n - 1)
      close = 25.0f;
    auto& q = quotes[static_cast<std::size_t>(i)];
    q = Bar(q.date, close, close * 1.01f, close * 0.99f);
  }
  return quotes;
}

TEST(SplitSearchPagesTest, EveryAdjacentPairTestedExactlyOnce) {
  for (const int n : {4, 5, 399, 400, 401, 402, 799, 800, 801}) {
    TempDir dir;
    const std::vector<Quote> quotes = SeriesWithSplitsAtBothEnds(n);
    PortfolioBuilder(dir.get()).Add(Quotes(1, "XYZ", quotes)).Write();
    auto line = [&](const char* split, int i) {
      return "XYZ possible " + std::string(split) + " split on " +
             formats::DisplayDate(quotes[static_cast<std::size_t>(i)].date);
    };
    const std::vector<std::string> expected = {line("1 for 2", 1), line("2 for 1", n - 2),
                                               line("2 for 1", n - 1)};
    const Outcome outcome = Search(dir.get(), {"XYZ"});
    EXPECT_EQ(outcome.end, SplitSearchEnd::kDone) << n;
    EXPECT_EQ(outcome.lines, expected) << n;
  }
}

TEST(SplitSearchWalkTest, FewerThanTwoQuotesIsReportedAndTheSearchGoesOn) {
  TempDir dir;
  const Quote older = Bar(kMon, 50, 51, 49);
  PortfolioBuilder(dir.get())
      .AddAll({Quotes(1, "ONE", {older}), Quotes(2, "NONE", {}),
               Quotes(3, "TWO", {older, Bar(kTue, 25.1f, 26, 25)})})
      .Write();
  const Outcome outcome = Search(dir.get(), {"NONE", "ONE", "TWO"});
  EXPECT_EQ(outcome.end, SplitSearchEnd::kDone);
  ASSERT_EQ(outcome.tooFew.size(), 2u);
  EXPECT_TRUE(outcome.tooFew[0].starts_with("For symbol NONE\n")) << outcome.tooFew[0];
  EXPECT_TRUE(outcome.tooFew[1].starts_with("For symbol ONE\n")) << outcome.tooFew[1];
  EXPECT_EQ(outcome.done, (std::vector<std::string>{"NONE", "ONE", "TWO"}));
  EXPECT_EQ(outcome.lines.size(), 1u);
  EXPECT_TRUE(outcome.found);
}

// A symbol whose count cannot be read, or that MASTER does not list, ends the search with a read
// error: its quotes are never searched with the count of the symbol before it.
TEST(SplitSearchWalkTest, UnreadableSymbolEndsTheSearchWithAReadError) {
  TempDir dir;
  const std::vector<Quote> quotes = SeriesWithSplitsAtBothEnds(10);
  PortfolioBuilder(dir.get())
      .AddAll({Quotes(1, "GOOD", quotes), Quotes(2, "GONE", quotes), Quotes(3, "LATER", quotes)})
      .Write();
  std::filesystem::remove(dir / "F2.DAT");
  Outcome outcome = Search(dir.get(), {"GOOD", "GONE", "LATER"});
  EXPECT_EQ(outcome.end, SplitSearchEnd::kReadError);
  EXPECT_EQ(outcome.readErrors, std::vector<std::string>{"GONE"});
  EXPECT_EQ(outcome.done, std::vector<std::string>{"GOOD"});
  EXPECT_EQ(outcome.lines.size(), 3u);  // GOOD's only

  outcome = Search(dir.get(), {"NOTHERE", "GOOD"});
  EXPECT_EQ(outcome.end, SplitSearchEnd::kReadError);
  EXPECT_EQ(outcome.readErrors, std::vector<std::string>{"NOTHERE"});
  EXPECT_TRUE(outcome.done.empty());

  // A quote file cut short: the header promises more quotes than the file holds.
  PortfolioBuilder(dir.get()).Add(Quotes(1, "CUT", SeriesWithSplitsAtBothEnds(500))).Write();
  std::vector<std::uint8_t> bytes = testing::FileBytes(dir / "F1.DAT");
  bytes.resize(bytes.size() - 28 * 200);
  testing::WriteBytes(dir / "F1.DAT", bytes);
  outcome = Search(dir.get(), {"CUT"});
  EXPECT_EQ(outcome.end, SplitSearchEnd::kReadError);
  EXPECT_EQ(outcome.readErrors, std::vector<std::string>{"CUT"});
}

}  // namespace
}  // namespace ledgrix::maintenance
