#include "cli/quote_access.h"

#include <ostream>

#include "formats/cell_text.h"
#include "maintenance/quote_entry.h"
#include "maintenance/quote_rewrite.h"

namespace ledgrix::cli {

bool OpenPortfolio(const Context& ctx, const path& dir, SymbolList& list) {
  std::vector<std::string> reasons;
  if (!ReadSymbolRows(dir, list, reasons)) {
    Fail(ctx, kSymbolsGridFailure, reasons);
    return false;
  }
  if (!list.capNote.empty())
    Report(ctx.err, list.capNote);
  if (list.needsRepair) {
    Fail(ctx, kSymbolsGridFailure,
         {"records of " + list.masterPath.string() + " have no symbol;",
          "\"ledgrix-cli repair " + dir.string() + "\" repairs the file"});
    return false;
  }
  return true;
}

bool OpenSymbol(const Context& ctx, const path& dir, std::string_view typed, SymbolList& list,
                SymbolRow& row) {
  if (!OpenPortfolio(ctx, dir, list))
    return false;
  std::string reason;
  const SymbolRow* found = FindSymbolRow(list, typed, reason);
  if (found == nullptr) {
    Fail(ctx, "Symbol not found", {reason});
    return false;
  }
  row = *found;
  return true;
}

bool LoadSymbol(const Context& ctx, const path& dir, std::string_view typed, bool needQuotes,
                LoadedSymbol& loaded) {
  SymbolList list;
  loaded.dir = dir;
  if (!OpenSymbol(ctx, dir, typed, list, loaded.row))
    return false;

  formats::QuoteSeries series;
  formats::InitSeries(series, 1);
  formats::StatusCode status = formats::LoadSeries(series, dir, loaded.row.symbol, 0, 0);
  loaded.count = series.total;
  if (status == formats::kOk && series.info) {
    for (int f = 0; f < 6; ++f)
      loaded.fieldHeld[static_cast<std::size_t>(f)] =
          series.info->layout.has(static_cast<formats::FieldName>(formats::kOpen + f));
  }
  if (status != formats::kOk) {
    formats::FreeSeries(series);
    Fail(ctx, kQuotesGridFailure, {loaded.row.symbol + ": " + StatusReason(status)});
    return false;
  }
  // The first and last date texts, as the grid fill reads them.
  formats::LoadSeries(series, dir, loaded.row.symbol, 0, 1);
  loaded.firstDateText = formats::DisplayDate(series.date.empty() ? 0 : series.date[0]);
  formats::LoadSeries(series, dir, loaded.row.symbol, -1, 1);
  loaded.lastDateText = formats::DisplayDate(series.date.empty() ? 0 : series.date[0]);
  formats::FreeSeries(series);

  if (needQuotes && loaded.count <= 0) {
    Fail(ctx, "No quotes", {"symbol " + loaded.row.symbol + " has no quotes to work on"});
    return false;
  }
  return true;
}

std::int32_t FindQuote(const LoadedSymbol& loaded, formats::QuoteDate day,
                       formats::QuoteSeries& one) {
  formats::QuoteDate foundDate = 0;
  const std::int32_t index =
      maintenance::FindQuoteRecord(loaded.dir, loaded.row.symbol, day, 0, &foundDate);
  if (index < 0 || foundDate != day)
    return -1;
  formats::FreeSeries(one);
  if (formats::InitSeries(one, 1) != formats::kOk ||
      formats::LoadSeries(one, loaded.dir, loaded.row.symbol, index, 1) != formats::kOk ||
      one.count != 1 || one.date[0] != day)
    return -1;
  return index;
}

formats::QuoteDate QuoteDateOption(const LoadedSymbol& loaded, std::string_view option,
                                   std::string_view text, std::string& reason) {
  if (!maintenance::CheckDateEntry(text, loaded.firstDateText, loaded.lastDateText, &reason)) {
    reason = std::string(option) + ": " + reason;
    return 0;
  }
  const formats::QuoteDate day = formats::ParseDisplayDate(text);
  formats::QuoteSeries one;
  const bool found = FindQuote(loaded, day, one) >= 0;
  formats::FreeSeries(one);
  if (!found) {
    reason =
        std::string(option) + ": " + loaded.row.symbol + " has no quote dated " + std::string(text);
    return 0;
  }
  return day;
}

std::array<std::string, 7> QuoteCells(const formats::QuoteSeries& series, int k) {
  const auto at = static_cast<std::size_t>(k);
  std::array<std::string, 7> cells;
  cells[0] = formats::DisplayDate(series.date[at]);
  for (std::size_t c = 0; c < 4; ++c)
    cells[c + 1] = formats::PriceText(series.values[c][at]);
  cells[5] = formats::VolumeText(series.values[4][at]);
  cells[6] = formats::VolumeText(series.values[5][at]);
  return cells;
}

}  // namespace ledgrix::cli
