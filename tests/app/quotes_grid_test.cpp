// The quotes grid: rows newest first in windows of 400, cell texts, "N/A", the date texts.
#include <gtest/gtest.h>

#include <QProgressBar>
#include <QStatusBar>

#include "formats/dates.h"
#include "tests/app/gui_test_support.h"

namespace ledgrix::testing {
namespace {

namespace fs = std::filesystem;

class QuotesGridTest : public ::testing::Test {
 protected:
  // One symbol with quotes; fields default to DATE OPEN HIGH LOW CLOSE VOL OI.
  void Open(const std::vector<Quote>& quotes, std::vector<formats::FieldName> fields = {}) {
    SymbolSpec s;
    s.fileNumber = 1;
    s.symbol = "XYZ";
    s.name = "XYZ CORP";
    s.quotes = quotes;
    if (!fields.empty())
      s.fields = fields;
    PortfolioBuilder(f.root() / "P").Add(s).Write();
    f.WalkWholeVolume();
    f.StartAndScan();
  }
  static std::string Date(formats::QuoteDate day) { return formats::DisplayDate(day); }
  GuiFixture f;
};

TEST_F(QuotesGridTest, RowsNewestFirstAroundTheWindowSize) {
  for (int count : {1, 399, 400, 401, 801}) {
    GuiFixture g;
    SymbolSpec s;
    s.symbol = "XYZ";
    s.name = "XYZ";
    s.quotes = MakeDailyQuotes(formats::DayFromYmd(1990, 1, 2), count);
    PortfolioBuilder(g.root() / "P").Add(s).Write();
    g.WalkWholeVolume();
    g.StartAndScan();
    CLedgrixView& v = g.view();
    ASSERT_EQ(v.quoteRowCount(), count);
    EXPECT_EQ(v.m_quoteCount, count);
    for (int row : {0, count / 2, count - 1}) {
      const Quote& q = s.quotes[static_cast<std::size_t>(count - 1 - row)];
      EXPECT_EQ(v.quoteCellText(row, 0).toStdString(), formats::DisplayDate(q.date))
          << count << " row " << row;
    }
    EXPECT_EQ(v.m_selQuoteRow, 0);
    EXPECT_EQ(v.m_firstDateText.toStdString(), formats::DisplayDate(s.quotes.front().date));
    EXPECT_EQ(v.m_lastDateText.toStdString(), formats::DisplayDate(s.quotes.back().date));
    EXPECT_EQ(g.frame().QuotePaneText(), QStringLiteral("Quote %1 of %1").arg(count));
    EXPECT_TRUE(g.prompt().messages.empty());
    EXPECT_EQ(g.frame().statusBarWidget()->findChild<QProgressBar*>(), nullptr);
  }
}

TEST_F(QuotesGridTest, NoQuotes) {
  Open({});
  CLedgrixView& v = f.view();
  EXPECT_EQ(v.quoteRowCount(), 0);
  EXPECT_EQ(v.m_quoteCount, 0);
  EXPECT_EQ(v.m_firstDateText, "00/00/00");
  EXPECT_EQ(v.m_lastDateText, "00/00/00");
  EXPECT_EQ(f.frame().QuotePaneText(), "No Quotes Read");
  EXPECT_TRUE(f.prompt().messages.empty());
}

TEST_F(QuotesGridTest, CellTexts) {
  Quote q;
  q.date = formats::DayFromYmd(2004, 7, 9);
  q.open = 12.3f;
  q.high = 13.0f;
  q.low = -1.0f;
  q.close = 12.3f;
  q.volume = 1500;
  q.openInterest = 0;
  Open({q});
  CLedgrixView& v = f.view();
  const QStringList expected{"07/09/04", "12.3000", "13.0000", "N/A", "12.3000", "1500", "0"};
  for (int c = 0; c < 7; ++c)
    EXPECT_EQ(v.quoteCellText(0, c), expected[c]) << c;
}

TEST_F(QuotesGridTest, FieldsTheFileLacksReadNA) {
  Open(MakeDailyQuotes(formats::DayFromYmd(1999, 5, 3), 3),
       {formats::kDate, formats::kHigh, formats::kLow, formats::kClose});
  CLedgrixView& v = f.view();
  for (int row = 0; row < 3; ++row) {
    EXPECT_EQ(v.quoteCellText(row, 1), "N/A");
    EXPECT_NE(v.quoteCellText(row, 2), "N/A");
    EXPECT_EQ(v.quoteCellText(row, 5), "N/A");
    EXPECT_EQ(v.quoteCellText(row, 6), "N/A");
  }
}

TEST_F(QuotesGridTest, MissingQuoteFileIsReported) {
  Open(MakeDailyQuotes(formats::DayFromYmd(1999, 5, 3), 3));
  fs::remove(f.root() / "P" / "F1.DAT");
  f.view().OnSymbolClick();
  EXPECT_EQ(f.prompt().messages, std::vector<std::string>{"Error in FillQuotesGrid"});
  EXPECT_EQ(f.view().quoteRowCount(), 0);
}

TEST_F(QuotesGridTest, CountsAbove32767AreHeld) {
  Open(MakeDailyQuotes(formats::DayFromYmd(1962, 1, 2), 33000, 20.0f));
  EXPECT_EQ(f.view().quoteRowCount(), 33000);
  EXPECT_EQ(f.frame().QuotePaneText(), "Quote 33000 of 33000");
  f.SelectQuote(32999);
  EXPECT_EQ(f.view().m_selQuoteRow, 32999);
  EXPECT_EQ(f.frame().QuotePaneText(), "Quote 1 of 33000");
}

TEST_F(QuotesGridTest, RefillSelectsTheRowAsked) {
  Open(MakeDailyQuotes(formats::DayFromYmd(1999, 5, 3), 10));
  f.view().FillQuotesGrid(4);
  EXPECT_EQ(f.view().m_selQuoteRow, 4);
  EXPECT_EQ(f.frame().QuotePaneText(), "Quote 6 of 10");
}

}  // namespace
}  // namespace ledgrix::testing
