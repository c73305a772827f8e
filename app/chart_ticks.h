// Where the chart's axes put their ticks: round prices, and calendar or clock boundaries of the
// quotes in view (years, quarters, months, weeks, days; hours and minutes within a day).
#pragma once

#include <QString>
#include <vector>

class ChartSeries;

struct TimeTick {
  int index = 0;  // the first quote after the boundary
  QString label;
  bool major = false;  // a new year (a new day for clock ticks)
};

// At most maxTicks ticks among quotes [begin, end), of the finest unit that stays within it.
std::vector<TimeTick> TimeTicks(const ChartSeries& series, int begin, int end, int maxTicks);

struct PriceTicks {
  std::vector<double> values;  // ascending, within [low, high]
  int decimals = 0;            // what the labels need to tell the ticks apart
};

// Steps of 1, 2, 2.5 or 5 times a power of ten, at most maxTicks of them in [low, high].
PriceTicks NicePriceTicks(double low, double high, int maxTicks);

// "%.*f" of a price label.
QString PriceLabel(double value, int decimals);
// A volume in few characters: 950, 12.5K, 4.8M, 1.2B.
QString VolumeLabel(double value);
