// Portfolio > Check... on the real view: the findings listed and sorted, a double-click shows the
// quote, the chart marks it, and the safe fixes mend the index after the question.
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>

#include "app/chart_view.h"
#include "app/main_frame.h"
#include "commands/check/check_dialog.h"
#include "tests/commands/quotes/quote_test_support.h"

namespace ledgrix::testing {
namespace {

class CheckWindowTest : public QuoteViewTest {
 protected:
  // AA is sound; QQ's close of 01/14/98 is a wild tick and MASTER's first date is a day early.
  void Open() {
    SymbolSpec qq = Symbol("QQ", MakeDailyQuotes(Day("01/05/98"), 12, 20.0f), 2);
    qq.quotes[7].close = qq.quotes[7].high = 40.0f;
    qq.firstDate = Day("01/02/98");
    Start({Symbol("AA", MakeDailyQuotes(Day("01/05/98"), 12), 1), qq});
    f.frame().findChild<QAction*>(QStringLiteral("command%1").arg(ID_PORTFOLIO_CHECK))->trigger();
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* d = dynamic_cast<commands::CCheckDialog*>(w))
        window = d;
    ASSERT_TRUE(window);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    list = Child<QTreeWidget>(*window, "findingsList");
  }
  QStringList Column(int column) const {
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
      texts << list->topLevelItem(i)->text(column);
    return texts;
  }
  void ClickHeader(int section) {
    QHeaderView* header = list->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(section) + 5, header->height() / 2));
  }
  void DoubleClick(int row) {
    const QRect rect = list->visualItemRect(list->topLevelItem(row));
    // The first click of the two, then the second as a double-click.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
  }

  QPointer<commands::CCheckDialog> window;
  QTreeWidget* list = nullptr;
};

TEST_F(CheckWindowTest, ListsSortsShowsAndMarksTheFindings) {
  Open();
  ClickHeader(1);  // by kind
  EXPECT_EQ(Column(1), (QStringList{"bad tick", "first date wrong"}));
  EXPECT_EQ(Column(0), (QStringList{"QQ", "QQ"}));
  EXPECT_EQ(Child<QLabel>(*window, "summaryText")->text(),
            QStringLiteral("2 finding(s), 1 of them mended by the safe fixes"));

  DoubleClick(0);
  EXPECT_EQ(f.view().symbol(), QStringLiteral("QQ"));
  EXPECT_EQ(f.view().quoteCellText(f.view().selQuoteRow(), 0), QStringLiteral("01/14/98"));
  const auto& marks = f.view().findChild<CChartView*>()->marks();
  ASSERT_EQ(marks.size(), 1u);
  EXPECT_EQ(marks[0].kind, ChartMarkKind::kBadTick);
  EXPECT_TRUE(marks[0].text.startsWith(QStringLiteral("bad tick: 01/14/98: CLOSE 40")));

  // A higher threshold, stored for the next check, no longer calls it a tick.
  QSpinBox* tick = Child<QSpinBox>(*window, "tickPercent");
  tick->setFocus();
  QTest::keyClick(tick, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(tick, "150");
  Click(*window, "checkAgainButton");
  EXPECT_EQ(Column(1), (QStringList{"first date wrong"}));
  EXPECT_EQ(Settings("Check", {"TickPercent"}), QStringList{"150"});
}

TEST_F(CheckWindowTest, SafeFixesAfterTheQuestionAndUndoable) {
  Open();
  const Snapshot before = TakeSnapshot(Dir());
  Click(*window, "fixButton");  // answered No
  EXPECT_EQ(TakeSnapshot(Dir()), before);
  ASSERT_EQ(f.prompt().questions.size(), 1u);
  EXPECT_NE(f.prompt().questions[0].find("QQ: set the index's first date from the quotes"),
            std::string::npos);

  f.prompt() = ScriptedPrompt({true});
  Click(*window, "fixButton");
  EXPECT_EQ(Column(1), (QStringList{"bad tick"}));
  EXPECT_FALSE(Child<QPushButton>(*window, "fixButton")->isEnabled());
  const Snapshot after = TakeSnapshot(Dir());
  EXPECT_NE(after.at("MASTER"), before.at("MASTER"));
  EXPECT_EQ(after.at("F2.DAT"), before.at("F2.DAT"));

  f.frame().findChild<QAction*>(QStringLiteral("command%1").arg(ID_EDIT_UNDO))->trigger();
  EXPECT_EQ(TakeSnapshot(Dir()).at("MASTER"), before.at("MASTER"));
}

}  // namespace
}  // namespace ledgrix::testing
