// The quote rewrite on real portfolio bytes: each operation's file image, the MASTER dates after
// a delete, the backup, the record search, and the refusals that leave every file as it was.
#include "maintenance/quote_rewrite.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "formats/dates.h"
#include "formats/master.h"
#include "formats/series.h"
#include "formats/status.h"
#include "platform/files.h"
#include "tests/support/fixture.h"
#include "tests/support/scripted_prompt.h"

namespace ledgrix::maintenance {
namespace {

using Bytes = std::vector<std::uint8_t>;
using formats::DayFromYmd;
using testing::FileBytes;
using testing::MakeQuoteFile;
using testing::PortfolioBuilder;
using testing::ScriptedPrompt;
using testing::SymbolSpec;
using testing::TempDir;

// Monday 5 January 1998.
const QuoteDate kMonday = DayFromYmd(98, 1, 5);

SymbolSpec Daily(std::uint8_t n, const std::string& symbol, int count, QuoteDate first = kMonday) {
  SymbolSpec spec;
  spec.fileNumber = n;
  spec.symbol = symbol;
  spec.name = symbol + " INC";
  spec.quotes = testing::MakeDailyQuotes(first, count);
  return spec;
}

std::set<std::string> Names(const std::filesystem::path& dir) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    names.insert(entry.path().filename().string());
  return names;
}

QuoteChange Change(std::int16_t op, QuoteDate first, QuoteDate last,
                   std::array<float, 6> values = {}) {
  QuoteChange change;
  change.operation = op;
  change.firstDate = first;
  change.lastDate = last;
  change.values = values;
  return change;
}

// The 4 stored bytes at offset in MASTER record `index` (1 = first symbol record).
formats::StoredNumber MasterBytesAt(const std::filesystem::path& master, int index,
                                    std::size_t offset) {
  Bytes bytes = FileBytes(master);
  formats::StoredNumber out{};
  std::memcpy(out.data(), bytes.data() + formats::kMasterRecordSize * index + offset, 4);
  return out;
}

class RewriteTest : public ::testing::Test {
 protected:
  std::filesystem::path Dat(int n = 1) const {
    return dir.get() / ("F" + std::to_string(n) + ".DAT");
  }
  std::filesystem::path Master() const { return dir.get() / "MASTER"; }
  TempDir dir;
  ScriptedPrompt prompt;
};

TEST_F(RewriteTest, SetChangesOnlyTheFieldsTheRecordHolds) {
  SymbolSpec spec = Daily(1, "NOOI", 5);
  spec.fields = {formats::kDate, formats::kOpen,  formats::kHigh,
                 formats::kLow,  formats::kClose, formats::kVol};
  PortfolioBuilder(dir.get()).Add(spec).Write();
  const Bytes before = FileBytes(Dat());
  const QuoteDate day = spec.quotes[2].date;

  ASSERT_EQ(ApplyQuoteChange(Change(kSet, day, day, {1, 2, 3, 4, 5, 6}), dir.get(), "NOOI", prompt),
            formats::kOk);

  SymbolSpec expected = spec;
  auto& q = expected.quotes[2];
  q.open = 1, q.high = 2, q.low = 3, q.close = 4, q.volume = 5;
  EXPECT_EQ(FileBytes(Dat()), MakeQuoteFile(expected));
  EXPECT_EQ(FileBytes(dir.get() / "F1.BAK"), before);
  EXPECT_TRUE(prompt.messages.empty());
  EXPECT_EQ(Names(dir.get()), (std::set<std::string>{"MASTER", "F1.DAT", "F1.DOP", "F1.BAK"}));
}

TEST_F(RewriteTest, ScaleFromDayZeroChangesEveryQuoteUpToTheLastDayAndNoneAfter) {
  SymbolSpec spec = Daily(1, "SPLT", 10);
  PortfolioBuilder(dir.get()).Add(spec).Write();
  const QuoteDate last = spec.quotes[4].date;

  ASSERT_EQ(ApplyQuoteChange(Change(kScale, 0, last, {0.5f, 0.5f, 0.5f, 0.5f, 2.0f, 4.0f}),
                             dir.get(), "splt", prompt),
            formats::kOk);

  SymbolSpec expected = spec;
  for (int i = 0; i <= 4; ++i) {
    auto& q = expected.quotes[static_cast<std::size_t>(i)];
    q.open *= 0.5f, q.high *= 0.5f, q.low *= 0.5f, q.close *= 0.5f;
    q.volume *= 2.0f, q.openInterest *= 4.0f;
  }
  EXPECT_EQ(FileBytes(Dat()), MakeQuoteFile(expected));
}

TEST_F(RewriteTest, FieldsInAnUnusualOrderAreWrittenBackInTheSameOrder) {
  SymbolSpec spec = Daily(1, "ODD", 6);
  spec.fields = {formats::kClose, formats::kVol,  formats::kDate, formats::kLow,
                 formats::kOi,    formats::kHigh, formats::kOpen};
  PortfolioBuilder(dir.get()).Add(spec).Write();

  ASSERT_EQ(ApplyQuoteChange(
                Change(kScaleAlt, spec.quotes[1].date, spec.quotes[3].date, {2, 2, 2, 2, 3, 1}),
                dir.get(), "ODD", prompt),
            formats::kOk);

  SymbolSpec expected = spec;
  for (int i = 1; i <= 3; ++i) {
    auto& q = expected.quotes[static_cast<std::size_t>(i)];
    q.open *= 2, q.high *= 2, q.low *= 2, q.close *= 2, q.volume *= 3;
  }
  EXPECT_EQ(FileBytes(Dat()), MakeQuoteFile(expected));
}

// Delete at each position: the file loses the quote, MASTER follows at either end only.
struct DeleteCase {
  const char* name;
  int count;
  int index;
  int newFirst;  // index in the old series of the expected MASTER firstDate, -1: unchanged
  int newLast;
};

class DeleteTest : public RewriteTest, public ::testing::WithParamInterface<DeleteCase> {};

TEST_P(DeleteTest, RemovesTheQuoteAndKeepsTheMasterDatesInStep) {
  const DeleteCase& c = GetParam();
  SymbolSpec spec = Daily(1, "DEL", c.count);
  PortfolioBuilder(dir.get()).Add(Daily(2, "OTHER", 4)).Add(spec).Write();
  const Bytes masterBefore = FileBytes(Master());
  const Bytes datBefore = FileBytes(Dat());
  const QuoteDate day = spec.quotes[static_cast<std::size_t>(c.index)].date;

  ASSERT_EQ(ApplyQuoteChange(Change(kDelete, day, day), dir.get(), "DEL", prompt), formats::kOk);

  SymbolSpec expected = spec;
  expected.quotes.erase(expected.quotes.begin() + c.index);
  EXPECT_EQ(FileBytes(Dat()), MakeQuoteFile(expected));
  EXPECT_EQ(FileBytes(dir.get() / "F1.BAK"), datBefore);
  Bytes master = masterBefore;
  auto put = [&](std::size_t offset, int index) {
    formats::StoredNumber d =
        formats::StoredFromDay(spec.quotes[static_cast<std::size_t>(index)].date);
    std::memcpy(master.data() + 2 * formats::kMasterRecordSize + offset, d.data(), 4);
  };
  if (c.newFirst >= 0)
    put(formats::master_offset::kFirstDate, c.newFirst);
  if (c.newLast >= 0)
    put(formats::master_offset::kLastDate, c.newLast);
  EXPECT_EQ(FileBytes(Master()), master);
  const bool masterTouched = c.newFirst >= 0 || c.newLast >= 0;
  EXPECT_EQ(FileBytes(dir.get() / "MASTER.BAK"), masterTouched ? masterBefore : Bytes());
  EXPECT_TRUE(prompt.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Positions, DeleteTest,
                         ::testing::Values(DeleteCase{"Oldest", 3, 0, 1, -1},
                                           DeleteCase{"Newest", 3, 2, -1, 1},
                                           DeleteCase{"Middle", 3, 1, -1, -1},
                                           DeleteCase{"Only", 1, 0, 0, 0}),
                         [](const auto& tp) { return std::string(tp.param.name); });

TEST_F(RewriteTest, DeleteInASubPortfolioUpdatesThatMasterNotTheTopOne) {
  // The top MASTER lists another symbol under the same file number.
  std::filesystem::path sub = dir.get() / "SUB";
  SymbolSpec inner = Daily(1, "INNER", 3);
  PortfolioBuilder(sub).Add(inner).Write();
  PortfolioBuilder(dir.get())
      .Add(Daily(1, "TOP", 3, DayFromYmd(99, 3, 1)))
      .AddDirectoryEntry("SUB")
      .Write();
  const Bytes topBefore = FileBytes(Master());
  const Bytes topDat = FileBytes(Dat());
  const Bytes subBefore = FileBytes(sub / "MASTER");

  ASSERT_EQ(ApplyQuoteChange(Change(kDelete, inner.quotes[0].date, inner.quotes[0].date), dir.get(),
                             "INNER", prompt),
            formats::kOk);

  EXPECT_EQ(FileBytes(Master()), topBefore);
  EXPECT_EQ(FileBytes(Dat()), topDat);
  EXPECT_EQ(MasterBytesAt(sub / "MASTER", 1, formats::master_offset::kFirstDate),
            formats::StoredFromDay(inner.quotes[1].date));
  EXPECT_EQ(FileBytes(sub / "MASTER.BAK"), subBefore);
  EXPECT_FALSE(std::filesystem::exists(dir.get() / "MASTER.BAK"));
}

TEST_F(RewriteTest, DeleteOfAMissingDateShowsTheMessageAndChangesNothing) {
  SymbolSpec spec = Daily(1, "GAP", 4);
  PortfolioBuilder(dir.get()).Add(spec).Write();
  const Bytes before = FileBytes(Dat());
  const auto namesBefore = Names(dir.get());
  const QuoteDate saturday = DayFromYmd(98, 1, 10);

  EXPECT_EQ(ApplyQuoteChange(Change(kDelete, saturday, saturday), dir.get(), "GAP", prompt),
            formats::kDeleteNotFound);
  EXPECT_EQ(prompt.messages, std::vector<std::string>{"failure in delete quote for findrec"});
  EXPECT_EQ(FileBytes(Dat()), before);
  EXPECT_EQ(Names(dir.get()), namesBefore);
}

TEST_F(RewriteTest, InsertBeforeAMondayWritesAFridayCopyInFront) {
  SymbolSpec spec = Daily(1, "INS", 4, DayFromYmd(98, 1, 7));  // Wed, Thu, Fri, Mon
  PortfolioBuilder(dir.get()).Add(spec).Write();
  const QuoteDate monday = spec.quotes[3].date;
  ASSERT_EQ(formats::Weekday(monday), 1);

  ASSERT_EQ(ApplyQuoteChange(Change(kInsert, monday, monday), dir.get(), "INS", prompt),
            formats::kOk);

  SymbolSpec expected = spec;
  testing::Quote copy = spec.quotes[3];
  copy.date = monday - 3;
  expected.quotes.insert(expected.quotes.begin() + 3, copy);
  EXPECT_EQ(FileBytes(Dat()), MakeQuoteFile(expected));
}

// A header that counts fewer quotes than the file holds: the count must not wrap to 65 535.
TEST_F(RewriteTest, DeleteBeyondTheCountOfTheHeaderIsRefused) {
  for (int lastRecord : {0, 1}) {
    SCOPED_TRACE(lastRecord);
    TempDir folder;
    SymbolSpec spec = Daily(1, "SHORT", 3);
    spec.lastRecord = lastRecord;
    PortfolioBuilder(folder.get()).Add(spec).Write();
    const Bytes before = FileBytes(folder.get() / "F1.DAT");
    ScriptedPrompt p;
    const QuoteDate day = spec.quotes[0].date;
    EXPECT_EQ(ApplyQuoteChange(Change(kDelete, day, day), folder.get(), "SHORT", p),
              formats::kDeleteNotFound);
    EXPECT_EQ(FileBytes(folder.get() / "F1.DAT"), before);
  }
}

TEST_F(RewriteTest, InsertOnAWeekendDateLeavesContentAndCount) {
  SymbolSpec spec = Daily(1, "WKND", 4);
  PortfolioBuilder(dir.get()).Add(spec).Write();
  const Bytes before = FileBytes(Dat());
  const QuoteDate sunday = DayFromYmd(98, 1, 11);

  ASSERT_EQ(ApplyQuoteChange(Change(kInsert, sunday, sunday), dir.get(), "WKND", prompt),
            formats::kOk);
  EXPECT_EQ(FileBytes(Dat()), before);
}

TEST_F(RewriteTest, InsertIntoAFullFileIsRefused) {
  SymbolSpec spec = Daily(1, "FULL", 3);
  spec.lastRecord = formats::kMaxQuotes + 1;  // the header claims 65 534 quotes
  PortfolioBuilder(dir.get()).Add(spec).Write();
  const auto namesBefore = Names(dir.get());
  const Bytes before = FileBytes(Dat());

  EXPECT_EQ(ApplyQuoteChange(Change(kInsert, spec.quotes[1].date, spec.quotes[1].date), dir.get(),
                             "FULL", prompt),
            formats::kMalloc);
  EXPECT_EQ(FileBytes(Dat()), before);
  EXPECT_EQ(Names(dir.get()), namesBefore);
}

// Record lengths no reader can hold, and files that cannot be read, change nothing.
TEST_F(RewriteTest, RefusalsLeaveEveryFileAsItWas) {
  SymbolSpec wide = Daily(1, "WIDE", 3);
  wide.recordLength = 80;
  SymbolSpec odd = Daily(2, "ODD", 3);
  odd.recordLength = 30;
  SymbolSpec missing = Daily(3, "GONE", 3);
  SymbolSpec stub = Daily(4, "STUB", 3);
  PortfolioBuilder(dir.get()).Add(wide).Add(odd).Add(missing).Add(stub).Write();
  std::filesystem::remove(Dat(3));
  testing::WriteBytes(Dat(4), {1, 0});  // shorter than its header
  const auto namesBefore = Names(dir.get());

  const QuoteChange scale = Change(kScale, 0, 0xFFFF, {2, 2, 2, 2, 2, 2});
  EXPECT_EQ(ApplyQuoteChange(scale, dir.get(), "WIDE", prompt), formats::kNoFieldLayout);
  EXPECT_EQ(ApplyQuoteChange(scale, dir.get(), "ODD", prompt), formats::kNoFieldLayout);
  EXPECT_EQ(ApplyQuoteChange(scale, dir.get(), "GONE", prompt), formats::kFileOpen);
  EXPECT_EQ(ApplyQuoteChange(scale, dir.get(), "STUB", prompt), formats::kFileRead);
  EXPECT_EQ(ApplyQuoteChange(scale, dir.get(), "NOSUCH", prompt), formats::kFileNotFound);
  EXPECT_EQ(Names(dir.get()), namesBefore);
  EXPECT_EQ(FindQuoteRecord(dir.get(), "WIDE", kMonday, 0), formats::kNoFieldLayout);
}

TEST_F(RewriteTest, MixedCaseNamesOnDiskAreReplacedNotJoined) {
  SymbolSpec spec = Daily(1, "LOW", 3);
  PortfolioBuilder(dir.get())
      .Add(spec)
      .SetMasterName("master")
      .SetLowerCaseQuoteFiles(true)
      .Write();
  const Bytes before = FileBytes(dir.get() / "f1.dat");

  ASSERT_EQ(ApplyQuoteChange(Change(kDelete, spec.quotes[0].date, spec.quotes[0].date), dir.get(),
                             "LOW", prompt),
            formats::kOk);
  EXPECT_EQ(Names(dir.get()),
            (std::set<std::string>{"master", "MASTER.BAK", "f1.dat", "f1.dop", "F1.BAK"}));
  EXPECT_EQ(FileBytes(dir.get() / "F1.BAK"), before);
  EXPECT_EQ(MasterBytesAt(dir.get() / "master", 1, formats::master_offset::kFirstDate),
            formats::StoredFromDay(spec.quotes[1].date));
}

// The record search on dates of the 2000s, which the files store as 1YYMMDD.
TEST_F(RewriteTest, FindQuoteRecordOnDatesOfThe2000s) {
  SymbolSpec spec = Daily(1, "Y2K", 40, DayFromYmd(2003, 1, 6));
  PortfolioBuilder(dir.get()).Add(spec).Write();

  for (std::size_t i : {0u, 1u, 17u, 38u, 39u}) {
    QuoteDate found = 0;
    EXPECT_EQ(FindQuoteRecord(dir.get(), "Y2K", spec.quotes[i].date, 0, &found),
              static_cast<std::int32_t>(i));
    EXPECT_EQ(found, spec.quotes[i].date);
  }
  QuoteDate found = 0;
  const QuoteDate saturday = spec.quotes[4].date + 1;
  std::int32_t index = FindQuoteRecord(dir.get(), "Y2K", saturday, 0, &found);
  EXPECT_TRUE(index < 0 || found != saturday);
  EXPECT_EQ(FindQuoteRecord(dir.get(), "Y2K", spec.quotes.back().date + 3, 0),
            formats::kRecordNotFound);
  EXPECT_EQ(FindQuoteRecord(dir.get(), "Y2K", spec.quotes.front().date - 1, 0, &found), 0);
  EXPECT_EQ(found, spec.quotes.front().date);
}

TEST_F(RewriteTest, UpdateMasterDateWritesEveryRecordOfTheNumberAndKeepsABackup) {
  PortfolioBuilder(dir.get()).Add(Daily(1, "A", 3)).Add(Daily(2, "B", 3)).Write();
  const Bytes before = FileBytes(Master());
  const formats::StoredNumber stored = formats::StoredFromDay(DayFromYmd(2001, 2, 3));

  EXPECT_EQ(UpdateMasterDate(Master(), stored, 2, false), 0);
  Bytes expected = before;
  std::memcpy(expected.data() + 2 * formats::kMasterRecordSize + formats::master_offset::kLastDate,
              stored.data(), 4);
  EXPECT_EQ(FileBytes(Master()), expected);
  EXPECT_EQ(FileBytes(dir.get() / "MASTER.BAK"), before);
  EXPECT_EQ(UpdateMasterDate(dir.get() / "NONE" / "MASTER", stored, 2, true), 1);
}

// Real portfolios, copied into a temporary folder: the first symbol that has its quote file.
struct SampleSymbol {
  std::string symbol;
  int fileNumber = 0;
  Bytes dat;
};

std::optional<SampleSymbol> CopySample(const std::filesystem::path& from,
                                       const std::filesystem::path& to) {
  formats::MasterFile master;
  if (!formats::ReadMasterFile(from / "MASTER", master))
    return std::nullopt;
  for (const auto& record : master.records) {
    const std::filesystem::path dat = from / ("F" + std::to_string(record.fileNumber()) + ".DAT");
    if (record.displaySymbol().empty() || !std::filesystem::exists(dat))
      continue;
    testing::WriteBytes(to / "MASTER", FileBytes(platform::ResolvePath(from / "MASTER")));
    SampleSymbol s{record.displaySymbol(), record.fileNumber(), FileBytes(dat)};
    testing::WriteBytes(to / dat.filename(), s.dat);
    return s;
  }
  return std::nullopt;
}

TEST(RewriteSamples, AnIdentityScaleGivesRealFilesBackByteForByte) {
  const auto samples = testing::SamplesDir();
  if (!samples)
    GTEST_SKIP() << "no sample portfolios";
  for (const char* folder :
       {"msdir_stooq", "msdir_bbfinance", "msdir_equis_b", "okomarov-sampleData/Intraday"}) {
    SCOPED_TRACE(folder);
    TempDir dir;
    const auto sample = CopySample(*samples / folder, dir.get());
    if (!sample)
      continue;
    ScriptedPrompt prompt;
    ASSERT_EQ(ApplyQuoteChange(Change(kScale, 0, 0xFFFF, {1, 1, 1, 1, 1, 1}), dir.get(),
                               sample->symbol, prompt),
              formats::kOk);
    EXPECT_EQ(FileBytes(dir.get() / ("F" + std::to_string(sample->fileNumber) + ".DAT")),
              sample->dat);
  }
}

// 64 885 intraday quotes: indexes and counts beyond 32 767 find and delete the newest quote.
TEST(RewriteSamples, DeleteTheNewestOfALargeIntradayFile) {
  const auto samples = testing::SamplesDir();
  if (!samples)
    GTEST_SKIP() << "no sample portfolios";
  TempDir dir;
  const auto sample = CopySample(*samples / "okomarov-sampleData" / "Intraday", dir.get());
  ASSERT_TRUE(sample);
  formats::QuoteSeries series;
  ASSERT_EQ(formats::InitSeries(series, 2), formats::kOk);
  ASSERT_EQ(formats::LoadSeries(series, dir.get(), sample->symbol, -1, 2), formats::kOk);
  ASSERT_GT(series.total, 32767);
  const QuoteDate newest = series.date[1];
  const std::int32_t total = series.total;
  formats::FreeSeries(series);

  // The newest date holds many bars; the delete leaves out the first bar of that day.
  QuoteDate found = 0;
  const std::int32_t index = FindQuoteRecord(dir.get(), sample->symbol, newest, 0, &found);
  ASSERT_GT(index, 32767);
  EXPECT_EQ(found, newest);
  ScriptedPrompt prompt;
  ASSERT_EQ(ApplyQuoteChange(Change(kDelete, newest, newest), dir.get(), sample->symbol, prompt),
            formats::kOk);
  const Bytes after = FileBytes(dir.get() / ("F" + std::to_string(sample->fileNumber) + ".DAT"));
  const std::size_t length = sample->dat.size() / static_cast<std::size_t>(total + 1);
  EXPECT_EQ(after.size(), sample->dat.size() - length);
  EXPECT_EQ(after[2] | (after[3] << 8), total);
}

}  // namespace
}  // namespace ledgrix::maintenance
