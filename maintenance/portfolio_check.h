// The check of a portfolio for damage: its index files and every symbol's quote file, each read
// once. Findings are data (where, kind, detail) that the GUI lists and the CLI prints; the safe
// ones among them can be mended by ApplySafeFixes (check_fixes.h).
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "formats/dates.h"
#include "formats/index_entry.h"

namespace ledgrix::maintenance {

enum class FindingKind : std::uint8_t {
  kIndexUnusable,      // an index file that cannot be read, is short or unusable
  kEmasterOutOfStep,   // EMASTER read but not in step with MASTER
  kQuoteFileMissing,   // an entry whose quote file is not there
  kQuoteFileUnusable,  // a quote file that cannot be read or holds no whole header
  kOrphanQuoteFile,    // a quote file no entry names
  kSharedFileNumber,   // two entries naming one file number
  kBadRecordLength,    // a record length or field layout the readers cannot hold
  kCountMismatch,      // the header's quote count disagrees with the file size
  kPartialRecord,      // the file ends inside a record
  kDatesNotAscending,  // a quote dated before the one in front of it
  kDuplicateDate,      // a day (or an intraday moment) stored twice
  kBadDate,            // a date that cannot be represented
  kIndexFirstDate,     // the index's first date is not the file's
  kIndexLastDate,      // the index's last date is not the file's
  kHighBelowLow,       // high below low
  kOutsideRange,       // open or close outside [low, high]
  kBadPrice,           // a price <= 0 or not finite
  kNegativeVolume,     // volume or open interest below 0 or not finite
  kBadTick,            // a close that leaves both neighbours by more than the threshold
};
inline constexpr int kFindingKindCount = static_cast<int>(FindingKind::kBadTick) + 1;

// The short text of a kind ("missing quote file"), as both front ends show it.
const char* FindingKindText(FindingKind kind);
// Kinds ApplySafeFixes mends.
bool IsSafeFix(FindingKind kind);

struct Finding {
  std::string where;  // "MASTER", "EMASTER", "XMASTER" or the symbol
  FindingKind kind = FindingKind::kIndexUnusable;
  std::string detail;           // the record or date and the values
  formats::SymbolKey key;       // the symbol's (file number 0 for index files)
  formats::QuoteDate date = 0;  // the quote concerned, 0 for none
  formats::QuoteTime time = 0;
  bool fixable = false;  // ApplySafeFixes mends it
};

struct CheckOptions {
  // A close that differs from both neighbours by more than this fraction, on the same side, and
  // is no split, is a bad tick.
  double tickThreshold = 0.25;
  // Findings of one kind listed per file before the rest are summed up in one.
  int perFileLimit = 10;
};
inline constexpr double kDefaultTickPercent = 25.0;

struct CheckResult {
  std::vector<Finding> findings;
  bool cancelled = false;
  // A file could not be read (a failing disk or a refused permission, not damage): the fixes
  // would rest on a partial picture and are not offered.
  bool incomplete = false;
  bool hasFixes() const;
};

// Told after each symbol (done of total); returning false cancels the check.
using CheckProgress = std::function<bool(std::size_t done, std::size_t total)>;

// Checks the portfolio in dir (not the sub-portfolios its directory entries name).
CheckResult CheckPortfolio(const std::filesystem::path& dir, const CheckOptions& options = {},
                           const CheckProgress& progress = {});

// "where<TAB>kind<TAB>detail", the CLI's line; the symbol in UTF-8 (the files hold Windows-1252).
std::string FindingLine(const Finding& finding);

}  // namespace ledgrix::maintenance
