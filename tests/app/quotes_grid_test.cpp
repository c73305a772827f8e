// The quotes grid: rows newest first in windows of 400, counts above 32 767, cell texts, "N/A",
// the date texts.
#include <gtest/gtest.h>

#include <QImage>
#include <QProgressBar>
#include <QStatusBar>
#include <QTableView>
#include <QTest>

#include "formats/dates.h"
#include "tests/app/gui_test_support.h"

namespace ledgrix::testing {
namespace {

namespace fs = std::filesystem;
using formats::DayFromYmd;
using formats::DisplayDate;

TEST(QuotesGrid, RowsNewestFirstAroundTheWindowSize) {
  for (int count : {0, 1, 400, 401, 801, 33000}) {
    SCOPED_TRACE(count);
    GuiFixture f;
    const SymbolSpec s = Daily("XYZ", count);
    CLedgrixView& v = f.StartOn({s});
    ASSERT_EQ(v.quoteRowCount(), count);
    EXPECT_TRUE(f.prompt().messages.empty());
    EXPECT_EQ(f.frame().statusBarWidget()->findChild<QProgressBar*>(), nullptr);
    if (count == 0) {
      EXPECT_EQ(v.m_firstDateText, "00/00/00");
      EXPECT_EQ(v.m_lastDateText, "00/00/00");
      EXPECT_EQ(f.frame().QuotePaneText(), "No Quotes Read");
      continue;
    }
    for (int row : {0, count / 2, count - 1}) {
      const Quote& q = s.quotes[static_cast<std::size_t>(count - 1 - row)];
      EXPECT_EQ(v.quoteCellText(row, 0).toStdString(), DisplayDate(q.date)) << row;
    }
    EXPECT_EQ(v.m_selQuoteRow, 0);
    EXPECT_EQ(v.m_firstDateText.toStdString(), DisplayDate(s.quotes.front().date));
    EXPECT_EQ(v.m_lastDateText.toStdString(), DisplayDate(s.quotes.back().date));
    EXPECT_EQ(f.frame().QuotePaneText(), QStringLiteral("Quote %1 of %1").arg(count));
  }
}

TEST(QuotesGrid, CellTextsNAForNegativeValuesAndFieldsTheFileLacksAndAMissingFile) {
  GuiFixture f;
  SymbolSpec lacking = Daily("LACK", 3);
  lacking.fields = {formats::kDate, formats::kHigh, formats::kLow, formats::kClose};
  SymbolSpec xyz = Daily("XYZ", 0, 2);
  xyz.quotes = {{DayFromYmd(2004, 7, 9), 0, 12.3f, 13, -1, 12.3f, 1500, 0}};
  CLedgrixView& v = f.StartOn({lacking, xyz});
  const auto row = [&v] {
    QStringList cells;
    for (int c = 0; c < 7; ++c)
      cells << v.quoteCellText(0, c);
    return cells;
  };
  const QStringList lack = row();  // no OPEN, VOL or OI
  EXPECT_EQ(lack.indexOf("N/A"), 1);
  EXPECT_EQ(lack.lastIndexOf("N/A", 4), 1);
  EXPECT_EQ(lack.mid(5), (QStringList{"N/A", "N/A"}));
  f.ClickSymbol(1);
  EXPECT_EQ(row(), (QStringList{"07/09/04", "12.3000", "13.0000", "N/A", "12.3000", "1500", "0"}));
  fs::remove(f.root() / "P" / "F2.DAT");  // a quote file that is gone is reported
  f.view().OnSymbolClick();
  EXPECT_EQ(f.prompt().messages, std::vector<std::string>{"Error in FillQuotesGrid"});
  EXPECT_EQ(v.quoteRowCount(), 0);
}

// Dots along the left edge of row 0, as the grid is drawn now (no text or ruling lies there).
bool FocusRectangleDrawn(QTableView* grid) {
  const QRect first = grid->visualRect(grid->model()->index(0, 0));
  const QImage image = grid->viewport()->grab().toImage();
  const QColor highlight = grid->palette().color(QPalette::Active, QPalette::Highlight);
  int dots = 0;
  for (int y = first.top(); y < first.bottom(); ++y)
    dots += image.pixelColor(first.left(), y) != highlight ? 1 : 0;
  return dots > 0;
}

TEST(GridDrawing, TheGridWithTheFocusDrawsTheFocusRectangleRoundItsCurrentRow) {
  GuiFixture f;
  CLedgrixView& v = f.StartOn({Daily("XYZ", 3)});
  f.frame().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&f.frame()));
  for (QTableView* grid : {v.m_symbolGrid, v.m_quoteGrid}) {
    QTableView* other = grid == v.m_symbolGrid ? v.m_quoteGrid : v.m_symbolGrid;
    QTest::mouseClick(other->viewport(), Qt::LeftButton, {},
                      other->visualRect(other->model()->index(0, 0)).center());
    EXPECT_FALSE(FocusRectangleDrawn(grid));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualRect(grid->model()->index(0, 0)).center());
    ASSERT_TRUE(grid->hasFocus());
    EXPECT_TRUE(FocusRectangleDrawn(grid)) << grid->objectName().toStdString();
  }
}

}  // namespace
}  // namespace ledgrix::testing
