#include "app/chart_series.h"

#include <algorithm>
#include <cmath>

namespace fmt = ledgrix::formats;

void ChartSeries::Set(const ChartData& data) {
  m_data = data;
  const int n = data.count();
  for (std::size_t f = 0; f < m_holds.size(); ++f) {
    const auto column = data.column(static_cast<int>(f));
    m_holds[f] = std::any_of(column.begin(), column.end(), ChartData::Held);
  }
  const auto volume = data.column(kChartVol);
  m_hasVolume = std::any_of(volume.begin(), volume.end(), [](float v) { return v > 0.0f; });

  // Each quote's month and minute; dates repeat for every bar of a day, so each day is converted
  // once.
  m_month.resize(static_cast<std::size_t>(n));
  m_minute.resize(static_cast<std::size_t>(n));
  m_intraday = false;
  int days = 0;
  double session = 0.0;
  int month = 0;
  int dayStart = 0;
  for (int i = 0; i < n; ++i) {
    const fmt::QuoteDate day = data.date(i);
    const int minute = data.time(i) / 30;
    if (i == 0 || day != data.date(i - 1)) {
      const fmt::Ymd ymd = fmt::YmdFromDay(day);
      month = (1900 + ymd.year) * 12 + std::max(0, ymd.month - 1);
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

  m_blocks.resize(static_cast<std::size_t>(n / kBlock));
  ChartSummary all;
  for (std::size_t b = 0; b < m_blocks.size(); ++b) {
    const int first = static_cast<int>(b) * kBlock;
    m_blocks[b] = SummarizeQuotes(data, first, first + kBlock);
    all.Add(m_blocks[b]);
  }
  all.Add(SummarizeQuotes(data, static_cast<int>(m_blocks.size()) * kBlock, n));
  m_maxPrice = std::isfinite(all.high) ? std::max(0.0f, all.high) : 0.0f;
}
