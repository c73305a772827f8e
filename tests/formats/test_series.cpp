// LoadSeries windows over real quote files, and the series storage operations.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <tuple>

#include "formats/series.h"
#include "tests/support/failing_file_system.h"
#include "tests/support/fixture.h"

namespace ledgrix::formats {
namespace {

using testing::PortfolioBuilder;
using testing::Quote;
using testing::SymbolSpec;
using testing::TempDir;

SymbolSpec Daily(int count, std::uint8_t n = 1, std::string symbol = "IBM") {
  SymbolSpec s;
  s.fileNumber = n;
  s.symbol = std::move(symbol);
  s.name = "TEST " + s.symbol;
  s.quotes = testing::MakeDailyQuotes(DayFromYmd(1990, 1, 2), count);
  return s;
}

// Quotes one minute apart from 09:30, 390 a day, on consecutive weekdays.
std::vector<Quote> Intraday(int count) {
  std::vector<Quote> quotes;
  QuoteDate day = DayFromYmd(1990, 1, 2);
  for (int i = 0; i < count; ++i) {
    if (i > 0 && i % 390 == 0)
      day = WeekdayAfter(day);
    const float open = 10.0f + static_cast<float>(i % 100);
    quotes.push_back({day, static_cast<QuoteTime>(17100 + (i % 390) * 30), open, open + 1, open - 1,
                      open + 0.5f, static_cast<float>(i), 7});
  }
  return quotes;
}

void ExpectQuote(const QuoteSeries& s, int k, const Quote& q) {
  const auto at = static_cast<std::size_t>(k);
  EXPECT_EQ(s.date[at], q.date) << "row " << k;
  const float expected[] = {q.open, q.high, q.low, q.close, q.volume, q.openInterest};
  for (int f = kOpen; f <= kOi; ++f)
    EXPECT_EQ(s.value(static_cast<FieldName>(f), k), expected[f - kOpen]) << "row " << k;
}

TEST(SeriesStorage, InitFreeAndCount) {
  QuoteSeries s;
  ASSERT_EQ(InitSeries(s, 400), kOk);
  EXPECT_EQ(s.capacity, 400);
  EXPECT_EQ(s.count, 400);
  EXPECT_EQ(s.date.size(), 400u);
  // A count above the capacity or below 0 changes nothing.
  EXPECT_EQ(SetSeriesCount(s, 401), kMalloc);
  EXPECT_EQ(SetSeriesCount(s, -1), kMalloc);
  EXPECT_EQ(s.count, 400);
  EXPECT_EQ(FreeSeries(s), kOk);
  EXPECT_EQ(s.capacity, 0);
  EXPECT_TRUE(s.date.empty());
  EXPECT_EQ(InitSeries(s, -5), kMalloc);
  EXPECT_EQ(s.capacity, 0);
}

// Windows over 1000 quotes in a sub-portfolio, by LoadSeries and by a SeriesReader alike.
TEST(LoadSeries, Windows) {
  TempDir tmp;
  const SymbolSpec spec = Daily(1000);
  PortfolioBuilder(tmp.get()).AddDirectoryEntry("SUB").Write();
  PortfolioBuilder(tmp / "SUB").Add(spec).Write();
  SeriesReader reader;
  EXPECT_EQ(reader.Load(*std::make_unique<QuoteSeries>(), 0, 1), kFileOpen);
  EXPECT_EQ(reader.Open(tmp.get(), "NONE"), kFileNotFound);
  EXPECT_FALSE(reader.isOpen());
  ASSERT_EQ(reader.Open(tmp.get(), "ibm"), kOk);
  EXPECT_EQ(reader.entry().fileNumber(), 1);
  EXPECT_EQ(reader.foundDir(), tmp.get() / "SUB" / "");
  struct Case {
    const char* what;
    int capacity, start, count;
    StatusCode status;
    int loaded;  // -1: the count stays as it was
    int first;   // index of the first quote loaded
  };
  const Case cases[] = {{"newest", 1, -1, 1, kOk, 1, 999},
                        {"oldest", 1, 0, 1, kOk, 1, 0},
                        {"a page", 400, 300, 400, kOk, 400, 300},
                        {"newest page", 400, -1, 400, kOk, 400, 600},
                        {"last partial page", 400, 900, 400, kOk, 100, 900},
                        {"count above capacity", 7, 0, 30, kOk, 7, 0},
                        {"newest, count above capacity", 7, -1, 30, kOk, 7, 993},
                        {"the last quote", 5, 999, 1, kOk, 1, 999},
                        {"start beyond the last quote", 5, 1000, 1, kRecordNotFound, -1, 0},
                        {"count 0 learns the total", 400, 0, 0, kOk, -1, 0},
                        {"count -1 up to capacity", 400, 500, -1, kOk, 400, 500}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QuoteSeries a, b;
    ASSERT_EQ(InitSeries(a, c.capacity), kOk);
    ASSERT_EQ(InitSeries(b, c.capacity), kOk);
    ASSERT_EQ(LoadSeries(a, tmp.get(), "ibm", c.start, c.count), c.status);
    EXPECT_EQ(reader.Load(b, c.start, c.count), c.status);
    EXPECT_EQ(a.total, 1000);
    ASSERT_EQ(a.count, c.loaded < 0 ? c.capacity : c.loaded);
    if (c.loaded > 0) {
      for (int k = 0; k < a.count; ++k)
        ExpectQuote(a, k, spec.quotes[static_cast<std::size_t>(c.first + k)]);
    }
    EXPECT_EQ(std::tie(a.count, a.total, a.path, a.symbol, a.date, a.values),
              std::tie(b.count, b.total, b.path, b.symbol, b.date, b.values));
    if (c.status == kOk) {
      EXPECT_EQ(a.state, 3);
      EXPECT_EQ(a.infoSize, kSeriesInfoSize);
      EXPECT_EQ(a.symbol, "ibm");  // the search text
      EXPECT_EQ(a.path, (tmp.get() / "SUB" / "").string());
    }
  }
}

TEST(LoadSeries, ShortFiles) {
  TempDir tmp;
  SymbolSpec spec = Daily(40);
  spec.lastRecord = 101;  // claims 100
  PortfolioBuilder(tmp.get()).Add(spec).Write();
  QuoteSeries s;
  ASSERT_EQ(InitSeries(s, 400), kOk);
  // A short file yields the quotes it holds (an empty one is a row of the damaged-input table).
  ASSERT_EQ(LoadSeries(s, tmp.get(), "IBM", 0, 400), kOk);
  EXPECT_EQ(s.total, 100);
  EXPECT_EQ(s.count, 40);
  ExpectQuote(s, 39, spec.quotes.back());
  ASSERT_EQ(LoadSeries(s, tmp.get(), "IBM", 60, 10), kOk);
  EXPECT_EQ(s.count, 0);
  // A torn last record is not read.
  auto bytes = testing::FileBytes(tmp / "F1.DAT");
  bytes.resize(bytes.size() - 3);
  testing::WriteBytes(tmp / "F1.DAT", bytes);
  ASSERT_EQ(LoadSeries(s, tmp.get(), "IBM", 0, 400), kOk);
  EXPECT_EQ(s.count, 39);
}

TEST(LoadSeries, CountsAboveSignedSixteenBitsAndTheAutoCap) {
  TempDir tmp;
  SymbolSpec spec = Daily(0);
  spec.fields = {kDate, kTime, kOpen, kHigh, kLow, kClose, kVol};
  spec.periodicity = 'I';
  spec.writeDop = false;
  spec.quotes = Intraday(kMaxQuotes);
  PortfolioBuilder(tmp.get()).Add(spec).Write();
  QuoteSeries s;
  ASSERT_EQ(InitSeries(s, 20000), kOk);
  ASSERT_EQ(LoadSeries(s, tmp.get(), "IBM", 0, 0), kOk);
  EXPECT_EQ(s.total, 65534);
  ASSERT_EQ(LoadSeries(s, tmp.get(), "IBM", -1, 400), kOk);
  ASSERT_EQ(s.count, 400);
  const Quote& last = spec.quotes.back();
  EXPECT_EQ(s.date[399], last.date);
  EXPECT_EQ(s.time[399], last.time);
  EXPECT_EQ(s.value(kVol, 399), 65533.0f);
  EXPECT_EQ(s.value(kOi, 399), -1.0f);
  ASSERT_EQ(LoadSeries(s, tmp.get(), "IBM", 40000, 1), kOk);
  EXPECT_EQ(s.value(kVol, 0), 40000.0f);
  // A negative count asks for at most kMaxAutoBars quotes.
  ASSERT_EQ(LoadSeries(s, tmp.get(), "IBM", 0, -1), kOk);
  EXPECT_EQ(s.count, kMaxAutoBars);
  ASSERT_EQ(LoadSeries(s, tmp.get(), "IBM", 100, -1), kOk);
  EXPECT_EQ(s.count, kMaxAutoBars - 100);
  EXPECT_EQ(s.value(kClose, 0), spec.quotes[100].close);
}

TEST(LoadSeries, AnyFieldOrderAndMissingFields) {
  struct Case {
    const char* what;
    std::vector<FieldName> fields;
    bool dop;
    char periodicity = 'D';
    std::optional<int> recordLength = std::nullopt;
  };
  const Case cases[] = {
      {"close first", {kClose, kDate, kVol, kHigh}, true},
      {"time and oi", {kDate, kTime, kOpen, kHigh, kLow, kClose, kVol, kOi}, true},
      {"date close", {kDate, kClose}, false},
      {"20-byte with volume", {kDate, kHigh, kLow, kClose, kVol}, false},
      {"20-byte with open", {kDate, kOpen, kHigh, kLow, kClose}, false},
      {"28-byte", {kDate, kOpen, kHigh, kLow, kClose, kVol, kOi}, false},
      {"intraday 32", {kDate, kTime, kOpen, kHigh, kLow, kClose, kVol, kOi}, false, 'I'},
      {"76-byte records", {kDate, kOpen, kHigh, kLow, kClose, kVol, kOi}, true, 'D', 76}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir tmp;
    SymbolSpec spec = Daily(0);
    spec.fields = c.fields;
    spec.writeDop = c.dop;
    spec.periodicity = c.periodicity;
    spec.recordLength = c.recordLength;
    spec.quotes = Intraday(30);
    PortfolioBuilder(tmp.get()).Add(spec).Write();
    QuoteSeries s;
    ASSERT_EQ(InitSeries(s, 30), kOk);
    ASSERT_EQ(LoadSeries(s, tmp.get(), "IBM", 0, -1), kOk);
    ASSERT_EQ(s.count, 30);
    auto holds = [&](FieldName f) {
      return std::find(c.fields.begin(), c.fields.end(), f) != c.fields.end();
    };
    for (int k = 0; k < 30; ++k) {
      const Quote& q = spec.quotes[static_cast<std::size_t>(k)];
      EXPECT_EQ(s.date[static_cast<std::size_t>(k)], q.date);
      EXPECT_EQ(s.time[static_cast<std::size_t>(k)], holds(kTime) ? q.time : 0);
      const float expected[] = {q.open, q.high, q.low, q.close, q.volume, q.openInterest};
      for (int f = kOpen; f <= kOi; ++f) {
        EXPECT_EQ(s.value(static_cast<FieldName>(f), k),
                  holds(static_cast<FieldName>(f)) ? expected[f - kOpen] : -1.0f)
            << kFieldNames[static_cast<std::size_t>(f)];
      }
    }
  }
}

TEST(LoadSeries, FailuresLeaveTheSeriesAlone) {
  TempDir tmp;
  SymbolSpec wide = Daily(5, 2, "WIDE");
  wide.fields.push_back(kTime);  // 32 bytes, no DOP: no layout
  wide.writeDop = false;
  PortfolioBuilder(tmp.get()).Add(Daily(5)).Add(wide).Add(Daily(5, 3, "NODAT")).Write();
  std::filesystem::remove(tmp / "F3.DAT");
  QuoteSeries s;
  ASSERT_EQ(InitSeries(s, 5), kOk);
  ASSERT_EQ(LoadSeries(s, tmp.get(), "IBM", 0, 2), kOk);
  const auto before = s.date;
  for (const auto& [symbol, status] : {std::pair<const char*, StatusCode>{"NONE", kFileNotFound},
                                       {"WIDE", kNoFieldLayout},
                                       {"NODAT", kFileOpen}}) {
    EXPECT_EQ(LoadSeries(s, tmp.get(), symbol, 0, 2), status) << symbol;
    EXPECT_EQ(s.symbol, "IBM");
    EXPECT_EQ(s.total, 5);
    EXPECT_EQ(s.count, 2);
    EXPECT_EQ(s.date, before);
  }
}

// Every read, seek, open and listing of a load fails once in turn: the load then reports a
// failure, or (where the fault cannot change what is read) gives exactly the quotes of a clean
// load; it never reports success with fewer or other quotes.
TEST(LoadSeries, InjectedReadFaultsNeverPassForData) {
  TempDir tmp;
  PortfolioBuilder(tmp.get()).AddDirectoryEntry("SUB").Write();
  PortfolioBuilder(tmp / "SUB").Add(Daily(3, 2, "OTHER")).Add(Daily(900)).Write();
  QuoteSeries clean;
  ASSERT_EQ(InitSeries(clean, 400), kOk);
  ASSERT_EQ(LoadSeries(clean, tmp.get(), "IBM", 100, 400), kOk);
  int faults = 0;
  for (int k = 1;; ++k) {
    testing::FailingFileSystem fs(platform::RealFileSystem(), k);
    fs.setCountReads(true);
    platform::ScopedFileSystem guard(fs);
    QuoteSeries s;
    ASSERT_EQ(InitSeries(s, 400), kOk);
    const StatusCode status = LoadSeries(s, tmp.get(), "IBM", 100, 400);
    if (!fs.failed()) {
      EXPECT_EQ(status, kOk);
      break;
    }
    ++faults;
    if (status == kOk) {
      EXPECT_EQ(s.count, clean.count) << "fault " << k;
      EXPECT_EQ(s.date, clean.date) << "fault " << k;
      EXPECT_EQ(s.values, clean.values) << "fault " << k;
    }
  }
  EXPECT_GT(faults, 10);
}

}  // namespace
}  // namespace ledgrix::formats
