// The split search: every adjacent pair of quotes of every symbol, read in pages of 400 quotes.
#include "maintenance/split_search.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "formats/dates.h"
#include "formats/portfolio_index.h"

namespace ledgrix::maintenance {

namespace {

constexpr double kRatioLow = 0.9;
constexpr double kRatioHigh = 1.1;
constexpr float kGapFactor = 0.8f;

template <typename F>
void Notify(const F& event, const std::string& text) {
  if (event)
    event(text);
}

}  // namespace

std::string SplitCandidateLine(const std::string& symbol, int p, int q, formats::QuoteDate date) {
  const std::string dateText = formats::DisplayDate(date);
  const int size = std::snprintf(nullptr, 0, "%s possible %d for %d split on %s", symbol.c_str(), p,
                                 q, dateText.c_str());
  std::string line(static_cast<std::size_t>(size) + 1, '\0');
  std::snprintf(line.data(), line.size(), "%s possible %d for %d split on %s", symbol.c_str(), p, q,
                dateText.c_str());
  line.resize(static_cast<std::size_t>(size));
  return line;
}

std::pair<int, int> SplitCandidateRatio(float c0, float c1, float low0, float high0, float low1,
                                        float high1) {
  if (c0 == 0.0f || c1 == 0.0f)
    return {0, 0};
  const float r = c0 / c1;
  // Most neighbours close near each other: between the 2-for-3 and the 3-for-2 window no pair
  // can match (the same bounds as the loop below computes).
  if (static_cast<double>(r) >= kRatioHigh * (2.0 / 3.0) &&
      static_cast<double>(r) <= kRatioLow * (3.0 / 2.0))
    return {0, 0};
  for (const auto& [p, q] : kSplitRatios) {
    const double ratio = static_cast<double>(p) / static_cast<double>(q);
    if (!(kRatioLow * ratio < r && r < kRatioHigh * ratio))
      continue;
    const float threshold = kGapFactor * std::fabs(c0 - c1);
    // The price fell: the newer high stays below the older low; it rose: the other way round.
    const float gap = c0 > c1 ? std::fabs(low0 - high1) : std::fabs(high0 - low1);
    if (gap > threshold)
      return {p, q};
  }
  return {0, 0};
}

std::string TestSplitCandidate(const formats::QuoteSeries& series, int k) {
  if (k < 0 || k + 1 >= series.count)
    return {};
  const auto older = static_cast<std::size_t>(k);
  const auto newer = older + 1;
  const auto& close = series.values[formats::kClose - formats::kOpen];
  const auto& high = series.values[formats::kHigh - formats::kOpen];
  const auto& low = series.values[formats::kLow - formats::kOpen];
  const auto [p, q] = SplitCandidateRatio(close[older], close[newer], low[older], high[older],
                                          low[newer], high[newer]);
  if (p == 0)
    return {};
  return SplitCandidateLine(series.symbol, p, q, series.date[newer]);
}

SplitSearchEnd RunSplitSearch(const std::filesystem::path& dir,
                              const std::vector<std::string>& symbols,
                              const SplitSearchEvents& events, bool& found) {
  found = false;
  formats::QuoteSeries series;
  if (formats::InitSeries(series, kSplitPageSize) != formats::kOk)
    return SplitSearchEnd::kNoStorage;
  // The portfolio's index is read once: thousands of symbols would otherwise each read XMASTER.
  formats::PortfolioIndex index;
  const bool indexed = formats::ReadPortfolioIndex(dir, index);

  for (const std::string& symbol : symbols) {
    // One lookup per symbol; the pages are then plain reads of its open quote file. The lookup
    // only goes to the files for symbols of sub-portfolios.
    formats::SeriesReader reader;
    const formats::IndexEntry* entry = indexed ? index.Match(symbol) : nullptr;
    const formats::StatusCode opened =
        entry != nullptr ? reader.Open(dir, *entry, symbol) : reader.Open(dir, symbol);
    // A failed count query says nothing about this symbol's quotes: it is a read error, never
    // the count of the symbol before.
    if (opened != formats::kOk || reader.Load(series, 0, 0) != formats::kOk) {
      Notify(events.onReadError, symbol);
      formats::FreeSeries(series);
      return SplitSearchEnd::kReadError;
    }
    const std::int32_t total = series.total;
    if (total < 2) {
      Notify(events.onTooFewQuotes, "For symbol " + symbol +
                                        "\nSplitSearch cannot perform search\n"
                                        "as there are fewer than 2 quotes.");
    } else {
      // Pages overlap by one quote so that every adjacent pair is tested exactly once.
      std::int32_t j = 0;
      while (j != total - 1) {
        const std::int32_t size = std::min<std::int32_t>(total - j, kSplitPageSize);
        if (reader.Load(series, j, size) != formats::kOk || series.count != size) {
          Notify(events.onReadError, symbol);
          formats::FreeSeries(series);
          return SplitSearchEnd::kReadError;
        }
        for (int k = 0; k + 1 < size; ++k) {
          const std::string line = TestSplitCandidate(series, k);
          if (!line.empty()) {
            found = true;
            Notify(events.onCandidate, line);
          }
        }
        j += size - 1;
      }
    }
    Notify(events.onSymbolDone, symbol);
  }
  formats::FreeSeries(series);
  return SplitSearchEnd::kDone;
}

}  // namespace ledgrix::maintenance
