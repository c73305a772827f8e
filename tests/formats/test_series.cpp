// LoadSeries windows over real quote files, and the series storage operations.
#include <gtest/gtest.h>

#include <string>

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
    Quote q;
    q.date = day;
    q.time = static_cast<QuoteTime>(17100 + (i % 390) * 30);
    q.open = 10.0f + static_cast<float>(i % 100);
    q.high = q.open + 1;
    q.low = q.open - 1;
    q.close = q.open + 0.5f;
    q.volume = static_cast<float>(i);
    q.openInterest = 7;
    quotes.push_back(q);
  }
  return quotes;
}

void ExpectQuote(const QuoteSeries& s, int k, const Quote& q, const std::string& where) {
  EXPECT_EQ(s.date[static_cast<std::size_t>(k)], q.date) << where << " row " << k;
  EXPECT_EQ(s.value(kOpen, k), q.open) << where << " row " << k;
  EXPECT_EQ(s.value(kHigh, k), q.high) << where << " row " << k;
  EXPECT_EQ(s.value(kLow, k), q.low) << where << " row " << k;
  EXPECT_EQ(s.value(kClose, k), q.close) << where << " row " << k;
  EXPECT_EQ(s.value(kVol, k), q.volume) << where << " row " << k;
  EXPECT_EQ(s.value(kOi, k), q.openInterest) << where << " row " << k;
}

TEST(SeriesStorage, InitFreeAndCount) {
  QuoteSeries s;
  ASSERT_EQ(InitSeries(s, 400), kOk);
  EXPECT_EQ(s.capacity, 400);
  EXPECT_EQ(s.count, 400);
  EXPECT_EQ(s.state, 0);
  EXPECT_EQ(s.infoSize, 0);
  EXPECT_EQ(s.date.size(), 400u);
  EXPECT_EQ(SetSeriesCount(s, 401), kMalloc);
  EXPECT_EQ(s.count, 400);
  EXPECT_EQ(SetSeriesCount(s, -1), kMalloc);
  EXPECT_EQ(SetSeriesCount(s, 10), kOk);
  EXPECT_EQ(s.count, 10);
  EXPECT_EQ(FreeSeries(s), kOk);
  EXPECT_EQ(s.capacity, 0);
  EXPECT_TRUE(s.date.empty());
  EXPECT_FALSE(s.info);

  EXPECT_EQ(InitSeries(s, -5), kMalloc);
  EXPECT_EQ(s.capacity, 0);
  EXPECT_EQ(s.count, 0);
}

TEST(LoadSeries, OldestNewestAndAPage) {
  TempDir tmp;
  const SymbolSpec spec = Daily(1000);
  PortfolioBuilder(tmp.get()).Add(spec).Write();

  QuoteSeries s;
  ASSERT_EQ(InitSeries(s, 1), kOk);
  ASSERT_EQ(LoadSeries(s, tmp.get(), "ibm", -1, 1), kOk);
  EXPECT_EQ(s.count, 1);
  EXPECT_EQ(s.total, 1000);
  ExpectQuote(s, 0, spec.quotes.back(), "newest");
  ASSERT_EQ(LoadSeries(s, tmp.get(), "IBM", 0, 1), kOk);
  ExpectQuote(s, 0, spec.quotes.front(), "oldest");
  EXPECT_EQ(s.state, 3);
  EXPECT_EQ(s.infoSize, kSeriesInfoSize);
  EXPECT_EQ(s.symbol, "IBM");
  EXPECT_EQ(s.path.back(), Path::preferred_separator);
  EXPECT_EQ(s.info->record.fileNumber(), 1);
  EXPECT_EQ(s.info->record.hostLastDate(), StoredValueFromDay(spec.quotes.back().date));
  EXPECT_EQ(s.info->layout.fieldPosition[kClose], 5);

  ASSERT_EQ(InitSeries(s, 400), kOk);
  ASSERT_EQ(LoadSeries(s, tmp.get(), "IBM", 300, 400), kOk);
  ASSERT_EQ(s.count, 400);
  for (int k = 0; k < 400; ++k)
    ExpectQuote(s, k, spec.quotes[300 + static_cast<std::size_t>(k)], "page");
  // The newest 400, and the last partial page.
  ASSERT_EQ(LoadSeries(s, tmp.get(), "IBM", -1, 400), kOk);
  ExpectQuote(s, 0, spec.quotes[600], "newest page");
  ASSERT_EQ(LoadSeries(s, tmp.get(), "IBM", 900, 400), kOk);
  EXPECT_EQ(s.count, 100);
  FreeSeries(s);
}

TEST(LoadSeries, CountZeroOnlyLearnsTheTotal) {
  TempDir tmp;
  PortfolioBuilder(tmp.get()).Add(Daily(25)).Add(Daily(0, 2, "EMPTY")).Write();
  QuoteSeries s;
  ASSERT_EQ(InitSeries(s, 1), kOk);
  ASSERT_EQ(SetSeriesCount(s, 0), kOk);
  ASSERT_EQ(LoadSeries(s, tmp.get(), "IBM", 0, 0), kOk);
  EXPECT_EQ(s.total, 25);
  EXPECT_EQ(s.count, 0);  // left as it was
  ASSERT_EQ(LoadSeries(s, tmp.get(), "EMPTY", 0, 0), kOk);
  EXPECT_EQ(s.total, 0);
  EXPECT_EQ(s.state, 3);
  // An empty file has no quote to give.
  EXPECT_EQ(LoadSeries(s, tmp.get(), "EMPTY", 0, 1), kRecordNotFound);
  EXPECT_EQ(LoadSeries(s, tmp.get(), "EMPTY", -1, 1), kRecordNotFound);
  EXPECT_EQ(LoadSeries(s, tmp.get(), "EMPTY", 0, -1), kOk);  // asks for none
}

TEST(LoadSeries, StartBeyondTheLastQuote) {
  TempDir tmp;
  PortfolioBuilder(tmp.get()).Add(Daily(10)).Write();
  QuoteSeries s;
  ASSERT_EQ(InitSeries(s, 5), kOk);
  ASSERT_EQ(LoadSeries(s, tmp.get(), "IBM", 0, 3), kOk);
  EXPECT_EQ(LoadSeries(s, tmp.get(), "IBM", 10, 1), kRecordNotFound);
  EXPECT_EQ(s.count, 3);  // unchanged
  EXPECT_EQ(s.total, 10);
  ASSERT_EQ(LoadSeries(s, tmp.get(), "IBM", 9, 1), kOk);
  EXPECT_EQ(s.count, 1);
}

TEST(LoadSeries, CountAboveCapacityLoadsCapacity) {
  TempDir tmp;
  const SymbolSpec spec = Daily(50);
  PortfolioBuilder(tmp.get()).Add(spec).Write();
  QuoteSeries s;
  ASSERT_EQ(InitSeries(s, 7), kOk);
  ASSERT_EQ(LoadSeries(s, tmp.get(), "IBM", 0, 30), kOk);
  EXPECT_EQ(s.count, 7);
  ASSERT_EQ(LoadSeries(s, tmp.get(), "IBM", -1, 30), kOk);
  EXPECT_EQ(s.count, 7);
  ExpectQuote(s, 6, spec.quotes.back(), "newest");
}

TEST(LoadSeries, ShortFileYieldsTheQuotesItHolds) {
  TempDir tmp;
  SymbolSpec spec = Daily(40);
  spec.lastRecord = 101;  // claims 100
  PortfolioBuilder(tmp.get()).Add(spec).Write();
  QuoteSeries s;
  ASSERT_EQ(InitSeries(s, 400), kOk);
  ASSERT_EQ(LoadSeries(s, tmp.get(), "IBM", 0, 400), kOk);
  EXPECT_EQ(s.total, 100);
  EXPECT_EQ(s.count, 40);
  ExpectQuote(s, 39, spec.quotes.back(), "last held");
  ASSERT_EQ(LoadSeries(s, tmp.get(), "IBM", 60, 10), kOk);
  EXPECT_EQ(s.count, 0);
  // A torn last record is not read.
  auto bytes = testing::FileBytes(tmp / "F1.DAT");
  bytes.resize(bytes.size() - 3);
  testing::WriteBytes(tmp / "F1.DAT", bytes);
  ASSERT_EQ(LoadSeries(s, tmp.get(), "IBM", 0, 400), kOk);
  EXPECT_EQ(s.count, 39);
}

TEST(LoadSeries, NegativeCountIsCappedAtMaxAutoBars) {
  TempDir tmp;
  SymbolSpec spec = Daily(0);
  spec.fields = {kDate, kClose};
  spec.quotes = Intraday(20000);
  PortfolioBuilder(tmp.get()).Add(spec).Write();
  QuoteSeries s;
  ASSERT_EQ(InitSeries(s, 20000), kOk);
  ASSERT_EQ(LoadSeries(s, tmp.get(), "IBM", 0, -1), kOk);
  EXPECT_EQ(s.count, kMaxAutoBars);
  ASSERT_EQ(LoadSeries(s, tmp.get(), "IBM", 100, -1), kOk);
  EXPECT_EQ(s.count, kMaxAutoBars - 100);
  EXPECT_EQ(s.value(kClose, 0), spec.quotes[100].close);
  EXPECT_EQ(s.value(kOpen, 0), -1.0f);
}

TEST(LoadSeries, CountsAboveSignedSixteenBits) {
  TempDir tmp;
  SymbolSpec spec = Daily(0);
  spec.fields = {kDate, kTime, kOpen, kHigh, kLow, kClose, kVol};
  spec.periodicity = 'I';
  spec.writeDop = false;
  spec.quotes = Intraday(kMaxQuotes);
  PortfolioBuilder(tmp.get()).Add(spec).Write();
  QuoteSeries s;
  ASSERT_EQ(InitSeries(s, 400), kOk);
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
}

TEST(LoadSeries, AnyFieldOrderAndMissingFields) {
  struct Case {
    const char* what;
    std::vector<FieldName> fields;
    bool dop;
    char periodicity;
  };
  const Case cases[] = {
      {"close first", {kClose, kDate, kVol, kHigh}, true, 'D'},
      {"time and oi", {kDate, kTime, kOpen, kHigh, kLow, kClose, kVol, kOi}, true, 'D'},
      {"date close", {kDate, kClose}, false, 'D'},
      {"date close vol", {kDate, kClose, kVol}, false, 'D'},
      {"date hlc", {kDate, kHigh, kLow, kClose}, false, 'D'},
      {"20-byte with volume", {kDate, kHigh, kLow, kClose, kVol}, false, 'D'},
      {"20-byte with open", {kDate, kOpen, kHigh, kLow, kClose}, false, 'D'},
      {"24-byte", {kDate, kOpen, kHigh, kLow, kClose, kVol}, false, 'D'},
      {"28-byte", {kDate, kOpen, kHigh, kLow, kClose, kVol, kOi}, false, 'D'},
      {"intraday 28", {kDate, kTime, kOpen, kHigh, kLow, kClose, kVol}, false, 'I'},
      {"intraday 32", {kDate, kTime, kOpen, kHigh, kLow, kClose, kVol, kOi}, false, 'I'},
      {"76-byte records", {kDate, kOpen, kHigh, kLow, kClose, kVol, kOi}, true, 'D'},
  };
  for (const Case& c : cases) {
    TempDir tmp;
    SymbolSpec spec = Daily(0);
    spec.fields = c.fields;
    spec.writeDop = c.dop;
    spec.periodicity = c.periodicity;
    spec.quotes = Intraday(30);
    if (std::string(c.what) == "76-byte records")
      spec.recordLength = 76;
    PortfolioBuilder(tmp.get()).Add(spec).Write();
    QuoteSeries s;
    ASSERT_EQ(InitSeries(s, 30), kOk);
    ASSERT_EQ(LoadSeries(s, tmp.get(), "IBM", 0, -1), kOk) << c.what;
    ASSERT_EQ(s.count, 30) << c.what;
    auto holds = [&](FieldName f) {
      for (FieldName g : c.fields) {
        if (g == f)
          return true;
      }
      return false;
    };
    for (int k = 0; k < 30; ++k) {
      const Quote& q = spec.quotes[static_cast<std::size_t>(k)];
      EXPECT_EQ(s.date[static_cast<std::size_t>(k)], q.date) << c.what;
      EXPECT_EQ(s.time[static_cast<std::size_t>(k)], holds(kTime) ? q.time : 0) << c.what;
      const float expected[] = {q.open, q.high, q.low, q.close, q.volume, q.openInterest};
      for (int f = kOpen; f <= kOi; ++f) {
        EXPECT_EQ(s.value(static_cast<FieldName>(f), k),
                  holds(static_cast<FieldName>(f)) ? expected[f - kOpen] : -1.0f)
            << c.what << " field " << kFieldNames[static_cast<std::size_t>(f)];
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

TEST(LoadSeries, QuoteFilesOfAnyCase) {
  TempDir tmp;
  const SymbolSpec spec = Daily(12);
  PortfolioBuilder(tmp.get())
      .SetMasterName("master")
      .SetLowerCaseQuoteFiles(true)
      .Add(spec)
      .Write();
  std::filesystem::rename(tmp / "f1.dop", tmp / "F1.dop");
  QuoteSeries s;
  ASSERT_EQ(InitSeries(s, 12), kOk);
  ASSERT_EQ(LoadSeries(s, tmp.get(), "IBM", 0, 12), kOk);
  EXPECT_EQ(s.count, 12);
  ExpectQuote(s, 11, spec.quotes.back(), "lower-case files");
}

TEST(SeriesReader, WindowsMatchLoadSeries) {
  TempDir tmp;
  const SymbolSpec spec = Daily(1000);
  PortfolioBuilder(tmp.get()).AddDirectoryEntry("SUB").Write();
  PortfolioBuilder(tmp / "SUB").Add(spec).Write();
  SeriesReader reader;
  EXPECT_EQ(reader.Load(*std::make_unique<QuoteSeries>(), 0, 1), kFileOpen);
  EXPECT_EQ(reader.Open(tmp.get(), "NONE"), kFileNotFound);
  EXPECT_FALSE(reader.isOpen());
  ASSERT_EQ(reader.Open(tmp.get(), "ibm"), kOk);
  EXPECT_EQ(reader.record().fileNumber(), 1);
  EXPECT_EQ(reader.foundDir(), tmp.get() / "SUB" / "");
  const std::pair<int, int> windows[] = {{0, 0},    {-1, 400}, {0, 400}, {900, 400}, {999, 1},
                                         {1000, 1}, {0, -1},   {-1, 1},  {500, -1}};
  for (const auto& [start, count] : windows) {
    QuoteSeries a, b;
    ASSERT_EQ(InitSeries(a, 400), kOk);
    ASSERT_EQ(InitSeries(b, 400), kOk);
    const StatusCode expected = LoadSeries(a, tmp.get(), "ibm", start, count);
    EXPECT_EQ(reader.Load(b, start, count), expected) << start << "," << count;
    EXPECT_EQ(a.count, b.count) << start << "," << count;
    EXPECT_EQ(a.total, b.total);
    EXPECT_EQ(a.path, b.path);
    EXPECT_EQ(a.symbol, b.symbol);
    EXPECT_EQ(a.date, b.date);
    EXPECT_EQ(a.values, b.values);
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
