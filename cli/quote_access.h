// The symbol and quotes a command works on, found as selecting a portfolio, a symbol row and a
// quote row in the main window would find them.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "cli/cli_support.h"
#include "cli/symbol_rows.h"
#include "formats/dates.h"
#include "formats/series.h"

namespace ledgrix::cli {

// The portfolio's symbol rows, with the grid's failures reported. False: reported, exit 1.
bool OpenPortfolio(const Context& ctx, const path& dir, SymbolList& list);
// OpenPortfolio, then the row the typed symbol names.
bool OpenSymbol(const Context& ctx, const path& dir, std::string_view typed, SymbolList& list,
                SymbolRow& row);

// A symbol whose quotes are loaded as the quotes grid loads them.
struct LoadedSymbol {
  path dir;
  SymbolRow row;
  std::int32_t count = 0;
  std::string firstDateText, lastDateText;  // oldest and newest quote, MM/DD/YY
  std::array<bool, 6> fieldHeld{};          // OPEN .. OI present in the file
  bool intraday = false;                    // several quotes a day
};

// OpenSymbol and the quote count and dates. With needQuotes a symbol without quotes is refused
// (the quote commands are not offered then). False: reported, exit 1.
bool LoadSymbol(const Context& ctx, const path& dir, std::string_view typed, bool needQuotes,
                LoadedSymbol& loaded);

// The quotes dated day: how many, and the index of the first. The whole series is read in
// windows of 400, so intraday files with several quotes a day are counted right.
struct DatedQuotes {
  std::int32_t count = 0;
  std::int32_t first = -1;
  bool readError = false;
};
DatedQuotes FindDated(const LoadedSymbol& loaded, formats::QuoteDate day);

// Reads the quote at index into position 0 of one. False when it cannot be read.
bool ReadQuoteAt(const LoadedSymbol& loaded, std::int32_t index, formats::QuoteSeries& one);

// A date option that must name a quote of the series: 8 characters, in range, and present.
// Returns 0 with a reason when it does not; *dated receives what FindDated found.
formats::QuoteDate QuoteDateOption(const LoadedSymbol& loaded, std::string_view option,
                                   std::string_view text, std::string& reason,
                                   DatedQuotes* dated = nullptr);

// Edit and Delete name a quote by its date alone; where several quotes of intraday data share
// it they are refused. Returns the message, or an empty text when the command may go on (a daily
// file holding a day twice is mended by delete, which drops the first copy).
std::string SharedDateMessage(const LoadedSymbol& loaded, const char* what,
                              std::string_view dateText, const DatedQuotes& dated);

// The seven texts of a quotes-grid row for the quote at position k.
std::array<std::string, 7> QuoteCells(const formats::QuoteSeries& series, int k);

}  // namespace ledgrix::cli
