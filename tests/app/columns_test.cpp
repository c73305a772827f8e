// Column widths: the defaults, stored widths and the check that resets them, saving on close.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QTableView>

#include "app/grid_columns.h"
#include "tests/app/gui_test_support.h"

namespace ledgrix::testing {
namespace {

TEST(ColumnWidths, CheckedAsAGroup) {
  struct Case {
    std::vector<int> stored;
    int width, divisor;
    std::vector<int> expected;
  } cases[] = {
      {{135, 135}, 300, 20, {135, 135}},
      {{200, 150}, 300, 20, {135, 135}},  // sum too wide
      {{0, 100}, 300, 20, {135, 135}},    // a zero resets both
      {{-5, 100}, 300, 20, {135, 135}},
      {{301, 1}, 300, 20, {135, 135}},
      {{100, 200}, 300, 20, {100, 200}},  // exactly the width
      {{90, 90, 90, 90, 90, 90, 90}, 700, 70, {90, 90, 90, 90, 90, 90, 90}},
      {{100, 100, 100, 100, 100, 100, 101}, 700, 70, {90, 90, 90, 90, 90, 90, 90}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CheckedColumnWidths(c.stored, c.width, c.divisor), c.expected);
  EXPECT_EQ(DefaultColumnWidth(700, 70), 90);
  EXPECT_EQ(DefaultColumnWidth(300, 20), 135);
  EXPECT_EQ(DefaultColumnWidth(299, 20), 134);
}

int Width(QTableView* grid, int column) {
  return grid->horizontalHeader()->sectionSize(column);
}

TEST(ColumnWidths, DefaultsFillNinetyPercent) {
  GuiFixture f;
  f.StartAndScan();
  CLedgrixView& v = f.view();
  const int symbols = v.m_symbolGrid->viewport()->width();
  const int quotes = v.m_quoteGrid->viewport()->width();
  ASSERT_GT(symbols, 100);
  EXPECT_EQ(Width(v.m_symbolGrid, 0), symbols * 9 / 20);
  EXPECT_EQ(Width(v.m_symbolGrid, 1), symbols * 9 / 20);
  for (int c = 0; c < 7; ++c)
    EXPECT_EQ(Width(v.m_quoteGrid, c), quotes * 9 / 70);
}

TEST(ColumnWidths, StoredWidthsAreUsedAndSavedOnClose) {
  GuiFixture f;
  f.SetSetting("SymbolGrid", "col0", "60");
  f.SetSetting("SymbolGrid", "col1", "70");
  for (int c = 0; c < 7; ++c)
    f.SetSetting("QuoteGrid", QStringLiteral("col%1").arg(c), "50");
  f.StartAndScan();
  CLedgrixView& v = f.view();
  EXPECT_EQ(Width(v.m_symbolGrid, 0), 60);
  EXPECT_EQ(Width(v.m_symbolGrid, 1), 70);
  EXPECT_EQ(Width(v.m_quoteGrid, 6), 50);
  v.m_symbolGrid->horizontalHeader()->resizeSection(1, 81);
  v.m_quoteGrid->horizontalHeader()->resizeSection(3, 77);
  f.frame().close();
  EXPECT_EQ(f.settings().GetString("SymbolGrid", "col0", "?"), "60");
  EXPECT_EQ(f.settings().GetString("SymbolGrid", "col1", "?"), "81");
  EXPECT_EQ(f.settings().GetString("QuoteGrid", "col3", "?"), "77");
  EXPECT_EQ(f.settings().GetString("QuoteGrid", "col6", "?"), "50");
}

TEST(ColumnWidths, OneImplausibleWidthResetsItsGrid) {
  GuiFixture f;
  f.SetSetting("SymbolGrid", "col0", "60");
  f.SetSetting("SymbolGrid", "col1", "70");
  for (int c = 0; c < 7; ++c)
    f.SetSetting("QuoteGrid", QStringLiteral("col%1").arg(c), "50");
  f.SetSetting("QuoteGrid", "col2", "0");
  f.StartAndScan();
  CLedgrixView& v = f.view();
  const int quotes = v.m_quoteGrid->viewport()->width();
  for (int c = 0; c < 7; ++c)
    EXPECT_EQ(Width(v.m_quoteGrid, c), quotes * 9 / 70) << c;
  EXPECT_EQ(Width(v.m_symbolGrid, 0), 60);
}

}  // namespace
}  // namespace ledgrix::testing
