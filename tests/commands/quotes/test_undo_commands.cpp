// Edit > Undo and Redo on the real main window: the actions name the step, the keys and the
// toolbar work them, the grids refresh, refusals are shown, and corrections made by ledgrix-cli
// are offered once the portfolio is shown again.
#include <QAction>
#include <QApplication>
#include <QToolBar>
#include <cstdlib>

#include "app/command_ids.h"
#include "tests/commands/quotes/quote_test_support.h"

namespace ledgrix::testing {
namespace {

// Everything of the portfolio but backups, which an undo does not restore.
Snapshot Data(const std::filesystem::path& dir) {
  Snapshot files = TakeSnapshot(dir);
  std::erase_if(files, [](const auto& file) { return file.first.ends_with(".BAK"); });
  return files;
}

class UndoCommandTest : public QuoteViewTest {
 protected:
  QAction* Action(CommandId id) { return f.frame().action(id); }
  void Key(int key, Qt::KeyboardModifiers modifiers) {
    QApplication::setActiveWindow(&f.frame());
    QTest::keyClick(&f.frame(), static_cast<Qt::Key>(key), modifiers);
  }
};

TEST_F(UndoCommandTest, ASplitIsUndoneAndRedoneByTheKeysAndTheQuotesGridFollows) {
  CLedgrixView& v = Start(MakeDailyQuotes(Day("01/04/99"), 8, 20.0f));
  EXPECT_FALSE(Action(ID_EDIT_UNDO)->isEnabled());
  EXPECT_FALSE(Action(ID_EDIT_REDO)->isEnabled());
  EXPECT_TRUE(f.frame().toolBar()->actions().contains(Action(ID_EDIT_UNDO)));
  const Snapshot original = Data(Dir());
  const QStringList oldest = Row(v, 7);

  f.SelectQuote(3);
  const QString date = v.quoteCellText(3, 0);
  DialogScript script({FillAndOk({{"newSharesEdit", "2"}, {"oldSharesEdit", "1"}})});
  Action(ID_QUOTES_SPLIT)->trigger();
  const Snapshot split = Data(Dir());
  const QStringList splitOldest = Row(v, 7);
  ASSERT_NE(split, original);
  EXPECT_EQ(Action(ID_EDIT_UNDO)->text(), "&Undo Split Data TEST " + date);
  EXPECT_EQ(Action(ID_EDIT_UNDO)->toolTip(), "Undo Split Data TEST " + date);
  EXPECT_FALSE(Action(ID_EDIT_REDO)->isEnabled());

  const struct {
    int key;
    Qt::KeyboardModifiers modifiers;
    const Snapshot& files;
    const QStringList& row;
  } steps[] = {{Qt::Key_Z, Qt::ControlModifier, original, oldest},
               {Qt::Key_Y, Qt::ControlModifier, split, splitOldest},
               {Qt::Key_Z, Qt::ControlModifier, original, oldest},
               {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, split, splitOldest}};
  for (const auto& step : steps) {
    Key(step.key, step.modifiers);
    EXPECT_EQ(Data(Dir()), step.files);
    EXPECT_EQ(Row(v, 7), step.row);
  }
  EXPECT_EQ(Action(ID_EDIT_REDO)->text(), "&Redo");
  EXPECT_TRUE(Messages().empty());
}

TEST_F(UndoCommandTest, AnUndoneSymbolDeleteIsListedAgainAndAnOutsideChangeIsRefused) {
  CLedgrixView& v = Start({Symbol("AAA", MakeDailyQuotes(Day("01/04/99"), 5)),
                           Symbol("BBB", MakeDailyQuotes(Day("01/04/99"), 6), 2)});
  const Snapshot original = Data(Dir());
  f.ClickSymbol(1);
  DialogScript script({[](QDialog& d) { Click(d, "yesButton"); }});
  Action(ID_SYMBOL_DELETE)->trigger();
  ASSERT_EQ(v.symbolRowCount(), 1);

  Action(ID_EDIT_UNDO)->trigger();
  EXPECT_EQ(Data(Dir()), original);
  EXPECT_EQ(v.symbolRowCount(), 2);
  EXPECT_EQ(Action(ID_EDIT_REDO)->text(), "&Redo Delete Symbol BBB");

  // Another program writes the quote file back in between: the redo would lose it.
  WriteText(Dir() / "F2.DAT", "written by another program");
  const Snapshot changed = Data(Dir());
  Action(ID_EDIT_REDO)->trigger();
  EXPECT_EQ(Data(Dir()), changed);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].find("is refused"), std::string::npos) << Messages()[0];
}

TEST_F(UndoCommandTest, ACorrectionMadeByTheCommandLineIsOfferedOnceThePortfolioIsShownAgain) {
  Start(MakeDailyQuotes(Day("01/04/99"), 8, 20.0f));
  const Snapshot original = Data(Dir());
  const std::string command = std::string("'") + LEDGRIX_CLI_PATH + "' split '" + Dir().string() +
                              "' TEST --date 01/11/99 --new 3 --old 1 >/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);

  Action(ID_PORTFOLIO_RESCAN)->trigger();
  EXPECT_EQ(Action(ID_EDIT_UNDO)->text(), "&Undo Split Data TEST 01/11/99");
  Action(ID_EDIT_UNDO)->trigger();
  EXPECT_EQ(Data(Dir()), original);
}

}  // namespace
}  // namespace ledgrix::testing
