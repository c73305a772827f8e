// The symbols of a portfolio as the symbols grid shows them: read from MASTER with the grid's
// checks, sorted, and the lookup of a symbol typed on the command line.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace ledgrix::cli {

struct SymbolRow {
  std::string symbol;  // the display symbol (the name for a record without one)
  std::string name;    // the 16-byte name up to a zero byte, blanks kept
};

struct SymbolList {
  std::filesystem::path masterPath;
  std::vector<SymbolRow> rows;  // sorted as the grid sorts them
  bool needsRepair = false;     // a record has no symbol
  std::string capNote;          // the "File has %d symbols" note when the header says > 255
};

// Reads dir's MASTER. False (with the reasons) when the grid fill would fail: MASTER missing or
// unreadable, or a header count that differs from the records.
bool ReadSymbolRows(const std::filesystem::path& dir, SymbolList& list,
                    std::vector<std::string>& reasons);

// The row a typed symbol names: its exact display symbol, else the one row that matches
// ignoring case. nullptr with a reason otherwise.
const SymbolRow* FindSymbolRow(const SymbolList& list, std::string_view typed, std::string& reason);

}  // namespace ledgrix::cli
