// The split search window: candidates listed, messages, pages, appending, saving.
#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include <gtest/gtest.h>
#include <fstream>

#include "commands/quotes/quote_commands.h"
#include "commands/quotes/split_search_dialog.h"
#include "tests/commands/quotes/fake_quote_host.h"
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
  for (int i = 0; i < count; ++i) {
    quotes.push_back({day, 0, 50, 50.5f, 49.5f, 50, 1000, 0});
    day = formats::WeekdayAfter(day);
  }
  for (const Jump& j : jumps) {
    Quote& older = quotes[static_cast<std::size_t>(j.k)];
    Quote& newer = quotes[static_cast<std::size_t>(j.k) + 1];
    older.close = older.open = j.from;
    newer.close = newer.open = j.to;
    const bool fell = j.from > j.to;
    // Ranges 0.1 around the close: far apart, or stretched to overlap.
    older.high = j.from + 0.1f;
    older.low = j.from - 0.1f;
    newer.high = j.to + 0.1f;
    newer.low = j.to - 0.1f;
    if (!j.gap) {
      if (fell)
        newer.high = older.low + 1;
      else
        newer.low = older.high - 1;
    }
    // The quote after the jump continues at its level, so no second jump follows.
    for (std::size_t i = static_cast<std::size_t>(j.k) + 2; i < quotes.size(); ++i) {
      quotes[i].open = quotes[i].close = j.to;
      quotes[i].high = j.to + 0.5f;
      quotes[i].low = j.to - 0.5f;
    }
  }
  return quotes;
}

SymbolSpec Symbol(std::uint8_t fileNumber, const char* symbol, std::vector<Quote> quotes) {
  SymbolSpec spec;
  spec.fileNumber = fileNumber;
  spec.symbol = symbol;
  spec.name = symbol;
  spec.quotes = std::move(quotes);
  return spec;
}

QString DateOfQuote(int k) {
  formats::QuoteDate day = Day("01/04/99");
  for (int i = 0; i < k; ++i)
    day = formats::WeekdayAfter(day);
  return QString::fromStdString(formats::DisplayDate(day));
}

class SplitSearchTest : public ::testing::Test {
 protected:
  void Open(const QStringList& symbols) {
    host = std::make_unique<FakeQuoteHost>(dir.get(), symbols);
    commands::OpenSplitSearch(*host);
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* d = qobject_cast<CSplitSearchDialog*>(w))
        window = d;
    ASSERT_TRUE(window);
  }
  void TearDown() override {
    if (window)
      window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  QString Status() const { return Child<QLabel>(*window, "statusText")->text(); }

  TempDir dir;
  std::unique_ptr<FakeQuoteHost> host;
  QPointer<CSplitSearchDialog> window;
};

TEST_F(SplitSearchTest, FindsTheTypicalRatiosAcrossAGapOnly) {
  PortfolioBuilder(dir.get())
      .Add(Symbol(1, "HALF", SeriesWithJumps(20, {{5, 50, 25.1f, true}})))
      .Add(Symbol(2, "OVER", SeriesWithJumps(20, {{5, 50, 25.1f, false}})))
      .Add(Symbol(3, "UP", SeriesWithJumps(20, {{7, 30, 40, true}})))
      .Add(Symbol(4, "THIRD", SeriesWithJumps(20, {{9, 10, 30, true}})))
      .Write();
  Open({"HALF", "OVER", "THIRD", "UP"});
  EXPECT_TRUE(host->splitSearchOpen);
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Split Search"));
  EXPECT_FALSE(Child<QPushButton>(*window, "saveAsButton")->isEnabled());
  Click(*window, "searchButton");
  EXPECT_EQ(window->results(), (QStringList{"HALF possible 2 for 1 split on " + DateOfQuote(6),
                                            "THIRD possible 1 for 3 split on " + DateOfQuote(10)}));
  EXPECT_TRUE(Child<QPushButton>(*window, "saveAsButton")->isEnabled());
  EXPECT_EQ(Status(), QStringLiteral("Done search"));
  EXPECT_TRUE(host->script.messages.empty());
}

TEST_F(SplitSearchTest, NoCandidateEndsWithItsMessage) {
  PortfolioBuilder(dir.get())
      .Add(Symbol(1, "FLAT", SeriesWithJumps(30, {})))
      .Add(Symbol(2, "UP", SeriesWithJumps(30, {{3, 30, 40, true}})))
      .Write();
  Open({"FLAT", "UP"});
  Click(*window, "searchButton");
  EXPECT_TRUE(window->results().isEmpty());
  EXPECT_EQ(Status(), QStringLiteral("Done search"));
  EXPECT_EQ(host->script.messages, std::vector<std::string>{"No candidate splits found"});
}

TEST_F(SplitSearchTest, ReadsFourHundredAndOneQuotesInTwoPagesTestingEveryPairOnce) {
  // Jumps at the first pair, at the pair that straddles the page end and at the last pair.
  PortfolioBuilder(dir.get())
      .Add(Symbol(1, "LONG",
                  SeriesWithJumps(
                      401, {{0, 50, 25, true}, {398, 25, 12.5f, true}, {399, 12.5f, 6.25f, true}})))
      .Write();
  Open({"LONG"});
  Click(*window, "searchButton");
  EXPECT_EQ(window->results(), (QStringList{"LONG possible 2 for 1 split on " + DateOfQuote(1),
                                            "LONG possible 2 for 1 split on " + DateOfQuote(399),
                                            "LONG possible 2 for 1 split on " + DateOfQuote(400)}));
}

TEST_F(SplitSearchTest, ASecondSearchAppendsAndTooFewQuotesAreReported) {
  PortfolioBuilder(dir.get())
      .Add(Symbol(1, "HALF", SeriesWithJumps(10, {{2, 50, 25.1f, true}})))
      .Add(Symbol(2, "ONE", SeriesWithJumps(1, {})))
      .Write();
  Open({"HALF", "ONE"});
  Click(*window, "searchButton");
  Click(*window, "searchButton");
  const QString line = "HALF possible 2 for 1 split on " + DateOfQuote(3);
  EXPECT_EQ(window->results(), (QStringList{line, line}));
  const std::string tooFew =
      "For symbol ONE\nSplitSearch cannot perform search\nas there are fewer than 2 quotes.";
  EXPECT_EQ(host->script.messages, (std::vector<std::string>{tooFew, tooFew}));
}

TEST_F(SplitSearchTest, AnUnreadableSymbolEndsTheSearchAtOnce) {
  PortfolioBuilder(dir.get()).Add(Symbol(1, "HALF", SeriesWithJumps(10, {}))).Write();
  Open({"GONE", "HALF"});
  Click(*window, "searchButton");
  EXPECT_EQ(host->script.messages, std::vector<std::string>{"Error in SplitSearch bars read"});
  EXPECT_NE(Status(), QStringLiteral("Done search"));
}

TEST_F(SplitSearchTest, SavesTheLinesAndRefusesAFileItCannotCreate) {
  PortfolioBuilder(dir.get())
      .Add(Symbol(1, "HALF", SeriesWithJumps(10, {{2, 50, 25.1f, true}})))
      .Add(Symbol(2, "THIRD", SeriesWithJumps(10, {{4, 10, 30, true}})))
      .Write();
  Open({"HALF", "THIRD"});
  Click(*window, "searchButton");
  const auto saved = dir / "result.txt";
  window->setSavePathProvider([&](QWidget*) { return QString::fromStdString(saved.string()); });
  Click(*window, "saveAsButton");
  std::ifstream in(saved);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, ("HALF possible 2 for 1 split on " + DateOfQuote(3) + "\n" +
                   "THIRD possible 1 for 3 split on " + DateOfQuote(5) + "\n")
                      .toStdString());

  const auto nowhere = dir / "no such folder" / "result.txt";
  window->setSavePathProvider([&](QWidget*) { return QString::fromStdString(nowhere.string()); });
  Click(*window, "saveAsButton");
  ASSERT_EQ(host->script.messages.size(), 1u);
  EXPECT_NE(host->script.messages[0].find("could not be saved"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir / "no such folder"));

  // A cancelled file dialog writes nothing and says nothing.
  window->setSavePathProvider([](QWidget*) { return QString(); });
  Click(*window, "saveAsButton");
  EXPECT_EQ(host->script.messages.size(), 1u);
}

TEST_F(SplitSearchTest, CloseTellsTheViewAndDeletesTheWindow) {
  PortfolioBuilder(dir.get()).Add(Symbol(1, "HALF", SeriesWithJumps(10, {}))).Write();
  Open({"HALF"});
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(window->testAttribute(Qt::WA_DeleteOnClose));
  EXPECT_FALSE(window->isModal());
  Click(*window, "closeButton");
  EXPECT_FALSE(host->splitSearchOpen);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());
}

}  // namespace
}  // namespace ledgrix::testing
