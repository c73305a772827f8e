#include "cli/quote_access.h"

#include <algorithm>
#include <ostream>

#include "formats/cell_text.h"
#include "maintenance/messages.h"
#include "maintenance/quote_entry.h"

namespace ledgrix::cli {

bool OpenPortfolio(const Context& ctx, const path& dir, SymbolList& list) {
  std::vector<std::string> reasons;
  if (!ReadSymbolRows(dir, list, reasons)) {
    Fail(ctx, maintenance::kSymbolsGridFailure, reasons);
    return false;
  }
  if (!list.capNote.empty())
    Report(ctx.err, list.capNote);
  for (const std::string& note : list.notes)
    Report(ctx.err, note);
  if (list.needsRepair) {
    Fail(ctx, maintenance::kSymbolsGridFailure,
         {"records of " + Shown(list.masterPath) + " have no symbol;",
          "\"ledgrix-cli repair " + Shown(dir) + "\" repairs the file"});
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
    loaded.intraday = formats::IsIntraday(*series.info);
  }
  if (status != formats::kOk) {
    formats::FreeSeries(series);
    Fail(ctx, maintenance::kQuotesGridFailure, {loaded.row.symbol + ": " + StatusReason(status)});
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

DatedQuotes FindDated(const LoadedSymbol& loaded, formats::QuoteDate day) {
  constexpr std::int32_t kWindow = 400;
  DatedQuotes dated;
  formats::QuoteSeries series;
  if (formats::InitSeries(series, kWindow) != formats::kOk) {
    dated.readError = true;
    return dated;
  }
  for (std::int32_t start = 0; start < loaded.count; start += kWindow) {
    const std::int32_t chunk = std::min(kWindow, loaded.count - start);
    if (formats::LoadSeries(series, loaded.dir, loaded.row.symbol, start, chunk) != formats::kOk ||
        series.count != chunk) {
      dated.readError = true;
      break;
    }
    for (std::int32_t k = 0; k < chunk; ++k) {
      if (series.date[static_cast<std::size_t>(k)] != day)
        continue;
      if (dated.count++ == 0)
        dated.first = start + k;
    }
  }
  formats::FreeSeries(series);
  return dated;
}

bool ReadQuoteAt(const LoadedSymbol& loaded, std::int32_t index, formats::QuoteSeries& one) {
  formats::FreeSeries(one);
  return formats::InitSeries(one, 1) == formats::kOk &&
         formats::LoadSeries(one, loaded.dir, loaded.row.symbol, index, 1) == formats::kOk &&
         one.count == 1;
}

formats::QuoteDate QuoteDateOption(const LoadedSymbol& loaded, std::string_view option,
                                   std::string_view text, std::string& reason, DatedQuotes* dated) {
  if (!maintenance::CheckDateEntry(text, loaded.firstDateText, loaded.lastDateText, &reason)) {
    reason = std::string(option) + ": " + reason;
    return 0;
  }
  const formats::QuoteDate day = formats::ParseDisplayDate(text);
  const DatedQuotes found = FindDated(loaded, day);
  if (dated != nullptr)
    *dated = found;
  if (found.readError) {
    reason = loaded.row.symbol + ": " + StatusReason(formats::kFileRead);
    return 0;
  }
  if (found.count == 0) {
    reason =
        std::string(option) + ": " + loaded.row.symbol + " has no quote dated " + std::string(text);
    return 0;
  }
  return day;
}

std::string SharedDateMessage(const LoadedSymbol& loaded, const char* what,
                              std::string_view dateText, const DatedQuotes& dated) {
  if (!loaded.intraday || dated.count <= 1)
    return {};
  return maintenance::SharedDateRefusal(what, dateText, dated.count);
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
