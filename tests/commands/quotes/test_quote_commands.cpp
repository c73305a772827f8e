// The quote commands end to end: dialogs driven through their widgets, files rewritten, the
// settings recorded and the grid refilled.
#include <QLabel>
#include <QTest>
#include <filesystem>

#include <gtest/gtest.h>

#include "commands/quotes/adjust_dialog.h"
#include "commands/quotes/date_edit.h"
#include "commands/quotes/edit_quote_dialog.h"
#include "commands/quotes/number_edit.h"
#include "commands/quotes/quote_commands.h"
#include "commands/quotes/split_dialog.h"
#include "tests/commands/quotes/fake_quote_host.h"
#include "tests/commands/quotes/quote_test_support.h"

namespace ledgrix::testing {
namespace {

namespace cmd = ledgrix::commands;

// Simple round prices so that scaled values compare exactly.
std::vector<Quote> RoundQuotes(const char* first, int count) {
  std::vector<Quote> quotes;
  formats::QuoteDate day = Day(first);
  for (int i = 0; i < count; ++i) {
    const float base = 10.0f + static_cast<float>(i);
    quotes.push_back(
        {day, 0, base, base + 1, base - 1, base + 0.5f, 1000.0f * (i + 1), 100.0f * (i + 1)});
    day = formats::WeekdayAfter(day);
  }
  return quotes;
}

void ExpectScaled(const Quote& before, const Quote& after, float price, float volume,
                  float openInterest) {
  SCOPED_TRACE(formats::DisplayDate(before.date));
  EXPECT_EQ(after.date, before.date);
  EXPECT_FLOAT_EQ(after.open, before.open * price);
  EXPECT_FLOAT_EQ(after.high, before.high * price);
  EXPECT_FLOAT_EQ(after.low, before.low * price);
  EXPECT_FLOAT_EQ(after.close, before.close * price);
  EXPECT_FLOAT_EQ(after.volume, before.volume * volume);
  EXPECT_FLOAT_EQ(after.openInterest, before.openInterest * openInterest);
}

class QuoteCommandTest : public ::testing::Test {
 protected:
  // Ten quotes, Monday 01/04/99 to Friday 01/15/99.
  void Build(std::vector<Quote> quotes = RoundQuotes("01/04/99", 10), SymbolSpec spec = {}) {
    WriteSymbol(dir.get(), quotes, spec);
    before = ReadQuotes(dir.get(), "TEST");
    host = std::make_unique<FakeQuoteHost>(dir.get(), QStringList{"TEST"});
  }
  std::vector<Quote> After() const { return ReadQuotes(dir.get(), "TEST"); }
  std::filesystem::path Dat() const { return dir / "F1.DAT"; }

  TempDir dir;
  std::vector<Quote> before;
  std::unique_ptr<FakeQuoteHost> host;
};

// --- Edit ---------------------------------------------------------------------------------

TEST_F(QuoteCommandTest, EditWritesTheQuoteShownLastAndRecordsTheTexts) {
  Build();
  host->setSelQuoteRow(2);  // 01/13/99
  DialogScript script({[](QDialog& d) {
    Retype(*Child<CNumberEdit>(d, "closeEdit"), QStringLiteral("1.5"));
    Click(d, "previousButton");  // discards the typing: now 01/12/99
    Retype(*Child<CNumberEdit>(d, "openEdit"), QStringLiteral("20.25"));
    Retype(*Child<CNumberEdit>(d, "volumeEdit"), QStringLiteral("777"));
    ClickOk(d);
  }});
  cmd::EditQuote(*host);
  EXPECT_EQ(script.titles(), QStringList{"Edit Selected Quote"});
  const auto after = After();
  ASSERT_EQ(after.size(), before.size());
  for (std::size_t i = 0; i < after.size(); ++i) {
    if (after[i].date == Day("01/12/99")) {
      EXPECT_FLOAT_EQ(after[i].open, 20.25f);
      EXPECT_FLOAT_EQ(after[i].volume, 777);
      EXPECT_FLOAT_EQ(after[i].close, before[i].close);
    } else {
      ExpectScaled(before[i], after[i], 1, 1, 1);
    }
  }
  EXPECT_EQ(host->Setting("Edit", "Date"), QStringLiteral("01/12/99"));
  EXPECT_EQ(host->Setting("Edit", "Open"), QStringLiteral("20.25"));
  EXPECT_EQ(host->Setting("Edit", "Vol"), QStringLiteral("777"));
  EXPECT_EQ(host->Setting("Edit", "Hi"), host->Row(3)[2]);
  EXPECT_EQ(host->quoteFills, 1);
  EXPECT_EQ(host->selQuoteRow(), 0);
  EXPECT_EQ(host->Row(3)[1], QStringLiteral("20.2500"));
}

TEST_F(QuoteCommandTest, EditOfAFileWithoutOpenInterestIgnoresThatField) {
  SymbolSpec spec;
  spec.fields = {formats::kDate, formats::kOpen,  formats::kHigh,
                 formats::kLow,  formats::kClose, formats::kVol};
  Build(RoundQuotes("01/04/99", 3), spec);
  EXPECT_EQ(host->quoteCellText(0, 6), QStringLiteral("N/A"));
  DialogScript script({[](QDialog& d) {
    Retype(*Child<CNumberEdit>(d, "highEdit"), QStringLiteral("50"));
    ClickOk(d);  // open interest still reads "N/A"
  }});
  cmd::EditQuote(*host);
  EXPECT_TRUE(host->script.messages.empty());
  EXPECT_FLOAT_EQ(After().back().high, 50);
  EXPECT_EQ(host->quoteCellText(0, 6), QStringLiteral("N/A"));
}

TEST_F(QuoteCommandTest, EditCancelAndFailureWriteNothing) {
  Build();
  const auto bytes = FileBytes(Dat());
  {
    DialogScript cancel({[](QDialog& d) { ClickCancel(d); }});
    cmd::EditQuote(*host);
  }
  EXPECT_EQ(FileBytes(Dat()), bytes);
  EXPECT_EQ(host->quoteFills, 0);

  std::filesystem::remove(Dat());
  DialogScript ok({[](QDialog& d) { ClickOk(d); }});
  cmd::EditQuote(*host);
  EXPECT_EQ(host->script.messages, std::vector<std::string>{"Single Date Edit Failed"});
  EXPECT_EQ(host->Setting("Edit", "Date"), QStringLiteral("<unset>"));
  EXPECT_EQ(host->quoteFills, 0);
}

// --- Split --------------------------------------------------------------------------------

TEST_F(QuoteCommandTest, SplitScalesOnlyTheQuotesBeforeItsDate) {
  const struct {
    const char* newShares;
    const char* oldShares;
    float price, volume;
  } cases[] = {{"2", "1", 0.5f, 2.0f}, {"1", "2", 2.0f, 0.5f}, {"3", "2", 2.0f / 3, 1.5f}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.newShares) + " for " + c.oldShares);
    Build();
    host->setSelQuoteRow(4);  // 01/11/99, a Monday
    DialogScript script({[&](QDialog& d) {
      Retype(*Child<CNumberEdit>(d, "newSharesEdit"), QString::fromLatin1(c.newShares));
      Retype(*Child<CNumberEdit>(d, "oldSharesEdit"), QString::fromLatin1(c.oldShares));
      ClickOk(d);
    }});
    cmd::EnterSplit(*host);
    const auto after = After();
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i) {
      if (before[i].date < Day("01/11/99"))
        ExpectScaled(before[i], after[i], c.price, c.volume, c.volume);
      else
        ExpectScaled(before[i], after[i], 1, 1, 1);
    }
    EXPECT_EQ(host->Setting("Split", "Date"), QStringLiteral("01/11/99"));
    EXPECT_EQ(host->Setting("Split", "New"), QString::fromLatin1(c.newShares));
    EXPECT_EQ(host->Setting("Split", "Old"), QString::fromLatin1(c.oldShares));
    EXPECT_EQ(host->selQuoteRow(), 0);
  }
}

TEST_F(QuoteCommandTest, SplitOnTheFirstQuoteChangesNoValue) {
  Build();
  const auto bytes = FileBytes(Dat());
  host->setSelQuoteRow(9);
  DialogScript script({[](QDialog& d) {
    Retype(*Child<CNumberEdit>(d, "newSharesEdit"), QStringLiteral("2"));
    ClickOk(d);
  }});
  cmd::EnterSplit(*host);
  EXPECT_TRUE(host->script.messages.empty());
  EXPECT_EQ(FileBytes(Dat()), bytes);
  EXPECT_EQ(FileBytes(dir / "F1.BAK"), bytes);  // rewritten all the same
}

TEST_F(QuoteCommandTest, SplitOfAVanishedSymbolReportsItsOwnFailure) {
  Build();
  std::filesystem::remove(Dat());
  DialogScript script({[](QDialog& d) { ClickOk(d); }});
  cmd::EnterSplit(*host);
  EXPECT_EQ(host->script.messages, std::vector<std::string>{"Split Edit Failed"});
  EXPECT_EQ(host->Setting("Split", "Date"), QStringLiteral("<unset>"));
}

// --- Adjust -------------------------------------------------------------------------------

TEST_F(QuoteCommandTest, AdjustScalesTheInclusiveRange) {
  Build();
  DialogScript script({[](QDialog& d) {
    TypeDate(*Child<CDateEdit>(d, "fromDateEdit"), QStringLiteral("010699"));
    TypeDate(*Child<CDateEdit>(d, "toDateEdit"), QStringLiteral("011299"));
    Retype(*Child<CNumberEdit>(d, "priceEdit"), QStringLiteral("0.5"));
    Retype(*Child<CNumberEdit>(d, "volumeEdit"), QStringLiteral("10"));
    Retype(*Child<QLineEdit>(d, "openInterestEdit"), QStringLiteral("3"));
    ClickOk(d);
  }});
  cmd::AdjustQuotes(*host);
  const auto after = After();
  ASSERT_EQ(after.size(), before.size());
  for (std::size_t i = 0; i < after.size(); ++i) {
    if (before[i].date >= Day("01/06/99") && before[i].date <= Day("01/12/99"))
      ExpectScaled(before[i], after[i], 0.5f, 10, 3);
    else
      ExpectScaled(before[i], after[i], 1, 1, 1);
  }
  EXPECT_EQ(host->Setting("Adjust", "Date1"), QStringLiteral("01/06/99"));
  EXPECT_EQ(host->Setting("Adjust", "Date2"), QStringLiteral("01/12/99"));
  EXPECT_EQ(host->Setting("Adjust", "PriceMult"), QStringLiteral("0.5"));
  EXPECT_EQ(host->Setting("Adjust", "VolMult"), QStringLiteral("10"));
  EXPECT_EQ(host->Setting("Adjust", "OIMult"), QStringLiteral("3"));
}

TEST_F(QuoteCommandTest, AdjustFromAfterToChangesNothing) {
  Build();
  const auto bytes = FileBytes(Dat());
  DialogScript script({[](QDialog& d) {
    TypeDate(*Child<CDateEdit>(d, "fromDateEdit"), QStringLiteral("011399"));
    TypeDate(*Child<CDateEdit>(d, "toDateEdit"), QStringLiteral("010599"));
    Retype(*Child<CNumberEdit>(d, "priceEdit"), QStringLiteral("2"));
    ClickOk(d);
  }});
  cmd::AdjustQuotes(*host);
  EXPECT_TRUE(host->script.messages.empty());
  EXPECT_EQ(FileBytes(Dat()), bytes);
  EXPECT_EQ(host->Setting("Adjust", "Date1"), QStringLiteral("01/13/99"));
}

// --- Add ----------------------------------------------------------------------------------

// Monday 01/11/99 with the Friday before missing; Wednesday 01/13/99 with its Tuesday missing.
std::vector<Quote> QuotesWithGaps() {
  std::vector<Quote> quotes;
  for (const char* date : {"01/06/99", "01/07/99", "01/11/99", "01/13/99", "01/14/99"}) {
    Quote q{Day(date), 0, 10, 11, 9, 10.5f, 500, 50};
    q.close += static_cast<float>(quotes.size());
    quotes.push_back(q);
  }
  return quotes;
}

TEST_F(QuoteCommandTest, AddProposesTheWeekdayBeforeAndOpensEditOnTheNewRow) {
  const struct {
    int row;
    const char* current;
    const char* proposed;
  } cases[] = {{2, "01/11/99", "01/08/99"}, {1, "01/13/99", "01/12/99"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.current);
    Build(QuotesWithGaps());
    host->setSelQuoteRow(c.row);
    ASSERT_EQ(host->quoteCellText(c.row, 0), QString::fromLatin1(c.current));
    QString proposed, editDate;
    int editRow = -1;
    DialogScript script({[&](QDialog& d) {
                           proposed = Child<QLabel>(d, "newDateText")->text();
                           ClickOk(d);
                         },
                         [&](QDialog& d) {
                           editDate = Child<QLabel>(d, "dateText")->text();
                           editRow = host->selQuoteRow();
                           ClickCancel(d);
                         }});
    cmd::AddQuote(*host);
    EXPECT_EQ(script.titles(), (QStringList{"Add Data", "Edit Selected Quote"}));
    EXPECT_EQ(proposed, QString::fromLatin1(c.proposed));
    EXPECT_EQ(editDate, QString::fromLatin1(c.proposed));
    EXPECT_EQ(editRow, c.row + 1);
    // The new quote is a copy of the current one's values.
    EXPECT_EQ(host->Row(c.row + 1).mid(1), host->Row(c.row).mid(1));
    EXPECT_EQ(host->quoteRowCount(), 6);
    EXPECT_EQ(host->Setting("Add", "Date"), QString::fromLatin1(c.proposed));
  }
}

TEST_F(QuoteCommandTest, AddRefusesADateTheGridAlreadyLists) {
  Build(QuotesWithGaps());
  host->setSelQuoteRow(3);  // 01/07/99: the Wednesday before is listed
  const auto bytes = FileBytes(Dat());
  DialogScript script({});
  cmd::AddQuote(*host);
  EXPECT_EQ(script.shown(), 0);
  EXPECT_EQ(host->script.messages, std::vector<std::string>{"Date 01/06/99 already exists."});
  EXPECT_EQ(FileBytes(Dat()), bytes);
}

TEST_F(QuoteCommandTest, AddRefusesAWeekendQuote) {
  auto quotes = QuotesWithGaps();
  quotes.insert(quotes.begin() + 2, Quote{Day("01/09/99"), 0, 1, 1, 1, 1, 1, 1});  // Saturday
  Build(quotes);
  host->setSelQuoteRow(3);
  ASSERT_EQ(host->quoteCellText(3, 0), QStringLiteral("01/09/99"));
  const auto bytes = FileBytes(Dat());
  DialogScript script({});
  cmd::AddQuote(*host);
  EXPECT_EQ(script.shown(), 0);
  ASSERT_EQ(host->script.messages.size(), 1u);
  EXPECT_NE(host->script.messages[0].find("01/09/99"), std::string::npos);
  EXPECT_NE(host->script.messages[0].find("weekday"), std::string::npos);
  EXPECT_EQ(FileBytes(Dat()), bytes);
}

TEST_F(QuoteCommandTest, AddCancelledChangesNothingAndAFailureRefillsRowZero) {
  Build(QuotesWithGaps());
  host->setSelQuoteRow(2);
  const auto bytes = FileBytes(Dat());
  {
    DialogScript cancel({[](QDialog& d) { ClickCancel(d); }});
    cmd::AddQuote(*host);
  }
  EXPECT_EQ(FileBytes(Dat()), bytes);
  EXPECT_EQ(host->quoteFills, 0);

  std::filesystem::remove(Dat());
  DialogScript ok({[](QDialog& d) { ClickOk(d); }});
  cmd::AddQuote(*host);
  EXPECT_EQ(ok.shown(), 1);  // no Edit after a failure
  EXPECT_EQ(host->script.messages, std::vector<std::string>{"Add Quote Failed"});
  EXPECT_EQ(host->quoteFills, 1);
  EXPECT_EQ(host->selQuoteRow(), 0);
  EXPECT_EQ(host->Setting("Add", "Date"), QStringLiteral("<unset>"));
}

// --- Delete -------------------------------------------------------------------------------

TEST_F(QuoteCommandTest, DeleteNoKeepsTheDialogOpenAndCancelKeepsTheQuote) {
  Build();
  host->setSelQuoteRow(3);
  host->script = ScriptedPrompt({false});
  const auto bytes = FileBytes(Dat());
  bool openAfterNo = false;
  DialogScript script({[&](QDialog& d) {
    ClickOk(d);
    openAfterNo = d.isVisible();
    ClickCancel(d);
  }});
  cmd::DeleteQuote(*host);
  EXPECT_TRUE(openAfterNo);
  EXPECT_EQ(FileBytes(Dat()), bytes);
  EXPECT_EQ(host->quoteFills, 0);
}

TEST_F(QuoteCommandTest, DeleteYesRemovesTheQuoteAndSelectsTheNewest) {
  Build();
  host->setSelQuoteRow(3);  // 01/12/99
  host->script = ScriptedPrompt({true});
  DialogScript script({[](QDialog& d) { ClickOk(d); }});
  cmd::DeleteQuote(*host);
  const auto after = After();
  ASSERT_EQ(after.size(), before.size() - 1);
  for (const Quote& q : after)
    EXPECT_NE(q.date, Day("01/12/99"));
  EXPECT_EQ(host->quoteRowCount(), 9);
  EXPECT_EQ(host->selQuoteRow(), 0);
  EXPECT_EQ(host->Setting("Delete", "Date"), QStringLiteral("01/12/99"));
}

TEST_F(QuoteCommandTest, DeleteOfAQuoteNoLongerInTheFileReportsBothMessages) {
  Build();
  host->setSelQuoteRow(3);
  // The file changed behind the grid's back: 01/12/99 is gone.
  auto quotes = RoundQuotes("01/04/99", 10);
  quotes.erase(quotes.begin() + 6);
  WriteSymbol(dir.get(), quotes);
  const auto bytes = FileBytes(Dat());
  host->script = ScriptedPrompt({true});
  DialogScript script({[](QDialog& d) { ClickOk(d); }});
  cmd::DeleteQuote(*host);
  EXPECT_EQ(host->script.messages, (std::vector<std::string>{"failure in delete quote for findrec",
                                                             "Delete Edit Failed"}));
  EXPECT_EQ(FileBytes(Dat()), bytes);
  EXPECT_EQ(host->quoteFills, 0);
  EXPECT_EQ(host->Setting("Delete", "Date"), QStringLiteral("<unset>"));
}

}  // namespace
}  // namespace ledgrix::testing

namespace ledgrix::testing {
namespace {

// Three bars on 01/04/99 and one on 01/05/99, with times.
class IntradayTest : public QuoteCommandTest {
 protected:
  void SetUp() override {
    SymbolSpec spec;
    spec.periodicity = 'I';
    spec.fields = {formats::kDate, formats::kTime,  formats::kOpen, formats::kHigh,
                   formats::kLow,  formats::kClose, formats::kVol};
    std::vector<Quote> quotes;
    for (int minutes : {0, 30, 60})
      quotes.push_back({Day("01/04/99"), static_cast<formats::QuoteTime>(17100 + minutes * 30), 10,
                        11, 9, 10, 100, 0});
    quotes.push_back({Day("01/05/99"), 17100, 20, 21, 19, 20, 200, 0});
    Build(quotes, spec);
  }
};

TEST_F(IntradayTest, EditAndDeleteRefuseADateThatHoldsSeveralQuotes) {
  const auto bytes = FileBytes(Dat());
  host->setSelQuoteRow(2);  // one of the bars of 01/04/99
  {
    DialogScript script({[](QDialog& d) {
      Retype(*Child<CNumberEdit>(d, "closeEdit"), QStringLiteral("99"));
      ClickOk(d);
    }});
    cmd::EditQuote(*host);
  }
  DialogScript none({});
  cmd::DeleteQuote(*host);
  EXPECT_EQ(none.shown(), 0);
  ASSERT_EQ(host->script.messages.size(), 2u);
  EXPECT_EQ(host->script.messages[0].rfind("Edit works on whole days", 0), 0u);
  EXPECT_NE(host->script.messages[0].find("01/04/99 holds 3 quotes"), std::string::npos);
  EXPECT_EQ(host->script.messages[1].rfind("Delete works on whole days", 0), 0u);
  EXPECT_EQ(FileBytes(Dat()), bytes);
  EXPECT_EQ(host->quoteFills, 0);
}

TEST_F(IntradayTest, ADateWithOneQuoteIsEditedAsUsual) {
  host->setSelQuoteRow(0);  // 01/05/99
  DialogScript script({[](QDialog& d) {
    Retype(*Child<CNumberEdit>(d, "closeEdit"), QStringLiteral("25"));
    ClickOk(d);
  }});
  cmd::EditQuote(*host);
  EXPECT_TRUE(host->script.messages.empty());
  const auto after = After();
  ASSERT_EQ(after.size(), 4u);
  EXPECT_FLOAT_EQ(after[3].close, 25);
  EXPECT_EQ(after[3].time, 17100);
  for (int i = 0; i < 3; ++i)
    EXPECT_FLOAT_EQ(after[static_cast<std::size_t>(i)].close, 10);
}

}  // namespace
}  // namespace ledgrix::testing
