#include "app/command_enabling.h"

bool IsCommandEnabled(CommandId id, const EnableInputs& in) {
  const bool symbolRows = in.symbolRows > 0;
  const bool quoteRows = in.quoteRows > 0;
  switch (id) {
    case ID_PORTFOLIO_SPLITSEARCH:
      return in.portfoliosFound && !in.splitSearchOpen && quoteRows;
    case ID_PORTFOLIO_CHECK:
      return in.portfoliosFound;
    case ID_SYMBOL_DELETE:
    case ID_SYMBOL_ABOUT:
      return in.portfoliosFound && symbolRows;
    case ID_SYMBOL_MOVE:
    case ID_SYMBOL_COPY:
      return in.portfolioEntries >= 2 && symbolRows;
    case ID_SYMBOL_EDIT:
      return in.portfoliosFound && !in.splitSearchOpen && symbolRows;
    case ID_SYMBOL_IMPORT:
      // Also into a portfolio without symbols; the open split search would list stale rows.
      return in.portfoliosFound && in.symbolsShown && !in.splitSearchOpen;
    case ID_QUOTES_EDIT:
    case ID_QUOTES_SPLIT:
    case ID_QUOTES_ADJUST:
    case ID_QUOTES_DELETE:
      return in.portfoliosFound && quoteRows;
    case ID_QUOTES_ADD:
      return in.portfoliosFound && quoteRows && in.selQuoteRow != in.quoteRows - 1;
    case ID_QUOTES_EXPORT:
      return in.portfoliosFound && in.symbolCount != 0 && quoteRows;
    case ID_EDIT_UNDO:
      return in.canUndo;
    case ID_EDIT_REDO:
      return in.canRedo;
    default:
      return true;
  }
}
