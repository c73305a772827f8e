// Symbol > Delete, Edit, Move and Copy over real portfolios.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <filesystem>

#include "commands/symbols/delete_symbol_dialog.h"
#include "commands/symbols/edit_symbol_dialog.h"
#include "commands/symbols/move_symbol_dialog.h"
#include "commands/symbols/symbol_commands.h"
#include "formats/master.h"
#include "maintenance/symbol_ops.h"
#include "tests/commands/symbols/dialog_driver.h"
#include "tests/commands/symbols/fake_host.h"
#include "tests/commands/symbols/portfolio_snapshot.h"

namespace ledgrix::testing {
namespace {

namespace fs = std::filesystem;
using commands::DeleteSymbol;
using commands::EditSymbol;
using commands::MoveOrCopySymbol;

SymbolSpec Spec(std::uint8_t number, const std::string& symbol, const std::string& name,
                int quotes = 5) {
  SymbolSpec spec;
  spec.fileNumber = number;
  spec.symbol = symbol;
  spec.name = name;
  spec.quotes = MakeDailyQuotes(formats::DayFromYmd(98, 1, 2), quotes, 10.0f + number);
  return spec;
}

// MSFT, IBM, AAPL in file order: the grid shows AAPL, IBM, MSFT, so no row index equals its
// record's index.
void WriteThreeSymbols(const fs::path& dir) {
  PortfolioBuilder(dir)
      .Add(Spec(1, "MSFT", "Microsoft"))
      .Add(Spec(2, "IBM", "Intl Business"))
      .Add(Spec(3, "AAPL", "Apple"))
      .Write();
}

formats::MasterFile ReadMaster(const fs::path& dir) {
  formats::MasterFile file;
  EXPECT_TRUE(formats::ReadMasterFile(dir / "MASTER", file));
  return file;
}

std::vector<std::string> MasterSymbols(const fs::path& dir) {
  std::vector<std::string> symbols;
  for (const auto& record : ReadMaster(dir).records)
    symbols.push_back(record.displaySymbol());
  return symbols;
}

QString QText(const fs::path& p) {
  return QString::fromStdString(p.string());
}

// ---- Delete -------------------------------------------------------------------------------

TEST(DeleteSymbolTest, YesRemovesTheSelectedRowsRecordAndFilesAndSelectsRowZero) {
  TempDir tmp;
  WriteThreeSymbols(tmp.get());
  WriteBytes(tmp / "F2.BAK", {1, 2, 3});
  FakeHost host(tmp.get());
  host.ClickRow(1);  // IBM

  DialogDriver<CDeleteSymbolDialog> driver([](CDeleteSymbolDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), "Delete Symbol");
    EXPECT_EQ(Child<QLabel>(dialog, "symbolText")->text(), "IBM");
    EXPECT_EQ(Child<QLabel>(dialog, "question")->text(),
              "Are you sure you want to delete the Symbol shown above? ");
    // Enter answers No.
    EXPECT_TRUE(Child<QPushButton>(dialog, "noButton")->isDefault());
    Child<QPushButton>(dialog, "yesButton")->click();
  });
  DeleteSymbol(host);

  EXPECT_EQ(driver.ran(), 1);
  EXPECT_EQ(MasterSymbols(tmp.get()), (std::vector<std::string>{"MSFT", "AAPL"}));
  const formats::MasterFile master = ReadMaster(tmp.get());
  EXPECT_EQ(master.header.symbolCount(), 2);
  EXPECT_EQ(master.header.fileCounter(), 2);
  for (const char* gone : {"F2.DAT", "F2.DOP", "F2.BAK"})
    EXPECT_FALSE(fs::exists(tmp / gone));
  for (const char* kept : {"F1.DAT", "F3.DAT", "F1.DOP", "F3.DOP"})
    EXPECT_TRUE(fs::exists(tmp / kept));
  EXPECT_EQ(host.symbolFills, std::vector<int>{0});
  EXPECT_EQ(host.selectedRow, 0);
  EXPECT_EQ(host.shownSymbol, "AAPL");
  EXPECT_TRUE(host.prompter.messages.empty());
}

TEST(DeleteSymbolTest, NoChangesNothing) {
  TempDir tmp;
  WriteThreeSymbols(tmp.get());
  FakeHost host(tmp.get());
  const Snapshot before = TakeSnapshot(tmp.get());

  DialogDriver<CDeleteSymbolDialog> driver(
      [](CDeleteSymbolDialog& dialog) { Child<QPushButton>(dialog, "noButton")->click(); });
  DeleteSymbol(host);

  EXPECT_EQ(driver.ran(), 1);
  EXPECT_EQ(TakeSnapshot(tmp.get()), before);
  EXPECT_TRUE(host.symbolFills.empty());
}

TEST(DeleteSymbolTest, ARowWhoseRecordIsGoneIsReportedAndNothingIsDeleted) {
  TempDir tmp;
  WriteThreeSymbols(tmp.get());
  FakeHost host(tmp.get());
  host.rows[0].first = QStringLiteral("GONE");  // the grid no longer matches MASTER
  const Snapshot before = TakeSnapshot(tmp.get());

  DialogDriver<CDeleteSymbolDialog> driver(
      [](CDeleteSymbolDialog& dialog) { Child<QPushButton>(dialog, "yesButton")->click(); });
  DeleteSymbol(host);

  EXPECT_EQ(TakeSnapshot(tmp.get()), before);
  EXPECT_EQ(host.prompter.messages.size(), 1u);
  EXPECT_EQ(host.symbolFills, std::vector<int>{0});  // the grid shows MASTER again
}

// ---- Edit ---------------------------------------------------------------------------------

TEST(EditSymbolTest, WritesTheSelectedRowsRecordInLowerCaseAndUpdatesTheRowWithoutReload) {
  TempDir tmp;
  WriteThreeSymbols(tmp.get());
  FakeHost host(tmp.get());
  host.ClickRow(2);  // MSFT: row 2, record 0
  const auto oldDat = FileBytes(tmp / "F1.DAT");
  const auto oldMaster = FileBytes(tmp / "MASTER");

  DialogDriver<CEditSymbolDialog> driver([](CEditSymbolDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), "Edit Symbol");
    auto* symbol = Child<QLineEdit>(dialog, "symbolEdit");
    auto* name = Child<QLineEdit>(dialog, "nameEdit");
    EXPECT_EQ(symbol->text(), "MSFT");
    EXPECT_EQ(name->text(), "Microsoft");  // trailing blanks of the field removed
    EXPECT_EQ(symbol->maxLength(), 16);
    EXPECT_EQ(name->maxLength(), 16);
    symbol->setText(QStringLiteral("msft.x"));
    name->setText(QStringLiteral("Sixteen chars ok"));
    ClickOk(dialog);
  });
  EditSymbol(host);

  const formats::MasterFile master = ReadMaster(tmp.get());
  ASSERT_EQ(master.records.size(), 3u);
  EXPECT_EQ(master.records[0].symbolField(), "msft.x          ");
  EXPECT_EQ(master.records[0].issueName(), "Sixteen chars ok");
  EXPECT_EQ(master.records[0].fileNumber(), 1);
  EXPECT_EQ(master.records[1].displaySymbol(), "IBM");
  EXPECT_EQ(master.records[2].displaySymbol(), "AAPL");
  EXPECT_EQ(FileBytes(tmp / "MASTER.BAK"), oldMaster);
  EXPECT_EQ(FileBytes(tmp / "F1.DAT"), oldDat);

  EXPECT_EQ(host.rows[2],
            std::make_pair(QStringLiteral("msft.x"), QStringLiteral("Sixteen chars ok")));
  EXPECT_EQ(host.shownSymbol, "msft.x");
  EXPECT_EQ(host.shownName, "Sixteen chars ok");
  EXPECT_TRUE(host.symbolFills.empty());
}

TEST(EditSymbolTest, AnEmptyOrBlankLedSymbolKeepsTheDialogOpen) {
  TempDir tmp;
  WriteThreeSymbols(tmp.get());
  FakeHost host(tmp.get());
  host.ClickRow(0);

  DialogDriver<CEditSymbolDialog> driver([](CEditSymbolDialog& dialog) {
    auto* symbol = Child<QLineEdit>(dialog, "symbolEdit");
    for (const QString& refused : {QString(), QStringLiteral(" AAPL")}) {
      symbol->setText(refused);
      ClickOk(dialog);
      EXPECT_NE(dialog.result(), QDialog::Accepted) << refused.toStdString();
    }
    Child<QLineEdit>(dialog, "nameEdit")->clear();  // the name may be empty
    symbol->setText(QStringLiteral("AAPL2"));
    ClickOk(dialog);
  });
  EditSymbol(host);

  EXPECT_EQ(host.prompter.messages,
            (std::vector<std::string>{"You must enter a symbol", "You must enter a symbol"}));
  const formats::MasterFile master = ReadMaster(tmp.get());
  EXPECT_EQ(master.records[2].symbolField(), "AAPL2           ");
  EXPECT_EQ(master.records[2].issueName(), std::string(16, ' '));
  EXPECT_EQ(host.rows[0].first, "AAPL2");
}

TEST(EditSymbolTest, CancelChangesNoFile) {
  TempDir tmp;
  WriteThreeSymbols(tmp.get());
  FakeHost host(tmp.get());
  const Snapshot before = TakeSnapshot(tmp.get());

  DialogDriver<CEditSymbolDialog> driver([](CEditSymbolDialog& dialog) {
    Child<QLineEdit>(dialog, "symbolEdit")->setText(QStringLiteral("ZZZ"));
    ClickCancel(dialog);
  });
  EditSymbol(host);

  EXPECT_EQ(TakeSnapshot(tmp.get()), before);
  EXPECT_EQ(host.rows[0].first, "AAPL");
}

TEST(EditSymbolTest, AFailedRewriteIsReportedAndTheGridKeepsItsTexts) {
  TempDir tmp;
  WriteThreeSymbols(tmp.get());
  FakeHost host(tmp.get());
  fs::remove(tmp / "MASTER");

  DialogDriver<CEditSymbolDialog> driver([](CEditSymbolDialog& dialog) {
    Child<QLineEdit>(dialog, "symbolEdit")->setText(QStringLiteral("NEW"));
    ClickOk(dialog);
  });
  EditSymbol(host);

  EXPECT_EQ(host.prompter.messages, std::vector<std::string>{"Symbol Edit Failed"});
  EXPECT_EQ(host.rows[0].first, "AAPL");
  EXPECT_EQ(host.shownSymbol, "AAPL");
}

TEST(EditSymbolTest, ASymbolWithABlankShowsWhatTheRecordNowDisplays) {
  TempDir tmp;
  WriteThreeSymbols(tmp.get());
  FakeHost host(tmp.get());
  host.ClickRow(1);  // IBM

  DialogDriver<CEditSymbolDialog> driver([](CEditSymbolDialog& dialog) {
    Child<QLineEdit>(dialog, "symbolEdit")->setText(QStringLiteral("IBM X"));
    ClickOk(dialog);
  });
  EditSymbol(host);

  EXPECT_EQ(ReadMaster(tmp.get()).records[1].symbolField(), "IBM X           ");
  // The row must keep naming its record for the next Delete or Edit.
  EXPECT_EQ(host.rows[1].first, "IBM");
  EXPECT_EQ(host.symbolCellText(1, 0).toStdString(),
            ReadMaster(tmp.get()).records[1].displaySymbol());
}

// ---- Move and Copy ------------------------------------------------------------------------

struct TwoPortfolios {
  TempDir root;
  fs::path source = root / "src";
  fs::path dest = root / "dst";
  TwoPortfolios() {
    fs::create_directories(source);
    fs::create_directories(dest);
    PortfolioBuilder(source).Add(Spec(1, "AAPL", "Apple")).Add(Spec(2, "IBM", "Intl")).Write();
    WriteBytes(source / "F1.BAK", {9, 9});
    PortfolioBuilder(dest).Add(Spec(1, "XOM", "Exxon")).Write();
  }
};

void PrepareHost(FakeHost& host, const TwoPortfolios& p) {
  host.portfolios = {QText(p.dest), QText(p.source)};
  host.currentPortfolio = 1;
}

void ChooseFirstAndOk(CMoveSymbolDialog& dialog) {
  ClickOk(dialog);
}

TEST(MoveSymbolTest, DialogListsTheOtherPortfoliosSortedWithTheFirstSelected) {
  TempDir tmp;
  WriteThreeSymbols(tmp.get());
  FakeHost host(tmp.get());
  host.portfolios = {QStringLiteral("/data/zeta"), QText(tmp.get()), QStringLiteral("/data/Beta")};
  host.currentPortfolio = 1;

  for (bool move : {true, false}) {
    DialogDriver<CMoveSymbolDialog> driver([&](CMoveSymbolDialog& dialog) {
      EXPECT_EQ(dialog.windowTitle(), move ? "Move Symbol" : "Copy Symbol");
      EXPECT_EQ(Child<QLabel>(dialog, "symbolText")->text(), "AAPL");
      EXPECT_EQ(Child<QLabel>(dialog, "nameText")->text(), host.shownName);
      EXPECT_EQ(Child<QLabel>(dialog, "portfolioText")->text(), QText(tmp.get()));
      auto* list = Child<QListWidget>(dialog, "destinationList");
      ASSERT_EQ(list->count(), 2);
      EXPECT_EQ(list->item(0)->text(), "/data/Beta");
      EXPECT_EQ(list->item(1)->text(), "/data/zeta");
      EXPECT_EQ(list->currentRow(), 0);
      ClickCancel(dialog);
    });
    MoveOrCopySymbol(host, move);
    EXPECT_EQ(driver.ran(), 1);
  }
}

TEST(MoveSymbolTest, MoveTransfersTheShownSymbolNotTheSelectedRow) {
  TwoPortfolios p;
  FakeHost host(p.source);
  PrepareHost(host, p);
  host.selectedRow = 1;  // keyboard moved to IBM; AAPL's quotes are still shown
  const auto dat = FileBytes(p.source / "F1.DAT");
  const auto dop = FileBytes(p.source / "F1.DOP");

  DialogDriver<CMoveSymbolDialog> driver(ChooseFirstAndOk);
  MoveOrCopySymbol(host, true);

  EXPECT_EQ(MasterSymbols(p.dest), (std::vector<std::string>{"XOM", "AAPL"}));
  EXPECT_EQ(ReadMaster(p.dest).records[1].fileNumber(), 2);
  EXPECT_EQ(FileBytes(p.dest / "F2.DAT"), dat);
  EXPECT_EQ(FileBytes(p.dest / "F2.DOP"), dop);

  EXPECT_EQ(MasterSymbols(p.source), std::vector<std::string>{"IBM"});
  const formats::MasterFile source = ReadMaster(p.source);
  EXPECT_EQ(source.header.symbolCount(), 1);
  EXPECT_EQ(source.header.fileCounter(), 1);
  for (const char* gone : {"F1.DAT", "F1.DOP", "F1.BAK"})
    EXPECT_FALSE(fs::exists(p.source / gone));
  EXPECT_EQ(host.symbolFills, std::vector<int>{0});
  EXPECT_EQ(host.shownSymbol, "IBM");
}

TEST(MoveSymbolTest, CopyAddsToTheDestinationAndLeavesTheSourceAndGridAlone) {
  TwoPortfolios p;
  FakeHost host(p.source);
  PrepareHost(host, p);
  const Snapshot sourceBefore = TakeSnapshot(p.source);

  DialogDriver<CMoveSymbolDialog> driver(ChooseFirstAndOk);
  MoveOrCopySymbol(host, false);

  EXPECT_EQ(TakeSnapshot(p.source), sourceBefore);
  EXPECT_EQ(MasterSymbols(p.dest), (std::vector<std::string>{"XOM", "AAPL"}));
  EXPECT_EQ(FileBytes(p.dest / "F2.DAT"), sourceBefore.at("F1.DAT"));
  EXPECT_TRUE(host.symbolFills.empty());
  EXPECT_EQ(host.selectedRow, 0);
}

struct RefusalCase {
  const char* what;
  bool move;
  bool full;  // else: the destination holds the symbol already
};

class MoveRefusalTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(MoveRefusalTest, LeavesEveryFileUnchanged) {
  const RefusalCase c = GetParam();
  TwoPortfolios p;
  if (c.full) {
    PortfolioBuilder(p.dest).Add(Spec(1, "XOM", "Exxon")).SetCounts(255, 255).Write();
  } else {
    PortfolioBuilder(p.dest).Add(Spec(1, "XOM", "Exxon")).Add(Spec(4, "aapl", "Other")).Write();
  }
  FakeHost host(p.source);
  PrepareHost(host, p);
  const Snapshot sourceBefore = TakeSnapshot(p.source);
  const Snapshot destBefore = TakeSnapshot(p.dest);

  DialogDriver<CMoveSymbolDialog> driver(ChooseFirstAndOk);
  MoveOrCopySymbol(host, c.move);

  EXPECT_EQ(TakeSnapshot(p.source), sourceBefore);
  EXPECT_EQ(TakeSnapshot(p.dest), destBefore);
  ASSERT_EQ(host.prompter.messages.size(), 1u);
  if (c.full) {
    EXPECT_EQ(host.prompter.messages[0], maintenance::kFullMessage);
  } else {
    EXPECT_NE(host.prompter.messages[0].find("Symbol AAPL already exists"), std::string::npos);
  }
  EXPECT_TRUE(host.symbolFills.empty());
}

INSTANTIATE_TEST_SUITE_P(Refusals, MoveRefusalTest,
                         ::testing::Values(RefusalCase{"MoveDuplicate", true, false},
                                           RefusalCase{"CopyDuplicate", false, false},
                                           RefusalCase{"MoveFull", true, true},
                                           RefusalCase{"CopyFull", false, true}),
                         [](const auto& caseInfo) { return std::string(caseInfo.param.what); });

TEST(MoveSymbolTest, OkWithoutADestinationDoesNothing) {
  TwoPortfolios p;
  FakeHost host(p.source);
  host.portfolios = {QText(p.source)};
  host.currentPortfolio = 0;
  const Snapshot before = TakeSnapshot(p.source);

  DialogDriver<CMoveSymbolDialog> driver([](CMoveSymbolDialog& dialog) {
    EXPECT_EQ(Child<QListWidget>(dialog, "destinationList")->count(), 0);
    ClickOk(dialog);
    EXPECT_TRUE(dialog.destination().isEmpty());
  });
  MoveOrCopySymbol(host, true);

  EXPECT_EQ(TakeSnapshot(p.source), before);
  EXPECT_TRUE(host.symbolFills.empty());
  EXPECT_TRUE(host.prompter.messages.empty());
}

}  // namespace
}  // namespace ledgrix::testing
