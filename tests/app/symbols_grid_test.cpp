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
  SymbolSpec s = Daily(symbol, quotes, file);
  s.name = name;
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

// MASTER's and XMASTER's symbols are rows sorted by symbol, with the long names EMASTER (in step)
// or XMASTER holds, decoded from Windows-1252.
TEST_F(SymbolsGridTest, RowsOfTheWholeIndexAreSortedWithTheirLongNamesAndTheFirstIsLoaded) {
  SymbolSpec dow = Spec(3, "DJX", "1/100 Dow Jones ");
  dow.longName = "1/100 Dow Jones INDU";
  PortfolioBuilder(Dir())
      .Add(Spec(1, "MSFT", "MICROSOFT", 4))
      .Add(Spec(2, "IBM", "INTL BUS MACH", 5))
      .Add(dow)
      .Add(Spec(256, "ISP", "IS-pubblica utilit\xE0", 6))
      .Add(Spec(300, "AZM.L", "AZM.L", 2))
      .WithEmaster()
      .Write();
  Start();
  CLedgrixView& v = f.view();
  QStringList rows;
  for (int r = 0; r < v.symbolRowCount(); ++r)
    rows << v.symbolCellText(r, 0) + "|" + v.symbolCellText(r, 1);
  EXPECT_EQ(rows, (QStringList{"AZM.L|AZM.L", "DJX|1/100 Dow Jones INDU", "IBM|INTL BUS MACH   ",
                               QString::fromUtf8("ISP|IS-pubblica utilit\u00E0"),
                               "MSFT|MICROSOFT       "}));
  EXPECT_EQ(v.m_selSymbolRow, 0);
  EXPECT_EQ(f.frame().windowTitle(), Title("AZM.L"));
  EXPECT_EQ(v.m_symbol, "AZM.L");
  EXPECT_EQ(v.m_quoteCount, 2);
  EXPECT_EQ(f.frame().SymbolPaneText(), "Symbol 1 of 5");
  EXPECT_TRUE(f.prompt().messages.empty());

  // The keyboard moves the title and the pane only; a mouse click loads the row's quotes.
  f.KeySelectSymbol(4);
  EXPECT_EQ(v.m_selSymbolRow, 4);
  EXPECT_EQ(f.frame().windowTitle(), Title("MSFT"));
  EXPECT_EQ(f.frame().SymbolPaneText(), "Symbol 5 of 5");
  EXPECT_EQ(v.m_symbol, "AZM.L");
  MouseClickSymbol(2);
  EXPECT_EQ(v.m_symbol, "IBM");
  EXPECT_EQ(v.m_symbolName, "INTL BUS MACH   ");
  EXPECT_EQ(v.quoteRowCount(), 5);
  MouseClickSymbol(3);
  EXPECT_EQ(v.quoteRowCount(), 6);  // from F256.MWD
  // Clicking the selected row again reloads it with the newest quote selected.
  f.SelectQuote(3);
  MouseClickSymbol(3);
  EXPECT_EQ(v.m_selQuoteRow, 0);
}

// An empty MASTER shows no symbols; of more than 255 the first 255 are shown; one whose header
// announces more or fewer symbols than it holds, or that is gone, is a failure.
TEST_F(SymbolsGridTest, NoSymbolsOrTheFirst255OrAFailureWhenTheCountIsWrongOrMasterGone) {
  PortfolioBuilder(Dir()).Write();
  PortfolioBuilder more(f.root() / "Q");
  for (int i = 0; i < 256; ++i) {
    char symbol[8];
    std::snprintf(symbol, sizeof symbol, "S%03d", i);
    more.AddRawRecord(MakeMasterRecord(Spec(1 + i % 255, symbol, symbol, 0)));
  }
  more.SetCounts(256, 256).Write();
  for (int announced : {3, 5, -1}) {  // each of 4 records
    PortfolioBuilder wrong(f.root() / ("R" + std::to_string(announced)));
    for (int i = 1; i <= 4; ++i)
      wrong.Add(Spec(i, std::string(1, static_cast<char>('A' + i)), "N"));
    wrong.SetCounts(static_cast<std::int16_t>(announced), 4).Write();
  }
  Start();
  EXPECT_EQ(f.view().symbolRowCount(), 0);
  EXPECT_EQ(f.frame().windowTitle(), Title("(no symbols)"));
  EXPECT_TRUE(f.prompt().messages.empty());
  EXPECT_EQ(f.frame().SymbolPaneText(), "No Symbols Read");

  f.ChoosePortfolio(1);
  ASSERT_FALSE(f.prompt().messages.empty());
  EXPECT_EQ(f.prompt().messages[0],
            "File has 256 symbols.\nWill only display the first 255 symbols");
  EXPECT_EQ(f.view().symbolRowCount(), 255);
  EXPECT_EQ(f.view().symbolCellText(254, 0), "S254");
  EXPECT_EQ(f.view().m_symbolCount, 255);

  for (int portfolio : {2, 3, 4, -1}) {
    SCOPED_TRACE(portfolio);
    f.prompt().messages.clear();
    if (portfolio < 0) {
      f.view().SelectPortfolio(QPath(f.root() / "gone" / "MASTER"));
      f.view().FillSymbolsGrid(0);
    } else {
      f.ChoosePortfolio(portfolio);
    }
    EXPECT_EQ(f.prompt().messages, std::vector<std::string>{kFailure});
    EXPECT_EQ(f.view().symbolRowCount(), 0);
    EXPECT_EQ(f.view().m_symbolCount, 0);
  }
}

// A blank symbol and an EMASTER out of step each bring their repair question (EMASTER's once
// each time the portfolio is selected), or are repaired unasked with the repair flag; an XMASTER
// that cannot be used is reported. What each answer does is the repairs' own business.
TEST(SymbolsGridRepair, BlankSymbolAndEmasterOutOfStepAskedOrRepairedAndABrokenXmasterReported) {
  for (bool automatic : {false, true}) {
    SCOPED_TRACE(automatic);
    GuiFixture f;
    const fs::path dir = f.root() / "P";
    SymbolSpec dow = Spec(1, "DJX", "Dow");
    dow.longName = "Dow Jones Industrial Average";
    PortfolioBuilder(dir).Add(dow).Add(Spec(2, "", "ACME CORP")).WithEmaster().Write();
    auto emaster = FileBytes(dir / "EMASTER");
    emaster[192 + 72] ^= 1;  // a last date MASTER does not hold
    WriteBytes(dir / "EMASTER", emaster);
    WriteText(dir / "XMASTER", "broken file\n");
    const auto master = FileBytes(dir / "MASTER");
    f.SetSetting("Search", "MasterFix", automatic ? "1" : "0");
    f.WalkWholeVolume();
    f.StartAndScan();
    CLedgrixView& v = f.view();
    const std::vector<std::string>& questions = f.prompt().questions;
    const std::vector<std::string>& messages = f.prompt().messages;
    ASSERT_EQ(messages.size(), automatic ? 1u : 2u);
    EXPECT_NE(messages[0].find("Only the symbols listed in MASTER are shown"), std::string::npos);
    EXPECT_EQ(FileBytes(dir / "EMASTER") != emaster, automatic);
    EXPECT_EQ(FileBytes(dir / "MASTER") != master, automatic);
    if (!automatic) {  // both declined
      ASSERT_EQ(questions.size(), 2u);
      EXPECT_NE(questions[0].find("out of step with MASTER"), std::string::npos);
      EXPECT_NE(questions[1].find("appears corrupted"), std::string::npos);
      EXPECT_EQ(messages[1], kFailure);
      EXPECT_EQ(v.symbolRowCount(), 0);
      // A refill (after a delete, say) asks about the blank symbol again, not about EMASTER.
      v.FillSymbolsGrid(0);
      ASSERT_EQ(questions.size(), 3u);
      EXPECT_EQ(questions[2], questions[1]);
      continue;
    }
    EXPECT_TRUE(questions.empty());
    ASSERT_EQ(v.symbolRowCount(), 2);
    // The row shows what the repaired file now holds as the symbol, and its quotes load.
    formats::MasterFile repaired;
    ASSERT_TRUE(formats::ReadMasterFile(dir / "MASTER", repaired));
    EXPECT_EQ(repaired.records[1].displaySymbol(), "ACME");
    EXPECT_EQ(v.symbolCellText(0, 0), "ACME");
    EXPECT_EQ(v.m_quoteCount, 3);
    EXPECT_EQ(v.symbolCellText(1, 1), "Dow Jones Industrial Average");
    EXPECT_EQ(v.undoLabel(), "Repair MASTER");
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
