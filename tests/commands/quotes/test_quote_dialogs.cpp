// The keystroke rules of the number and date fields, and the quote dialogs on the real view: the
// OK checks, the Edit dialog's steps, and Symbol > About with the facts of a series.
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QTableView>
#include <QTest>
#include <array>

#include "commands/quotes/adjust_dialog.h"
#include "commands/quotes/date_edit.h"
#include "commands/quotes/edit_quote_dialog.h"
#include "commands/quotes/number_edit.h"
#include "commands/quotes/quote_commands.h"
#include "commands/quotes/split_dialog.h"
#include "tests/commands/command_test_support.h"

namespace ledgrix::testing {
namespace {

struct Selection {
  int start, end;
  bool operator==(const Selection&) const = default;
};

void PrintTo(const Selection& s, std::ostream* os) {
  *os << "(" << s.start << ", " << s.end << ")";
}

// A date field as the dialogs set it up: eight characters, the buffer filled from the text.
class DateEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    edit.setMaxLength(8);
    Reset();
    edit.show();
    edit.setFocus();
  }
  void Reset() {
    edit.setText(QStringLiteral("01/15/99"));
    edit.setBuffer(edit.text());
  }
  void Select(Selection s) {
    if (s.start == s.end)
      edit.setCursorPosition(s.start);
    else
      edit.setSelection(s.start, s.end - s.start);
  }
  Selection Selected() const {
    if (!edit.hasSelectedText())
      return {edit.cursorPosition(), edit.cursorPosition()};
    return {edit.selectionStart(), edit.selectionEnd()};
  }
  CDateEdit edit;
};

// A digit goes into the month, day or year at the selection and selects the next group, round
// to the month again; refused (text unchanged), as after a separator, inside a group or across
// groups, it selects a group.
TEST_F(DateEditTest, ADigitStoresAtItsGroupOrIsRefusedAndSelectsAGroup) {
  const struct {
    Selection from;
    const char* text;
    Selection next;
  } cases[] = {
      {{0, 0}, "71/15/99", {1, 2}}, {{0, 1}, "71/15/99", {1, 2}}, {{0, 2}, "71/15/99", {1, 2}},
      {{1, 2}, "07/15/99", {3, 5}}, {{3, 5}, "01/75/99", {4, 5}}, {{4, 4}, "01/75/99", {4, 5}},
      {{4, 5}, "01/17/99", {6, 8}}, {{6, 7}, "01/15/79", {7, 8}}, {{6, 8}, "01/15/79", {7, 8}},
      {{7, 8}, "01/15/97", {0, 2}}, {{3, 3}, "01/15/99", {0, 2}}, {{2, 2}, "01/15/99", {0, 2}},
      {{5, 5}, "01/15/99", {0, 2}}, {{1, 1}, "01/15/99", {0, 2}}, {{8, 8}, "01/15/99", {0, 2}},
      {{4, 6}, "01/15/99", {3, 5}}, {{7, 7}, "01/15/99", {6, 8}}, {{2, 5}, "01/15/99", {0, 2}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.from));
    Reset();
    Select(c.from);
    QTest::keyClick(&edit, '7');
    EXPECT_EQ(edit.text(), QString::fromLatin1(c.text));
    EXPECT_EQ(Selected(), c.next);
  }
  // The digits build on the buffer from one to the next.
  Reset();
  Select({0, 8});
  QTest::keyClicks(&edit, QStringLiteral("022800"));
  EXPECT_EQ(edit.buffer(), QStringLiteral("02/28/00"));
  EXPECT_EQ(Selected(), (Selection{0, 2}));
}

TEST_F(DateEditTest, KeysOtherThanDigitsChangeNothing) {
  QApplication::clipboard()->setText(QStringLiteral("12/31/05"));
  // One of each kind: a deleting key, a moving key, a character, a selecting and a Ctrl key.
  const QKeyCombination keys[] = {Qt::Key_Backspace,    Qt::Key_Delete,
                                  Qt::Key_Left,         Qt::Key_Slash,
                                  Qt::Key_Space,        Qt::SHIFT | Qt::Key_Right,
                                  Qt::CTRL | Qt::Key_V, Qt::CTRL | Qt::Key_Z};
  for (const auto& k : keys) {
    SCOPED_TRACE(QKeySequence(k).toString().toStdString());
    Select({3, 5});
    QTest::keyClick(&edit, k.key(), k.keyboardModifiers());
    EXPECT_EQ(edit.text(), QStringLiteral("01/15/99"));
    EXPECT_EQ(Selected(), (Selection{3, 5}));
  }
  // A letter between digits leaves the walk where it was.
  Select({0, 8});
  QTest::keyClicks(&edit, QStringLiteral("1x2"));
  EXPECT_EQ(edit.text(), QStringLiteral("12/15/99"));
  // Text that reached the control some other way gives way to the buffer on the next digit.
  edit.setText(QStringLiteral("garbage!"));
  Select({0, 8});
  QTest::keyClick(&edit, '0');
  EXPECT_EQ(edit.text(), QStringLiteral("02/15/99"));
  // Text from an input method goes through the same rules.
  Select({3, 5});
  QInputMethodEvent composed;
  composed.setCommitString(QStringLiteral("x7"));
  QApplication::sendEvent(&edit, &composed);
  EXPECT_EQ(edit.text(), QStringLiteral("02/75/99"));
  EXPECT_EQ(Selected(), (Selection{4, 5}));
}

TEST(NumberEdit, AdmitsTypedDigitsAndPointsOnly) {
  const struct {
    const char* typed;
    const char* shown;
  } cases[] = {{"1.5", "1.5"}, {"12..3", "12..3"}, {"-1", "1"}, {"2e3", "23"},
               {"1,5", "15"},  {"+7", "7"},        {"a b", ""}, {"0.0", "0.0"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    CNumberEdit edit;
    QTest::keyClicks(&edit, QString::fromLatin1(c.typed));
    EXPECT_EQ(edit.text(), QString::fromLatin1(c.shown));
  }
  // Ctrl or Meta do not let a refused character through (AltGr arrives as Ctrl+Alt on some
  // systems), nor does an input method.
  CNumberEdit typed;
  QTest::keyClick(&typed, '1');
  for (const Qt::KeyboardModifiers mods :
       {Qt::KeyboardModifiers(Qt::ControlModifier | Qt::AltModifier),
        Qt::KeyboardModifiers(Qt::MetaModifier)}) {
    QKeyEvent euro(QEvent::KeyPress, Qt::Key_E, mods, QStringLiteral("\u20ac"));
    QApplication::sendEvent(&typed, &euro);
  }
  for (const char* committed : {"x", "2"}) {
    QInputMethodEvent composed;
    composed.setCommitString(QString::fromLatin1(committed));
    QApplication::sendEvent(&typed, &composed);
  }
  EXPECT_EQ(typed.text(), QStringLiteral("12"));

  // Editing keys keep their meaning, and pasted text is not filtered.
  CNumberEdit edit;
  QTest::keyClicks(&edit, QStringLiteral("1234"));
  QTest::keyClick(&edit, Qt::Key_Backspace);
  QTest::keyClick(&edit, Qt::Key_Home);
  QTest::keyClick(&edit, Qt::Key_Delete);
  QApplication::clipboard()->setText(QStringLiteral("x"));
  QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(edit.text(), QStringLiteral("x23"));
}

const std::vector<std::string> kInvalid = {"Invalid Data Entered"};
constexpr std::array<bool, 6> kAllHeld = {true, true, true, true, true, true};

// Ten weekday quotes from Monday 01/04/99 to Friday 01/15/99.
class QuoteDialogTest : public QuoteViewTest {
 protected:
  void SetUp() override { Start(MakeDailyQuotes(Day("01/04/99"), 10)); }
  // Presses OK and tells whether the dialog closed accepted; a refusal gives exactly one message.
  bool Accepted(QDialog& dialog) {
    Messages().clear();
    ClickOk(dialog);
    const bool accepted = dialog.result() == QDialog::Accepted;
    EXPECT_EQ(dialog.isVisible(), !accepted);
    EXPECT_EQ(Messages(), accepted ? std::vector<std::string>{} : kInvalid);
    return accepted;
  }
};

// The bounds themselves are the quote entry's concern; here each field is checked against them.
TEST_F(QuoteDialogTest, SplitOkCheckCoversTheDateAndBothFactors) {
  const struct {
    const char *date, *newShares, *oldShares;
    bool passes;
  } cases[] = {{"010499", "2", "1", true},
               {"010399", "2", "1", false},
               {"011699", "2", "1", false},
               {"011599", "0", "1", false},
               {"011599", "1", ".", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.date) + " " + c.newShares + " for " + c.oldShares);
    CSplitDialog dialog(f.view(), f.view().lastDateText());
    Open(dialog);
    Fill(dialog, {{"splitDateEdit", c.date},
                  {"newSharesEdit", c.newShares},
                  {"oldSharesEdit", c.oldShares}});
    EXPECT_EQ(Accepted(dialog), c.passes);
  }
  // Enter in the date field presses OK.
  CSplitDialog dialog(f.view(), f.view().lastDateText());
  Open(dialog);
  QTest::keyClick(Child<CDateEdit>(dialog, "splitDateEdit"), Qt::Key_Return);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

// Typing as a dialog opens replaces its first field's text (Fill relies on it everywhere); a
// click puts the caret where it lands.
TEST_F(QuoteDialogTest, FieldsOpenWithTheirTextSelected) {
  f.SelectQuote(0);
  CEditQuoteDialog edit(f.view(), kAllHeld, false);
  Open(edit);
  QTest::keyClicks(QApplication::focusWidget(), "22");
  EXPECT_EQ(Child<CNumberEdit>(edit, "openEdit")->text(), "22");
  auto* low = Child<CNumberEdit>(edit, "lowEdit");
  const QString lowText = low->text();
  QTest::mouseClick(low, Qt::LeftButton, {}, QPoint(low->width() - 4, low->height() / 2));
  QTest::keyClicks(low, "1");
  EXPECT_EQ(low->text(), lowText + "1");
}

// The dates are not compared with each other; the open interest field takes letters.
TEST_F(QuoteDialogTest, AdjustOkCheckCoversBothDatesAndAllThreeMultipliers) {
  const struct {
    const char *from, *to, *price, *volume, *openInterest;
    bool passes;
  } cases[] = {
      {"011599", "010499", "1", "1", "1", true},    {"010399", "011599", "1", "1", "1", false},
      {"010499", "011699", "1", "1", "1", false},   {"010499", "011599", "0", "1", "1", false},
      {"010499", "011599", "1", "0.0", "1", false}, {"010499", "011599", "1", "1", "abc", false},
      {"010499", "011599", ".5", "2", "3x", true}};
  {
    CAdjustDialog dialog(f.view(), f.view().firstDateText(), f.view().lastDateText());
    EXPECT_EQ(dialog.fromDate() + " " + dialog.toDate(), QStringLiteral("01/04/99 01/15/99"));
    EXPECT_EQ(dialog.price() + dialog.volume() + dialog.openInterest(), QStringLiteral("111"));
  }
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.from) + "-" + c.to + " " + c.price + "/" + c.volume + "/" +
                 c.openInterest);
    CAdjustDialog dialog(f.view(), f.view().firstDateText(), f.view().lastDateText());
    Open(dialog);
    Fill(dialog, {{"fromDateEdit", c.from},
                  {"toDateEdit", c.to},
                  {"priceEdit", c.price},
                  {"volumeEdit", c.volume},
                  {"openInterestEdit", c.openInterest}});
    EXPECT_EQ(Accepted(dialog), c.passes);
  }
}

// Previous, next, first, last.
std::array<bool, 4> Steps(QDialog& dialog) {
  return {Child<QPushButton>(dialog, "previousButton")->isEnabled(),
          Child<QPushButton>(dialog, "nextButton")->isEnabled(),
          Child<QPushButton>(dialog, "firstButton")->isEnabled(),
          Child<QPushButton>(dialog, "lastButton")->isEnabled()};
}

// The steps move the view's current row; the grid's highlight stays on the newest quote.
TEST_F(QuoteDialogTest, EditStepsAreEnabledAwayFromEachEnd) {
  CLedgrixView& v = f.view();
  f.SelectQuote(0);  // newest
  CEditQuoteDialog dialog(v, kAllHeld, false);
  Open(dialog);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Edit Selected Quote"));
  EXPECT_EQ(Steps(dialog), (std::array{true, false, true, false}));
  Click(dialog, "previousButton");
  EXPECT_EQ(v.selQuoteRow(), 1);
  EXPECT_EQ(Steps(dialog), (std::array{true, true, true, true}));
  Click(dialog, "firstButton");
  EXPECT_EQ(v.selQuoteRow(), 9);
  EXPECT_EQ(Child<QLabel>(dialog, "dateText")->text(), QStringLiteral("01/04/99"));
  EXPECT_EQ(Steps(dialog), (std::array{false, true, false, true}));
  Click(dialog, "nextButton");
  EXPECT_EQ(v.selQuoteRow(), 8);
  EXPECT_EQ(v.m_quoteGrid->selectionModel()->selectedRows().value(0).row(), 0);
  Click(dialog, "lastButton");
  EXPECT_EQ(v.selQuoteRow(), 0);
  EXPECT_EQ(Child<QLabel>(dialog, "dateText")->text(), QStringLiteral("01/15/99"));
}

TEST_F(QuoteViewTest, EditOfTheOnlyQuoteEnablesNoStep) {
  Start(MakeDailyQuotes(Day("01/04/99"), 1));
  CEditQuoteDialog dialog(f.view(), kAllHeld, false);
  EXPECT_EQ(Steps(dialog), (std::array{false, false, false, false}));
}

// Held fields need a number (no range check); the others are ignored.
TEST_F(QuoteDialogTest, EditRefusesAHeldFieldWithoutANumberAndIgnoresOthers) {
  constexpr std::array<bool, 6> kNoOi = {true, true, true, true, true, false};
  const struct {
    std::array<bool, 6> held;
    const char *field, *text;
    bool passes;
  } cases[] = {{kAllHeld, "closeEdit", "", false},
               {kAllHeld, "openInterestEdit", "N/A", false},
               {kNoOi, "openInterestEdit", "N/A", true},
               {kAllHeld, "volumeEdit", "0", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.field) + "=" + c.text);
    CEditQuoteDialog dialog(f.view(), c.held, false);
    Open(dialog);
    Child<CNumberEdit>(dialog, c.field)->setText(c.text);  // "N/A" as the grid shows it
    EXPECT_EQ(Accepted(dialog), c.passes);
  }
}

using SeriesFactsTest = QuoteViewTest;

// What the facts of a series are is the series reader's concern; here each label shows its own.
// Runs Symbol > About and gives each "label=" of expected the text its label shows.
QStringList Facts(CLedgrixView& v, const QStringList& expected) {
  QStringList shown;
  DialogScript script({[&](QDialog& d) {
    for (const QString& entry : expected) {
      const QString name = entry.section('=', 0, 0);
      shown << name + "=" + Child<QLabel>(d, name.toLatin1().constData())->text().trimmed();
    }
    ClickOk(d);
  }});
  commands::ShowSeriesFacts(v);
  EXPECT_EQ(script.titles(), QStringList{"About Selected Quote Series"});
  return shown;
}

TEST_F(SeriesFactsTest, EachLabelShowsItsFactAndAnUnreadableSymbolGetsAMessage) {
  SymbolSpec ibm = Symbol("IBM", MakeDailyQuotes(Day("01/02/98"), 25), 200);
  ibm.name = "INTL BUS MACH";
  ibm.fields = {formats::kDate, formats::kOpen,  formats::kHigh,
                formats::kLow,  formats::kClose, formats::kVol};
  SymbolSpec xq = Symbol("XQ", MakeDailyQuotes(Day("03/01/01"), 5), 400);
  xq.name = "Banca di Cividale, societ\xE0 cooperativa";
  CLedgrixView& v = Start({ibm, xq});
  WriteText(Dir() / "F200.DOP",
            "\"DATE\",0,0\r\n\"OPEN\",100,2\r\n\"HIGH\",-7,2\r\n\"LOW\",2,2\r\n"
            "\"CLOSE\",2,4\r\n\"VOL\",0,1000\r\n");
  const QStringList ibmFacts = QStringList{"fileNumberText=200",         "recordLengthText=24",
                                           "fieldCountText=6",           "quoteCountText=25",
                                           "firstDateText=980102",       "lastDateText=980205",
                                           "dataFormatText=D Daily",     "symbolText=IBM",
                                           "indexFileText=MASTER",       "openInputText=100s",
                                           "closeDisplayText=10,000ths", "oiInputText=",
                                           "issueNameText=INTL BUS MACH"}
                               << "pathText=" + v.portfolioDir();
  EXPECT_EQ(Facts(v, ibmFacts), ibmFacts);

  f.ClickSymbol(1);
  const QStringList xqFacts = {"fileNumberText=400", "issueNameText=Banca di Cividal",
                               QString::fromUtf8("longNameText=Banca di Cividale, societ\u00E0 "
                                                 "cooperativa"),
                               "indexFileText=XMASTER"};
  EXPECT_EQ(Facts(v, xqFacts), xqFacts);

  std::filesystem::remove(Dir() / "F400.MWD");
  DialogScript none({});
  commands::ShowSeriesFacts(v);
  EXPECT_EQ(none.shown(), 0);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].find("XQ"), std::string::npos);
}

}  // namespace
}  // namespace ledgrix::testing
