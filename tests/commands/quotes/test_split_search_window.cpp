// The split search window on the real view: candidates listed, messages, pages, appending,
// saving, and the view's flag while it is open.
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QPointer>
#include <QTimer>

#include "commands/quotes/quote_commands.h"
#include "commands/quotes/split_search_dialog.h"
#include "tests/commands/quotes/quote_test_support.h"

namespace ledgrix::testing {
namespace {

// count quotes from Monday 01/04/99 at a flat price of about 50; pairs (k, k + 1) listed in
// jumps get the closes (from, to) with high/low ranges that are `gap` apart or overlap.
struct Jump {
  int k;
  float from, to;
  bool gap;
};
std::vector<Quote> SeriesWithJumps(int count, std::vector<Jump> jumps) {
  std::vector<Quote> quotes;
  formats::QuoteDate day = Day("01/04/99");
  for (int i = 0; i < count; ++i, day = formats::WeekdayAfter(day))
    quotes.push_back({day, 0, 50, 50.5f, 49.5f, 50, 1000, 0});
  for (const Jump& j : jumps) {
    Quote& older = quotes[static_cast<std::size_t>(j.k)];
    Quote& newer = quotes[static_cast<std::size_t>(j.k) + 1];
    older = {older.date, 0, j.from, j.from + 0.1f, j.from - 0.1f, j.from, 1000, 0};
    newer = {newer.date, 0, j.to, j.to + 0.1f, j.to - 0.1f, j.to, 1000, 0};
    if (!j.gap && j.from > j.to)  // stretched to overlap
      newer.high = older.low + 1;
    else if (!j.gap)
      newer.low = older.high - 1;
    // The quotes after the jump continue at its level, so no second jump follows.
    for (std::size_t i = static_cast<std::size_t>(j.k) + 2; i < quotes.size(); ++i)
      quotes[i] = {quotes[i].date, 0, j.to, j.to + 0.5f, j.to - 0.5f, j.to, 1000, 0};
  }
  return quotes;
}

QString Found(const char* symbol, const char* ratio, int k) {
  formats::QuoteDate day = Day("01/04/99");
  for (int i = 0; i < k; ++i)
    day = formats::WeekdayAfter(day);
  return QStringLiteral("%1 possible %2 split on %3")
      .arg(symbol, ratio, QString::fromStdString(formats::DisplayDate(day)));
}

class SplitSearchTest : public QuoteViewTest {
 protected:
  void Open(const std::vector<SymbolSpec>& symbols) {
    Start(symbols);
    OpenWindow();
  }
  void OpenWindow() {
    Messages().clear();
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

TEST_F(SplitSearchTest, FindsTheTypicalRatiosAcrossAGapOnlyAndSavesThem) {
  Open({Symbol("HALF", SeriesWithJumps(20, {{5, 50, 25.1f, true}}), 1),
        Symbol("OVER", SeriesWithJumps(20, {{5, 50, 25.1f, false}}), 2),
        Symbol("UP", SeriesWithJumps(20, {{7, 30, 40, true}}), 3),
        Symbol("THIRD", SeriesWithJumps(20, {{9, 10, 30, true}}), 4)});
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Split Search"));
  EXPECT_FALSE(Child<QPushButton>(*window, "saveAsButton")->isEnabled());
  Search();
  EXPECT_EQ(window->results(),
            (QStringList{Found("HALF", "2 for 1", 6), Found("THIRD", "1 for 3", 10)}));
  EXPECT_TRUE(Child<QPushButton>(*window, "saveAsButton")->isEnabled());
  EXPECT_EQ(Status(), QStringLiteral("Done search"));
  EXPECT_TRUE(Messages().empty());

  const auto saved = f.root() / "result.txt";
  window->setSavePathProvider([&](QWidget*) { return QPath(saved); });
  Click(*window, "saveAsButton");
  const auto bytes = FileBytes(saved);
  EXPECT_EQ(QString::fromLatin1(std::string(bytes.begin(), bytes.end())),
            window->results().join('\n') + '\n');

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
}

TEST_F(SplitSearchTest, NoCandidateEndsWithItsMessageAndCloseClearsTheViewsFlag) {
  Open({Symbol("FLAT", SeriesWithJumps(30, {}), 1),
        Symbol("UP", SeriesWithJumps(30, {{3, 30, 40, true}}), 2)});
  EXPECT_TRUE(window->isVisible());
  EXPECT_FALSE(window->isModal());
  EXPECT_EQ(f.view().m_splitSearchOpen, 1);
  Search();
  EXPECT_TRUE(window->results().isEmpty());
  EXPECT_EQ(Status(), QStringLiteral("Done search"));
  EXPECT_EQ(Messages(), std::vector<std::string>{"No candidate splits found"});
  Click(*window, "closeButton");
  EXPECT_EQ(f.view().m_splitSearchOpen, 0);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());
}

TEST_F(SplitSearchTest, ASecondSearchAppendsAndTooFewQuotesAreReported) {
  Open({Symbol("HALF", SeriesWithJumps(10, {{2, 50, 25.1f, true}}), 1),
        Symbol("ONE", SeriesWithJumps(1, {}), 2)});
  Search();
  Search();
  EXPECT_EQ(window->results(), QStringList(2, Found("HALF", "2 for 1", 3)));
  const std::string tooFew =
      "For symbol ONE\nSplitSearch cannot perform search\nas there are fewer than 2 quotes.";
  EXPECT_EQ(Messages(), (std::vector<std::string>{tooFew, tooFew}));
}

// A sub-portfolio's row (the demo's "INTL <DIR>") is no symbol and is passed over; a symbol
// whose quotes cannot be read ends the search, named in the message.
TEST_F(SplitSearchTest, ASubPortfolioRowIsSkippedAndAnUnreadableSymbolIsNamed) {
  formats::MasterRecord sub;
  sub.setIssueName("INTL       <DIR>");
  sub.setSymbolField("INTL");
  PortfolioBuilder(Dir())
      .Add(Symbol("GONE", SeriesWithJumps(10, {}), 1))
      .Add(Symbol("HALF", SeriesWithJumps(10, {{2, 50, 25.1f, true}}), 2))
      .AddRawRecord(sub)
      .Write();
  StartView(f);
  OpenWindow();
  ASSERT_EQ(f.view().symbolCellText(2, 1), "INTL       <DIR>");
  Search();
  EXPECT_EQ(window->results(), QStringList{Found("HALF", "2 for 1", 3)});
  EXPECT_EQ(Status(), QStringLiteral("Done search"));
  EXPECT_TRUE(Messages().empty());

  std::filesystem::remove(Dir() / "F1.DAT");
  Search();
  EXPECT_EQ(Messages(), std::vector<std::string>{"Error in SplitSearch bars read\nThe quotes of "
                                                 "GONE cannot be read; the search stopped there."});
  EXPECT_EQ(window->results().size(), 1);  // HALF, after GONE, was not searched again
}

// The file dialog's "All Files" shows every file, names without an extension too.
TEST_F(SplitSearchTest, SaveAsOffersEveryFile) {
  Open({Symbol("HALF", SeriesWithJumps(10, {{2, 50, 25.1f, true}}), 1)});
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
}

}  // namespace
}  // namespace ledgrix::testing
