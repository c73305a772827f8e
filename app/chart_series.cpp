#include "app/chart_series.h"

#include <algorithm>

namespace fmt = ledgrix::formats;

void ChartSeries::Set(const ChartData& data) {
  m_data = data;
  const int n = data.count();
  m_month.resize(static_cast<std::size_t>(n));
  m_minute.resize(static_cast<std::size_t>(n));
  m_hasBars = m_hasVolume = m_intraday = false;
  m_maxPrice = 0.0f;
  int days = 0;
  double session = 0.0;
  fmt::QuoteDate lastDay = 0;
  int month = 0;
  int dayStart = 0;
  for (int i = 0; i < n; ++i) {
    const fmt::QuoteDate day = data.date(i);
    if (i == 0 || day != lastDay) {
      // Dates repeat for every bar of a day: convert each day once.
      const fmt::Ymd ymd = fmt::YmdFromDay(day);
      month = (1900 + ymd.year) * 12 + std::max(0, ymd.month - 1);
      if (i > 0)
        session += m_minute[static_cast<std::size_t>(i - 1)] - dayStart;
      ++days;
      lastDay = day;
      dayStart = data.time(i) / 30;
    } else {
      m_intraday = true;
    }
    const auto at = static_cast<std::size_t>(i);
    m_month[at] = month;
    m_minute[at] = static_cast<std::int16_t>(data.time(i) / 30);
    if (data.time(i) != 0)
      m_intraday = true;
    for (int f : {kChartOpen, kChartHigh, kChartLow})
      m_hasBars = m_hasBars || ChartData::Held(data.value(f, i));
    m_hasVolume = m_hasVolume ||
                  (ChartData::Held(data.value(kChartVol, i)) && data.value(kChartVol, i) > 0.0f);
    for (int f : {kChartHigh, kChartClose})
      if (ChartData::Held(data.value(f, i)))
        m_maxPrice = std::max(m_maxPrice, data.value(f, i));
  }
  if (n > 0)
    session += m_minute[static_cast<std::size_t>(n - 1)] - dayStart;
  m_quotesPerDay = days > 0 ? static_cast<double>(n) / days : 1.0;
  m_sessionMinutes = days > 0 ? session / days : 0.0;
}
