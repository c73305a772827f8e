// The quote commands end to end on the real view: dialogs driven through their widgets, files
// rewritten, the settings recorded and the grid refilled; Edit > Undo and Redo of them on the
// real main window, also of a correction made by ledgrix-cli.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <cstdlib>
#include <filesystem>

#include "app/command_ids.h"
#include "commands/quotes/quote_commands.h"
#include "tests/commands/command_test_support.h"

namespace ledgrix::testing {
namespace {

namespace cmd = ledgrix::commands;

// quotes with those dated from..to scaled (quarter points and whole volumes, scaled exactly).
std::vector<Quote> Scaled(std::vector<Quote> quotes, const char* from, const char* to, float price,
                          float volume, float openInterest) {
  for (Quote& q : quotes) {
    if (q.date < Day(from) || q.date > Day(to))
      continue;
    for (float* value : {&q.open, &q.high, &q.low, &q.close})
      *value *= price;
    q.volume *= volume;
    q.openInterest *= openInterest;
  }
  return quotes;
}

class QuoteCommandTest : public QuoteViewTest {
 protected:
  // Ten quotes, Monday 01/04/99 to Friday 01/15/99, with quote row `row` selected.
  CLedgrixView& Build(int row, std::vector<Quote> quotes = MakeDailyQuotes(Day("01/04/99"), 10),
                      SymbolSpec layout = {}) {
    before = quotes;
    CLedgrixView& v = Start(std::move(quotes), layout);
    spec = layout;
    f.SelectQuote(row);
    return v;
  }
  // F1.DAT holds exactly these quotes, in the symbol's layout.
  void ExpectQuotes(std::vector<Quote> quotes) {
    SymbolSpec expected = spec;
    expected.quotes = std::move(quotes);
    EXPECT_EQ(FileBytes(Dat()), MakeQuoteFile(expected));
  }
  SymbolSpec spec;
  std::vector<Quote> before;
};

TEST_F(QuoteCommandTest, EditWritesTheQuoteShownLastAndRecordsTheTexts) {
  CLedgrixView& v = Build(2);  // 01/13/99
  DialogScript script({[&](QDialog& d) {
                         Click(d, "firstButton");
                         EXPECT_EQ(v.selQuoteRow(), 9);
                         ClickCancel(d);
                       },
                       [](QDialog& d) {
                         Fill(d, {{"closeEdit", "1.5"}});
                         Click(d, "previousButton");  // discards the typing: now 01/12/99
                         FillAndOk({{"openEdit", "20.25"}, {"volumeEdit", "777"}})(d);
                       }});
  // Cancel leaves the highlighted row current.
  cmd::EditQuote(v);
  EXPECT_EQ(v.selQuoteRow(), 2);
  cmd::EditQuote(v);
  EXPECT_EQ(script.titles(), (QStringList{"Edit Selected Quote", "Edit Selected Quote"}));
  auto expected = before;
  expected[6].open = 20.25f;
  expected[6].volume = 777;
  ExpectQuotes(expected);
  EXPECT_EQ(Settings("Edit", {"Date", "Open", "Vol", "Hi"}),
            (QStringList{"01/12/99", "20.25", "777", v.quoteCellText(3, 2)}));
  EXPECT_EQ(v.selQuoteRow(), 0);  // refilled
  EXPECT_EQ(v.quoteCellText(3, 1), QStringLiteral("20.2500"));
}

// Which quotes a split or an adjustment scales, and by what, is the quote entry's concern; here
// the typed texts reach the file and the settings, and the grid is refilled.
TEST_F(QuoteCommandTest, SplitAndAdjustScaleTheTypedRangeRecordTheTextsAndRefill) {
  CLedgrixView& v = Build(4);  // 01/11/99
  DialogScript script({FillAndOk({{"newSharesEdit", "2"}, {"oldSharesEdit", "1"}}),
                       FillAndOk({{"fromDateEdit", "010699"},
                                  {"toDateEdit", "011299"},
                                  {"priceEdit", "0.5"},
                                  {"volumeEdit", "10"},
                                  {"openInterestEdit", "3"}})});
  cmd::EnterSplit(v);
  const auto split = Scaled(before, "01/01/99", "01/08/99", 0.5f, 2, 2);
  ExpectQuotes(split);
  EXPECT_EQ(Settings("Split", {"Date", "New", "Old"}), (QStringList{"01/11/99", "2", "1"}));
  EXPECT_EQ(v.selQuoteRow(), 0);  // refilled
  EXPECT_EQ(v.quoteCellText(9, 1), QString::number(split[0].open, 'f', 4));

  cmd::AdjustQuotes(v);
  ExpectQuotes(Scaled(split, "01/06/99", "01/12/99", 0.5f, 10, 3));
  EXPECT_EQ(Settings("Adjust", {"Date1", "Date2", "PriceMult", "VolMult", "OIMult"}),
            (QStringList{"01/06/99", "01/12/99", "0.5", "10", "3"}));
  EXPECT_TRUE(Messages().empty());
}

TEST_F(QuoteCommandTest, CancelChangesNothingAndAFailedRewriteIsReportedAndNotRecorded) {
  CLedgrixView& v = Build(2);
  const auto bytes = FileBytes(Dat());
  using Command = void (*)(CommandHost&);
  for (Command command : {Command{cmd::EditQuote}, Command{cmd::EnterSplit},
                          Command{cmd::AdjustQuotes}, Command{cmd::DeleteQuote}}) {
    DialogScript cancel({[](QDialog& d) { ClickCancel(d); }});
    command(v);
  }
  EXPECT_EQ(FileBytes(Dat()), bytes);
  EXPECT_EQ(v.selQuoteRow(), 2);  // no refill

  // The rewrite fails: the failure is shown, nothing recorded, the highlighted row kept.
  f.prompt() = ScriptedPrompt({true});  // Delete's question
  std::filesystem::remove(Dat());
  const struct {
    Command command;
    const char *section, *key, *message;
  } cases[] = {{cmd::EditQuote, "Edit", "Date", "Single Date Edit Failed"},
               {cmd::EnterSplit, "Split", "Date", "Split Edit Failed"},
               {cmd::AdjustQuotes, "Adjust", "Date1", "Adjust Edit Failed"},
               {cmd::DeleteQuote, "Delete", "Date", "Delete Edit Failed"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.section);
    Messages().clear();
    DialogScript ok({[](QDialog& d) { ClickOk(d); }});
    c.command(v);
    EXPECT_EQ(Messages(), std::vector<std::string>{c.message});
    EXPECT_EQ(Settings(c.section, {c.key}), QStringList{QStringLiteral("<unset>")});
    EXPECT_EQ(v.selQuoteRow(), 2);
  }
}

// Newest first: 01/14, 01/13 (Wednesday), 01/11 (Monday), 01/09 (a Saturday), 01/07, 01/06.
std::vector<Quote> QuotesWithGaps() {
  std::vector<Quote> quotes;
  for (const char* date : {"01/06/99", "01/07/99", "01/09/99", "01/11/99", "01/13/99", "01/14/99"})
    quotes.push_back({Day(date), 0, 10, 11, 9, 10.5f + static_cast<float>(quotes.size()), 500, 50});
  return quotes;
}

// The quote before Monday 01/11/99 is proposed for Friday 01/08/99.
TEST_F(QuoteCommandTest, AddProposesTheWeekdayBeforeAndOpensEditOnTheNewRow) {
  CLedgrixView& v = Build(2, QuotesWithGaps());
  ASSERT_EQ(v.quoteCellText(2, 0), "01/11/99");
  // The new quote copies the current one's values, with the close as edited.
  QStringList expected = Row(v, 2);
  expected[0] = "01/08/99";
  expected[4] = QStringLiteral("20.5000");
  int editRow = -1;
  DialogScript script({[&](QDialog& d) {
                         EXPECT_EQ(Child<QLabel>(d, "newDateText")->text(), "01/08/99");
                         ClickOk(d);
                       },
                       [&](QDialog& d) {
                         editRow = v.selQuoteRow();
                         FillAndOk({{"closeEdit", "20.5"}})(d);
                       }});
  cmd::AddQuote(v);
  EXPECT_EQ(script.titles(), (QStringList{"Add Data", "Edit Selected Quote"}));
  EXPECT_EQ(editRow, 3);
  EXPECT_EQ(Settings("Add", {"Date"}), QStringList{"01/08/99"});
  EXPECT_EQ(Settings("Edit", {"Date"}), QStringList{"01/08/99"});
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(Row(v, 3), expected);
}

TEST_F(QuoteCommandTest, AddRefusesAListedDateAndAWeekendQuoteAndReportsAFailure) {
  CLedgrixView& v = Build(0, QuotesWithGaps());
  const auto bytes = FileBytes(Dat());
  const struct {
    int row;
    const char* said;
  } refusals[] = {{4, "01/06/99 already exists"}, {3, "01/09/99 is not dated on a weekday"}};
  for (const auto& c : refusals) {
    SCOPED_TRACE(c.row);
    Messages().clear();
    f.SelectQuote(c.row);
    DialogScript none({});
    cmd::AddQuote(v);
    EXPECT_EQ(none.shown(), 0);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_NE(Messages()[0].find(c.said), std::string::npos) << Messages()[0];
    EXPECT_EQ(FileBytes(Dat()), bytes);
  }

  f.SelectQuote(2);
  {
    DialogScript cancel({[](QDialog& d) { ClickCancel(d); }});
    cmd::AddQuote(v);
  }
  EXPECT_EQ(FileBytes(Dat()), bytes);
  EXPECT_EQ(v.selQuoteRow(), 2);

  Messages().clear();
  std::filesystem::remove(Dat());
  DialogScript ok({[](QDialog& d) { ClickOk(d); }});
  cmd::AddQuote(v);
  EXPECT_EQ(ok.shown(), 1);  // no Edit after a failure
  ASSERT_FALSE(Messages().empty());
  EXPECT_EQ(Messages()[0], "Add Quote Failed");
  EXPECT_EQ(Settings("Add", {"Date"}), QStringList{QStringLiteral("<unset>")});
}

TEST_F(QuoteCommandTest, DeleteNoKeepsTheDialogOpenAndYesRemovesTheQuote) {
  CLedgrixView& v = Build(3);  // 01/12/99
  const auto bytes = FileBytes(Dat());
  f.prompt() = ScriptedPrompt({false, true});
  bool openAfterNo = false;
  DialogScript script({[&](QDialog& d) {
                         EXPECT_EQ(Child<QLabel>(d, "dateText")->text(), "01/12/99");
                         ClickOk(d);
                         openAfterNo = d.isVisible();
                         ClickCancel(d);
                       },
                       FillAndOk({})});
  cmd::DeleteQuote(v);
  EXPECT_EQ(script.titles(), QStringList{"Delete Data"});
  EXPECT_TRUE(openAfterNo);
  ASSERT_EQ(f.prompt().questions.size(), 1u);
  EXPECT_NE(f.prompt().questions[0].find("01/12/99"), std::string::npos);
  EXPECT_EQ(FileBytes(Dat()), bytes);
  EXPECT_EQ(v.selQuoteRow(), 3);

  cmd::DeleteQuote(v);
  before.erase(before.begin() + 6);
  ExpectQuotes(before);
  EXPECT_EQ(v.quoteRowCount(), 9);
  EXPECT_EQ(v.selQuoteRow(), 0);
  EXPECT_EQ(Settings("Delete", {"Date"}), QStringList{QStringLiteral("01/12/99")});
}

// Edit and Delete refuse a date of several intraday quotes before anything can be typed; in the
// Edit dialog a step to such a date leaves nothing to type. A daily file holding a day twice is
// no intraday data: Delete drops the first copy.
TEST_F(QuoteCommandTest, IntradayEditAndDeleteRefuseADateThatHoldsSeveralQuotes) {
  SymbolSpec intraday;
  intraday.periodicity = 'I';
  intraday.fields = {formats::kDate, formats::kTime,  formats::kOpen, formats::kHigh,
                     formats::kLow,  formats::kClose, formats::kVol};
  std::vector<Quote> quotes;
  for (formats::QuoteTime minutes : {0, 30, 60})  // three bars on 01/04/99, one on 01/05/99
    quotes.push_back({Day("01/04/99"), static_cast<formats::QuoteTime>(17100 + minutes * 30), 10,
                      11, 9, 10, 100, 0});
  quotes.push_back({Day("01/05/99"), 17100, 20, 21, 19, 20, 200, 0});
  CLedgrixView& v = Build(2, quotes, intraday);  // one of the bars of 01/04/99
  const auto bytes = FileBytes(Dat());
  {
    DialogScript none({});
    cmd::EditQuote(v);
    cmd::DeleteQuote(v);
    EXPECT_EQ(none.shown(), 0);
  }
  ASSERT_EQ(Messages().size(), 2u);
  for (const std::string& refusal : Messages())
    EXPECT_NE(refusal.find("01/04/99 holds 3 quotes"), std::string::npos) << refusal;
  EXPECT_EQ(FileBytes(Dat()), bytes);
  EXPECT_EQ(v.selQuoteRow(), 2);

  // A date with one quote is edited as usual, its time kept; the file holds no open interest,
  // and the field's "N/A" is no obstacle. A step onto 01/04/99 leaves nothing to type there.
  Messages().clear();
  f.SelectQuote(0);
  ASSERT_EQ(v.quoteCellText(0, 6), QStringLiteral("N/A"));
  DialogScript script({[](QDialog& d) {
    Click(d, "previousButton");
    EXPECT_FALSE(Child<QLineEdit>(d, "closeEdit")->isEnabled());
    EXPECT_FALSE(d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->isEnabled());
    Click(d, "lastButton");
    FillAndOk({{"closeEdit", "25"}})(d);
  }});
  cmd::EditQuote(v);
  EXPECT_TRUE(Messages().empty());
  before[3].close = 25;
  ExpectQuotes(before);

  // Daily quotes with 01/05/99 twice: Edit opens, Delete drops the first copy.
  std::vector<Quote> twice = MakeDailyQuotes(Day("01/04/99"), 3);
  twice.insert(twice.begin() + 1, twice[1]);
  twice[1].close = 77;
  PortfolioBuilder(Dir()).Add(Symbol("TEST", twice)).Write();
  v.FillQuotesGrid(1);  // 01/05/99, the second copy
  Messages().clear();
  f.prompt() = ScriptedPrompt({true});
  DialogScript daily({[](QDialog& d) { ClickCancel(d); }, FillAndOk({})});
  cmd::EditQuote(v);
  cmd::DeleteQuote(v);
  EXPECT_EQ(daily.titles(), (QStringList{"Edit Selected Quote", "Delete Data"}));
  EXPECT_TRUE(Messages().empty());
  twice.erase(twice.begin() + 1);
  EXPECT_EQ(FileBytes(Dat()), MakeQuoteFile(Symbol("TEST", twice)));
}

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
