// Export of one symbol's quotes to delimited text.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>

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

}  // namespace ledgrix::maintenance
