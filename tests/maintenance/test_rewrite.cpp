// The quote rewrite on real portfolio bytes: each operation's file image, the MASTER dates after
// a delete, the backup, the record search, and the refusals that leave every file as it was.
#include "maintenance/quote_rewrite.h"

#include <gtest/gtest.h>

#include <optional>

#include "formats/series.h"
#include "tests/maintenance/helpers.h"
#include "tests/support/scripted_prompt.h"

namespace ledgrix::maintenance {
namespace {

using testing::MakeQuoteFile;
using testing::ScriptedPrompt;

class RewriteTest : public ::testing::Test {
 protected:
  std::filesystem::path Dat() const { return dir.get() / "F1.DAT"; }
  StatusCode Apply(const QuoteChange& change, const std::string& symbol) {
    return ApplyQuoteChange(change, dir.get(), symbol, prompt);
  }
  TempDir dir;
  ScriptedPrompt prompt;
};

// A set on a file without open interest, a scale from day 0, and a scale over a range of a file
// whose fields come in an unusual order: every field goes back where it was.
TEST_F(RewriteTest, SetAndScaleChangeTheirQuotesAndKeepTheFieldOrder) {
  SymbolSpec noOi = Spec(1, "NOOI", 5), spec = Spec(2, "SPLT", 10), odd = Spec(3, "ODD", 6);
  noOi.fields.pop_back();
  odd.fields = {formats::kClose, formats::kVol,  formats::kDate, formats::kLow,
                formats::kOi,    formats::kHigh, formats::kOpen};
  PortfolioBuilder(dir.get()).AddAll({noOi, spec, odd}).Write();
  const Bytes before = FileBytes(Dat());
  const QuoteDate day = noOi.quotes[2].date;

  ASSERT_EQ(Apply(Change(kSet, day, day, {1, 2, 3, 4, 5, 6}), "NOOI"), formats::kOk);
  ASSERT_EQ(Apply(Change(kScale, 0, spec.quotes[4].date, {0.5f, 0.5f, 0.5f, 0.5f, 2, 4}), "splt"),
            formats::kOk);
  ASSERT_EQ(
      Apply(Change(kScaleAlt, odd.quotes[1].date, odd.quotes[3].date, {2, 2, 2, 2, 3, 1}), "ODD"),
      formats::kOk);

  auto& set = noOi.quotes[2];
  set.open = 1, set.high = 2, set.low = 3, set.close = 4, set.volume = 5;
  for (int i = 0; i <= 4; ++i) {
    auto& q = spec.quotes[static_cast<std::size_t>(i)];
    q.open *= 0.5f, q.high *= 0.5f, q.low *= 0.5f, q.close *= 0.5f;
    q.volume *= 2.0f, q.openInterest *= 4.0f;
  }
  for (int i = 1; i <= 3; ++i) {
    auto& q = odd.quotes[static_cast<std::size_t>(i)];
    q.open *= 2, q.high *= 2, q.low *= 2, q.close *= 2, q.volume *= 3;
  }
  EXPECT_EQ(FileBytes(Dat()), MakeQuoteFile(noOi));
  EXPECT_EQ(FileBytes(dir / "F2.DAT"), MakeQuoteFile(spec));
  EXPECT_EQ(FileBytes(dir / "F3.DAT"), MakeQuoteFile(odd));
  EXPECT_EQ(FileBytes(dir / "F1.BAK"), before);
  EXPECT_TRUE(prompt.messages.empty());
  EXPECT_EQ(Names(dir.get()),
            (std::set<std::string>{"MASTER", "F1.DAT", "F1.DOP", "F1.BAK", "F2.DAT", "F2.DOP",
                                   "F2.BAK", "F3.DAT", "F3.DOP", "F3.BAK"}));
}

TEST_F(RewriteTest, DeleteInASubPortfolioUpdatesThatMasterNotTheTopOne) {
  // The top MASTER lists another symbol under the same file number.
  const std::filesystem::path sub = dir.get() / "SUB";
  const SymbolSpec inner = Spec(1, "INNER", 3);
  PortfolioBuilder(sub).Add(inner).Write();
  PortfolioBuilder(dir.get())
      .Add(Spec(1, "TOP", 3, DayFromYmd(99, 3, 1)))
      .AddDirectoryEntry("SUB")
      .Write();
  const auto top = Files(dir.get());
  const Bytes subBefore = FileBytes(sub / "MASTER");

  ASSERT_EQ(Apply(Change(kDelete, inner.quotes[0].date, inner.quotes[0].date), "INNER"),
            formats::kOk);

  EXPECT_EQ(Files(dir.get()), top);
  EXPECT_EQ(ReadMaster(sub / "MASTER").records[0].storedFirstDate(),
            formats::StoredValueFromDay(inner.quotes[1].date));
  EXPECT_EQ(FileBytes(sub / "MASTER.BAK"), subBefore);
}

// Before a Monday a copy of the quote dated the Friday goes in front; a weekend date changes
// neither content nor count.
TEST_F(RewriteTest, InsertBeforeAMondayAndOnAWeekend) {
  const SymbolSpec spec = Spec(1, "INS", 4, DayFromYmd(98, 1, 7));  // Wed, Thu, Fri, Mon
  PortfolioBuilder(dir.get()).Add(spec).Write();
  const QuoteDate monday = spec.quotes[3].date;
  ASSERT_EQ(formats::Weekday(monday), 1);
  const QuoteDate sunday = monday + 6;

  ASSERT_EQ(Apply(Change(kInsert, monday, monday), "INS"), formats::kOk);
  SymbolSpec expected = spec;
  testing::Quote copy = spec.quotes[3];
  copy.date = monday - 3;
  expected.quotes.insert(expected.quotes.begin() + 3, copy);
  EXPECT_EQ(FileBytes(Dat()), MakeQuoteFile(expected));

  ASSERT_EQ(Apply(Change(kInsert, sunday, sunday), "INS"), formats::kOk);
  EXPECT_EQ(FileBytes(Dat()), MakeQuoteFile(expected));
}

// Missing dates, headers that count fewer quotes than the file holds (the count must not wrap to
// 65 535), a full file, record lengths no reader can hold and files that cannot be read.
TEST_F(RewriteTest, RefusalsLeaveEveryFileAsItWas) {
  SymbolSpec shortZero = Spec(2, "SHORT0", 3), shortOne = Spec(3, "SHORT1", 3);
  SymbolSpec full = Spec(4, "FULL", 3), wide = Spec(5, "WIDE", 3), odd = Spec(6, "ODD", 3);
  shortZero.lastRecord = 0;
  shortOne.lastRecord = 1;
  full.lastRecord = formats::kMaxQuotes + 1;  // the header claims 65 534 quotes
  wide.recordLength = 80;
  odd.recordLength = 30;
  PortfolioBuilder(dir.get())
      .AddAll({Spec(1, "GAP", 4), shortZero, shortOne, full, wide, odd, Spec(7, "GONE", 3),
               Spec(8, "STUB", 3)})
      .Write();
  std::filesystem::remove(dir.get() / "F7.DAT");
  testing::WriteBytes(dir.get() / "F8.DAT", {1, 0});  // shorter than its header
  const auto before = Files(dir.get());

  const QuoteDate saturday = DayFromYmd(98, 1, 10);
  EXPECT_EQ(Apply(Change(kDelete, saturday, saturday), "GAP"), formats::kDeleteNotFound);
  EXPECT_EQ(prompt.messages, std::vector<std::string>{"failure in delete quote for findrec"});
  EXPECT_EQ(Apply(Change(kDelete, kMonday, kMonday), "SHORT0"), formats::kDeleteNotFound);
  EXPECT_EQ(Apply(Change(kDelete, kMonday, kMonday), "SHORT1"), formats::kDeleteNotFound);
  EXPECT_EQ(Apply(Change(kInsert, kMonday + 1, kMonday + 1), "FULL"), formats::kMalloc);
  const QuoteChange scale = Change(kScale, 0, 0xFFFF, {2, 2, 2, 2, 2, 2});
  EXPECT_EQ(Apply(scale, "WIDE"), formats::kNoFieldLayout);
  EXPECT_EQ(Apply(scale, "ODD"), formats::kNoFieldLayout);
  EXPECT_EQ(Apply(scale, "GONE"), formats::kFileOpen);
  EXPECT_EQ(Apply(scale, "STUB"), formats::kFileRead);
  EXPECT_EQ(Apply(scale, "NOSUCH"), formats::kFileNotFound);
  EXPECT_EQ(FindQuoteRecord(dir.get(), "WIDE", kMonday, 0), formats::kNoFieldLayout);
  EXPECT_EQ(
      UpdateMasterDate(dir.get() / "NONE" / "MASTER", formats::StoredFromDay(kMonday), 1, false),
      1);
  EXPECT_EQ(Files(dir.get()), before);
}

// The record search on dates of the 2000s, which the files store as 1YYMMDD.
TEST_F(RewriteTest, FindQuoteRecordOnDatesOfThe2000s) {
  const SymbolSpec spec = Spec(1, "Y2K", 40, DayFromYmd(2003, 1, 6));
  PortfolioBuilder(dir.get()).Add(spec).Write();

  QuoteDate found = 0;
  for (std::size_t i : {0u, 1u, 17u, 38u, 39u}) {
    EXPECT_EQ(FindQuoteRecord(dir.get(), "Y2K", spec.quotes[i].date, 0, &found),
              static_cast<std::int32_t>(i));
    EXPECT_EQ(found, spec.quotes[i].date);
  }
  const QuoteDate saturday = spec.quotes[4].date + 1;
  const std::int32_t index = FindQuoteRecord(dir.get(), "Y2K", saturday, 0, &found);
  EXPECT_TRUE(index < 0 || found != saturday);
  EXPECT_EQ(FindQuoteRecord(dir.get(), "Y2K", spec.quotes.back().date + 3, 0),
            formats::kRecordNotFound);
  EXPECT_EQ(FindQuoteRecord(dir.get(), "Y2K", spec.quotes.front().date - 1, 0, &found), 0);
  EXPECT_EQ(found, spec.quotes.front().date);
}

// A real portfolio copied writable, and its first symbol that has its quote file.
std::optional<std::pair<std::string, std::filesystem::path>> CopySample(
    const std::filesystem::path& from, const std::filesystem::path& to) {
  testing::CopyWritable(from, to);
  for (const auto& record : ReadMaster(to / "MASTER").records) {
    const auto dat = to / ("F" + std::to_string(record.fileNumber()) + ".DAT");
    if (!record.displaySymbol().empty() && std::filesystem::exists(dat))
      return std::pair{record.displaySymbol(), dat};
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
    ASSERT_TRUE(sample);
    const Bytes before = FileBytes(sample->second);
    ScriptedPrompt prompt;
    ASSERT_EQ(ApplyQuoteChange(Change(kScale, 0, 0xFFFF, {1, 1, 1, 1, 1, 1}), dir.get(),
                               sample->first, prompt),
              formats::kOk);
    EXPECT_EQ(FileBytes(sample->second), before);
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
  const auto& [symbol, dat] = *sample;
  const Bytes before = FileBytes(dat);
  formats::QuoteSeries series;
  ASSERT_EQ(formats::InitSeries(series, 2), formats::kOk);
  ASSERT_EQ(formats::LoadSeries(series, dir.get(), symbol, -1, 2), formats::kOk);
  ASSERT_GT(series.total, 32767);
  const QuoteDate newest = series.date[1];
  const std::int32_t total = series.total;

  // The newest date holds many bars; the delete leaves out the first bar of that day.
  QuoteDate found = 0;
  ASSERT_GT(FindQuoteRecord(dir.get(), symbol, newest, 0, &found), 32767);
  EXPECT_EQ(found, newest);
  ScriptedPrompt prompt;
  ASSERT_EQ(ApplyQuoteChange(Change(kDelete, newest, newest), dir.get(), symbol, prompt),
            formats::kOk);
  const Bytes after = FileBytes(dat);
  const std::size_t length = before.size() / static_cast<std::size_t>(total + 1);
  EXPECT_EQ(after.size(), before.size() - length);
  EXPECT_EQ(after[2] | (after[3] << 8), total);
}

}  // namespace
}  // namespace ledgrix::maintenance
