// The shown series as the chart reads it: the quotes grid's own columns (row 0 the newest quote)
// seen oldest first, and the marks laid over it.
#pragma once

#include <QString>
#include <array>
#include <cmath>
#include <cstdint>
#include <span>

#include "formats/dates.h"

// Columns of OPEN ... OI, as the loader orders them.
enum ChartField : int { kChartOpen, kChartHigh, kChartLow, kChartClose, kChartVol, kChartOi };

// A view of columns someone else owns; quote 0 is the oldest.
class ChartData {
 public:
  ChartData() = default;
  ChartData(std::span<const std::uint16_t> newestFirstDates,
            std::span<const std::uint16_t> newestFirstTimes,
            const std::array<std::span<const float>, 6>& newestFirstValues)
      : m_dates(newestFirstDates), m_times(newestFirstTimes), m_values(newestFirstValues) {}

  int count() const { return static_cast<int>(m_dates.size()); }
  ledgrix::formats::QuoteDate date(int i) const { return m_dates[Row(i)]; }
  ledgrix::formats::QuoteTime time(int i) const {
    return m_times.empty() ? ledgrix::formats::QuoteTime{0} : m_times[Row(i)];
  }
  float value(int field, int i) const { return m_values[static_cast<std::size_t>(field)][Row(i)]; }
  // A whole column, newest first: quotes [i, j) are its elements [count - j, count - i).
  std::span<const float> column(int field) const {
    return m_values[static_cast<std::size_t>(field)];
  }
  // The grid's row of quote i, and back.
  int RowOf(int i) const { return count() - 1 - i; }
  int QuoteOfRow(int row) const { return count() - 1 - row; }

  // The loader gives -1 for a field the file does not hold; the grid shows such values as N/A.
  static bool Held(float v) { return v >= 0.0f && std::isfinite(v); }

 private:
  std::size_t Row(int i) const { return m_dates.size() - 1 - static_cast<std::size_t>(i); }

  std::span<const std::uint16_t> m_dates;
  std::span<const std::uint16_t> m_times;
  std::array<std::span<const float>, 6> m_values;
};

// Damage found in the shown series. Whatever finds damage supplies these; the chart draws each
// at its quote and shows its text when the pointer rests on it.
enum class ChartMarkKind { kSplit, kBadTick, kHighBelowLow, kOther };

struct ChartMark {
  int quoteIndex = -1;                   // 0 = the oldest quote; -1: the first quote of date
  ledgrix::formats::QuoteDate date = 0;  // used when quoteIndex is -1
  ChartMarkKind kind = ChartMarkKind::kOther;
  QString text;
};
