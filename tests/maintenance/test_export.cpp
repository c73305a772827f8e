// Export of a symbol's quotes to delimited text: columns, delimiters, order and number texts.
#include "maintenance/export.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "formats/status.h"
#include "tests/maintenance/helpers.h"

namespace ledgrix::maintenance {
namespace {

SymbolSpec ThreeQuotes() {
  SymbolSpec spec = Spec(1, "ACME");
  spec.quotes = {
      {DayFromYmd(98, 1, 2), 0, 10.5f, 11.0f, 10.0f, 10.75f, 900.0f, 12.0f},
      {DayFromYmd(98, 1, 5), 0, 10.75f, 12.5f, 10.5f, 12.75f, 1500.0f, 13.0f},
      {DayFromYmd(98, 1, 6), 0, 12.75f, 13.0f, 12.0f, 12.25f, 2000.5f, 14.0f},
  };
  return spec;
}

const std::string kLine1 = "01/02/98 10.5000 11.0000 10.0000 10.7500 900.00 12.00\r\n";
const std::string kLine2 = "01/05/98 10.7500 12.5000 10.5000 12.7500 1500.00 13.00\r\n";
const std::string kLine3 = "01/06/98 12.7500 13.0000 12.0000 12.2500 2000.50 14.00\r\n";

std::string Export(const std::filesystem::path& dir, const ExportOptions& options,
                   formats::StatusCode* status = nullptr) {
  std::ostringstream out(std::ios::binary);
  const formats::StatusCode result = ExportQuotes(dir, "ACME", options, out);
  if (status != nullptr)
    *status = result;
  return out.str();
}

TEST(ExportTest, FormatRules) {
  struct Case {
    const char* what;
    std::function<void(ExportOptions&)> options;
    std::function<void(SymbolSpec&)> spec;
    std::string expected;
  };
  const auto none = [](auto&) {};
  const Case cases[] = {
      {"seven space-separated cells, oldest first", none, none, kLine1 + kLine2 + kLine3},
      {"newest first", [](ExportOptions& o) { o.newestFirst = true; }, none,
       kLine3 + kLine2 + kLine1},
      {"every column omitted leaves the date",
       [](ExportOptions& o) { o.omit.fill(true), o.title = true; }, none,
       "DATE\r\n01/02/98\r\n01/05/98\r\n01/06/98\r\n"},
      {"commas and a title without volume",
       [](ExportOptions& o) { o.delimiter = 1, o.title = true, o.omit[4] = true; }, none,
       "DATE,OPEN,HIGH,LOW,CLOSE,OI\r\n01/02/98,10.5000,11.0000,10.0000,10.7500,12.00\r\n"
       "01/05/98,10.7500,12.5000,10.5000,12.7500,13.00\r\n"
       "01/06/98,12.7500,13.0000,12.0000,12.2500,14.00\r\n"},
      {"a file without open interest", none, [](SymbolSpec& s) { s.fields.pop_back(); },
       "01/02/98 10.5000 11.0000 10.0000 10.7500 900.00 N/A\r\n"
       "01/05/98 10.7500 12.5000 10.5000 12.7500 1500.00 N/A\r\n"
       "01/06/98 12.7500 13.0000 12.0000 12.2500 2000.50 N/A\r\n"},
      {"negative values", none,
       [](SymbolSpec& s) {
         s.quotes.resize(1), s.quotes[0].low = -2.0f, s.quotes[0].volume = -1.0f;
       },
       "01/02/98 10.5000 11.0000 N/A 10.7500 N/A 12.00\r\n"},
      {"one quote newest first, an unknown delimiter is a space",
       [](ExportOptions& o) { o.newestFirst = true, o.delimiter = 7; },
       [](SymbolSpec& s) { s.quotes.resize(1); }, kLine1},
      {"no quotes: only the title, tabs", [](ExportOptions& o) { o.title = true, o.delimiter = 2; },
       [](SymbolSpec& s) { s.quotes.clear(); }, "DATE\tOPEN\tHIGH\tLOW\tCLOSE\tVOL\tOI\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    SymbolSpec spec = ThreeQuotes();
    c.spec(spec);
    PortfolioBuilder(dir.get()).Add(spec).Write();
    ExportOptions options;
    c.options(options);
    formats::StatusCode status = -1;
    EXPECT_EQ(Export(dir.get(), options, &status), c.expected);
    EXPECT_EQ(status, formats::kOk);
  }
}

// Omitting column c drops cell c + 1 of the title and of every line.
TEST(ExportTest, EachOmitFlagDropsItsOwnColumn) {
  TempDir dir;
  PortfolioBuilder(dir.get()).Add(ThreeQuotes()).Write();
  const auto without = [](std::string line, std::size_t c) {
    std::size_t at = 0;
    for (std::size_t k = 0; k <= c; ++k)
      at = line.find(' ', at + 1);
    return line.erase(at, line.find_first_of(" \r", at + 1) - at);
  };
  for (std::size_t c = 0; c < 6; ++c) {
    ExportOptions options;
    options.omit[c] = true;
    options.title = true;
    EXPECT_EQ(Export(dir.get(), options), without("DATE OPEN HIGH LOW CLOSE VOL OI\r\n", c) +
                                              without(kLine1, c) + without(kLine2, c) +
                                              without(kLine3, c))
        << c;
  }
}

// An unknown symbol or a missing quote file is reported, not exported as empty.
TEST(ExportTest, FailuresAreReported) {
  TempDir dir;
  SymbolSpec spec = ThreeQuotes();
  PortfolioBuilder(dir.get()).Add(spec).Write();
  std::filesystem::remove(dir / "F1.DAT");
  for (const char* symbol : {"ACME", "NOPE"}) {
    std::ostringstream out;
    EXPECT_NE(ExportQuotes(dir.get(), symbol, {}, out), formats::kOk) << symbol;
    EXPECT_EQ(out.str(), "") << symbol;
  }
}

// Series longer than one 400-quote window come out whole and in order, both ways.
TEST(ExportTest, EveryQuoteOnceInOrderAcrossWindows) {
  for (const int count : {399, 400, 401, 800, 801}) {
    TempDir dir;
    SymbolSpec spec = ThreeQuotes();
    spec.quotes = testing::MakeDailyQuotes(DayFromYmd(90, 1, 1), count);
    PortfolioBuilder(dir.get()).Add(spec).Write();
    for (const bool newest : {false, true}) {
      ExportOptions options;
      options.newestFirst = newest;
      options.omit.fill(true);
      std::string expected;
      for (int i = 0; i < count; ++i) {
        const auto& quote = spec.quotes[static_cast<std::size_t>(newest ? count - 1 - i : i)];
        expected += formats::DisplayDate(quote.date) + "\r\n";
      }
      EXPECT_EQ(Export(dir.get(), options), expected) << count << " " << newest;
    }
  }
}

// The whole portfolio in one run: each symbol's lines exactly as its own export, led by it.
TEST(ExportTest, PortfolioExportLeadsEachSymbolsOwnLinesWithIt) {
  TempDir dir;
  SymbolSpec noOi = Spec(2, "NOOI");
  noOi.quotes = ThreeQuotes().quotes;
  noOi.fields.pop_back();
  PortfolioBuilder(dir.get()).AddAll({ThreeQuotes(), noOi}).Write();
  ExportOptions options;
  options.delimiter = 1, options.newestFirst = true, options.title = true;
  std::ostringstream all(std::ios::binary);
  std::vector<UnreadableSymbol> unreadable;
  ASSERT_EQ(ExportPortfolio(dir.get(), options, all, unreadable), formats::kOk);
  EXPECT_TRUE(unreadable.empty());
  std::string expected = "SYMBOL," + ExportTitleLine(options) + "\r\n";
  options.title = false;
  for (const char* symbol : {"ACME", "NOOI"}) {
    std::ostringstream one(std::ios::binary);
    ASSERT_EQ(ExportQuotes(dir.get(), symbol, options, one), formats::kOk);
    std::istringstream lines(one.str());
    for (std::string line; std::getline(lines, line);)
      expected += std::string(symbol) + "," + line + "\n";
  }
  EXPECT_EQ(all.str(), expected);
}

}  // namespace
}  // namespace ledgrix::maintenance
