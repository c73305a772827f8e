// The symbol, filter and export commands run against the real main view.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "commands/symbols/delete_symbol_dialog.h"
#include "commands/symbols/edit_symbol_dialog.h"
#include "commands/symbols/export_dialog.h"
#include "commands/symbols/move_symbol_dialog.h"
#include "commands/symbols/search_filter_dialog.h"
#include "commands/symbols/symbol_commands.h"
#include "formats/dates.h"
#include "formats/master.h"
#include "tests/app/gui_test_support.h"
#include "tests/commands/symbols/dialog_driver.h"

namespace ledgrix::testing {
namespace {

namespace fs = std::filesystem;

SymbolSpec Spec(int file, const std::string& symbol, const std::string& name, int quotes) {
  SymbolSpec s;
  s.fileNumber = static_cast<std::uint8_t>(file);
  s.symbol = symbol;
  s.name = name;
  s.quotes = MakeDailyQuotes(formats::DayFromYmd(2001, 3, 1), quotes);
  return s;
}

class CommandsInViewTest : public ::testing::Test {
 protected:
  fs::path First() const { return f.root() / "ALPHA"; }
  fs::path Second() const { return f.root() / "BETA"; }
  void WriteTwoPortfolios() {
    PortfolioBuilder(First())
        .Add(Spec(1, "MSFT", "MICROSOFT", 4))
        .Add(Spec(2, "IBM", "INTL BUS MACH", 5))
        .Add(Spec(3, "AAPL", "APPLE", 6))
        .Write();
    PortfolioBuilder(Second()).Add(Spec(1, "XOM", "EXXON", 2)).Write();
  }
  std::vector<std::string> Symbols(const fs::path& dir) {
    formats::MasterFile file;
    EXPECT_TRUE(formats::ReadMasterFile(dir / "MASTER", file));
    std::vector<std::string> symbols;
    for (const auto& r : file.records)
      symbols.push_back(r.displaySymbol());
    return symbols;
  }
  GuiFixture f;
};

TEST_F(CommandsInViewTest, DeleteRefillsTheGridAndLoadsRowZero) {
  WriteTwoPortfolios();
  f.WalkWholeVolume();
  f.StartAndScan();
  CLedgrixView& v = f.view();
  ASSERT_EQ(v.portfolioDir(), QPath(First()));
  f.ClickSymbol(0);  // AAPL

  DialogDriver<CDeleteSymbolDialog> driver(
      [](CDeleteSymbolDialog& dialog) { Child<QPushButton>(dialog, "yesButton")->click(); });
  commands::DeleteSymbol(v);

  EXPECT_EQ(Symbols(First()), (std::vector<std::string>{"MSFT", "IBM"}));
  ASSERT_EQ(v.symbolRowCount(), 2);
  EXPECT_EQ(v.m_selSymbolRow, 0);
  EXPECT_EQ(v.m_symbol, "IBM");
  EXPECT_EQ(v.m_quoteCount, 5);
  EXPECT_FALSE(fs::exists(First() / "F3.DAT"));
}

TEST_F(CommandsInViewTest, EditChangesTheSelectedRowsRecordInPlace) {
  WriteTwoPortfolios();
  f.WalkWholeVolume();
  f.StartAndScan();
  CLedgrixView& v = f.view();
  f.ClickSymbol(2);  // MSFT, the first record of the file

  DialogDriver<CEditSymbolDialog> driver([](CEditSymbolDialog& dialog) {
    EXPECT_EQ(Child<QLineEdit>(dialog, "nameEdit")->text(), "MICROSOFT");
    Child<QLineEdit>(dialog, "symbolEdit")->setText(QStringLiteral("msft"));
    ClickOk(dialog);
  });
  commands::EditSymbol(v);

  EXPECT_EQ(Symbols(First()), (std::vector<std::string>{"msft", "IBM", "AAPL"}));
  EXPECT_EQ(v.symbolCellText(2, 0), "msft");
  EXPECT_EQ(v.symbolCellText(2, 1), "MICROSOFT");
  EXPECT_EQ(v.m_symbol, "msft");
  EXPECT_EQ(v.m_selSymbolRow, 2);
}

TEST_F(CommandsInViewTest, MoveOffersTheOtherPortfolioAndRefills) {
  WriteTwoPortfolios();
  f.WalkWholeVolume();
  f.StartAndScan();
  CLedgrixView& v = f.view();
  ASSERT_EQ(v.portfolioEntries().size(), 2);
  f.ClickSymbol(1);  // IBM

  DialogDriver<CMoveSymbolDialog> driver([this](CMoveSymbolDialog& dialog) {
    auto* list = Child<QListWidget>(dialog, "destinationList");
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->item(0)->text(), QPath(Second()));
    ClickOk(dialog);
  });
  commands::MoveOrCopySymbol(v, true);

  EXPECT_EQ(Symbols(First()), (std::vector<std::string>{"MSFT", "AAPL"}));
  EXPECT_EQ(Symbols(Second()), (std::vector<std::string>{"XOM", "IBM"}));
  EXPECT_EQ(v.symbolRowCount(), 2);
  EXPECT_EQ(v.m_symbol, "AAPL");
}

TEST_F(CommandsInViewTest, AChangedFilterPathRescansAroundIt) {
  WriteTwoPortfolios();
  f.LimitWalkTo(QPath(First()));
  f.StartAndScan();
  CLedgrixView& v = f.view();
  ASSERT_EQ(v.portfolioEntries(), QStringList{QPath(First())});

  DialogDriver<CSearchFilterDialog> driver([this](CSearchFilterDialog& dialog) {
    Child<QLineEdit>(dialog, "pathEdit")->setText(QPath(Second()));
    ClickOk(dialog);
  });
  commands::EditSearchFilter(v);

  EXPECT_EQ(v.portfolioEntries(), QStringList{QPath(Second())});
  EXPECT_EQ(v.m_searchFilterUpper, QPath(Second()).toUpper());
  EXPECT_EQ(f.settings().GetString("Search", "Name", ""), QPath(Second()));
}

TEST_F(CommandsInViewTest, ExportWritesTheShownSymbolNewestFirst) {
  WriteTwoPortfolios();
  f.WalkWholeVolume();
  f.StartAndScan();
  CLedgrixView& v = f.view();
  f.ClickSymbol(1);  // IBM, 5 quotes
  const fs::path out = f.root() / "ibm.txt";

  DialogDriver<CExportDialog> driver([&](CExportDialog& dialog) {
    Child<QLineEdit>(dialog, "pathEdit")->setText(QPath(out));
    Child<QRadioButton>(dialog, "newestRadio")->setChecked(true);
    ClickOk(dialog);
  });
  commands::ExportQuotes(v);

  const auto bytes = FileBytes(out);
  const std::string text(bytes.begin(), bytes.end());
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5);
  EXPECT_EQ(text.substr(0, 8), v.quoteCellText(0, 0).toStdString());
  EXPECT_TRUE(f.prompt().messages.empty());
}

}  // namespace
}  // namespace ledgrix::testing
