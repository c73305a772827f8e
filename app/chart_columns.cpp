#include "app/chart_columns.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <span>

#include "app/chart_series.h"
#include "app/chart_span.h"

namespace {

constexpr float kNone = ChartSummary::kNone;

// Reductions over a column's rows in eight independent lanes, so that no step waits on the one
// before. Values that are not held (-1, NaN) never win a maximum and are skipped by the minimum.
template <typename Step>
float Reduce(std::span<const float> values, float start, Step step) {
  std::array<float, 8> lane;
  lane.fill(start);
  std::size_t k = 0;
  for (; k + 8 <= values.size(); k += 8)
    for (std::size_t j = 0; j < 8; ++j)
      lane[j] = step(lane[j], values[k + j]);
  for (; k < values.size(); ++k)
    lane[0] = step(lane[0], values[k]);
  float result = start;
  for (float v : lane)
    result = step(result, v);
  return result;
}

float Lowest(std::span<const float> values) {
  return Reduce(values, kNone, [](float m, float v) {
    const float held = v >= 0.0f ? v : kNone;
    return held < m ? held : m;
  });
}

float Highest(std::span<const float> values) {
  return Reduce(values, -kNone, [](float m, float v) { return v > m ? v : m; });
}

// The sum of the values held.
float Total(std::span<const float> values) {
  return Reduce(values, 0.0f, [](float m, float v) { return v > 0.0f ? m + v : m; });
}

}  // namespace

ChartSummary SummarizeQuotes(const ChartData& data, int i, int j) {
  ChartSummary sum;
  if (j <= i)
    return sum;
  const auto from = static_cast<std::size_t>(data.count() - j);
  const auto count = static_cast<std::size_t>(j - i);
  auto rows = [&](int field) { return data.column(field).subspan(from, count); };
  if (count < 32) {
    // A few quotes: one pass over them beats setting up the lanes.
    const auto close = rows(kChartClose), low = rows(kChartLow), high = rows(kChartHigh),
               volume = rows(kChartVol);
    for (std::size_t r = 0; r < count; ++r)
      sum.AddQuote(close[r], low[r], high[r], volume[r]);
    return sum;
  }
  sum.low = std::min(Lowest(rows(kChartClose)), Lowest(rows(kChartLow)));
  sum.high = std::max(Highest(rows(kChartClose)), Highest(rows(kChartHigh)));
  sum.volume = Total(rows(kChartVol));
  return sum;
}

namespace {

// Quotes [i, j): whole blocks from their summaries, the quotes around them from the columns.
ChartSummary Summarize(const ChartSeries& series, int i, int j) {
  constexpr int kBlock = ChartSeries::kBlock;
  const int head = std::min(j, (i + kBlock - 1) / kBlock * kBlock);
  const int tail = std::max(head, j / kBlock * kBlock);
  ChartSummary sum = SummarizeQuotes(series.data(), i, head);
  for (int b = head / kBlock; b < tail / kBlock; ++b)
    sum.Add(series.block(b));
  sum.Add(SummarizeQuotes(series.data(), tail, j));
  return sum;
}

}  // namespace

std::vector<ChartColumn> ChartColumns(const ChartSeries& series, const ChartSpan& span) {
  const int width = span.width();
  std::vector<ChartColumn> columns(static_cast<std::size_t>(width));
  const ChartData& data = series.data();
  const auto [begin, end] = span.VisibleQuotes();
  const double perQuote = span.pixelsPerQuote();
  int i = begin;
  while (i < end) {
    const int c = span.ColumnOf(i);
    if (c >= width)
      break;
    // Quotes [i, j) share column c: a first guess, then held to ColumnOf exactly.
    int j = static_cast<int>(std::ceil((c + 1) / perQuote + span.first() - 0.5));
    j = std::clamp(j, i + 1, end);
    while (j < end && span.ColumnOf(j) <= c)
      ++j;
    while (j > i + 1 && span.ColumnOf(j - 1) > c)
      --j;
    const ChartSummary sum = c >= 0 ? Summarize(series, i, j) : ChartSummary{};
    if (sum.low <= sum.high && std::isfinite(sum.high)) {
      ChartColumn& col = columns[static_cast<std::size_t>(c)];
      col.first = i;
      col.low = sum.low;
      col.high = sum.high;
      // The mean: the highest of many quotes would fill every column to the top.
      col.volume = sum.volume / static_cast<float>(j - i);
      // First and last close in time.
      int k = i;
      while (k < j && !ChartData::Held(data.value(kChartClose, k)))
        ++k;
      col.open = k < j ? data.value(kChartClose, k) : sum.low;
      k = j - 1;
      while (k >= i && !ChartData::Held(data.value(kChartClose, k)))
        --k;
      col.close = k >= i ? data.value(kChartClose, k) : sum.high;
    }
    i = j;
  }
  return columns;
}
