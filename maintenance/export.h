// Export of one symbol's quotes to delimited text.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "formats/status.h"

namespace ledgrix::maintenance {

struct ExportOptions {
  int delimiter = 0;           // 0 space, 1 comma, 2 tab; any other value: space
  std::array<bool, 6> omit{};  // OPEN, HIGH, LOW, CLOSE, VOL, OI
  bool newestFirst = false;
  bool title = false;
};

char ExportDelimiter(int delimiter);
// The title line without its line end: "DATE" and the titles of the present columns.
std::string ExportTitleLine(const ExportOptions& options);

// Writes the lines (each ended by "\r\n") of symbol's quotes in dir to out, reading windows of
// up to 400 quotes; out should be a binary stream so the line ends stay as they are. Returns 0,
// or the loader's status when the series cannot be read (the lines written before a window that
// failed stay), or kFileWrite when out went bad.
formats::StatusCode ExportQuotes(const std::filesystem::path& dir, std::string_view symbol,
                                 const ExportOptions& options, std::ostream& out);

// A symbol the portfolio export could not read, and why.
struct UnreadableSymbol {
  std::string symbol;
  formats::StatusCode status = formats::kOk;
};

// Writes the quotes of every symbol dir's index lists (MASTER's, then XMASTER's) to out, each
// line led by the symbol and the delimiter; the title line (when asked for) starts "SYMBOL".
// A symbol that cannot be read is left out and named in unreadable; the others are written.
// Returns kFileNotFound when dir has no readable MASTER, kFileWrite when out went bad, else 0.
formats::StatusCode ExportPortfolio(const std::filesystem::path& dir, const ExportOptions& options,
                                    std::ostream& out, std::vector<UnreadableSymbol>& unreadable);

}  // namespace ledgrix::maintenance
