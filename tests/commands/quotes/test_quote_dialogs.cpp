// The quote dialogs on the real view: the OK checks and the Edit dialog's steps.
#include <QItemSelectionModel>
#include <QLabel>
#include <QTableView>
#include <array>

#include "commands/quotes/adjust_dialog.h"
#include "commands/quotes/date_edit.h"
#include "commands/quotes/edit_quote_dialog.h"
#include "commands/quotes/number_edit.h"
#include "commands/quotes/split_dialog.h"
#include "tests/commands/quotes/quote_test_support.h"

namespace ledgrix::testing {
namespace {

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

TEST_F(QuoteDialogTest, SplitOkCheckWalksTheDateAndFactorBoundaries) {
  const struct {
    const char *date, *newShares, *oldShares;
    bool passes;
  } cases[] = {{"010499", "2", "1", true},   {"011599", "1", "3", true},
               {"010899", "0.5", "1", true}, {"010399", "2", "1", false},
               {"011699", "2", "1", false},  {"010400", "2", "1", false},
               {"011599", "0", "1", false},  {"011599", "1", "0.0", false},
               {"011599", "", "1", false},   {"011599", "1", ".", false}};
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
      {"010499", "011599", "1", "1", "1", true},  {"011599", "010499", "1", "1", "1", true},
      {"010399", "011599", "1", "1", "1", false}, {"010499", "011699", "1", "1", "1", false},
      {"010499", "011599", "0", "1", "1", false}, {"010499", "011599", "1", "0.0", "1", false},
      {"010499", "011599", "1", "1", "", false},  {"010499", "011599", "1", "1", "abc", false},
      {"010499", "011599", ".5", "2", "3x", true}};
  {
    CAdjustDialog dialog(f.view(), f.view().firstDateText(), f.view().lastDateText());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Adjust Data"));
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
  } cases[] = {
      {kAllHeld, "closeEdit", "", false},       {kAllHeld, "openInterestEdit", "N/A", false},
      {kNoOi, "openInterestEdit", "N/A", true}, {kNoOi, "openInterestEdit", "", true},
      {kAllHeld, "volumeEdit", "0", true},      {kAllHeld, "openEdit", ".", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.field) + "=" + c.text);
    CEditQuoteDialog dialog(f.view(), c.held, false);
    Open(dialog);
    Child<CNumberEdit>(dialog, c.field)->setText(c.text);  // "N/A" as the grid shows it
    EXPECT_EQ(Accepted(dialog), c.passes);
  }
}

}  // namespace
}  // namespace ledgrix::testing
