// When each command may run: small rules over the view's state, re-evaluated on every change.
#pragma once

#include "app/command_ids.h"

struct EnableInputs {
  bool portfoliosFound = false;
  int symbolRows = 0;        // rows in the symbols grid
  int quoteRows = 0;         // rows in the quotes grid
  int portfolioEntries = 0;  // entries of the portfolio list
  int symbolCount = 0;       // m_symbolCount
  int selQuoteRow = 0;       // m_selQuoteRow
  bool splitSearchOpen = false;
  bool canUndo = false;       // the shown portfolio's journal has a step to undo
  bool canRedo = false;       // ... to redo
  bool symbolsShown = false;  // the symbols grid shows a portfolio's MASTER (also without symbols)
};

// True when the command is enabled; commands without a rule of their own are always enabled.
bool IsCommandEnabled(CommandId id, const EnableInputs& in);
