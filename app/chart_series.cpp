#include "app/chart_series.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace fmt = ledgrix::formats;

namespace {

// The eight values of a block combined pairwise.
template <typename Op>
float Tree(const std::array<float, ChartSeries::kBlock>& v, Op op) {
  static_assert(ChartSeries::kBlock == 8);
  return op(op(op(v[0], v[1]), op(v[2], v[3])), op(op(v[4], v[5]), op(v[6], v[7])));
}

}  // namespace

void ChartSeries::Set(const ChartData& data) {
  m_data = data;
  const int n = data.count();
  for (std::size_t f = 0; f < m_holds.size(); ++f) {
    const auto column = data.column(static_cast<int>(f));
    m_holds[f] =
        std::any_of(column.begin(), column.end(), [](float v) { return ChartData::Held(v); });
  }
  const auto volume = data.column(kChartVol);
  m_hasVolume = std::any_of(volume.begin(), volume.end(), [](float v) { return v > 0.0f; });

  // Each quote's month and minute. A date is converted only when it leaves the month of the one
  // before: quotes come in date order, many to a month.
  m_month.resize(static_cast<std::size_t>(n));
  m_minute.resize(static_cast<std::size_t>(n));
  m_intraday = false;
  int days = 0;
  double session = 0.0;
  int month = 0;
  int monthStart = 1, nextMonth = 0;  // the month's days: [monthStart, nextMonth)
  int dayStart = 0;
  for (int i = 0; i < n; ++i) {
    const fmt::QuoteDate day = data.date(i);
    const int minute = data.time(i) / 30;
    if (i == 0 || day != data.date(i - 1)) {
      if (day < monthStart || day >= nextMonth) {
        const fmt::Ymd ymd = fmt::YmdFromDay(day);
        const int year = 1900 + ymd.year;
        month = year * 12 + std::max(0, ymd.month - 1);
        monthStart = fmt::DayFromYmd(year, ymd.month, 1);
        nextMonth = ymd.month == 12 ? fmt::DayFromYmd(year + 1, 1, 1)
                                    : fmt::DayFromYmd(year, ymd.month + 1, 1);
        // Days the conversion cannot tell apart (0, the last days of the range) each on their own.
        if (monthStart == 0 || nextMonth <= monthStart)
          monthStart = nextMonth = day;
      }
      if (i > 0)
        session += m_minute[static_cast<std::size_t>(i - 1)] - dayStart;
      ++days;
      dayStart = minute;
    } else {
      m_intraday = true;
    }
    m_intraday = m_intraday || minute != 0;
    m_month[static_cast<std::size_t>(i)] = month;
    m_minute[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(minute);
  }
  if (n > 0)
    session += m_minute[static_cast<std::size_t>(n - 1)] - dayStart;
  m_quotesPerDay = days > 0 ? static_cast<double>(n) / days : 1.0;
  m_sessionMinutes = days > 0 ? session / days : 0.0;

  // Block b holds the newest-first rows [n - kBlock * (b + 1), n - kBlock * b).
  m_blocks.resize(static_cast<std::size_t>(n / kBlock));
  const float* close = data.column(kChartClose).data();
  const float* low = data.column(kChartLow).data();
  const float* high = data.column(kChartHigh).data();
  const float* vol = volume.data();
  ChartSummary all;
  for (std::size_t b = 0; b < m_blocks.size(); ++b) {
    const std::size_t from = static_cast<std::size_t>(n) - kBlock * (b + 1);
    ChartSummary& sum = m_blocks[b];
    // Each a tree of pairs: a few steps deep, so that blocks overlap in the processor.
    std::array<float, kBlock> lows, highs, volumes;
    for (std::size_t k = 0; k < kBlock; ++k) {
      const std::size_t r = from + k;
      const float heldClose = close[r] >= 0.0f ? close[r] : ChartSummary::kNone;
      const float heldLow = low[r] >= 0.0f ? low[r] : ChartSummary::kNone;
      lows[k] = std::min(heldClose, heldLow);
      highs[k] = std::max(close[r], high[r]);
      volumes[k] = std::max(vol[r], 0.0f);
    }
    sum.low = Tree(lows, [](float x, float y) { return std::min(x, y); });
    sum.high = Tree(highs, [](float x, float y) { return std::max(x, y); });
    sum.volume = Tree(volumes, [](float x, float y) { return x + y; });
    all.Add(sum);
  }
  all.Add(SummarizeQuotes(data, static_cast<int>(m_blocks.size()) * kBlock, n));
  m_maxPrice = std::isfinite(all.high) ? std::max(0.0f, all.high) : 0.0f;
}
