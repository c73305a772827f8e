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

const char* const kPortfolios[] = {"msdir_bbfinance",     "msdir_equis_a",
                                   "msdir_equis_b",       "msdir_stooq",
                                   "okomarov-sampleData", "okomarov-sampleData/Intraday"};

class SamplePortfolio : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    const auto samples = testing::SamplesDir();
    if (!samples || !std::filesystem::is_directory(*samples / GetParam())) {
      GTEST_SKIP() << "sample portfolios not present";
    }
    dir_ = *samples / GetParam();
  }
  path dir_;
};

TEST_P(SamplePortfolio, EverySymbolLoadsOrItsFileIsMissing) {
  MasterFile master;
  ASSERT_TRUE(ReadMasterFile(dir_ / "MASTER", master));
  ASSERT_GT(master.records.size(), 0u);
  int loaded = 0;
  std::set<std::string> seen;
  for (const MasterRecord& record : master.records) {
    const std::string symbol = record.displaySymbol();
    if (record.isDirectoryEntry() || symbol.empty() || !seen.insert(symbol).second)
      continue;
    MasterRecord found;
    Path foundDir;
    ASSERT_EQ(LookupSymbol(dir_, symbol, found, foundDir), kOk) << symbol;
    const bool hasDat = platform::FileExists(QuoteFilePath(foundDir, found.fileNumber(), "DAT"));

    QuoteSeries s;
    ASSERT_EQ(InitSeries(s, 400), kOk);
    const StatusCode status = LoadSeries(s, dir_, symbol, -1, 400);
    SeriesFacts facts;
    const int factsResult = ReadSeriesFacts(dir_, symbol, facts);
    if (!hasDat) {
      EXPECT_EQ(status, kFileOpen) << symbol;
      EXPECT_EQ(factsResult, 1) << symbol;
      continue;
    }
    ASSERT_EQ(status, kOk) << symbol << ": " << StatusText(status);
    ASSERT_EQ(factsResult, 0) << symbol;
    EXPECT_EQ(facts.quoteCount, s.total) << symbol;
    EXPECT_EQ(s.count, std::min(s.total, 400)) << symbol;
    // Real dates, oldest first, inside the range MASTER gives.
    const QuoteDate first = DayFromStored(found.hostFirstDate());
    const QuoteDate last = DayFromStored(found.hostLastDate());
    for (int k = 0; k < s.count; ++k) {
      const QuoteDate d = s.date[static_cast<std::size_t>(k)];
      ASSERT_NE(d, 0) << symbol << " row " << k;
      if (k > 0) {
        ASSERT_GE(d, s.date[static_cast<std::size_t>(k - 1)]) << symbol << " row " << k;
      }
      if (first != 0 && last != 0) {
        EXPECT_GE(d, first) << symbol;
        EXPECT_LE(d, last) << symbol;
      }
      EXPECT_GE(s.value(kClose, k), 0.0f) << symbol;
    }
    ++loaded;
  }
  EXPECT_GT(loaded, 0);
}

TEST_P(SamplePortfolio, IntradaySeriesCarryTheirTime) {
  MasterFile master;
  ASSERT_TRUE(ReadMasterFile(dir_ / "MASTER", master));
  for (const MasterRecord& record : master.records) {
    if (record.periodicity() != 'I')
      continue;
    QuoteSeries s;
    ASSERT_EQ(InitSeries(s, 400), kOk);
    ASSERT_EQ(LoadSeries(s, dir_, record.displaySymbol(), -1, 400), kOk);
    ASSERT_TRUE(s.info->layout.has(kTime));
    ASSERT_GT(s.count, 1);
    // Bars of one day step forward in time.
    int steps = 0;
    for (int k = 1; k < s.count; ++k) {
      const auto i = static_cast<std::size_t>(k);
      if (s.date[i] == s.date[i - 1]) {
        EXPECT_GT(s.time[i], s.time[i - 1]) << record.displaySymbol() << " row " << k;
        ++steps;
      }
    }
    EXPECT_GT(steps, 0);
    const Hms open = HmsFromTime(s.time[0]);
    EXPECT_LT(open.hours, 24);
  }
}

INSTANTIATE_TEST_SUITE_P(Real, SamplePortfolio, ::testing::ValuesIn(kPortfolios),
                         [](const ::testing::TestParamInfo<const char*>& param) {
                           std::string name = param.param;
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c)))
                               c = '_';
                           }
                           return name;
                         });

TEST(SamplePortfolio, LongIntradayFileCountsPast32767) {
  const auto samples = testing::SamplesDir();
  if (!samples || !std::filesystem::is_directory(*samples / "okomarov-sampleData" / "Intraday")) {
    GTEST_SKIP() << "sample portfolios not present";
  }
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
