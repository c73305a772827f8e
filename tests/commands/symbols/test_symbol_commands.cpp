// Symbol > Delete, Edit, Move and Copy on the real view over real portfolios.
#include <gtest/gtest.h>

#include <QApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QListWidget>
#include <filesystem>

#include "commands/symbols/symbol_commands.h"
#include "formats/master.h"
#include "maintenance/symbol_ops.h"
#include "tests/commands/command_test_support.h"

namespace ledgrix::testing {
namespace {

namespace fs = std::filesystem;
using commands::DeleteSymbol;
using commands::EditSymbol;
using commands::MoveOrCopySymbol;
using Symbols = std::vector<std::string>;

SymbolSpec Spec(std::uint16_t number, const std::string& symbol, const std::string& name) {
  SymbolSpec spec;
  spec.fileNumber = number;
  spec.symbol = symbol;
  spec.name = name;
  spec.quotes = MakeDailyQuotes(formats::DayFromYmd(98, 1, 2), 3 + number, 10.0f + number);
  return spec;
}

formats::MasterFile ReadMaster(const fs::path& dir) {
  formats::MasterFile file;
  EXPECT_TRUE(formats::ReadMasterFile(dir / "MASTER", file));
  return file;
}

Symbols MasterSymbols(const fs::path& dir) {
  Symbols symbols;
  for (const auto& record : ReadMaster(dir).records)
    symbols.push_back(record.displaySymbol());
  return symbols;
}

class SymbolCommandTest : public ::testing::Test {
 protected:
  fs::path Src() const { return f.root() / "SRC"; }
  // MSFT, IBM, AAPL in file order: the grid shows AAPL, IBM, MSFT, so no row index equals its
  // record's index.
  CLedgrixView& StartOnThree() {
    PortfolioBuilder(Src())
        .Add(Spec(1, "MSFT", "Microsoft"))
        .Add(Spec(2, "IBM", "Intl Business"))
        .Add(Spec(3, "AAPL", "Apple"))
        .Write();
    return StartView(f);
  }
  std::vector<std::string>& Messages() { return f.prompt().messages; }
  GuiFixture f;
};

TEST_F(SymbolCommandTest, DeleteNoKeepsAllAndYesRemovesTheRowsRecordAndFiles) {
  CLedgrixView& v = StartOnThree();
  WriteBytes(Src() / "F2.BAK", {1, 2, 3});
  f.ClickSymbol(1);  // IBM
  const Snapshot before = TakeSnapshot(Src());
  DialogScript script({[](QDialog& d) { Click(d, "noButton"); },
                       [](QDialog& d) {
                         EXPECT_EQ(d.windowTitle(), "Delete Symbol");
                         EXPECT_EQ(Child<QLabel>(d, "symbolText")->text(), "IBM");
                         EXPECT_EQ(Child<QLabel>(d, "question")->text(),
                                   "Are you sure you want to delete the Symbol shown above? ");
                         EXPECT_TRUE(Child<QPushButton>(d, "noButton")->isDefault());
                         Click(d, "yesButton");
                       }});
  DeleteSymbol(v);
  EXPECT_EQ(TakeSnapshot(Src()), before);
  EXPECT_EQ(v.selSymbolRow(), 1);

  DeleteSymbol(v);
  EXPECT_EQ(MasterSymbols(Src()), (Symbols{"MSFT", "AAPL"}));
  const formats::MasterFile master = ReadMaster(Src());
  EXPECT_EQ(master.header.symbolCount(), 2);
  EXPECT_EQ(master.header.fileCounter(), 2);
  for (const char* gone : {"F2.DAT", "F2.DOP", "F2.BAK"})
    EXPECT_FALSE(fs::exists(Src() / gone)) << gone;
  for (const char* kept : {"F1.DAT", "F3.DAT", "F1.DOP", "F3.DOP"})
    EXPECT_TRUE(fs::exists(Src() / kept)) << kept;
  // Refilled with row 0 loaded.
  EXPECT_EQ(v.symbolRowCount(), 2);
  EXPECT_EQ(v.selSymbolRow(), 0);
  EXPECT_EQ(v.symbol(), "AAPL");
  EXPECT_EQ(v.quoteCount(), 6);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(SymbolCommandTest, DeleteOfARowWhoseRecordIsGoneIsReportedAndDeletesNothing) {
  CLedgrixView& v = StartOnThree();
  // MASTER rewritten behind the grid's back: AAPL, row 0, is no longer listed.
  PortfolioBuilder(Src()).Add(Spec(1, "MSFT", "Microsoft")).Add(Spec(2, "IBM", "Intl")).Write();
  const Snapshot before = TakeSnapshot(Src());
  DialogScript script({[](QDialog& d) { Click(d, "yesButton"); }});
  DeleteSymbol(v);
  EXPECT_EQ(TakeSnapshot(Src()), before);
  EXPECT_EQ(Messages().size(), 1u);
  EXPECT_EQ(v.symbolRowCount(), 2);  // the grid shows MASTER again
}

TEST_F(SymbolCommandTest, EditWritesTheSelectedRowsRecordAndUpdatesTheRowWithoutReload) {
  CLedgrixView& v = StartOnThree();
  f.ClickSymbol(2);  // MSFT: row 2, record 0
  f.SelectQuote(3);
  const Snapshot before = TakeSnapshot(Src());
  DialogScript script({[](QDialog& d) {
                         Fill(d, {{"symbolEdit", "ZZZ"}});
                         ClickCancel(d);
                       },
                       [](QDialog& d) {
                         auto* symbol = Child<QLineEdit>(d, "symbolEdit");
                         auto* name = Child<QLineEdit>(d, "nameEdit");
                         // The name's trailing blanks are removed.
                         EXPECT_EQ(symbol->text() + "|" + name->text(), "MSFT|Microsoft");
                         // 14: the MASTER symbol field; bytes 50-51 after it are flags.
                         EXPECT_EQ(symbol->maxLength(), 14);
                         EXPECT_EQ(name->maxLength(), 16);
                         for (const char* refused : {"", " AAPL"}) {
                           Fill(d, {{"symbolEdit", refused}});
                           ClickOk(d);
                           EXPECT_TRUE(d.isVisible()) << refused;
                         }
                         FillAndOk({{"symbolEdit", "msft.x"}, {"nameEdit", "Sixteen chars ok"}})(d);
                       }});
  EditSymbol(v);
  EXPECT_EQ(TakeSnapshot(Src()), before);

  EditSymbol(v);
  EXPECT_EQ(script.titles(), (QStringList{"Edit Symbol", "Edit Symbol"}));
  EXPECT_EQ(Messages(), Symbols(2, "You must enter a symbol"));
  const formats::MasterFile master = ReadMaster(Src());
  ASSERT_EQ(master.records.size(), 3u);
  EXPECT_EQ(master.records[0].symbolField(), "msft.x          ");
  EXPECT_EQ(master.records[0].issueName(), "Sixteen chars ok");
  EXPECT_EQ(master.records[0].fileNumber(), 1);
  EXPECT_EQ(MasterSymbols(Src()), (Symbols{"msft.x", "IBM", "AAPL"}));
  EXPECT_EQ(FileBytes(Src() / "MASTER.BAK"), before.at("MASTER"));
  EXPECT_EQ(FileBytes(Src() / "F1.DAT"), before.at("F1.DAT"));
  EXPECT_EQ(
      (QStringList{v.symbolCellText(2, 0), v.symbolCellText(2, 1), v.symbol(), v.symbolName()}),
      (QStringList{"msft.x", "Sixteen chars ok", "msft.x", "Sixteen chars ok"}));
  EXPECT_EQ(v.selQuoteRow(), 3);  // not reloaded
}

TEST_F(SymbolCommandTest, EditShowsWhatTheRecordDisplaysAndAFailedEditKeepsTheGrid) {
  CLedgrixView& v = StartOnThree();
  f.ClickSymbol(1);  // IBM
  // The name may be empty.
  DialogScript script(
      {FillAndOk({{"symbolEdit", "IBM X"}, {"nameEdit", ""}}), FillAndOk({{"symbolEdit", "NEW"}})});
  EditSymbol(v);
  const formats::MasterRecord record = ReadMaster(Src()).records[1];
  EXPECT_EQ(record.symbolField(), "IBM X           ");
  EXPECT_EQ(record.issueName(), std::string(16, ' '));
  // The row must keep naming its record for the next Delete or Edit.
  EXPECT_EQ(v.symbolCellText(1, 0).toStdString(), record.displaySymbol());

  fs::remove(Src() / "MASTER");
  const QString shown = v.symbol();
  EditSymbol(v);
  EXPECT_EQ(Messages(), Symbols{"Symbol Edit Failed"});
  EXPECT_EQ(v.symbolCellText(1, 0).toStdString(), record.displaySymbol());
  EXPECT_EQ(v.symbol(), shown);
}

// After the keyboard moved the selection, the edited row is not the symbol whose quotes are
// shown: the view's symbol stays the shown one, so that quote commands keep writing its file.
TEST_F(SymbolCommandTest, EditOfARowReachedByKeyboardKeepsTheShownSymbol) {
  CLedgrixView& v = StartOnThree();
  f.KeySelectSymbol(1);  // IBM; AAPL's quotes are still shown
  DialogScript script({FillAndOk({{"symbolEdit", "IBMX"}}), FillAndOk({{"symbolEdit", "APL"}})});
  EditSymbol(v);
  EXPECT_EQ(v.symbolCellText(1, 0), "IBMX");
  EXPECT_EQ(v.symbol(), "AAPL");
  f.KeySelectSymbol(0);  // back to the shown symbol: its edit renames the shown quotes
  EditSymbol(v);
  EXPECT_EQ(v.symbol(), "APL");
}

// SRC holds AAPL and IBM; Beta holds XOM; zeta nothing. The list shows Beta, SRC, zeta.
class MoveSymbolTest : public SymbolCommandTest {
 protected:
  fs::path Dest() const { return f.root() / "Beta"; }
  CLedgrixView& Start() {
    PortfolioBuilder(Src()).Add(Spec(1, "AAPL", "Apple")).Add(Spec(2, "IBM", "Intl")).Write();
    WriteBytes(Src() / "F1.BAK", {9, 9});
    PortfolioBuilder(Dest()).Add(Spec(1, "XOM", "Exxon")).Write();
    PortfolioBuilder(f.root() / "zeta").Write();
    StartView(f);
    f.ChoosePortfolio(1);
    EXPECT_EQ(f.view().portfolioDir(), QPath(Src()));
    return f.view();
  }
};

TEST_F(MoveSymbolTest, TheDialogListsTheOtherPortfoliosSortedWithTheFirstSelected) {
  CLedgrixView& v = Start();
  for (bool move : {true, false}) {
    DialogScript script({[&](QDialog& d) {
      EXPECT_EQ(d.windowTitle(), move ? "Move Symbol" : "Copy Symbol");
      EXPECT_EQ(Child<QLabel>(d, "symbolText")->text(), "AAPL");
      EXPECT_EQ(Child<QLabel>(d, "nameText")->text(), v.symbolName());
      EXPECT_EQ(Child<QLabel>(d, "portfolioText")->text(), QPath(Src()));
      auto* list = Child<QListWidget>(d, "destinationList");
      ASSERT_EQ(list->count(), 2);
      EXPECT_EQ(list->item(0)->text(), QPath(Dest()));
      EXPECT_EQ(list->item(1)->text(), QPath(f.root() / "zeta"));
      EXPECT_EQ(list->currentRow(), 0);
    }});
    MoveOrCopySymbol(v, move);
    EXPECT_EQ(script.shown(), 1);
  }
}

TEST_F(MoveSymbolTest, MoveTransfersTheShownSymbolAndCopyLeavesTheSourceAlone) {
  CLedgrixView& v = Start();
  f.KeySelectSymbol(1);  // keyboard moved to IBM; AAPL's quotes are still shown
  const Snapshot source = TakeSnapshot(Src());
  DialogScript script({FillAndOk({}), FillAndOk({})});
  MoveOrCopySymbol(v, false);
  EXPECT_EQ(TakeSnapshot(Src()), source);
  EXPECT_EQ(MasterSymbols(Dest()), (Symbols{"XOM", "AAPL"}));
  EXPECT_EQ(FileBytes(Dest() / "F2.DAT"), source.at("F1.DAT"));
  EXPECT_EQ(v.symbolRowCount(), 2);  // the grid is left alone
  EXPECT_EQ(v.selSymbolRow(), 1);

  PortfolioBuilder(Dest()).Add(Spec(1, "XOM", "Exxon")).Write();
  MoveOrCopySymbol(v, true);
  EXPECT_EQ(MasterSymbols(Dest()), (Symbols{"XOM", "AAPL"}));
  EXPECT_EQ(ReadMaster(Dest()).records[1].fileNumber(), 2);
  EXPECT_EQ(FileBytes(Dest() / "F2.DAT"), source.at("F1.DAT"));
  EXPECT_EQ(FileBytes(Dest() / "F2.DOP"), source.at("F1.DOP"));
  EXPECT_EQ(MasterSymbols(Src()), Symbols{"IBM"});
  const formats::MasterFile master = ReadMaster(Src());
  EXPECT_EQ(master.header.symbolCount(), 1);
  EXPECT_EQ(master.header.fileCounter(), 1);
  for (const char* gone : {"F1.DAT", "F1.DOP", "F1.BAK"})
    EXPECT_FALSE(fs::exists(Src() / gone)) << gone;
  EXPECT_EQ(v.symbolRowCount(), 1);
  EXPECT_EQ(v.symbol(), "IBM");
  EXPECT_TRUE(Messages().empty());
}

// Which destinations refuse is the symbol operations' concern; here the refusal is shown and
// the grid kept.
TEST_F(MoveSymbolTest, ARefusedMoveIsShownAndLeavesEveryFileUnchanged) {
  CLedgrixView& v = Start();
  PortfolioBuilder(Dest()).Add(Spec(1, "XOM", "Exxon")).SetCounts(255, 255).Write();
  const Snapshot source = TakeSnapshot(Src()), dest = TakeSnapshot(Dest());
  DialogScript script({FillAndOk({})});
  MoveOrCopySymbol(v, true);
  EXPECT_EQ(TakeSnapshot(Src()), source);
  EXPECT_EQ(TakeSnapshot(Dest()), dest);
  EXPECT_EQ(Messages(), std::vector<std::string>{maintenance::kFullMessage});
  EXPECT_EQ(v.symbolRowCount(), 2);
}

TEST_F(SymbolCommandTest, MoveWithoutADestinationDoesNothing) {
  CLedgrixView& v = StartOnThree();
  const Snapshot before = TakeSnapshot(Src());
  DialogScript script({[](QDialog& d) {
    EXPECT_EQ(Child<QListWidget>(d, "destinationList")->count(), 0);
    ClickOk(d);
  }});
  MoveOrCopySymbol(v, true);
  EXPECT_EQ(script.shown(), 1);
  EXPECT_EQ(TakeSnapshot(Src()), before);
  EXPECT_TRUE(Messages().empty());
}

// Characters beyond the keyboard's, typed through an input method.
void Compose(QDialog& dialog, const char* field, const QString& text) {
  QLineEdit* edit = Child<QLineEdit>(dialog, field);
  edit->setFocus();
  QInputMethodEvent event;
  event.setCommitString(text);
  QApplication::sendEvent(edit, &event);
}

// On an XMASTER row, Edit takes a name of 45 characters the code page can hold and writes
// XMASTER; Delete drops its record and its F<n>.MWD.
TEST_F(SymbolCommandTest, EditAndDeleteActOnAnXmasterRow) {
  PortfolioBuilder(Src()).Add(Spec(1, "MSFT", "Microsoft")).Add(Spec(256, "XQ", "Xq")).Write();
  CLedgrixView& v = StartView(f);
  f.ClickSymbol(1);  // XQ
  const std::string name45 = "Banca di Cividale, societ\xE0 cooperativa per al";
  DialogScript script(
      {[&](QDialog& d) {
         EXPECT_EQ(Child<QLineEdit>(d, "nameEdit")->maxLength(), 45);
         Fill(d, {{"nameEdit", "Cividale "}});
         Compose(d, "nameEdit", QString::fromUtf8("\u4E2D"));
         ClickOk(d);
         EXPECT_TRUE(d.isVisible());
         Fill(d, {{"symbolEdit", "XQ2"}, {"nameEdit", "Banca di Cividale, societ"}});
         Compose(d, "nameEdit", QString::fromUtf8("\u00E0 cooperativa per al"));
         ClickOk(d);
       },
       [](QDialog& d) { Click(d, "yesButton"); }});
  EditSymbol(v);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].find("cannot be stored"), std::string::npos);
  const auto x = FileBytes(Src() / "XMASTER");
  EXPECT_EQ(std::string(x.begin() + 150 + 1, x.begin() + 150 + 4), "XQ2");
  EXPECT_EQ(std::string(x.begin() + 150 + 16, x.begin() + 150 + 62), name45 + '\0');
  EXPECT_EQ(v.symbolCellText(1, 0), "XQ2");

  DeleteSymbol(v);
  EXPECT_EQ(FileBytes(Src() / "XMASTER")[10], 0);
  EXPECT_FALSE(fs::exists(Src() / "F256.MWD"));
  EXPECT_EQ(v.symbolRowCount(), 1);
}

}  // namespace
}  // namespace ledgrix::testing
