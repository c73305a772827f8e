// The quote commands end to end on the real view: dialogs driven through their widgets, files
// rewritten, the settings recorded and the grid refilled.
#include <QLabel>
#include <filesystem>

#include "commands/quotes/quote_commands.h"
#include "tests/commands/quotes/quote_test_support.h"

namespace ledgrix::testing {
namespace {

namespace cmd = ledgrix::commands;

// Round prices from Monday 01/04/99 on, so that scaled values compare exactly.
std::vector<Quote> RoundQuotes(int count = 10) {
  std::vector<Quote> quotes;
  formats::QuoteDate day = Day("01/04/99");
  for (int i = 0; i < count; ++i, day = formats::WeekdayAfter(day)) {
    const float base = 10.0f + static_cast<float>(i);
    quotes.push_back(
        {day, 0, base, base + 1, base - 1, base + 0.5f, 1000.0f * (i + 1), 100.0f * (i + 1)});
  }
  return quotes;
}

// quotes with those dated from..to scaled.
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

void ExpectQuotes(const std::vector<Quote>& got, const std::vector<Quote>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < got.size(); ++i) {
    SCOPED_TRACE(formats::DisplayDate(want[i].date));
    EXPECT_EQ(got[i].date, want[i].date);
    EXPECT_EQ(got[i].time, want[i].time);
    const float g[] = {got[i].open,  got[i].high,   got[i].low,
                       got[i].close, got[i].volume, got[i].openInterest};
    const float w[] = {want[i].open,  want[i].high,   want[i].low,
                       want[i].close, want[i].volume, want[i].openInterest};
    for (std::size_t k = 0; k < 6; ++k)
      EXPECT_FLOAT_EQ(g[k], w[k]) << k;
  }
}

class QuoteCommandTest : public QuoteViewTest {
 protected:
  // Ten quotes, Monday 01/04/99 to Friday 01/15/99, with quote row `row` selected.
  CLedgrixView& Build(int row, std::vector<Quote> quotes = RoundQuotes(), SymbolSpec spec = {}) {
    CLedgrixView& v = Start(std::move(quotes), spec);
    before = After();
    f.SelectQuote(row);
    return v;
  }
  // The same quotes written again behind the view, which reloads them.
  void Rewrite(int row) {
    PortfolioBuilder(Dir()).Add(Symbol("TEST", before)).Write();
    f.view().FillQuotesGrid(row);
  }
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
  ExpectQuotes(After(), expected);
  EXPECT_EQ(Settings("Edit", {"Date", "Open", "Vol", "Hi"}),
            (QStringList{"01/12/99", "20.25", "777", v.quoteCellText(3, 2)}));
  EXPECT_EQ(v.selQuoteRow(), 0);  // refilled
  EXPECT_EQ(v.quoteCellText(3, 1), QStringLiteral("20.2500"));
}

TEST_F(QuoteCommandTest, SplitScalesOnlyTheQuotesBeforeItsDate) {
  CLedgrixView& v = Build(0);
  const struct {
    int row;
    const char *date, *lastScaled, *newShares, *oldShares;
    float price, volume;
  } cases[] = {{4, "01/11/99", "01/08/99", "3", "2", 2.0f / 3, 1.5f}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.date) + " " + c.newShares + " for " + c.oldShares);
    Rewrite(c.row);
    const auto bytes = FileBytes(Dat());
    DialogScript script(
        {FillAndOk({{"newSharesEdit", c.newShares}, {"oldSharesEdit", c.oldShares}})});
    cmd::EnterSplit(v);
    const auto expected = Scaled(before, "01/01/99", c.lastScaled, c.price, c.volume, c.volume);
    ExpectQuotes(After(), expected);
    EXPECT_EQ(FileBytes(Dir() / "F1.BAK"), bytes);
    EXPECT_EQ(Settings("Split", {"Date", "New", "Old"}),
              (QStringList{c.date, c.newShares, c.oldShares}));
    EXPECT_EQ(v.selQuoteRow(), 0);  // refilled
    EXPECT_EQ(v.quoteCellText(9, 1), QString::number(expected[0].open, 'f', 4));
    EXPECT_TRUE(Messages().empty());
  }
}

TEST_F(QuoteCommandTest, AdjustScalesTheInclusiveRangeAndFromAfterToChangesNothing) {
  CLedgrixView& v = Build(0);
  DialogScript script(
      {FillAndOk({{"fromDateEdit", "010699"},
                  {"toDateEdit", "011299"},
                  {"priceEdit", "0.5"},
                  {"volumeEdit", "10"},
                  {"openInterestEdit", "3"}}),
       FillAndOk({{"fromDateEdit", "011399"}, {"toDateEdit", "010599"}, {"priceEdit", "2"}})});
  cmd::AdjustQuotes(v);
  ExpectQuotes(After(), Scaled(before, "01/06/99", "01/12/99", 0.5f, 10, 3));
  EXPECT_EQ(Settings("Adjust", {"Date1", "Date2", "PriceMult", "VolMult", "OIMult"}),
            (QStringList{"01/06/99", "01/12/99", "0.5", "10", "3"}));

  const auto bytes = FileBytes(Dat());
  cmd::AdjustQuotes(v);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(FileBytes(Dat()), bytes);
  EXPECT_EQ(Settings("Adjust", {"Date1"}), QStringList{QStringLiteral("01/13/99")});
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

  // The file changed behind the grid's back: the selected 01/13/99 is gone.
  before.erase(before.begin() + 7);
  PortfolioBuilder(Dir()).Add(Symbol("TEST", before)).Write();
  const auto shorter = FileBytes(Dat());
  f.prompt() = ScriptedPrompt({true});
  DialogScript yes({[](QDialog& d) { ClickOk(d); }});
  cmd::DeleteQuote(v);
  EXPECT_EQ(Messages(), (std::vector<std::string>{"failure in delete quote for findrec",
                                                  "Delete Edit Failed"}));
  EXPECT_EQ(FileBytes(Dat()), shorter);
  EXPECT_EQ(Settings("Delete", {"Date"}), QStringList{QStringLiteral("<unset>")});

  std::filesystem::remove(Dat());
  const struct {
    Command command;
    const char *section, *key, *message;
  } cases[] = {{cmd::EditQuote, "Edit", "Date", "Single Date Edit Failed"},
               {cmd::EnterSplit, "Split", "Date", "Split Edit Failed"},
               {cmd::AdjustQuotes, "Adjust", "Date1", "Adjust Edit Failed"}};
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

TEST_F(QuoteCommandTest, AddProposesTheWeekdayBeforeAndOpensEditOnTheNewRow) {
  CLedgrixView& v = Build(0, QuotesWithGaps());
  const struct {
    int row;
    const char *current, *proposed;
  } cases[] = {{2, "01/11/99", "01/08/99"}, {1, "01/13/99", "01/12/99"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.current);
    Rewrite(c.row);
    ASSERT_EQ(v.quoteCellText(c.row, 0), c.current);
    // The new quote copies the current one's values, with the close as edited.
    QStringList expected = Row(v, c.row);
    expected[0] = c.proposed;
    expected[4] = QStringLiteral("20.5000");
    int editRow = -1;
    DialogScript script({[&](QDialog& d) {
                           EXPECT_EQ(Child<QLabel>(d, "newDateText")->text(), c.proposed);
                           ClickOk(d);
                         },
                         [&](QDialog& d) {
                           editRow = v.selQuoteRow();
                           FillAndOk({{"closeEdit", "20.5"}})(d);
                         }});
    cmd::AddQuote(v);
    EXPECT_EQ(script.titles(), (QStringList{"Add Data", "Edit Selected Quote"}));
    EXPECT_EQ(editRow, c.row + 1);
    EXPECT_EQ(Settings("Add", {"Date"}), QStringList{c.proposed});
    EXPECT_EQ(Settings("Edit", {"Date"}), QStringList{c.proposed});
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(v.quoteRowCount(), 7);
    EXPECT_EQ(Row(v, c.row + 1), expected);
    EXPECT_EQ(After().size(), 7u);
  }
}

TEST_F(QuoteCommandTest, AddRefusesAListedDateAndAWeekendQuoteAndReportsAFailure) {
  CLedgrixView& v = Build(0, QuotesWithGaps());
  const auto bytes = FileBytes(Dat());
  const struct {
    int row;
    const char* message;
  } refusals[] = {{4, "Date 01/06/99 already exists."},
                  {3,
                   "The quote of 01/09/99 is not dated on a weekday.\n"
                   "A quote can only be added before a weekday's quote."}};
  for (const auto& c : refusals) {
    SCOPED_TRACE(c.row);
    Messages().clear();
    f.SelectQuote(c.row);
    DialogScript none({});
    cmd::AddQuote(v);
    EXPECT_EQ(none.shown(), 0);
    EXPECT_EQ(Messages(), std::vector<std::string>{c.message});
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
  EXPECT_EQ(f.prompt().questions,
            std::vector<std::string>{
                "You are about to delete the data for date\n01/12/99\nAre you sure?"});
  EXPECT_EQ(FileBytes(Dat()), bytes);
  EXPECT_EQ(v.selQuoteRow(), 3);

  cmd::DeleteQuote(v);
  before.erase(before.begin() + 6);
  ExpectQuotes(After(), before);
  EXPECT_EQ(v.quoteRowCount(), 9);
  EXPECT_EQ(v.selQuoteRow(), 0);
  EXPECT_EQ(Settings("Delete", {"Date"}), QStringList{QStringLiteral("01/12/99")});
}

// Edit and Delete refuse a date of several intraday quotes before anything can be typed; in the
// Edit dialog a step to such a date leaves nothing to type. A daily file holding a day twice is
// no intraday data: Delete drops the first copy.
TEST_F(QuoteCommandTest, IntradayEditAndDeleteRefuseADateThatHoldsSeveralQuotes) {
  SymbolSpec spec;
  spec.periodicity = 'I';
  spec.fields = {formats::kDate, formats::kTime,  formats::kOpen, formats::kHigh,
                 formats::kLow,  formats::kClose, formats::kVol};
  std::vector<Quote> quotes;
  for (formats::QuoteTime minutes : {0, 30, 60})  // three bars on 01/04/99, one on 01/05/99
    quotes.push_back({Day("01/04/99"), static_cast<formats::QuoteTime>(17100 + minutes * 30), 10,
                      11, 9, 10, 100, 0});
  quotes.push_back({Day("01/05/99"), 17100, 20, 21, 19, 20, 200, 0});
  CLedgrixView& v = Build(2, quotes, spec);  // one of the bars of 01/04/99
  const auto bytes = FileBytes(Dat());
  {
    DialogScript none({});
    cmd::EditQuote(v);
    cmd::DeleteQuote(v);
    EXPECT_EQ(none.shown(), 0);
  }
  EXPECT_EQ(Messages(), (std::vector<std::string>{
                            "Edit works on whole days, and 01/04/99 holds 3 quotes (intraday "
                            "data).\nNothing was changed.",
                            "Delete works on whole days, and 01/04/99 holds 3 quotes (intraday "
                            "data).\nNothing was changed."}));
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
  ExpectQuotes(After(), before);

  // Daily quotes with 01/05/99 twice: Edit opens, Delete drops the first copy.
  std::vector<Quote> twice = RoundQuotes(3);
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
  ExpectQuotes(After(), twice);
}

}  // namespace
}  // namespace ledgrix::testing
