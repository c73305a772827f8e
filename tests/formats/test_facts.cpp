// Series facts, status texts and the texts of quote cells.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "formats/cell_text.h"
#include "formats/facts.h"
#include "formats/status.h"
#include "tests/support/fixture.h"

namespace ledgrix::formats {
namespace {

using testing::PortfolioBuilder;
using testing::SymbolSpec;
using testing::TempDir;

SymbolSpec Spec(std::uint8_t n, std::string symbol) {
  SymbolSpec s;
  s.fileNumber = n;
  s.symbol = std::move(symbol);
  s.name = "NAME OF " + s.symbol;
  s.quotes = testing::MakeDailyQuotes(DayFromYmd(1998, 1, 2), 30);
  return s;
}

TEST(SeriesFacts, FromTheFiles) {
  TempDir tmp;
  SymbolSpec spec = Spec(4, "IBM"), wide = Spec(2, "WIDE");
  spec.writeDop = false;
  wide.recordLength = 40;
  wide.writeDop = false;
  PortfolioBuilder(tmp.get()).Add(spec).Add(Spec(1, "DOP")).Add(wide).Add(Spec(3, "NODAT")).Write();
  std::filesystem::remove(tmp / "F3.DAT");
  testing::WriteText(tmp / "F1.DOP",
                     "\"DATE\",0,0\n\"OPEN\",100,2\n\"HIGH\",-7,1000\n\"LOW\",7,-8\n");

  // Without a DOP every field shows whole numbers.
  SeriesFacts f;
  ASSERT_EQ(ReadSeriesFacts(tmp.get(), "ibm", f), 0);
  EXPECT_EQ(f.path, tmp.get().string());
  EXPECT_EQ(f.fileNumber, 4);
  EXPECT_EQ(f.recordLength, 28);
  EXPECT_EQ(f.fieldCount, 7);
  EXPECT_EQ(f.quoteCount, 30);
  EXPECT_EQ(f.issueName, "NAME OF IBM     ");
  EXPECT_EQ(f.symbol, "IBM             ");
  EXPECT_EQ(f.firstDate, 980102.0f);
  EXPECT_EQ(f.lastDate, StoredValueFromDay(spec.quotes.back().date));
  EXPECT_EQ(f.periodicityText, "D Daily");
  for (int i = 0; i < kFieldNameCount; ++i) {
    const auto k = static_cast<std::size_t>(i);
    const char* expected = i == kTime ? "" : "Whole Num.";
    EXPECT_EQ(f.inputText[k], expected) << kFieldNames[k];
    EXPECT_EQ(f.displayText[k], expected) << kFieldNames[k];
  }

  // DOP codes are named; codes without a name show their number.
  ASSERT_EQ(ReadSeriesFacts(tmp.get(), "DOP", f), 0);
  EXPECT_EQ(f.inputText[kOpen], "100s");
  EXPECT_EQ(f.displayText[kOpen], "100ths");
  EXPECT_EQ(f.inputText[kHigh], "128ths");
  EXPECT_EQ(f.displayText[kHigh], "1,000s");
  EXPECT_EQ(f.inputText[kLow], "7");
  EXPECT_EQ(f.displayText[kLow], "-8");
  EXPECT_EQ(f.inputText[kClose], "");

  // Failures return 1 and leave the record alone.
  f.path = "untouched";
  f.quoteCount = 77;
  for (const char* symbol : {"MISSING", "WIDE", "NODAT"}) {
    EXPECT_EQ(ReadSeriesFacts(tmp.get(), symbol, f), 1) << symbol;
    EXPECT_EQ(f.path, "untouched");
    EXPECT_EQ(f.quoteCount, 77);
  }
  TempDir empty;
  EXPECT_EQ(ReadSeriesFacts(empty.get(), "IBM", f), 1);
  EXPECT_EQ(f.path, "untouched");
}

TEST(StatusText, CodesOutsideTheTableHaveNoText) {
  EXPECT_EQ(StatusText(-15), "Unknown");
  for (int other : {-16, 1})
    EXPECT_EQ(StatusText(other), "") << other;
}

TEST(CellText, ValuesAndAbsentFields) {
  EXPECT_EQ(PriceText(12.5f), "12.5000");
  EXPECT_EQ(PriceText(0.0f), "0.0000");
  EXPECT_EQ(PriceText(-1.0f), "N/A");
  EXPECT_EQ(PriceText(std::numeric_limits<float>::quiet_NaN()), "N/A");
  EXPECT_EQ(VolumeText(12345.0f), "12345");
  EXPECT_EQ(VolumeText(-1.0f), "N/A");
  EXPECT_EQ(ExportVolumeText(12345.0f), "12345.00");
  EXPECT_EQ(ExportVolumeText(-1.0f), "N/A");
  EXPECT_FALSE(PriceText(std::numeric_limits<float>::max()).empty());
}

}  // namespace
}  // namespace ledgrix::formats
