// Quotes read from delimited text: what the export writes, and the forms vendors and
// spreadsheets give (title row or none; comma, semicolon, tab or space; four date forms; a time
// column for intraday data; named columns in any order).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "formats/dates.h"
#include "formats/field_layout.h"

namespace ledgrix::maintenance {

struct TextQuote {
  formats::QuoteDate date = 0;
  formats::QuoteTime time = 0;
  std::uint32_t line = 0;         // 1-based line of the text
  std::array<float, 6> values{};  // OPEN, HIGH, LOW, CLOSE, VOL, OI
};

struct QuoteText {
  std::vector<TextQuote> quotes;                     // oldest first
  std::array<bool, formats::kFieldNameCount> has{};  // the fields the text gives (DATE always)
  bool titleRow = false;
  char delimiter = ' ';
  std::vector<std::string> ignoredColumns;  // title cells that name no field

  bool intraday() const { return has[formats::kTime]; }
  // The index files' bitset of the fields the text gives.
  std::uint8_t fieldBits() const;
};

struct TextProblem {
  std::size_t line = 0;  // 0: the text as a whole
  std::string reason;
};

// Problems listed at most; a text with more says how many were left out.
inline constexpr std::size_t kMaxListedProblems = 50;

// Reads every quote of text into out. False when a line cannot be read or two quotes share a
// date (and time): each such line is in problems with its number and why, and out holds no
// quotes. A column that reads "N/A" on every line (the export's mark for a field the file does
// not hold) is taken as absent.
bool ReadQuoteText(std::string_view text, QuoteText& out, std::vector<TextProblem>& problems);

// "line 7: unreadable date '13/45/99'" for each problem, one a line.
std::string DescribeProblems(const std::vector<TextProblem>& problems);

}  // namespace ledgrix::maintenance
