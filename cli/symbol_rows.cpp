#include "cli/symbol_rows.h"

#include <algorithm>

#include "cli/cli_support.h"
#include "formats/master.h"
#include "maintenance/messages.h"

namespace ledgrix::cli {

namespace {

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace

bool ReadSymbolRows(const std::filesystem::path& dir, SymbolList& list,
                    std::vector<std::string>& reasons) {
  list = SymbolList{};
  list.masterPath = MasterPathOf(dir);
  formats::MasterFile master;
  if (!formats::ReadMasterFile(list.masterPath, master)) {
    reasons.push_back("cannot read " + Shown(list.masterPath) + " (missing or shorter than " +
                      "its 53-byte header)");
    return false;
  }
  int count = master.header.symbolCount();
  std::size_t records = master.records.size();
  if (count > formats::kMaxSymbols) {
    list.capNote = maintenance::SymbolCapNote(count, formats::kMaxSymbols);
    count = formats::kMaxSymbols;
    records = std::min<std::size_t>(records, formats::kMaxSymbols);
  }
  if (count < 0 || static_cast<std::size_t>(count) != records) {
    reasons.push_back(Format("the header of %s announces %d symbols, the file holds %zu records",
                             Shown(list.masterPath).c_str(), master.header.symbolCount(),
                             master.records.size()));
    return false;
  }
  for (std::size_t i = 0; i < records; ++i) {
    const formats::MasterRecord& record = master.records[i];
    SymbolRow row{record.displaySymbol(), record.displayName()};
    if (row.symbol.empty()) {
      row.symbol = row.name;
      list.needsRepair = true;
    }
    list.rows.push_back(std::move(row));
  }
  std::stable_sort(list.rows.begin(), list.rows.end(), [](const SymbolRow& a, const SymbolRow& b) {
    return SortedListLess(a.symbol, b.symbol);
  });
  return true;
}

const SymbolRow* FindSymbolRow(const SymbolList& list, std::string_view typed,
                               std::string& reason) {
  for (const SymbolRow& row : list.rows)
    if (row.symbol == typed)
      return &row;
  const SymbolRow* match = nullptr;
  for (const SymbolRow& row : list.rows) {
    if (!EqualIgnoringCase(row.symbol, typed))
      continue;
    if (match != nullptr) {
      reason = "\"" + std::string(typed) + "\" matches both " + match->symbol + " and " +
               row.symbol + "; give the symbol exactly";
      return nullptr;
    }
    match = &row;
  }
  if (match == nullptr)
    reason = "no symbol \"" + std::string(typed) + "\" in " + Shown(list.masterPath.parent_path()) +
             " (the symbols command lists them)";
  return match;
}

}  // namespace ledgrix::cli
