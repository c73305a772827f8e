// The shown series prepared for drawing: the columns, each quote's calendar month and minute of
// the day (worked out once, so that drawing never converts dates), and what the series holds.
#pragma once

#include <cstdint>
#include <vector>

#include "app/chart_data.h"

class ChartSeries {
 public:
  void Set(const ChartData& data);
  void Clear() { Set(ChartData()); }

  const ChartData& data() const { return m_data; }
  int count() const { return m_data.count(); }

  // Open, high or low held anywhere: bars; otherwise a line of the closes.
  bool hasBars() const { return m_hasBars; }
  bool hasVolume() const { return m_hasVolume; }
  // Times of day held, or several quotes to a day.
  bool intraday() const { return m_intraday; }
  // The highest price held anywhere (the price axis is made wide enough for it).
  float maxPrice() const { return m_maxPrice; }
  // On average, for intraday series: quotes to a day and minutes from a day's first to last quote.
  double quotesPerDay() const { return m_quotesPerDay; }
  double sessionMinutes() const { return m_sessionMinutes; }

  // Calendar month of quote i: full year * 12 + month - 1.
  int month(int i) const { return m_month[static_cast<std::size_t>(i)]; }
  int year(int i) const { return month(i) / 12; }
  int minuteOfDay(int i) const { return m_minute[static_cast<std::size_t>(i)]; }

 private:
  ChartData m_data;
  std::vector<std::int32_t> m_month;
  std::vector<std::int16_t> m_minute;
  bool m_hasBars = false;
  bool m_hasVolume = false;
  bool m_intraday = false;
  float m_maxPrice = 0.0f;
  double m_quotesPerDay = 1.0;
  double m_sessionMinutes = 0.0;
};
