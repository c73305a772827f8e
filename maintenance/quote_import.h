// Quotes read from text written into a portfolio: as a new symbol (the portfolio created when
// the directory has none), or over an existing symbol's quotes, replaced or merged.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "formats/index_entry.h"
#include "maintenance/quote_text.h"

namespace ledgrix::maintenance {

enum class ImportMode : std::uint8_t {
  kNewSymbol,  // refused when the portfolio holds the symbol
  kReplace,    // the symbol's quotes become the text's
  kMerge,      // dates the symbol lacks are added, those it has replaced
};

struct ImportOutcome {
  bool ok = false;
  std::string message;  // why not, for the user
  bool createdPortfolio = false;
  formats::SymbolKey key;  // the symbol written
  std::string symbol;      // as written: upper case
  std::size_t quotes = 0;  // quotes it holds now
};

// Writes text's quotes as symbol (upper-cased, trimmed) of dir. A new symbol takes the lowest
// free MASTER number, or XMASTER's next one when MASTER is full; its quote file holds DATE,
// TIME when the text has times, then the text's columns, and its index records say so. name
// (may be empty) names a new symbol and renames an existing one. An existing symbol keeps its
// record layout: a text column it has no field for is refused unless it holds only zeros.
// Nothing is written when anything is refused; the files are replaced crash-safely, the quote
// file before the index.
ImportOutcome ImportQuotes(const std::filesystem::path& dir, std::string_view symbol,
                           std::string_view name, const QuoteText& text, ImportMode mode);

}  // namespace ledgrix::maintenance
