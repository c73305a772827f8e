// Real portfolios from public sources: every symbol of every MASTER loads, or says its quote file
// is missing. Skipped where the samples are not present.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "formats/facts.h"
#include "formats/series.h"
#include "platform/files.h"
#include "tests/support/fixture.h"

namespace ledgrix::formats {
namespace {

using std::filesystem::path;

// Real dates, oldest first, inside the range MASTER gives; intraday bars of one day step forward
// in time.
void CheckQuotes(const QuoteSeries& s, const MasterRecord& found, const std::string& symbol) {
  const QuoteDate first = DayFromStored(found.hostFirstDate());
  const QuoteDate last = DayFromStored(found.hostLastDate());
  int steps = 0;
  for (int k = 0; k < s.count; ++k) {
    const auto i = static_cast<std::size_t>(k);
    ASSERT_NE(s.date[i], 0) << symbol << " row " << k;
    if (k > 0) {
      ASSERT_GE(s.date[i], s.date[i - 1]) << symbol << " row " << k;
      if (found.periodicity() == 'I' && s.date[i] == s.date[i - 1]) {
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
  if (found.periodicity() == 'I') {
    EXPECT_TRUE(s.info->layout.has(kTime)) << symbol;
    EXPECT_GT(steps, 0) << symbol;
    EXPECT_LT(HmsFromTime(s.time[0]).hours, 24) << symbol;
  }
}

TEST(SamplePortfolio, EverySymbolLoadsOrItsFileIsMissing) {
  const auto samples = testing::SamplesDir();
  if (!samples)
    GTEST_SKIP() << "sample portfolios not present";
  for (const char* portfolio : {"msdir_bbfinance", "msdir_equis_a", "msdir_equis_b", "msdir_stooq",
                                "okomarov-sampleData", "okomarov-sampleData/Intraday"}) {
    SCOPED_TRACE(portfolio);
    const path dir = *samples / portfolio;
    MasterFile master;
    ASSERT_TRUE(ReadMasterFile(dir / "MASTER", master));
    ASSERT_GT(master.records.size(), 0u);
    int loaded = 0;
    std::set<std::string> seen;
    for (const MasterRecord& record : master.records) {
      const std::string symbol = record.displaySymbol();
      if (record.isDirectoryEntry() || symbol.empty() || !seen.insert(symbol).second)
        continue;
      MasterRecord found;
      Path foundDir;
      ASSERT_EQ(LookupSymbol(dir, symbol, found, foundDir), kOk) << symbol;
      const bool hasDat = platform::FileExists(QuoteFilePath(foundDir, found.fileNumber(), "DAT"));

      QuoteSeries s;
      ASSERT_EQ(InitSeries(s, 400), kOk);
      const StatusCode status = LoadSeries(s, dir, symbol, -1, 400);
      SeriesFacts facts;
      const int factsResult = ReadSeriesFacts(dir, symbol, facts);
      if (!hasDat) {
        EXPECT_EQ(status, kFileOpen) << symbol;
        EXPECT_EQ(factsResult, 1) << symbol;
        continue;
      }
      ASSERT_EQ(status, kOk) << symbol << ": " << StatusText(status);
      ASSERT_EQ(factsResult, 0) << symbol;
      EXPECT_EQ(facts.quoteCount, s.total) << symbol;
      EXPECT_EQ(s.count, std::min(s.total, 400)) << symbol;
      CheckQuotes(s, found, symbol);
      ++loaded;
    }
    EXPECT_GT(loaded, 0);
  }
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
