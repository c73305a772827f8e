// Column widths: the defaults, stored widths and the check that resets them, saving on close.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QTableView>

#include "app/grid_columns.h"
#include "tests/app/gui_test_support.h"

namespace ledgrix::testing {
namespace {

TEST(ColumnWidths, CheckedAsAGroup) {
  const std::vector<int> two{135, 135}, seven(7, 90);
  struct Case {
    std::vector<int> stored;
    int width, divisor;
    std::vector<int> expected;
  } cases[] = {
      {{135, 135}, 300, 20, two},        {{200, 150}, 300, 20, two},  // sum too wide
      {{0, 100}, 300, 20, two},                                       // a zero resets both
      {{-5, 100}, 300, 20, two},         {{301, 1}, 300, 20, two},
      {{100, 200}, 300, 20, {100, 200}},  // exactly the width
      {seven, 700, 70, seven},           {{100, 100, 100, 100, 100, 100, 101}, 700, 70, seven},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CheckedColumnWidths(c.stored, c.width, c.divisor), c.expected);
  EXPECT_EQ(DefaultColumnWidth(299, 20), 134);
}

std::vector<int> Widths(QTableView* grid) {
  std::vector<int> widths;
  for (int c = 0; c < grid->model()->columnCount(); ++c)
    widths.push_back(grid->horizontalHeader()->sectionSize(c));
  return widths;
}

// Stored widths are used and saved on close; an implausible one gives its grid the defaults,
// which fill nine tenths of it.
TEST(ColumnWidths, StoredWidthsAreUsedAndSavedOnCloseAndAnImplausibleOneResetsItsGrid) {
  for (const char* stored : {"50", "0"}) {
    SCOPED_TRACE(stored);
    GuiFixture f;
    f.SetSetting("SymbolGrid", "col0", stored);
    f.SetSetting("SymbolGrid", "col1", "70");
    for (int c = 0; c < 7; ++c)
      f.SetSetting("QuoteGrid", QStringLiteral("col%1").arg(c), c == 2 ? stored : "50");
    f.StartAndScan();
    CLedgrixView& v = f.view();
    const bool reset = stored[0] == '0';
    const int symbolsWidth = v.m_symbolGrid->viewport()->width() * 9 / 20;
    const int quoteWidth = reset ? v.m_quoteGrid->viewport()->width() * 9 / 70 : 50;
    const std::vector<int> symbols =
        reset ? std::vector<int>(2, symbolsWidth) : std::vector<int>{50, 70};
    EXPECT_EQ(Widths(v.m_symbolGrid), symbols);
    EXPECT_EQ(Widths(v.m_quoteGrid), std::vector<int>(7, quoteWidth));
    v.m_symbolGrid->horizontalHeader()->resizeSection(1, 81);
    v.m_quoteGrid->horizontalHeader()->resizeSection(3, 77);
    f.frame().close();
    EXPECT_EQ(f.settings().GetString("SymbolGrid", "col1", "?"), "81");
    EXPECT_EQ(f.settings().GetString("QuoteGrid", "col3", "?"), "77");
    EXPECT_EQ(f.settings().GetString("QuoteGrid", "col6", "?"), QString::number(quoteWidth));
  }
}

}  // namespace
}  // namespace ledgrix::testing
