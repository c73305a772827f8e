// The shown series prepared for drawing: the columns, each quote's calendar month and minute of
// the day (worked out once, so that drawing never converts dates), and what the series holds.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "app/chart_columns.h"
#include "app/chart_data.h"

class ChartSeries {
 public:
  // Quotes [kBlock * b, kBlock * (b + 1)) are summed up once, so that drawing a column of many
  // quotes reads few of them one by one.
  static constexpr int kBlock = 8;

  void Set(const ChartData& data);
  void Clear() { Set(ChartData()); }

  const ChartData& data() const { return m_data; }
  int count() const { return m_data.count(); }

  // The field is held by some quote.
  bool holds(int field) const { return m_holds[static_cast<std::size_t>(field)]; }
  // Open, high or low held anywhere: bars; otherwise a line of the closes.
  bool hasBars() const { return holds(kChartOpen) || holds(kChartHigh) || holds(kChartLow); }
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
  // Whole blocks only.
  const ChartSummary& block(int b) const { return m_blocks[static_cast<std::size_t>(b)]; }

 private:
  ChartData m_data;
  std::vector<std::int32_t> m_month;
  std::vector<std::int16_t> m_minute;
  std::vector<ChartSummary> m_blocks;
  std::array<bool, 6> m_holds{};
  bool m_hasVolume = false;
  bool m_intraday = false;
  float m_maxPrice = 0.0f;
  double m_quotesPerDay = 1.0;
  double m_sessionMinutes = 0.0;
};
