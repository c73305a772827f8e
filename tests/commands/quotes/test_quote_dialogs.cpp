// The quote dialogs on their own: the OK check, the Edit dialog's steps, the delete question.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "commands/quotes/adjust_dialog.h"
#include "commands/quotes/date_edit.h"
#include "commands/quotes/delete_quote_dialog.h"
#include "commands/quotes/edit_quote_dialog.h"
#include "commands/quotes/number_edit.h"
#include "commands/quotes/split_dialog.h"
#include "tests/commands/quotes/fake_quote_host.h"
#include "tests/commands/quotes/quote_test_support.h"

namespace ledgrix::testing {
namespace {

constexpr const char* kInvalid = "Invalid Data Entered";

// Ten weekday quotes from Monday 01/04/99 to Friday 01/15/99.
class QuoteDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteSymbol(dir.get(), MakeDailyQuotes(Day("01/04/99"), 10));
    host = std::make_unique<FakeQuoteHost>(dir.get(), QStringList{"TEST"});
  }
  TempDir dir;
  std::unique_ptr<FakeQuoteHost> host;
};

TEST_F(QuoteDialogTest, SplitDialogStartsFromTheCurrentQuote) {
  host->setSelQuoteRow(3);
  CSplitDialog dialog(*host, host->quoteCellText(3, 0));
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Split Data"));
  EXPECT_EQ(dialog.splitDate(), QStringLiteral("01/12/99"));
  EXPECT_EQ(dialog.newShares(), QStringLiteral("1"));
  EXPECT_EQ(dialog.oldShares(), QStringLiteral("1"));
  EXPECT_EQ(Child<CDateEdit>(dialog, "splitDateEdit")->maxLength(), 8);
  EXPECT_EQ(Child<CNumberEdit>(dialog, "newSharesEdit")->maxLength(), 5);
  EXPECT_EQ(Child<CNumberEdit>(dialog, "oldSharesEdit")->maxLength(), 5);
}

TEST_F(QuoteDialogTest, SplitOkCheckWalksTheDateBoundaries) {
  const struct {
    const char* digits;
    bool passes;
  } cases[] = {{"010499", true},  {"011599", true},  {"010899", true},
               {"010399", false}, {"011699", false}, {"010400", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.digits);
    host->script.messages.clear();
    CSplitDialog dialog(*host, host->lastDateText());
    dialog.show();
    TypeDate(*Child<CDateEdit>(dialog, "splitDateEdit"), QString::fromLatin1(c.digits));
    ClickOk(dialog);
    EXPECT_EQ(dialog.result() == QDialog::Accepted, c.passes);
    EXPECT_EQ(dialog.isVisible(), !c.passes);
    EXPECT_EQ(host->script.messages,
              c.passes ? std::vector<std::string>{} : std::vector<std::string>{kInvalid});
  }
}

TEST_F(QuoteDialogTest, SplitOkCheckRefusesZeroAndEmptyFactors) {
  const struct {
    const char* newShares;
    const char* oldShares;
    bool passes;
  } cases[] = {{"0", "1", false},  {"1", "0.0", false}, {"", "1", false}, {"1", ".", false},
               {"0.5", "1", true}, {"2", "1", true},    {"1", "3", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.newShares) + " for " + c.oldShares);
    host->script.messages.clear();
    CSplitDialog dialog(*host, host->lastDateText());
    dialog.show();
    Retype(*Child<CNumberEdit>(dialog, "newSharesEdit"), QString::fromLatin1(c.newShares));
    Retype(*Child<CNumberEdit>(dialog, "oldSharesEdit"), QString::fromLatin1(c.oldShares));
    ClickOk(dialog);
    EXPECT_EQ(dialog.result() == QDialog::Accepted, c.passes);
    EXPECT_EQ(host->script.messages.size(), c.passes ? 0u : 1u);
  }
}

TEST_F(QuoteDialogTest, AdjustOkCheckCoversBothDatesAndAllThreeMultipliers) {
  const struct {
    const char* from;
    const char* to;
    const char* price;
    const char* volume;
    const char* openInterest;
    bool passes;
  } cases[] = {
      {"010499", "011599", "1", "1", "1", true},
      {"011599", "010499", "1", "1", "1", true},  // the dates are not compared with each other
      {"010399", "011599", "1", "1", "1", false},
      {"010499", "011699", "1", "1", "1", false},
      {"010499", "011599", "0", "1", "1", false},
      {"010499", "011599", "1", "0.0", "1", false},
      {"010499", "011599", "1", "1", "0", false},
      {"010499", "011599", "1", "1", "", false},
      {"010499", "011599", "1", "1", "abc", false},  // the plain field takes letters
      {"010499", "011599", ".5", "2", "3x", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.from) + "-" + c.to + " " + c.price + "/" + c.volume + "/" +
                 c.openInterest);
    host->script.messages.clear();
    CAdjustDialog dialog(*host, host->firstDateText(), host->lastDateText());
    dialog.show();
    TypeDate(*Child<CDateEdit>(dialog, "fromDateEdit"), QString::fromLatin1(c.from));
    TypeDate(*Child<CDateEdit>(dialog, "toDateEdit"), QString::fromLatin1(c.to));
    Retype(*Child<CNumberEdit>(dialog, "priceEdit"), QString::fromLatin1(c.price));
    Retype(*Child<CNumberEdit>(dialog, "volumeEdit"), QString::fromLatin1(c.volume));
    Retype(*Child<QLineEdit>(dialog, "openInterestEdit"), QString::fromLatin1(c.openInterest));
    EXPECT_EQ(dialog.openInterest(), QString::fromLatin1(c.openInterest));
    ClickOk(dialog);
    EXPECT_EQ(dialog.result() == QDialog::Accepted, c.passes);
    EXPECT_EQ(host->script.messages.size(), c.passes ? 0u : 1u);
  }
}

TEST_F(QuoteDialogTest, AdjustStartsWithTheWholeSeries) {
  CAdjustDialog dialog(*host, host->firstDateText(), host->lastDateText());
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Adjust Data"));
  EXPECT_EQ(dialog.fromDate(), QStringLiteral("01/04/99"));
  EXPECT_EQ(dialog.toDate(), QStringLiteral("01/15/99"));
  for (const char* name : {"priceEdit", "volumeEdit", "openInterestEdit"}) {
    EXPECT_EQ(Child<QLineEdit>(dialog, name)->text(), QStringLiteral("1")) << name;
    EXPECT_EQ(Child<QLineEdit>(dialog, name)->maxLength(), 8) << name;
  }
}

TEST_F(QuoteDialogTest, EnterInADateFieldPressesOk) {
  CSplitDialog dialog(*host, host->lastDateText());
  dialog.show();
  auto* date = Child<CDateEdit>(dialog, "splitDateEdit");
  date->setFocus();
  QTest::keyClick(date, Qt::Key_Return);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

struct NavigationState {
  bool previous, next, first, last;
  bool operator==(const NavigationState&) const = default;
};

NavigationState Navigation(QDialog& dialog) {
  return {Child<QPushButton>(dialog, "previousButton")->isEnabled(),
          Child<QPushButton>(dialog, "nextButton")->isEnabled(),
          Child<QPushButton>(dialog, "firstButton")->isEnabled(),
          Child<QPushButton>(dialog, "lastButton")->isEnabled()};
}

TEST_F(QuoteDialogTest, EditStepsAreEnabledAwayFromEachEnd) {
  const std::array<bool, 6> all{true, true, true, true, true, true};
  host->setSelQuoteRow(0);  // newest
  CEditQuoteDialog dialog(*host, all);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Edit Selected Quote"));
  EXPECT_EQ(Navigation(dialog), (NavigationState{true, false, true, false}));
  Click(dialog, "previousButton");
  EXPECT_EQ(host->selQuoteRow(), 1);
  EXPECT_EQ(Navigation(dialog), (NavigationState{true, true, true, true}));
  Click(dialog, "firstButton");
  EXPECT_EQ(host->selQuoteRow(), 9);
  EXPECT_EQ(Child<QLabel>(dialog, "dateText")->text(), QStringLiteral("01/04/99"));
  EXPECT_EQ(Navigation(dialog), (NavigationState{false, true, false, true}));
  Click(dialog, "nextButton");
  EXPECT_EQ(host->selQuoteRow(), 8);
  Click(dialog, "lastButton");
  EXPECT_EQ(host->selQuoteRow(), 0);
  EXPECT_EQ(Child<QLabel>(dialog, "dateText")->text(), QStringLiteral("01/15/99"));
}

TEST(EditQuoteDialog, OneQuoteEnablesNoStep) {
  TempDir dir;
  WriteSymbol(dir.get(), MakeDailyQuotes(Day("01/04/99"), 1));
  FakeQuoteHost host(dir.get(), {"TEST"});
  CEditQuoteDialog dialog(host, {true, true, true, true, true, true});
  EXPECT_EQ(Navigation(dialog), (NavigationState{false, false, false, false}));
}

TEST_F(QuoteDialogTest, EditShowsTheGridTextsAndStepsDiscardTyping) {
  host->setSelQuoteRow(4);
  CEditQuoteDialog dialog(*host, {true, true, true, true, true, true});
  dialog.show();
  const QStringList row = host->Row(4);
  const char* names[] = {"openEdit",  "highEdit",   "lowEdit",
                         "closeEdit", "volumeEdit", "openInterestEdit"};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(Child<CNumberEdit>(dialog, names[i])->text(), row[i + 1]) << names[i];
    EXPECT_EQ(Child<CNumberEdit>(dialog, names[i])->maxLength(), 16) << names[i];
  }
  Retype(*Child<CNumberEdit>(dialog, "closeEdit"), QStringLiteral("99.5"));
  Click(dialog, "previousButton");
  Click(dialog, "nextButton");
  EXPECT_EQ(host->selQuoteRow(), 4);
  EXPECT_EQ(Child<CNumberEdit>(dialog, "closeEdit")->text(), row[4]);
}

TEST_F(QuoteDialogTest, EditRefusesAHeldFieldWithoutANumberAndIgnoresOthers) {
  const struct {
    std::array<bool, 6> held;
    const char* field;
    const char* text;
    bool passes;
  } cases[] = {
      {{true, true, true, true, true, true}, "closeEdit", "", false},
      {{true, true, true, true, true, true}, "openInterestEdit", "N/A", false},
      {{true, true, true, true, true, false}, "openInterestEdit", "N/A", true},
      {{true, true, true, true, true, false}, "openInterestEdit", "", true},
      {{true, true, true, true, true, true}, "volumeEdit", "0", true},  // no range check
      {{true, true, true, true, true, true}, "openEdit", ".", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.field) + "=" + c.text);
    host->script.messages.clear();
    CEditQuoteDialog dialog(*host, c.held);
    dialog.show();
    auto* edit = Child<CNumberEdit>(dialog, c.field);
    edit->setText(QString::fromLatin1(c.text));  // "N/A" as the grid shows it
    ClickOk(dialog);
    EXPECT_EQ(dialog.result() == QDialog::Accepted, c.passes);
    EXPECT_EQ(host->script.messages,
              c.passes ? std::vector<std::string>{} : std::vector<std::string>{kInvalid});
  }
}

TEST_F(QuoteDialogTest, DeleteAsksBeforeItClosesAndNoKeepsItOpen) {
  CDeleteQuoteDialog dialog(*host, QStringLiteral("01/12/99"));
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Delete Data"));
  EXPECT_EQ(Child<QLabel>(dialog, "dateText")->text(), QStringLiteral("01/12/99"));
  dialog.show();
  host->script = ScriptedPrompt({false, true});
  ClickOk(dialog);
  EXPECT_TRUE(dialog.isVisible());
  ASSERT_EQ(host->script.questions.size(), 1u);
  EXPECT_EQ(host->script.questions[0],
            "You are about to delete the data for date\n01/12/99\nAre you sure?");
  ClickOk(dialog);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace ledgrix::testing
