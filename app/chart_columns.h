// The quotes of each pixel column summed up, so that a long series costs one line a column.
#pragma once

#include <vector>

#include <limits>

class ChartData;
class ChartSeries;
class ChartSpan;

// The prices and volume of some quotes: the lowest price held (+inf for none), the highest price
// (-inf for none; -1 when only fields the file lacks were seen), the sum of the volumes held.
struct ChartSummary {
  static constexpr float kNone = std::numeric_limits<float>::infinity();
  float low = kNone;
  float high = -kNone;
  float volume = 0.0f;
  // One quote's values as the loader gives them (-1 for a field the file lacks).
  void AddQuote(float close, float lowest, float highest, float vol) {
    for (float v : {close, lowest})
      low = v >= 0.0f && v < low ? v : low;
    for (float v : {close, highest})
      high = v > high ? v : high;
    volume += vol > 0.0f ? vol : 0.0f;
  }
  void Add(const ChartSummary& other) {
    low = other.low < low ? other.low : low;
    high = other.high > high ? other.high : high;
    volume += other.volume;
  }
};

// Quotes [i, j), read from the columns.
ChartSummary SummarizeQuotes(const ChartData& data, int i, int j);

struct ChartColumn {
  int first = -1;  // the column's first quote; -1: no quote with a price
  float open = 0;  // its first and last close
  float close = 0;
  float low = 0;  // the lowest and highest price held
  float high = 0;
  float volume = 0;  // the mean volume
};

// One entry for each of the span's pixel columns; quote i counts in span.ColumnOf(i).
std::vector<ChartColumn> ChartColumns(const ChartSeries& series, const ChartSpan& span);
