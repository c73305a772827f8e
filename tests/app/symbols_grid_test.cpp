// The symbols grid: order, title, the repair offer, the count checks and their messages.
#include <gtest/gtest.h>

#include <QTableView>
#include <QTest>

#include "formats/dates.h"
#include "tests/app/gui_test_support.h"

namespace ledgrix::testing {
namespace {

namespace fs = std::filesystem;

SymbolSpec Spec(int file, const std::string& symbol, const std::string& name, int quotes = 3) {
  SymbolSpec s;
  s.fileNumber = static_cast<std::uint16_t>(file);
  s.symbol = symbol;
  s.name = name;
  s.quotes = MakeDailyQuotes(formats::DayFromYmd(2001, 3, 1), quotes);
  return s;
}

const std::string kFailure = "Failure while filling symbols grid";

class SymbolsGridTest : public ::testing::Test {
 protected:
  fs::path Dir() const { return f.root() / "P"; }
  QString Title(const QString& tail) const { return "Ledgrix - " + QPath(Dir()) + " - " + tail; }
  void Start() {
    f.WalkWholeVolume();
    f.StartAndScan();
  }
  void MouseClickSymbol(int row) {
    QTableView* grid = f.view().m_symbolGrid;
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualRect(grid->model()->index(row, 0)).center());
  }
  GuiFixture f;
};

TEST_F(SymbolsGridTest, RowsAreSortedAndTheFirstIsLoaded) {
  PortfolioBuilder(Dir())
      .Add(Spec(1, "MSFT", "MICROSOFT", 4))
      .Add(Spec(2, "IBM", "INTL BUS MACH", 5))
      .Add(Spec(3, "AAPL", "APPLE", 6))
      .Write();
  Start();
  CLedgrixView& v = f.view();
  ASSERT_EQ(v.symbolRowCount(), 3);
  EXPECT_EQ(v.symbolCellText(0, 0), "AAPL");
  EXPECT_EQ(v.symbolCellText(1, 0), "IBM");
  EXPECT_EQ(v.symbolCellText(2, 0), "MSFT");
  EXPECT_EQ(v.symbolCellText(1, 1), "INTL BUS MACH   ");
  EXPECT_EQ(v.m_selSymbolRow, 0);
  EXPECT_EQ(f.frame().windowTitle(), Title("AAPL"));
  EXPECT_EQ(v.m_symbol, "AAPL");
  EXPECT_EQ(v.m_symbolName, "APPLE           ");
  EXPECT_EQ(v.m_quoteCount, 6);
  EXPECT_EQ(v.m_symbolCount, 3);
  EXPECT_EQ(f.frame().SymbolPaneText(), "Symbol 1 of 3");
  EXPECT_TRUE(f.prompt().messages.empty());

  // The keyboard moves the title and the pane only; a mouse click loads the row's quotes.
  f.KeySelectSymbol(2);
  EXPECT_EQ(v.m_selSymbolRow, 2);
  EXPECT_EQ(f.frame().windowTitle(), Title("MSFT"));
  EXPECT_EQ(f.frame().SymbolPaneText(), "Symbol 3 of 3");
  EXPECT_EQ(v.m_symbol, "AAPL");
  EXPECT_EQ(v.m_quoteCount, 6);
  MouseClickSymbol(1);
  EXPECT_EQ(v.m_symbol, "IBM");
  EXPECT_EQ(v.quoteRowCount(), 5);
  // Clicking the selected row again reloads it with the newest quote selected.
  f.SelectQuote(3);
  MouseClickSymbol(1);
  EXPECT_EQ(v.m_selQuoteRow, 0);
}

TEST_F(SymbolsGridTest, HeaderCountMismatchOrMissingMasterIsAFailure) {
  for (int announced : {3, 5, -1}) {
    SCOPED_TRACE(announced);
    GuiFixture g;
    PortfolioBuilder builder(g.root() / "P");
    for (int i = 1; i <= 4; ++i)
      builder.Add(Spec(i, std::string(1, static_cast<char>('A' + i)), "N"));
    builder.SetCounts(static_cast<std::int16_t>(announced), 4).Write();
    g.WalkWholeVolume();
    g.StartAndScan();
    EXPECT_EQ(g.prompt().messages, std::vector<std::string>{kFailure});
    EXPECT_EQ(g.view().symbolRowCount(), 0);
    EXPECT_EQ(g.view().quoteRowCount(), 0);
    EXPECT_EQ(g.view().m_symbolCount, 0);
    EXPECT_TRUE(g.view().m_portfoliosFound);
    EXPECT_EQ(g.frame().windowTitle(), "Ledgrix");
  }
  f.Start();
  f.view().SelectPortfolio(QPath(f.root() / "gone" / "MASTER"));
  f.view().FillSymbolsGrid(0);
  EXPECT_EQ(f.prompt().messages, std::vector<std::string>{kFailure});
}

TEST(SymbolsGridRepair, BlankSymbolRepairedWhenAcceptedOrAutomaticLeftWhenDeclined) {
  struct Case {
    const char* what;
    bool answer, masterFix;
    std::size_t questions;
    bool repaired;
  } cases[] = {
      {"accepted", true, false, 1, true},
      {"declined", false, false, 1, false},
      {"automatic", false, true, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    GuiFixture f;
    const fs::path dir = f.root() / "P";
    PortfolioBuilder(dir).Add(Spec(1, "", "ACME CORP")).Add(Spec(2, "ZED", "ZED CO")).Write();
    const auto before = FileBytes(dir / "MASTER");
    f.prompt() = ScriptedPrompt({c.answer});
    f.SetSetting("Search", "MasterFix", c.masterFix ? "1" : "0");
    f.WalkWholeVolume();
    f.StartAndScan();
    CLedgrixView& v = f.view();
    ASSERT_EQ(f.prompt().questions.size(), c.questions);
    for (const std::string& question : f.prompt().questions)
      EXPECT_NE(question.find("appears corrupted"), std::string::npos);
    if (!c.repaired) {
      EXPECT_EQ(f.prompt().messages, std::vector<std::string>{kFailure});
      EXPECT_EQ(FileBytes(dir / "MASTER"), before);
      EXPECT_EQ(v.symbolRowCount(), 0);
      continue;
    }
    EXPECT_TRUE(f.prompt().messages.empty());
    ASSERT_EQ(v.symbolRowCount(), 2);
    // The row shows what the repaired file now holds as the symbol.
    formats::MasterFile master;
    ASSERT_TRUE(formats::ReadMasterFile(dir / "MASTER", master));
    EXPECT_EQ(master.records[0].displaySymbol(), "ACME");
    EXPECT_EQ(v.symbolCellText(0, 0), "ACME");
    EXPECT_EQ(v.symbolCellText(0, 1), "ACME CORP       ");
    EXPECT_EQ(v.m_quoteCount, 3);  // the lookup finds the repaired symbol
    EXPECT_EQ(v.undoLabel(), "Repair MASTER");
  }
}

TEST_F(SymbolsGridTest, NoSymbolsOrMoreThan255WhichShowsTheFirst255) {
  PortfolioBuilder(Dir()).Write();
  PortfolioBuilder more(f.root() / "Q");
  for (int i = 0; i < 256; ++i) {
    char symbol[8];
    std::snprintf(symbol, sizeof symbol, "S%03d", i);
    more.AddRawRecord(MakeMasterRecord(Spec(1 + i % 255, symbol, symbol, 0)));
  }
  more.SetCounts(256, 256).Write();
  Start();
  EXPECT_EQ(f.view().symbolRowCount(), 0);
  EXPECT_EQ(f.frame().windowTitle(), Title("(no symbols)"));
  EXPECT_TRUE(f.prompt().messages.empty());
  EXPECT_EQ(f.frame().SymbolPaneText(), "No Symbols Read");
  EXPECT_EQ(f.frame().QuotePaneText(), "No Quotes Read");

  f.ChoosePortfolio(1);
  ASSERT_FALSE(f.prompt().messages.empty());
  EXPECT_EQ(f.prompt().messages[0],
            "File has 256 symbols.\nWill only display the first 255 symbols");
  EXPECT_EQ(f.view().symbolRowCount(), 255);
  EXPECT_EQ(f.view().symbolCellText(254, 0), "S254");
  EXPECT_EQ(f.view().m_symbolCount, 255);
}

// XMASTER's symbols are rows like MASTER's, counted in the pane; names are the long ones where
// EMASTER (in step) or XMASTER holds one, decoded from Windows-1252.
TEST_F(SymbolsGridTest, EverySymbolOfTheExtendedIndexWithItsLongName) {
  SymbolSpec dow = Spec(1, "DJX", "1/100 Dow Jones ");
  dow.longName = "1/100 Dow Jones INDU";
  PortfolioBuilder(Dir())
      .Add(dow)
      .Add(Spec(2, "ZZ", "ZED"))
      .Add(Spec(256, "ISP", "IS-pubblica utilit\xE0", 4))
      .Add(Spec(300, "AZM.L", "AZM.L"))
      .WithEmaster()
      .Write();
  Start();
  CLedgrixView& v = f.view();
  ASSERT_EQ(v.symbolRowCount(), 4);
  EXPECT_EQ(v.symbolCellText(0, 0), "AZM.L");
  EXPECT_EQ(v.symbolCellText(1, 1), "1/100 Dow Jones INDU");
  EXPECT_EQ(v.symbolCellText(2, 1), QString::fromUtf8("IS-pubblica utilit\u00E0"));
  EXPECT_EQ(f.frame().SymbolPaneText(), "Symbol 1 of 4");
  f.ClickSymbol(2);
  EXPECT_EQ(v.m_quoteCount, 4);  // from F256.MWD
  EXPECT_TRUE(f.prompt().messages.empty());
}

// An EMASTER out of step is offered for rebuild once each time its portfolio is selected
// (without asking with the repair flag); an XMASTER that cannot be used is reported and the
// MASTER symbols shown.
TEST(SymbolsGridIndexFiles, AnEmasterOutOfStepIsOfferedForRebuildAnUnusableXmasterReported) {
  const struct {
    const char* what;
    bool answer, masterFix;
    std::size_t questions;
    bool rebuilt;
  } kCases[] = {{"declined", false, false, 1, false},
                {"accepted", true, false, 1, true},
                {"automatic", false, true, 0, true}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    GuiFixture f;
    const fs::path dir = f.root() / "P";
    SymbolSpec dow = Spec(1, "DJX", "Dow");
    dow.longName = "Dow Jones Industrial Average";
    PortfolioBuilder(dir).Add(dow).Add(Spec(2, "ZZ", "ZED")).WithEmaster().Write();
    auto emaster = FileBytes(dir / "EMASTER");
    emaster[192 + 72] ^= 1;  // a last date MASTER does not hold
    WriteBytes(dir / "EMASTER", emaster);
    WriteText(dir / "XMASTER", "broken file\n");
    f.prompt() = ScriptedPrompt({c.answer});
    f.SetSetting("Search", "MasterFix", c.masterFix ? "1" : "0");
    f.WalkWholeVolume();
    f.StartAndScan();
    ASSERT_EQ(f.prompt().questions.size(), c.questions);
    for (const std::string& question : f.prompt().questions)
      EXPECT_NE(question.find("out of step with MASTER"), std::string::npos);
    ASSERT_EQ(f.prompt().messages.size(), 1u);
    EXPECT_NE(f.prompt().messages[0].find("Only the symbols listed in MASTER are shown"),
              std::string::npos);
    EXPECT_EQ(f.view().symbolRowCount(), 2);
    EXPECT_EQ(f.view().symbolCellText(0, 1),
              c.rebuilt ? "Dow Jones Industrial Average" : "Dow             ");
    EXPECT_EQ(FileBytes(dir / "EMASTER") != emaster, c.rebuilt);
    // A refill (after a delete, say) does not ask again.
    f.view().FillSymbolsGrid(0);
    EXPECT_EQ(f.prompt().questions.size(), c.questions);
  }
}

TEST_F(SymbolsGridTest, TheRealSampleShowsAllItsSymbols) {
  const auto samples = SamplesDir();
  if (!samples)
    GTEST_SKIP() << "sample portfolios not present";
  f.Start();
  f.view().SelectPortfolio(QPath(*samples / "okomarov-sampleData" / "MASTER"));
  f.view().FillSymbolsGrid(0);
  EXPECT_EQ(f.view().symbolRowCount(), 462);
  EXPECT_EQ(f.frame().SymbolPaneText(), "Symbol 1 of 462");
  EXPECT_TRUE(f.prompt().messages.empty());
}

}  // namespace
}  // namespace ledgrix::testing
