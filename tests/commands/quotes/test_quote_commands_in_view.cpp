// The quote commands against the real main view: its grid, its refills, its split search flag.
#include <QApplication>
#include <QLabel>
#include <QPointer>

#include <gtest/gtest.h>

#include "commands/quotes/number_edit.h"
#include "commands/quotes/quote_commands.h"
#include "commands/quotes/split_search_dialog.h"
#include "tests/app/gui_test_support.h"
#include "tests/commands/quotes/quote_test_support.h"

namespace ledgrix::testing {
namespace {

namespace fs = std::filesystem;

class QuoteCommandsInViewTest : public ::testing::Test {
 protected:
  fs::path Dir() const { return f.root() / "PORT"; }
  void Start(std::vector<Quote> quotes) {
    SymbolSpec spec;
    spec.symbol = "TEST";
    spec.name = "TEST ISSUE";
    spec.quotes = std::move(quotes);
    PortfolioBuilder(Dir()).Add(spec).Write();
    f.WalkWholeVolume();
    f.StartAndScan();
    ASSERT_EQ(f.view().portfolioDir(), QPath(Dir()));
    f.ClickSymbol(0);
  }
  GuiFixture f;
};

TEST_F(QuoteCommandsInViewTest, AddOpensEditOnTheNewRowAndItsValuesAreWritten) {
  // Thursday 01/07/99, then Monday 01/11/99: Friday is missing.
  Start(
      {{Day("01/07/99"), 0, 10, 11, 9, 10, 100, 5}, {Day("01/11/99"), 0, 20, 21, 19, 20, 200, 6}});
  CLedgrixView& v = f.view();
  f.SelectQuote(0);
  ASSERT_EQ(v.quoteCellText(0, 0), QStringLiteral("01/11/99"));
  QString editDate;
  int editRow = -1;
  DialogScript script({[](QDialog& d) { ClickOk(d); },
                       [&](QDialog& d) {
                         editDate = Child<QLabel>(d, "dateText")->text();
                         editRow = v.selQuoteRow();
                         Retype(*Child<CNumberEdit>(d, "closeEdit"), QStringLiteral("20.5"));
                         ClickOk(d);
                       }});
  commands::AddQuote(v);
  EXPECT_EQ(script.titles(), (QStringList{"Add Data", "Edit Selected Quote"}));
  EXPECT_EQ(editDate, QStringLiteral("01/08/99"));
  EXPECT_EQ(editRow, 1);
  EXPECT_TRUE(f.prompt().messages.empty());
  ASSERT_EQ(v.quoteRowCount(), 3);
  EXPECT_EQ(v.selQuoteRow(), 0);
  EXPECT_EQ(v.quoteCellText(1, 0), QStringLiteral("01/08/99"));
  EXPECT_EQ(v.quoteCellText(1, 4), QStringLiteral("20.5000"));
  EXPECT_EQ(v.quoteCellText(1, 1), QStringLiteral("20.0000"));  // copied from the Monday
  const auto quotes = ReadQuotes(Dir(), "TEST");
  ASSERT_EQ(quotes.size(), 3u);
  EXPECT_EQ(quotes[1].date, Day("01/08/99"));
  EXPECT_FLOAT_EQ(quotes[1].close, 20.5f);
}

TEST_F(QuoteCommandsInViewTest, SplitRefillsTheViewWithTheNewestQuoteCurrent) {
  Start(MakeDailyQuotes(Day("01/04/99"), 10));
  CLedgrixView& v = f.view();
  f.SelectQuote(4);
  const QString olderOpen = v.quoteCellText(7, 1);
  DialogScript script({[](QDialog& d) {
    Retype(*Child<CNumberEdit>(d, "newSharesEdit"), QStringLiteral("2"));
    ClickOk(d);
  }});
  commands::EnterSplit(v);
  EXPECT_TRUE(f.prompt().messages.empty());
  EXPECT_EQ(v.selQuoteRow(), 0);
  EXPECT_EQ(v.quoteCellText(7, 1), QString::number(olderOpen.toDouble() / 2, 'f', 4));
  EXPECT_EQ(f.settings().GetString("Split", "Date", {}), v.quoteCellText(4, 0));
}

TEST_F(QuoteCommandsInViewTest, TheSplitSearchWindowHoldsTheViewsFlagWhileOpen) {
  Start(MakeDailyQuotes(Day("01/04/99"), 10));
  CLedgrixView& v = f.view();
  commands::OpenSplitSearch(v);
  QPointer<CSplitSearchDialog> window;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* d = qobject_cast<CSplitSearchDialog*>(w))
      window = d;
  ASSERT_TRUE(window);
  EXPECT_EQ(v.m_splitSearchOpen, 1);
  Click(*window, "searchButton");
  EXPECT_EQ(f.prompt().messages, std::vector<std::string>{"No candidate splits found"});
  Click(*window, "closeButton");
  EXPECT_EQ(v.m_splitSearchOpen, 0);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());
}

}  // namespace
}  // namespace ledgrix::testing
