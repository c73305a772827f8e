// The symbols of a portfolio as the symbols grid shows them: read through the portfolio's joined
// index with the grid's checks, sorted, and the lookup of a symbol typed on the command line.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "formats/index_entry.h"

namespace ledgrix::cli {

struct SymbolRow {
  std::string symbol;  // the display symbol (the name for a record without one)
  std::string name;    // the shown name, bytes: the long name where there is one, else MASTER's
                       // 16-byte name up to a zero byte, blanks kept
  formats::SymbolKey key;
  bool isDirectory = false;
  std::size_t nameLimit = 16;  // the longest name the entry holds
};

struct SymbolList {
  std::filesystem::path masterPath;
  std::vector<SymbolRow> rows;     // sorted as the grid sorts them
  bool needsRepair = false;        // a record has no symbol
  bool emasterOutOfStep = false;   // EMASTER is there but not in step with MASTER
  std::string capNote;             // the "File has %d symbols" note when the header says > 255
  std::vector<std::string> notes;  // EMASTER and XMASTER problems, for the user
};

// Reads dir's index. False (with the reasons) when the grid fill would fail: MASTER missing or
// unreadable, or a header count that differs from the records.
bool ReadSymbolRows(const std::filesystem::path& dir, SymbolList& list,
                    std::vector<std::string>& reasons);

// The row a typed symbol names: its exact display symbol, else the one row that matches
// ignoring case. nullptr with a reason otherwise.
const SymbolRow* FindSymbolRow(const SymbolList& list, std::string_view typed, std::string& reason);

}  // namespace ledgrix::cli
