// Export of a symbol's quotes to delimited text: columns, delimiters, order and number texts.
#include "maintenance/export.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "formats/dates.h"
#include "formats/status.h"
#include "tests/support/fixture.h"

namespace ledgrix::maintenance {
namespace {

using formats::DayFromYmd;
using testing::PortfolioBuilder;
using testing::Quote;
using testing::SymbolSpec;
using testing::TempDir;

SymbolSpec ThreeQuotes() {
  SymbolSpec spec;
  spec.fileNumber = 1;
  spec.symbol = "ACME";
  spec.name = "ACME CORP";
  spec.quotes = {
      {DayFromYmd(98, 1, 2), 0, 10.5f, 11.0f, 10.0f, 10.75f, 900.0f, 12.0f},
      {DayFromYmd(98, 1, 5), 0, 10.75f, 12.5f, 10.5f, 12.75f, 1500.0f, 13.0f},
      {DayFromYmd(98, 1, 6), 0, 12.75f, 13.0f, 12.0f, 12.25f, 2000.5f, 14.0f},
  };
  return spec;
}

std::string Export(const std::filesystem::path& dir, std::string_view symbol,
                   const ExportOptions& options, formats::StatusCode* status = nullptr) {
  std::ostringstream out(std::ios::binary);
  const formats::StatusCode result = ExportQuotes(dir, symbol, options, out);
  if (status != nullptr)
    *status = result;
  return out.str();
}

class ExportTest : public ::testing::Test {
 protected:
  void SetUp() override { PortfolioBuilder(dir.get()).Add(ThreeQuotes()).Write(); }
  TempDir dir;
};

TEST_F(ExportTest, DefaultOptionsWriteSevenSpaceSeparatedCellsOldestFirst) {
  formats::StatusCode status = -1;
  EXPECT_EQ(Export(dir.get(), "ACME", {}, &status),
            "01/02/98 10.5000 11.0000 10.0000 10.7500 900.00 12.00\r\n"
            "01/05/98 10.7500 12.5000 10.5000 12.7500 1500.00 13.00\r\n"
            "01/06/98 12.7500 13.0000 12.0000 12.2500 2000.50 14.00\r\n");
  EXPECT_EQ(status, formats::kOk);
}

TEST_F(ExportTest, NewestFirstReversesTheLines) {
  ExportOptions options;
  options.newestFirst = true;
  EXPECT_EQ(Export(dir.get(), "ACME", options),
            "01/06/98 12.7500 13.0000 12.0000 12.2500 2000.50 14.00\r\n"
            "01/05/98 10.7500 12.5000 10.5000 12.7500 1500.00 13.00\r\n"
            "01/02/98 10.5000 11.0000 10.0000 10.7500 900.00 12.00\r\n");
}

TEST_F(ExportTest, EveryOmitFlagLeavesTheDateAlone) {
  ExportOptions options;
  options.omit.fill(true);
  options.title = true;
  EXPECT_EQ(Export(dir.get(), "ACME", options), "DATE\r\n01/02/98\r\n01/05/98\r\n01/06/98\r\n");
}

TEST_F(ExportTest, EachOmitFlagDropsItsOwnColumn) {
  const std::array<std::string, 6> withoutColumn = {
      "DATE HIGH LOW CLOSE VOL OI", "DATE OPEN LOW CLOSE VOL OI",  "DATE OPEN HIGH CLOSE VOL OI",
      "DATE OPEN HIGH LOW VOL OI",  "DATE OPEN HIGH LOW CLOSE OI", "DATE OPEN HIGH LOW CLOSE VOL"};
  const std::array<std::string, 6> firstLine = {"01/02/98 11.0000 10.0000 10.7500 900.00 12.00",
                                                "01/02/98 10.5000 10.0000 10.7500 900.00 12.00",
                                                "01/02/98 10.5000 11.0000 10.7500 900.00 12.00",
                                                "01/02/98 10.5000 11.0000 10.0000 900.00 12.00",
                                                "01/02/98 10.5000 11.0000 10.0000 10.7500 12.00",
                                                "01/02/98 10.5000 11.0000 10.0000 10.7500 900.00"};
  for (std::size_t c = 0; c < 6; ++c) {
    ExportOptions options;
    options.omit[c] = true;
    options.title = true;
    const std::string text = Export(dir.get(), "ACME", options);
    EXPECT_EQ(text.substr(0, text.find("\r\n")), withoutColumn[c]) << c;
    const std::size_t second = text.find("\r\n") + 2;
    EXPECT_EQ(text.substr(second, text.find("\r\n", second) - second), firstLine[c]) << c;
  }
}

TEST_F(ExportTest, CommaTitleWithoutVolume) {
  ExportOptions options;
  options.delimiter = 1;
  options.title = true;
  options.omit[4] = true;
  const std::string text = Export(dir.get(), "ACME", options);
  EXPECT_EQ(text.substr(0, text.find("\r\n") + 2), "DATE,OPEN,HIGH,LOW,CLOSE,OI\r\n");
  EXPECT_NE(text.find("01/05/98,10.7500,12.5000,10.5000,12.7500,13.00\r\n"), std::string::npos);
}

TEST(ExportDelimiterTest, SpaceCommaTabAndSpaceForAnythingElse) {
  EXPECT_EQ(ExportDelimiter(0), ' ');
  EXPECT_EQ(ExportDelimiter(1), ',');
  EXPECT_EQ(ExportDelimiter(2), '\t');
  EXPECT_EQ(ExportDelimiter(7), ' ');
  EXPECT_EQ(ExportDelimiter(-1), ' ');
  ExportOptions options;
  options.delimiter = 7;
  EXPECT_EQ(ExportTitleLine(options), "DATE OPEN HIGH LOW CLOSE VOL OI");
  options.delimiter = 2;
  EXPECT_EQ(ExportTitleLine(options), "DATE\tOPEN\tHIGH\tLOW\tCLOSE\tVOL\tOI");
}

TEST(ExportFieldsTest, MissingOpenInterestReadsNotAvailableOnEveryLine) {
  TempDir dir;
  SymbolSpec spec = ThreeQuotes();
  spec.fields = {formats::kDate, formats::kOpen,  formats::kHigh,
                 formats::kLow,  formats::kClose, formats::kVol};
  PortfolioBuilder(dir.get()).Add(spec).Write();
  EXPECT_EQ(Export(dir.get(), "ACME", {}),
            "01/02/98 10.5000 11.0000 10.0000 10.7500 900.00 N/A\r\n"
            "01/05/98 10.7500 12.5000 10.5000 12.7500 1500.00 N/A\r\n"
            "01/06/98 12.7500 13.0000 12.0000 12.2500 2000.50 N/A\r\n");
}

TEST(ExportFieldsTest, NegativeValueReadsNotAvailable) {
  TempDir dir;
  SymbolSpec spec = ThreeQuotes();
  spec.quotes.resize(1);
  spec.quotes[0].low = -2.0f;
  spec.quotes[0].volume = -1.0f;
  PortfolioBuilder(dir.get()).Add(spec).Write();
  EXPECT_EQ(Export(dir.get(), "ACME", {}), "01/02/98 10.5000 11.0000 N/A 10.7500 N/A 12.00\r\n");
}

TEST(ExportFieldsTest, OneQuoteNewestFirstWritesOneLine) {
  TempDir dir;
  SymbolSpec spec = ThreeQuotes();
  spec.quotes.resize(1);
  PortfolioBuilder(dir.get()).Add(spec).Write();
  ExportOptions options;
  options.newestFirst = true;
  EXPECT_EQ(Export(dir.get(), "ACME", options),
            "01/02/98 10.5000 11.0000 10.0000 10.7500 900.00 12.00\r\n");
}

TEST(ExportFieldsTest, NoQuotesWritesOnlyTheTitle) {
  TempDir dir;
  SymbolSpec spec = ThreeQuotes();
  spec.quotes.clear();
  PortfolioBuilder(dir.get()).Add(spec).Write();
  ExportOptions options;
  options.title = true;
  formats::StatusCode status = -1;
  EXPECT_EQ(Export(dir.get(), "ACME", options, &status), "DATE OPEN HIGH LOW CLOSE VOL OI\r\n");
  EXPECT_EQ(status, formats::kOk);
}

TEST(ExportFieldsTest, UnknownSymbolIsReportedNotExportedAsEmpty) {
  TempDir dir;
  PortfolioBuilder(dir.get()).Add(ThreeQuotes()).Write();
  formats::StatusCode status = 0;
  EXPECT_EQ(Export(dir.get(), "NOPE", {}, &status), "");
  EXPECT_NE(status, formats::kOk);
}

TEST(ExportFieldsTest, MissingQuoteFileIsReported) {
  TempDir dir;
  PortfolioBuilder(dir.get()).Add(ThreeQuotes()).Write();
  std::filesystem::remove(dir / "F1.DAT");
  formats::StatusCode status = 0;
  Export(dir.get(), "ACME", {}, &status);
  EXPECT_NE(status, formats::kOk);
}

// Series longer than one 400-quote window come out whole and in order, both ways.
TEST(ExportWindowsTest, EveryQuoteOnceInOrderAcrossWindows) {
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
      EXPECT_EQ(Export(dir.get(), "ACME", options), expected) << count << " " << newest;
    }
  }
}

}  // namespace
}  // namespace ledgrix::maintenance
