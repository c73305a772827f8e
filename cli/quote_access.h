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

inline constexpr const char* kQuotesGridFailure = "Error in FillQuotesGrid";

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
};

// OpenSymbol and the quote count and dates. With needQuotes a symbol without quotes is refused
// (the quote commands are not offered then). False: reported, exit 1.
bool LoadSymbol(const Context& ctx, const path& dir, std::string_view typed, bool needQuotes,
                LoadedSymbol& loaded);

// The quote dated day: its index, and the quote itself at position 0 of one. -1 when the file
// holds no quote of that day (or cannot be read).
std::int32_t FindQuote(const LoadedSymbol& loaded, formats::QuoteDate day,
                       formats::QuoteSeries& one);

// A date option that must name a quote of the series: 8 characters, in range, and present.
// Returns 0 with a reason when it does not.
formats::QuoteDate QuoteDateOption(const LoadedSymbol& loaded, std::string_view option,
                                   std::string_view text, std::string& reason);

// The seven texts of a quotes-grid row for the quote at position k.
std::array<std::string, 7> QuoteCells(const formats::QuoteSeries& series, int k);

}  // namespace ledgrix::cli
