// Real portfolios from public sources: every symbol of every index (MASTER and XMASTER) loads, or
// says its quote file is missing. Skipped where the samples are not present.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "formats/facts.h"
#include "formats/lookup.h"
#include "formats/portfolio_index.h"
#include "formats/series.h"
#include "formats/windows1252.h"
#include "platform/files.h"
#include "tests/support/fixture.h"

namespace ledgrix::formats {
namespace {

using std::filesystem::path;

// Real dates, oldest first, inside the range MASTER gives; intraday bars of one day step forward
// in time.
void CheckQuotes(const QuoteSeries& s, const IndexEntry& found, const std::string& symbol) {
  const QuoteDate first = DayFromStored(static_cast<float>(found.firstDate));
  const QuoteDate last = DayFromStored(static_cast<float>(found.lastDate));
  int steps = 0;
  for (int k = 0; k < s.count; ++k) {
    const auto i = static_cast<std::size_t>(k);
    ASSERT_NE(s.date[i], 0) << symbol << " row " << k;
    if (k > 0) {
      ASSERT_GE(s.date[i], s.date[i - 1]) << symbol << " row " << k;
      if (found.periodicity == 'I' && s.date[i] == s.date[i - 1]) {
        EXPECT_GT(s.time[i], s.time[i - 1]) << symbol << " row " << k;
        ++steps;
      }
    }
    if (first != 0 && last != 0) {
      EXPECT_GE(s.date[i], first) << symbol;
      EXPECT_LE(s.date[i], last) << symbol;
    }
    EXPECT_GE(s.value(kClose, k), 0.0f) << symbol;
  }
  if (found.periodicity == 'I') {
    EXPECT_TRUE(s.info->layout.has(kTime)) << symbol;
    EXPECT_GT(steps, 0) << symbol;
    EXPECT_LT(HmsFromTime(s.time[0]).hours, 24) << symbol;
  }
}

TEST(SamplePortfolio, EverySymbolLoadsOrItsFileIsMissing) {
  const auto samples = testing::SamplesDir();
  if (!samples)
    GTEST_SKIP() << "sample portfolios not present";
  // Symbols of the joined index, and the states of EMASTER and XMASTER.
  using State = IndexFileState;
  const struct {
    const char* portfolio;
    std::size_t entries;
    State emaster, xmaster;
  } kCases[] = {
      {"msdir_bbfinance", 40, State::kUnusable, State::kUnusable},
      {"msdir_equis_a", 2846, State::kUsable, State::kUsable},
      {"msdir_equis_b", 4, State::kUsable, State::kUsable},
      {"msdir_stooq", 1, State::kAbsent, State::kAbsent},
      {"okomarov-sampleData", 462, State::kUsable, State::kUsable},
      {"okomarov-sampleData/Intraday", 1, State::kUsable, State::kAbsent},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.portfolio);
    const path dir = *samples / c.portfolio;
    PortfolioIndex index;
    ASSERT_TRUE(ReadPortfolioIndex(dir, index));
    EXPECT_EQ(index.entries.size(), c.entries);
    EXPECT_EQ(index.emaster, c.emaster);
    EXPECT_EQ(index.xmaster, c.xmaster);
    int loaded = 0;
    std::set<std::string> seen;
    // Every symbol is looked up; the quotes of the largest directory are read for a spread of
    // them (each read lists the directory's 5 700 files for the descriptor).
    const std::size_t step = index.entries.size() > 1000 ? 16 : 1;
    for (std::size_t i = 0; i < index.entries.size(); ++i) {
      const IndexEntry& entry = index.entries[i];
      const std::string& symbol = entry.symbol;
      if (entry.isDirectory || symbol.empty() || !seen.insert(symbol).second)
        continue;
      IndexEntry found;
      Path foundDir;
      ASSERT_EQ(LookupSymbol(dir, symbol, found, foundDir), kOk) << symbol;
      EXPECT_EQ(found.key, entry.key) << symbol;
      if (i % step != 0 && i + 1 != index.entries.size())
        continue;
      const bool hasQuotes = platform::FileExists(QuoteDataPath(foundDir, found.fileNumber()));

      QuoteSeries s;
      ASSERT_EQ(InitSeries(s, 400), kOk);
      const StatusCode status = LoadSeries(s, dir, symbol, -1, 400);
      if (!hasQuotes) {
        EXPECT_EQ(status, kFileOpen) << symbol;
        continue;
      }
      // Some .MWD files hold no quote (their index dates are placeholders).
      if (status == kRecordNotFound && s.total == 0)
        continue;
      ASSERT_EQ(status, kOk) << symbol << ": " << StatusText(status);
      EXPECT_EQ(s.count, std::min(s.total, 400)) << symbol;
      CheckQuotes(s, found, symbol);
      ++loaded;
    }
    EXPECT_GT(loaded, 0);
  }
}

// Long names from EMASTER and XMASTER, their bytes kept (Windows-1252), and the facts of a
// symbol of each index file.
TEST(SamplePortfolio, LongNamesAndFacts) {
  const auto samples = testing::SamplesDir();
  if (!samples)
    GTEST_SKIP() << "sample portfolios not present";
  PortfolioIndex index;
  ASSERT_TRUE(ReadPortfolioIndex(*samples / "msdir_equis_b", index));
  EXPECT_EQ(index.entries[0].name, "1/100 Dow Jones ");
  EXPECT_EQ(index.entries[0].shownName(), "1/100 Dow Jones INDU");
  EXPECT_EQ(index.entries[2].key, (SymbolKey{IndexFile::kXmaster, 256}));
  EXPECT_EQ(index.entries[3].fileNumber(), 2853);
  EXPECT_EQ(index.xmasterFile.header.nextNumber(), 2854);

  ASSERT_TRUE(ReadPortfolioIndex(*samples / "okomarov-sampleData", index));
  const IndexEntry* italian = index.FindBySymbol("IS-PU");
  ASSERT_NE(italian, nullptr);
  EXPECT_EQ(italian->shownName(), "IS-pubblica utilit\xE0");
  EXPECT_EQ(Windows1252ToUtf8(italian->shownName()), "IS-pubblica utilit\u00E0");

  SeriesFacts facts;
  ASSERT_EQ(ReadSeriesFacts(*samples / "msdir_equis_b", ".DJX", facts), 0);
  EXPECT_EQ(facts.longName, "1/100 Dow Jones INDU");
  EXPECT_EQ(facts.indexFile, "MASTER");
  ASSERT_EQ(ReadSeriesFacts(*samples / "msdir_equis_a", "AZM.L", facts), 0);
  EXPECT_EQ(facts.fileNumber, 256);
  EXPECT_EQ(facts.indexFile, "XMASTER");
  EXPECT_EQ(facts.firstDate, 961231.0f);  // 19961231 in XMASTER
  EXPECT_EQ(facts.quoteCount, 4);
}

TEST(SamplePortfolio, LongIntradayFileCountsPast32767) {
  const auto samples = testing::SamplesDir();
  if (!samples)
    GTEST_SKIP() << "sample portfolios not present";
  const path dir = *samples / "okomarov-sampleData" / "Intraday";
  MasterFile master;
  ASSERT_TRUE(ReadMasterFile(dir / "MASTER", master));
  ASSERT_FALSE(master.records.empty());
  const std::string symbol = master.records.front().displaySymbol();
  QuoteSeries s;
  ASSERT_EQ(InitSeries(s, 400), kOk);
  ASSERT_EQ(LoadSeries(s, dir, symbol, 0, 0), kOk);
  EXPECT_EQ(s.total, 64885);
  ASSERT_EQ(LoadSeries(s, dir, symbol, 64884, 1), kOk);
  EXPECT_EQ(s.count, 1);
  EXPECT_NE(s.date[0], 0);
}

}  // namespace
}  // namespace ledgrix::formats
