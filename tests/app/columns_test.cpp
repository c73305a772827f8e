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

TEST(ColumnWidths, DefaultsFillNinetyPercent) {
  GuiFixture f;
  f.StartAndScan();
  CLedgrixView& v = f.view();
  const int symbols = v.m_symbolGrid->viewport()->width();
  ASSERT_GT(symbols, 100);
  EXPECT_EQ(Widths(v.m_symbolGrid), std::vector<int>(2, symbols * 9 / 20));
  EXPECT_EQ(Widths(v.m_quoteGrid),
            std::vector<int>(7, v.m_quoteGrid->viewport()->width() * 9 / 70));
}

TEST(ColumnWidths, StoredWidthsAreUsedAndSavedOnCloseAndAnImplausibleOneResetsItsGrid) {
  for (const char* quoteCol2 : {"50", "0"}) {
    SCOPED_TRACE(quoteCol2);
    GuiFixture f;
    f.SetSetting("SymbolGrid", "col0", "60");
    f.SetSetting("SymbolGrid", "col1", "70");
    for (int c = 0; c < 7; ++c)
      f.SetSetting("QuoteGrid", QStringLiteral("col%1").arg(c), c == 2 ? quoteCol2 : "50");
    f.StartAndScan();
    CLedgrixView& v = f.view();
    EXPECT_EQ(Widths(v.m_symbolGrid), (std::vector<int>{60, 70}));
    const int quoteWidth = quoteCol2[0] == '0' ? v.m_quoteGrid->viewport()->width() * 9 / 70 : 50;
    EXPECT_EQ(Widths(v.m_quoteGrid), std::vector<int>(7, quoteWidth));
    v.m_symbolGrid->horizontalHeader()->resizeSection(1, 81);
    v.m_quoteGrid->horizontalHeader()->resizeSection(3, 77);
    f.frame().close();
    EXPECT_EQ(f.settings().GetString("SymbolGrid", "col0", "?"), "60");
    EXPECT_EQ(f.settings().GetString("SymbolGrid", "col1", "?"), "81");
    EXPECT_EQ(f.settings().GetString("QuoteGrid", "col3", "?"), "77");
    EXPECT_EQ(f.settings().GetString("QuoteGrid", "col6", "?"), QString::number(quoteWidth));
  }
}

}  // namespace
}  // namespace ledgrix::testing
