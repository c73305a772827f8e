// The windows over a whole portfolio on the real view. The split search: the core's candidates
// listed and appended, its messages shown, a sub-portfolio's row passed over, the list saved,
// and the view's flag while the window is open (which pairs are candidates is the split
// search's own tests' concern). Portfolio > Check...: the findings listed and sorted, a
// double-click shows the quote, the chart marks it, and the safe fixes mend the index after the
// question.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QSpinBox>
#include <QTimer>
#include <QTreeWidget>

#include "app/chart_view.h"
#include "app/main_frame.h"
#include "commands/check/check_dialog.h"
#include "commands/quotes/quote_commands.h"
#include "commands/quotes/split_search_dialog.h"
#include "tests/commands/command_test_support.h"

namespace ledgrix::testing {
namespace {

// count quotes from Monday 01/04/99 closing at 50, halved across a gap from quote `half` on.
std::vector<Quote> Halved(int count, int half = -1) {
  std::vector<Quote> quotes;
  formats::QuoteDate day = Day("01/04/99");
  for (int i = 0; i < count; ++i, day = formats::WeekdayAfter(day)) {
    const float close = half >= 0 && i >= half ? 25.0f : 50.0f;
    quotes.push_back({day, 0, close, close + 0.5f, close - 0.5f, close, 1000, 0});
  }
  return quotes;
}

class SplitSearchTest : public QuoteViewTest {
 protected:
  void Open(const std::vector<SymbolSpec>& symbols, const formats::MasterRecord* raw = nullptr) {
    Start(symbols, raw);
    commands::OpenSplitSearch(f.view());
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* d = qobject_cast<CSplitSearchDialog*>(w))
        window = d;
    ASSERT_TRUE(window);
  }
  void Search() { Click(*window, "searchButton"); }
  QString Status() const { return Child<QLabel>(*window, "statusText")->text(); }

  QPointer<CSplitSearchDialog> window;
};

// A sub-portfolio's row (the demo's "INTL <DIR>") is no symbol and is passed over; a symbol
// whose quotes cannot be read ends the search, named in the message.
TEST_F(SplitSearchTest, ListsAppendsSavesAndShowsTheSearchsMessages) {
  formats::MasterRecord sub;
  sub.setIssueName("INTL       <DIR>");
  sub.setSymbolField("INTL");
  Open({Symbol("GONE", Halved(10), 1), Symbol("HALF", Halved(10, 3), 2),
        Symbol("ONE", Halved(1), 3)},
       &sub);
  ASSERT_EQ(f.view().symbolCellText(2, 1), "INTL       <DIR>");
  EXPECT_FALSE(window->isModal());
  EXPECT_EQ(f.view().m_splitSearchOpen, 1);
  EXPECT_FALSE(Child<QPushButton>(*window, "saveAsButton")->isEnabled());
  Search();
  Search();
  const QString found = QStringLiteral("HALF possible 2 for 1 split on 01/07/99");
  EXPECT_EQ(window->results(), QStringList(2, found));
  EXPECT_EQ(Status(), QStringLiteral("Done search"));
  const std::string tooFew =
      "For symbol ONE\nSplitSearch cannot perform search\nas there are fewer than 2 quotes.";
  EXPECT_EQ(Messages(), (std::vector<std::string>{tooFew, tooFew}));

  const auto saved = f.root() / "result.txt";
  window->setSavePathProvider([&](QWidget*) { return QPath(saved); });
  Click(*window, "saveAsButton");
  const auto bytes = FileBytes(saved);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), (found + '\n' + found + '\n').toStdString());

  Messages().clear();
  const auto nowhere = f.root() / "no such folder" / "result.txt";
  window->setSavePathProvider([&](QWidget*) { return QPath(nowhere); });
  Click(*window, "saveAsButton");
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].find("could not be saved"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(f.root() / "no such folder"));
  // A cancelled file dialog writes nothing and says nothing.
  window->setSavePathProvider([](QWidget*) { return QString(); });
  Click(*window, "saveAsButton");
  EXPECT_EQ(Messages().size(), 1u);

  Messages().clear();
  std::filesystem::remove(Dir() / "F1.DAT");
  Search();
  EXPECT_EQ(Messages(), std::vector<std::string>{"Error in SplitSearch bars read\nThe quotes of "
                                                 "GONE cannot be read; the search stopped there."});
  EXPECT_EQ(window->results().size(), 2);  // HALF, after GONE, was not searched again
}

// No candidate ends with its message. The file dialog's "All Files" shows every file, names
// without an extension too.
TEST_F(SplitSearchTest, NoCandidateIsSaidSaveAsOffersEveryFileAndCloseClearsTheViewsFlag) {
  Open({Symbol("FLAT", Halved(30), 1)});
  Search();
  EXPECT_TRUE(window->results().isEmpty());
  EXPECT_EQ(Messages(), std::vector<std::string>{"No candidate splits found"});

  PortfolioBuilder(Dir()).Add(Symbol("FLAT", Halved(30, 3), 1)).Write();
  Search();
  QStringList filters;
  QTimer::singleShot(0, [&filters] {
    if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
      filters = dialog->nameFilters();
      dialog->reject();
    }
  });
  Click(*window, "saveAsButton");
  ASSERT_EQ(filters.size(), 2);
  const QString all = filters[1];
  EXPECT_TRUE(QDir::match(all.mid(all.indexOf('(') + 1).chopped(1), "README")) << all.toStdString();

  Click(*window, "closeButton");
  EXPECT_EQ(f.view().m_splitSearchOpen, 0);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());
}

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

TEST_F(CheckWindowTest, ListsSortsShowsMarksAndMendsTheFindings) {
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

  // The safe fixes after the question, undoable.
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
  EXPECT_NE(TakeSnapshot(Dir()).at("MASTER"), before.at("MASTER"));
  f.frame().findChild<QAction*>(QStringLiteral("command%1").arg(ID_EDIT_UNDO))->trigger();
  EXPECT_EQ(TakeSnapshot(Dir()).at("MASTER"), before.at("MASTER"));

  // A higher threshold, stored for the next check, no longer calls it a tick.
  QSpinBox* tick = Child<QSpinBox>(*window, "tickPercent");
  tick->setFocus();
  QTest::keyClick(tick, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(tick, "150");
  Click(*window, "checkAgainButton");
  EXPECT_EQ(Column(1), (QStringList{"first date wrong"}));
  EXPECT_EQ(Settings("Check", {"TickPercent"}), QStringList{"150"});
}

}  // namespace
}  // namespace ledgrix::testing
