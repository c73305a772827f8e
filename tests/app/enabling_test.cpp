// Command enabling: every rule, and the actions of the window following the view's state.
#include <gtest/gtest.h>

#include <QAction>

#include "app/command_enabling.h"
#include "tests/app/gui_test_support.h"

namespace ledgrix::testing {
namespace {

namespace fs = std::filesystem;

constexpr CommandId kAlways[] = {
    ID_PORTFOLIO_SEARCHFILTER, ID_PORTFOLIO_RESCAN, ID_APP_EXIT, ID_VIEW_TOOLBAR,
    ID_VIEW_STATUS_BAR,        ID_HELP_FINDER,      ID_APP_ABOUT};
constexpr CommandId kSymbolAndQuote[] = {
    ID_PORTFOLIO_SPLITSEARCH, ID_SYMBOL_DELETE, ID_SYMBOL_MOVE,  ID_SYMBOL_COPY,   ID_SYMBOL_EDIT,
    ID_SYMBOL_ABOUT,          ID_QUOTES_EDIT,   ID_QUOTES_SPLIT, ID_QUOTES_ADJUST, ID_QUOTES_ADD,
    ID_QUOTES_DELETE,         ID_QUOTES_EXPORT, ID_SYMBOL_IMPORT};

// A state in which every rule holds: portfolios found, 3 symbol rows, 10 quote rows, two
// portfolios, 3 symbols, the newest quote selected, no split search open.
constexpr EnableInputs kEverything{true, 3, 10, 2, 3, 0, false, false, false, true};

TEST(EnableRules, EachInputDisablesExactlyItsCommands) {
  struct Case {
    const char* what;
    void (*change)(EnableInputs&);
    std::vector<CommandId> disabled;
  } cases[] = {
      {"every rule holds", [](EnableInputs&) {}, {}},
      {"no portfolios found",
       [](EnableInputs& in) { in.portfoliosFound = false; },
       {ID_PORTFOLIO_SPLITSEARCH, ID_SYMBOL_DELETE, ID_SYMBOL_EDIT, ID_SYMBOL_ABOUT, ID_QUOTES_EDIT,
        ID_QUOTES_SPLIT, ID_QUOTES_ADJUST, ID_QUOTES_ADD, ID_QUOTES_DELETE, ID_QUOTES_EXPORT,
        ID_SYMBOL_IMPORT}},
      {"no symbol rows",
       [](EnableInputs& in) { in.symbolRows = 0; },
       {ID_SYMBOL_DELETE, ID_SYMBOL_MOVE, ID_SYMBOL_COPY, ID_SYMBOL_EDIT, ID_SYMBOL_ABOUT}},
      {"no quote rows",
       [](EnableInputs& in) { in.quoteRows = 0; },
       {ID_PORTFOLIO_SPLITSEARCH, ID_QUOTES_EDIT, ID_QUOTES_SPLIT, ID_QUOTES_ADJUST, ID_QUOTES_ADD,
        ID_QUOTES_DELETE, ID_QUOTES_EXPORT}},
      {"one portfolio",
       [](EnableInputs& in) { in.portfolioEntries = 1; },
       {ID_SYMBOL_MOVE, ID_SYMBOL_COPY}},
      {"symbol count 0", [](EnableInputs& in) { in.symbolCount = 0; }, {ID_QUOTES_EXPORT}},
      {"a MASTER that could not be shown",
       [](EnableInputs& in) { in.symbolsShown = false; },
       {ID_SYMBOL_IMPORT}},
      {"oldest quote selected", [](EnableInputs& in) { in.selQuoteRow = 9; }, {ID_QUOTES_ADD}},
      {"split search open",
       [](EnableInputs& in) { in.splitSearchOpen = true; },
       {ID_PORTFOLIO_SPLITSEARCH, ID_SYMBOL_EDIT, ID_SYMBOL_IMPORT}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EnableInputs in = kEverything;
    c.change(in);
    for (CommandId id : kSymbolAndQuote) {
      const bool expectDisabled =
          std::find(c.disabled.begin(), c.disabled.end(), id) != c.disabled.end();
      EXPECT_EQ(IsCommandEnabled(id, in), !expectDisabled) << id;
    }
    for (CommandId id : kAlways)
      EXPECT_TRUE(IsCommandEnabled(id, in)) << id;
  }
}

void Portfolio(const fs::path& dir, const std::string& symbol, std::int16_t announced = 1) {
  PortfolioBuilder(dir).Add(Daily(symbol, 5)).SetCounts(announced, 1).Write();
}

bool Enabled(GuiFixture& f, CommandId id) {
  return f.frame().action(id)->isEnabled();
}

// The actions follow the view's state; a disabled one never runs, even if triggered while stale.
TEST(EnableActions, FollowThePortfolioAndTheSelectedQuote) {
  GuiFixture f;
  Portfolio(f.root() / "P", "AAA", 2);  // announces two symbols but holds one
  Portfolio(f.root() / "Q", "BBB");
  f.WalkWholeVolume();
  f.StartAndScan();
  EXPECT_TRUE(f.view().m_portfoliosFound);
  for (CommandId id : kSymbolAndQuote)  // the failed MASTER leaves no symbol or quote to work on
    EXPECT_FALSE(Enabled(f, id)) << id;
  for (CommandId id : kAlways)
    EXPECT_TRUE(Enabled(f, id)) << id;
  f.prompt().messages.clear();
  f.frame().action(ID_QUOTES_EDIT)->setEnabled(true);
  f.frame().action(ID_QUOTES_EDIT)->trigger();
  EXPECT_TRUE(f.prompt().messages.empty());
  f.ChoosePortfolio(1);
  for (CommandId id : kSymbolAndQuote)
    EXPECT_TRUE(Enabled(f, id)) << id;
  f.SelectQuote(4);
  EXPECT_FALSE(Enabled(f, ID_QUOTES_ADD));
  f.view().setSplitSearchOpen(true);
  EXPECT_FALSE(Enabled(f, ID_SYMBOL_EDIT));
}

}  // namespace
}  // namespace ledgrix::testing
