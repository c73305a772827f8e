// Symbol > Delete, Edit, Move, Copy and Import, and Portfolio > Search Filter, on the real view
// over real portfolios.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QTableWidget>
#include <filesystem>

#include "app/command_ids.h"
#include "app/ledgrix_view.h"
#include "commands/symbols/symbol_commands.h"
#include "formats/master.h"
#include "maintenance/symbol_ops.h"
#include "tests/commands/command_test_support.h"

namespace ledgrix::testing {
namespace {

namespace fs = std::filesystem;
using commands::DeleteSymbol;
using commands::EditSearchFilter;
using commands::EditSymbol;
using commands::MoveOrCopySymbol;
using Symbols = std::vector<std::string>;

SymbolSpec Spec(std::uint16_t number, const char* symbol, const std::string& name) {
  SymbolSpec spec = Symbol(
      symbol, MakeDailyQuotes(formats::DayFromYmd(98, 1, 2), 3 + number, 10.0f + number), number);
  spec.name = name;
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

// Which files a removal takes is the symbol operations' concern; here No keeps everything, Yes
// removes the row's symbol and refills the grid, and a failure is shown.
TEST_F(SymbolCommandTest, DeleteAsksRemovesTheRowsSymbolAndReportsARowWhoseRecordIsGone) {
  CLedgrixView& v = StartOnThree();
  f.ClickSymbol(1);  // IBM
  const Snapshot before = TakeSnapshot(Src());
  DialogScript script({[](QDialog& d) { Click(d, "noButton"); },
                       [](QDialog& d) {
                         EXPECT_EQ(Child<QLabel>(d, "symbolText")->text(), "IBM");
                         EXPECT_TRUE(Child<QPushButton>(d, "noButton")->isDefault());
                         Click(d, "yesButton");
                       },
                       [](QDialog& d) { Click(d, "yesButton"); }});
  DeleteSymbol(v);
  EXPECT_EQ(TakeSnapshot(Src()), before);
  EXPECT_EQ(v.selSymbolRow(), 1);

  DeleteSymbol(v);
  EXPECT_EQ(MasterSymbols(Src()), (Symbols{"MSFT", "AAPL"}));
  EXPECT_FALSE(fs::exists(Src() / "F2.DAT"));
  // Refilled with row 0 loaded.
  EXPECT_EQ(v.symbolRowCount(), 2);
  EXPECT_EQ(v.symbol(), "AAPL");
  EXPECT_EQ(v.quoteCount(), 6);
  EXPECT_TRUE(Messages().empty());

  // MASTER rewritten behind the grid's back: AAPL, row 0, is no longer listed.
  PortfolioBuilder(Src()).Add(Spec(1, "MSFT", "Microsoft")).Write();
  const Snapshot written = TakeSnapshot(Src());
  DeleteSymbol(v);
  EXPECT_EQ(TakeSnapshot(Src()), written);
  EXPECT_EQ(Messages().size(), 1u);
  EXPECT_EQ(v.symbolRowCount(), 1);  // the grid shows MASTER again
}

// The record's layout is the symbol operations' concern; here the dialog's checks, the typed
// texts reaching the row's record, the row updated without a reload, and a failure shown.
TEST_F(SymbolCommandTest, EditWritesTheRowsRecordAndUpdatesTheRowWithoutReload) {
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
                         // The name may be empty.
                         FillAndOk({{"symbolEdit", "msft x"}, {"nameEdit", ""}})(d);
                       },
                       FillAndOk({{"symbolEdit", "NEW"}})});
  EditSymbol(v);
  EXPECT_EQ(TakeSnapshot(Src()), before);

  EditSymbol(v);
  EXPECT_EQ(Messages(), Symbols(2, "You must enter a symbol"));
  const formats::MasterRecord record = ReadMaster(Src()).records[0];
  EXPECT_EQ(record.symbolField(), "msft x          ");
  EXPECT_EQ(record.issueName(), std::string(16, ' '));
  // The row must keep naming its record for the next Delete or Edit: what the record displays.
  EXPECT_EQ((QStringList{v.symbolCellText(2, 0), v.symbolCellText(2, 1), v.symbol()}),
            (QStringList{"msft", "", "msft"}));
  EXPECT_EQ(v.selQuoteRow(), 3);  // not reloaded

  fs::remove(Src() / "MASTER");
  EditSymbol(v);
  EXPECT_EQ(Messages().back(), "Symbol Edit Failed");
  EXPECT_EQ(v.symbolCellText(2, 0), "msft");
  EXPECT_EQ(v.symbol(), "msft");
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
    PortfolioBuilder(Dest()).Add(Spec(1, "XOM", "Exxon")).Write();
    PortfolioBuilder(f.root() / "zeta").Write();
    StartView(f);
    f.ChoosePortfolio(1);
    EXPECT_EQ(f.view().portfolioDir(), QPath(Src()));
    return f.view();
  }
};

// The files a transfer writes are the symbol operations' concern; here the dialog's choices
// reach them, and only a move refills the grid.
TEST_F(MoveSymbolTest, CopyLeavesTheSourceAloneAndMoveTransfersTheShownSymbol) {
  CLedgrixView& v = Start();
  f.KeySelectSymbol(1);  // keyboard moved to IBM; AAPL's quotes are still shown
  const Snapshot source = TakeSnapshot(Src());
  DialogScript script({[&](QDialog& d) {
                         EXPECT_EQ(d.windowTitle(), "Copy Symbol");
                         EXPECT_EQ(Child<QLabel>(d, "symbolText")->text(), "AAPL");
                         EXPECT_EQ(Child<QLabel>(d, "portfolioText")->text(), QPath(Src()));
                         // The other portfolios, sorted, the first selected.
                         auto* list = Child<QListWidget>(d, "destinationList");
                         ASSERT_EQ(list->count(), 2);
                         EXPECT_EQ(list->item(0)->text(), QPath(Dest()));
                         EXPECT_EQ(list->item(1)->text(), QPath(f.root() / "zeta"));
                         EXPECT_EQ(list->currentRow(), 0);
                         ClickOk(d);
                       },
                       [](QDialog& d) {
                         EXPECT_EQ(d.windowTitle(), "Move Symbol");
                         ClickOk(d);
                       }});
  MoveOrCopySymbol(v, false);
  EXPECT_EQ(TakeSnapshot(Src()), source);
  EXPECT_EQ(MasterSymbols(Dest()), (Symbols{"XOM", "AAPL"}));
  EXPECT_EQ(FileBytes(Dest() / "F2.DAT"), source.at("F1.DAT"));
  EXPECT_EQ(v.selSymbolRow(), 1);  // the grid is left alone

  PortfolioBuilder(Dest()).Add(Spec(1, "XOM", "Exxon")).Write();
  MoveOrCopySymbol(v, true);
  EXPECT_EQ(MasterSymbols(Dest()), (Symbols{"XOM", "AAPL"}));
  EXPECT_EQ(MasterSymbols(Src()), Symbols{"IBM"});
  EXPECT_FALSE(fs::exists(Src() / "F1.DAT"));
  EXPECT_EQ(v.symbolRowCount(), 1);  // refilled
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
  EXPECT_FALSE(fs::exists(Src() / "F256.MWD"));
  EXPECT_EQ(v.symbolRowCount(), 1);
}

// Symbol > Import: a typed file previewed, a new symbol shown and undoable, a merge into the
// shown symbol, and a file with bad lines refused with their numbers.
class ImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PortfolioBuilder(f.root() / "PORT")
        .Add(Symbol("ABC", MakeDailyQuotes(formats::DayFromYmd(98, 1, 5), 5, 12.0f)))
        .WithEmaster()
        .Write();
    StartView(f);
  }
  // Symbol > Import..., the dialog driven by step.
  void Import(DialogScript::Step step) {
    DialogScript script({std::move(step)});
    f.frame().findChild<QAction*>(QStringLiteral("command%1").arg(ID_SYMBOL_IMPORT))->trigger();
  }
  // Types the file's path as a user does and presses Enter for the preview.
  static void TypePath(QDialog& d, const fs::path& file) {
    QLineEdit* path = Child<QLineEdit>(d, "pathEdit");
    TabTo(path);
    QTest::keyClicks(path, QPath(file));
    QTest::keyClick(path, Qt::Key_Return);
  }
  fs::path Write(const char* name, const std::string& text) {
    WriteText(f.root() / name, text);
    return f.root() / name;
  }

  GuiFixture f;
};

TEST_F(ImportTest, ANewSymbolIsPreviewedShownAndUndoable) {
  const fs::path csv = Write("newco.csv",
                             "Date,Open,High,Low,Close,Volume\n2014-06-30,1,2,1,1.75,10\n"
                             "2014-06-27,1,2,1,1.5,20\n2014-07-01,1,2,1,2,30\n");
  Import([&](QDialog& d) {
    TypePath(d, csv);
    const QTableWidget* preview = Child<QTableWidget>(d, "previewTable");
    EXPECT_EQ(preview->rowCount(), 3);
    EXPECT_EQ(preview->item(0, 0)->text(), "06/27/14");
    EXPECT_EQ(preview->item(0, 4)->text(), "1.5000");
    EXPECT_EQ(Child<QLabel>(d, "previewStatus")->text(), "3 quotes from 06/27/14 to 07/01/14.");
    FillAndOk({{"symbolEdit", "newco"}, {"nameEdit", "New Company Holdings"}})(d);
  });
  EXPECT_TRUE(f.prompt().messages.empty()) << f.prompt().messages.front();
  EXPECT_EQ(f.view().symbol(), "NEWCO");
  EXPECT_EQ(f.view().symbolCellText(f.view().selSymbolRow(), 1), "New Company Holdings");
  EXPECT_EQ(f.view().quoteCount(), 3);
  EXPECT_EQ(f.view().undoLabel(), "Import Quotes NEWCO");
}

TEST_F(ImportTest, MergeGoesIntoTheShownSymbol) {
  const fs::path csv =
      Write("abc.txt", "01/12/98 1 2 1 1.5 100 7\r\n01/09/98 1 2 1 1.25 100 7\r\n");
  Import([&](QDialog& d) {
    TypePath(d, csv);
    Child<QRadioButton>(d, "mergeRadio")->click();
    EXPECT_EQ(Child<QLineEdit>(d, "symbolEdit")->text(), "ABC");
    ClickOk(d);
  });
  EXPECT_TRUE(f.prompt().messages.empty());
  EXPECT_EQ(f.view().symbol(), "ABC");
  EXPECT_EQ(f.view().quoteCount(), 6);
  EXPECT_EQ(f.view().quoteCellText(0, 4), "1.5000");
}

TEST_F(ImportTest, BadLinesAreNamedAndNothingIsWritten) {
  const auto before = TakeSnapshot(f.root() / "PORT");
  const fs::path csv = Write("bad.csv", "Date,Close\n2014-06-27,1\n2014-06-27,2\n06/31/14,3\n");
  Import([&](QDialog& d) {
    TypePath(d, csv);
    EXPECT_TRUE(Child<QLabel>(d, "previewStatus")->text().contains("line 4: unreadable date"));
    FillAndOk({{"symbolEdit", "BAD"}})(d);
    EXPECT_TRUE(d.isVisible());  // still open for another file
  });
  ASSERT_EQ(f.prompt().messages.size(), 1u);
  EXPECT_NE(f.prompt().messages[0].find("line 3: date given twice"), std::string::npos);
  EXPECT_EQ(TakeSnapshot(f.root() / "PORT"), before);
}

// Portfolio > Search Filter: the dialog's enabling and volume check, the settings, and the
// rescan only when the filter matters. The portfolio Quotes/A below the volume; the walk as the
// settings say. Quotes/LATE appears only after the start, so only a new walk lists it.
struct FilterView {
  QString Path(const char* below) const { return *below ? QPath(f.root() / below) : QString(); }
  CLedgrixView& Start(bool limit, const QString& filter) {
    const SymbolSpec spec = Symbol("A", MakeDailyQuotes(formats::DayFromYmd(98, 1, 2), 3));
    PortfolioBuilder(f.root() / "Quotes" / "A").Add(spec).Write();
    f.SetSetting("Search", "Limit", limit ? "1" : "0");
    f.SetSetting("Search", "Name", filter);
    f.SetSetting("Search", "MasterFix", "0");
    f.SetSetting("Settings", "Drive", QPath(f.root()));
    f.StartAndScan();
    PortfolioBuilder(f.root() / "Quotes" / "LATE").Add(spec).Write();
    return f.view();
  }
  bool Rescanned() { return f.view().portfolioEntries().contains(Path("Quotes/LATE")); }
  QString Setting(const char* name) { return f.settings().GetString("Search", name, "unset"); }
  GuiFixture f;
};

TEST(SearchFilterTest, ALimitedPathMustLieOnAListedVolume) {
  FilterView t;
  const auto& other = t.f.AddVolume();
  PortfolioBuilder(other / "B").Write();
  CLedgrixView& v = t.Start(true, t.Path("Quotes"));
  DialogScript script({[&](QDialog& d) {
    auto* path = Child<QLineEdit>(d, "pathEdit");
    for (const char* refused : {"", "x", "relative/dir", "/elsewhere/dir"}) {
      path->setText(refused);
      ClickOk(d);
      EXPECT_TRUE(d.isVisible()) << refused;
    }
    path->setText(QPath(other));  // a volume root alone is fine
    ClickOk(d);
  }});
  EditSearchFilter(v);
  EXPECT_EQ(t.f.prompt().messages,
            std::vector<std::string>(4, "The Search Filter path refers to an unknown drive"));
  EXPECT_EQ(v.searchFilter(), QPath(other));
  EXPECT_EQ(v.portfolioEntries(), QStringList{QPath(other / "B")});  // walked there
}

TEST(SearchFilterTest, RescansOnlyWhenTheFilterMatters) {
  const struct {
    const char* what;
    bool oldLimit;
    const char* oldPath;
    bool newLimit;
    const char* newPath;
    bool newFix, rescan;
  } cases[] = {
      {"case only", true, "Quotes", true, "QUOTES", false, false},
      {"repair flag only", true, "Quotes", true, "Quotes", true, false},
      {"path changed while off", false, "a", false, "b", false, false},
      {"new path", true, "Quotes", true, "Quotes/LATE", false, true},
      {"limit turned off", true, "Quotes", false, "Quotes", false, true},
      {"limit turned on", false, "Quotes", true, "Quotes", false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FilterView t;
    CLedgrixView& v = t.Start(c.oldLimit, t.Path(c.oldPath));
    DialogScript script({[&](QDialog& d) {
      Child<QCheckBox>(d, "limitCheck")->setChecked(c.newLimit);
      Child<QLineEdit>(d, "pathEdit")->setText(t.Path(c.newPath));
      Child<QCheckBox>(d, "masterFixCheck")->setChecked(c.newFix);
      ClickOk(d);
    }});
    EditSearchFilter(v);
    EXPECT_EQ(v.limitSearch(), c.newLimit);
    EXPECT_EQ(v.searchFilter(), t.Path(c.newPath));
    EXPECT_EQ(v.masterFix(), c.newFix);
    EXPECT_EQ(t.Setting("Limit"), c.newLimit ? "1" : "0");
    EXPECT_EQ(t.Setting("Name"), t.Path(c.newPath));
    EXPECT_EQ(t.Setting("MasterFix"), c.newFix ? "1" : "0");
    EXPECT_EQ(t.Rescanned(), c.rescan);
    EXPECT_TRUE(t.f.prompt().messages.empty());
  }
}

// Cancel keeps everything. With the limit off any path is taken; one on no listed volume names no
// drive to walk.
TEST(SearchFilterTest, CancelKeepsEverythingAndAPathOnNoListedVolumeSelectsNoDrive) {
  FilterView t;
  CLedgrixView& v = t.Start(true, t.Path("Quotes"));
  ASSERT_EQ(v.m_driveCombo->currentIndex(), 0);
  const auto type = [](QDialog& d) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);  // into the path, selected
    QTest::keyClicks(QApplication::focusWidget(), "elsewhere");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);  // limit off
    EXPECT_FALSE(Child<QLineEdit>(d, "pathEdit")->isEnabled());
  };
  DialogScript script({[&](QDialog& d) {
                         type(d);
                         Child<QCheckBox>(d, "masterFixCheck")->click();
                         ClickCancel(d);
                       },
                       [&](QDialog& d) {
                         type(d);
                         ClickOk(d);
                       }});
  EditSearchFilter(v);
  EXPECT_EQ(v.searchFilter(), t.Path("Quotes"));
  EXPECT_TRUE(v.limitSearch());
  EXPECT_FALSE(v.masterFix());
  EXPECT_EQ((QStringList{t.Setting("Limit"), t.Setting("MasterFix")}), (QStringList{"1", "0"}));
  EXPECT_EQ(v.m_driveCombo->currentIndex(), 0);

  EditSearchFilter(v);
  EXPECT_EQ(v.searchFilter(), "elsewhere");
  EXPECT_FALSE(v.limitSearch());
  EXPECT_EQ(v.m_driveCombo->currentIndex(), -1);
  EXPECT_TRUE(v.portfolioEntries().isEmpty());
  EXPECT_EQ(t.f.prompt().messages,
            std::vector<std::string>{
                "No master files found on drive \n\n(Is your Portfolio Search Filter setting "
                "correct?)"});
}

}  // namespace
}  // namespace ledgrix::testing
