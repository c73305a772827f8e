// EMASTER and XMASTER through the joined index: their damage reported and left out, the lookup
// and the loader on XMASTER symbols, the code page of names and the date numbers.
#include <gtest/gtest.h>

#include <functional>

#include "formats/lookup.h"
#include "formats/portfolio_index.h"
#include "formats/series.h"
#include "formats/windows1252.h"
#include "tests/support/fixture.h"

namespace ledgrix::formats {
namespace {

using testing::PortfolioBuilder;
using testing::SymbolSpec;
using testing::TempDir;
using State = IndexFileState;
using Bytes = std::vector<std::uint8_t>;

SymbolSpec Spec(std::uint16_t n, std::string symbol, std::string name = "") {
  SymbolSpec s;
  s.fileNumber = n;
  s.symbol = std::move(symbol);
  s.name = name.empty() ? s.symbol + " INC" : std::move(name);
  s.quotes = testing::MakeDailyQuotes(DayFromYmd(2009, 7, 20), 5, 20.0f + n % 50);
  return s;
}

// MASTER with two symbols (one with a long name), EMASTER in step, XMASTER with two.
void Build(const std::filesystem::path& dir) {
  SymbolSpec longName = Spec(2, "DJX", "1/100 Dow Jones ");
  longName.longName = "1/100 Dow Jones INDU";
  SymbolSpec six = Spec(300, "SIX", "Six fields");
  six.fields = {kDate, kOpen, kHigh, kLow, kClose, kVol};  // bits 0x3F
  six.writeDop = false;
  PortfolioBuilder(dir)
      .Add(Spec(1, "AA"))
      .Add(longName)
      .Add(Spec(256, "XA", "An XMASTER name of more than sixteen"))
      .Add(six)
      .WithEmaster()
      .Write();
}

void Patch(const std::filesystem::path& file, std::size_t at, const Bytes& bytes) {
  Bytes content = testing::FileBytes(file);
  if (content.size() < at + bytes.size())
    content.resize(at + bytes.size());
  std::copy(bytes.begin(), bytes.end(), content.begin() + static_cast<std::ptrdiff_t>(at));
  testing::WriteBytes(file, content);
}

TEST(ExtendedIndex, DamageIsReportedAndMasterStaysTheSource) {
  const struct {
    const char* what;
    std::function<void(const std::filesystem::path&)> damage;
    State emaster, xmaster;
    std::size_t entries;
  } kCases[] = {
      {"intact", [](const auto&) {}, State::kUsable, State::kUsable, 4},
      {"no EMASTER, no XMASTER",
       [](const auto& d) {
         std::filesystem::remove(d / "EMASTER");
         std::filesystem::remove(d / "XMASTER");
       },
       State::kAbsent, State::kAbsent, 2},
      {"XMASTER a text", [](const auto& d) { testing::WriteText(d / "XMASTER", "broken file\n"); },
       State::kUsable, State::kUnusable, 2},
      {"XMASTER without its magic",
       [](const auto& d) {
         Patch(d / "XMASTER", 0, {0, 0});
       },
       State::kUsable, State::kUnusable, 2},
      {"XMASTER counts more than it holds", [](const auto& d) { Patch(d / "XMASTER", 10, {3}); },
       State::kUsable, State::kUnusable, 2},
      {"XMASTER record of MASTER's range",
       [](const auto& d) {
         Patch(d / "XMASTER", 150 + 65, {7, 0});
       },
       State::kUsable, State::kUsable, 3},
      {"EMASTER counts another number", [](const auto& d) { Patch(d / "EMASTER", 0, {1}); },
       State::kUnusable, State::kUsable, 4},
      {"EMASTER names another file", [](const auto& d) { Patch(d / "EMASTER", 192 + 2, {9}); },
       State::kUnusable, State::kUsable, 4},
      {"EMASTER with another symbol",
       [](const auto& d) { Patch(d / "EMASTER", 2 * 192 + 11, {'Q'}); }, State::kUnusable,
       State::kUsable, 4},
      {"EMASTER with a stale last date",
       [](const auto& d) {
         Patch(d / "EMASTER", 192 + 72, {0, 0, 0, 0});
       },
       State::kUnusable, State::kUsable, 4},
      {"EMASTER cut short",
       [](const auto& d) {
         Bytes e = testing::FileBytes(d / "EMASTER");
         e.resize(2 * 192);
         testing::WriteBytes(d / "EMASTER", e);
       },
       State::kUnusable, State::kUsable, 4},
      {"EMASTER longer than its count",
       [](const auto& d) { Patch(d / "EMASTER", 3 * 192, Bytes(192, 0xEE)); }, State::kUsable,
       State::kUsable, 4},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    TempDir tmp;
    Build(tmp.get());
    c.damage(tmp.get());
    PortfolioIndex index;
    ASSERT_TRUE(ReadPortfolioIndex(tmp.get(), index));
    EXPECT_EQ(index.emaster, c.emaster);
    EXPECT_EQ(index.xmaster, c.xmaster);
    EXPECT_EQ(index.entries.size(), c.entries);
    EXPECT_EQ(index.emaster == State::kUnusable, !index.emasterProblem.empty());
    // Long names only from an EMASTER in step.
    EXPECT_EQ(index.entries[1].shownName(),
              c.emaster == State::kUsable ? "1/100 Dow Jones INDU" : "1/100 Dow Jones ");
  }
}

TEST(ExtendedIndex, XmasterSymbolsAreLookedUpAndLoadedFromTheirMwdFiles) {
  TempDir tmp;
  // A sub-portfolio's XMASTER is searched after its MASTER, before the next directory entry.
  PortfolioBuilder(tmp / "SUB").Add(Spec(1, "SUBA")).Add(Spec(400, "DEEPX")).Write();
  PortfolioBuilder(tmp.get())
      .Add(Spec(1, "AA"))
      .AddDirectoryEntry("SUB")
      .Add(Spec(256, "XA", "An XMASTER name of more than sixteen"))
      .Write();
  IndexEntry entry;
  Path found;
  ASSERT_EQ(LookupSymbol(tmp.get(), "xa", entry, found), kOk);
  EXPECT_EQ(entry.key, (SymbolKey{IndexFile::kXmaster, 256}));
  ASSERT_EQ(LookupSymbol(tmp.get(), "an xmaster name of more than sixteen", entry, found), kOk);
  EXPECT_EQ(entry.fileNumber(), 256);
  ASSERT_EQ(LookupSymbol(tmp.get(), "DEEPX", entry, found), kOk);
  EXPECT_EQ(entry.fileNumber(), 400);
  EXPECT_EQ(found, tmp.get() / "SUB" / "");

  TempDir six;
  Build(six.get());
  QuoteSeries s;
  ASSERT_EQ(InitSeries(s, 10), kOk);
  // No descriptor: the bitset (0x3F) gives DATE OPEN HIGH LOW CLOSE VOL of F300.MWD.
  ASSERT_EQ(LoadSeries(s, six.get(), "SIX", 0, 10), kOk);
  const SymbolSpec spec = Spec(300, "SIX");
  ASSERT_EQ(s.count, 5);
  EXPECT_EQ(s.date[4], spec.quotes[4].date);
  EXPECT_EQ(s.value(kClose, 4), spec.quotes[4].close);
  EXPECT_EQ(s.value(kOi, 4), -1.0f);
  EXPECT_EQ(s.info->entry.firstDate, 1090720);
  EXPECT_EQ(QuoteDataPath(six.get(), 300).filename(), "F300.MWD");
  EXPECT_EQ(QuoteDataPath(six.get(), 255).filename(), "F255.DAT");
}

TEST(ExtendedIndex, NamesAreWindows1252AndDatesWholeNumbers) {
  // Every byte decodes to a character of its own and back; only 0x80-0x9F differ from Latin-1.
  std::string all;
  for (int b = 1; b < 256; ++b)
    all.push_back(static_cast<char>(b));
  EXPECT_EQ(Utf8ToWindows1252(Windows1252ToUtf8(all)), all);
  EXPECT_EQ(Windows1252ToUtf8("utilit\xE0 \x80 \x93x\x94"), "utilit\u00E0 \u20AC \u201Cx\u201D");
  EXPECT_EQ(Utf8ToWindows1252("\u20AC5"),
            "\x80"
            "5");
  EXPECT_EQ(Utf8ToWindows1252("\u4E2D"), std::nullopt);
  EXPECT_EQ(Utf8ToWindows1252("\xC3"), std::nullopt);  // not UTF-8
  EXPECT_EQ(FirstUnencodable("ab\u00E9\u4E2Dc"), "\u4E2D");
  EXPECT_EQ(Utf8Length("utilit\u00E0"), 7u);

  // YYYYMMDD integers never pass through a float: 19961231 is not 19961232.
  EXPECT_EQ(StoredDateFromLong(19961231), 961231);
  EXPECT_EQ(StoredDateFromLong(20090724), 1090724);
  EXPECT_EQ(StoredDateFromLong(kLongDateNotSet), 0);
  EXPECT_EQ(LongFromStoredDate(961231), 19961231);
  EXPECT_EQ(LongFromStoredDate(0), kLongDateNotSet);
  EXPECT_EQ(StoredDateFromFloat(1090724.0f), 1090724);
  EXPECT_EQ(StoredDateFromFloat(1090724.5f), 0);
  EXPECT_EQ(StoredDateFromFloat(std::numeric_limits<float>::quiet_NaN()), 0);
  EXPECT_EQ(LayoutFromBits(0xBF).fieldPosition,
            (FieldLayout{{1, 2, 3, 4, 5, 6, 7, 0}}.fieldPosition));
  EXPECT_EQ(RecordLengthOfBits(0x7F), 28);
}

}  // namespace
}  // namespace ledgrix::formats
