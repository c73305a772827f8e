#include "cli/symbol_rows.h"

#include <algorithm>

#include "cli/cli_support.h"
#include "formats/portfolio_index.h"
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
  formats::PortfolioIndex index;
  if (!formats::ReadPortfolioIndex(dir, index)) {
    reasons.push_back("cannot read " + Shown(list.masterPath) + " (missing or shorter than " +
                      "its 53-byte header)");
    return false;
  }
  const formats::MasterFile& master = index.master;
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
  if (index.emaster == formats::IndexFileState::kUnusable) {
    list.emasterOutOfStep = true;
    list.notes.push_back(
        maintenance::EmasterIgnoredNote(Shown(index.emasterPath), index.emasterProblem));
  }
  if (index.xmaster == formats::IndexFileState::kUnusable) {
    list.notes.push_back(
        maintenance::XmasterUnusableNote(Shown(index.xmasterPath), index.xmasterProblem));
  } else if (!index.xmasterProblem.empty()) {
    list.notes.push_back(
        maintenance::XmasterRecordsLeftOutNote(Shown(index.xmasterPath), index.xmasterProblem));
  }
  list.rows.reserve(index.entries.size());
  for (const formats::IndexEntry& entry : index.entries) {
    if (!entry.inXmaster() && entry.position >= records)
      continue;
    SymbolRow row{entry.symbol, entry.shownName(), entry.key, entry.isDirectory,
                  formats::NameLimit(index, entry)};
    if (row.symbol.empty()) {
      row.symbol = entry.name;
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
