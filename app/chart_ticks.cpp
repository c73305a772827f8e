#include "app/chart_ticks.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "app/chart_series.h"

namespace {

enum class Unit { kYear, kMonth, kWeek, kDay, kMinute };

struct Step {
  Unit unit;
  int size;
};

// Coarse to fine. Clock steps only for intraday series.
constexpr std::array<Step, 21> kSteps = {
    {{Unit::kYear, 50},    {Unit::kYear, 20},    {Unit::kYear, 10},   {Unit::kYear, 5},
     {Unit::kYear, 2},     {Unit::kYear, 1},     {Unit::kMonth, 6},   {Unit::kMonth, 3},
     {Unit::kMonth, 1},    {Unit::kWeek, 1},     {Unit::kDay, 1},     {Unit::kMinute, 360},
     {Unit::kMinute, 180}, {Unit::kMinute, 120}, {Unit::kMinute, 60}, {Unit::kMinute, 30},
     {Unit::kMinute, 15},  {Unit::kMinute, 10},  {Unit::kMinute, 5},  {Unit::kMinute, 2},
     {Unit::kMinute, 1}}};

constexpr std::array<const char*, 12> kMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Calls onBoundary(i) for each quote i in [begin, end) that starts a new period of step, until
// it returns false. The key of each unit is worked out in a loop of its own.
template <typename OnBoundary>
void ForEachBoundary(const ChartSeries& s, const Step& step, int begin, int end,
                     OnBoundary onBoundary) {
  const auto walk = [&](auto key) {
    std::int64_t previous = key(std::max(0, begin - 1));
    for (int i = std::max(1, begin); i < end; ++i) {
      const std::int64_t current = key(i);
      if (current != previous && !onBoundary(i))
        return;
      previous = current;
    }
  };
  const ChartData& d = s.data();
  switch (step.unit) {
    case Unit::kYear:
      walk([&](int i) -> std::int64_t { return s.year(i) / step.size; });
      break;
    case Unit::kMonth:
      walk([&](int i) -> std::int64_t { return s.month(i) / step.size; });
      break;
    case Unit::kWeek:
      // Weeks begin on Mondays; day 2 is Monday 2 January 1961.
      walk([&](int i) -> std::int64_t { return (d.date(i) + 5) / 7; });
      break;
    case Unit::kDay:
      walk([&](int i) -> std::int64_t { return d.date(i); });
      break;
    case Unit::kMinute:
      walk([&](int i) -> std::int64_t {
        return static_cast<std::int64_t>(d.date(i)) * 10000 + s.minuteOfDay(i) / step.size;
      });
      break;
  }
}

// About how many boundaries of step quotes [begin, end) cross.
double Estimate(const ChartSeries& s, const Step& step, int begin, int end) {
  const double days = s.data().date(end - 1) - s.data().date(begin) + 1;
  switch (step.unit) {
    case Unit::kYear:
      return days / (365.25 * step.size);
    case Unit::kMonth:
      return days / (30.44 * step.size);
    case Unit::kWeek:
      return days / 7;
    case Unit::kDay:
      return s.intraday() ? (end - begin) / s.quotesPerDay() : days * 5 / 7;
    case Unit::kMinute:
      return (end - begin) / s.quotesPerDay() * (s.sessionMinutes() / step.size + 1);
  }
  return 0;
}

QString MonthName(int month) {
  return QString::fromLatin1(kMonthNames[static_cast<std::size_t>(month % 12)]);
}

QString DayLabel(const ChartSeries& s, int i) {
  const ledgrix::formats::Ymd ymd = ledgrix::formats::YmdFromDay(s.data().date(i));
  return MonthName(s.month(i)) + QLatin1Char(' ') + QString::number(ymd.day);
}

QString ClockLabel(const ChartSeries& s, int i) {
  const int minute = s.minuteOfDay(i);
  return QStringLiteral("%1:%2").arg(minute / 60).arg(minute % 60, 2, 10, QLatin1Char('0'));
}

TimeTick MakeTick(const ChartSeries& s, const Step& step, int i) {
  TimeTick tick;
  tick.index = i;
  const bool newYear = s.year(i) != s.year(i - 1);
  switch (step.unit) {
    case Unit::kYear:
      tick.major = true;
      tick.label = QString::number(s.year(i));
      break;
    case Unit::kMonth:
      tick.major = newYear;
      tick.label = newYear ? QString::number(s.year(i)) : MonthName(s.month(i));
      break;
    case Unit::kWeek:
    case Unit::kDay:
      tick.major = newYear;
      tick.label = newYear ? QString::number(s.year(i)) : DayLabel(s, i);
      break;
    case Unit::kMinute:
      tick.major = s.data().date(i) != s.data().date(i - 1);
      tick.label = tick.major ? DayLabel(s, i) : ClockLabel(s, i);
      break;
  }
  return tick;
}

// With no major tick in view the first tick also says which year (or day) it is in.
void AddContext(const ChartSeries& s, const Step& step, std::vector<TimeTick>& ticks) {
  if (ticks.empty() ||
      std::any_of(ticks.begin(), ticks.end(), [](const auto& t) { return t.major; }))
    return;
  TimeTick& first = ticks.front();
  if (step.unit == Unit::kMinute)
    first.label = DayLabel(s, first.index) + QLatin1Char(' ') + first.label;
  else
    first.label += QLatin1Char(' ') + QString::number(s.year(first.index));
}

}  // namespace

std::vector<TimeTick> TimeTicks(const ChartSeries& series, int begin, int end, int maxTicks) {
  begin = std::max(0, begin);
  end = std::min(end, series.count());
  if (end - begin < 2 || maxTicks < 1)
    return {};
  const std::size_t steps =
      series.intraday() ? kSteps.size()
                        : static_cast<std::size_t>(std::find_if(kSteps.begin(), kSteps.end(),
                                                                [](const Step& st) {
                                                                  return st.unit == Unit::kMinute;
                                                                }) -
                                                   kSteps.begin());
  std::size_t chosen = 0;
  for (std::size_t k = 0; k < steps; ++k)
    if (Estimate(series, kSteps[k], begin, end) <= maxTicks)
      chosen = k;
  // The estimate can be off (gaps, short sessions): coarser until the ticks fit.
  std::vector<TimeTick> ticks;
  for (;; --chosen) {
    ticks.clear();
    ForEachBoundary(series, kSteps[chosen], begin, end, [&](int i) {
      ticks.push_back(MakeTick(series, kSteps[chosen], i));
      return chosen == 0 || static_cast<int>(ticks.size()) <= maxTicks;
    });
    if (chosen == 0 || static_cast<int>(ticks.size()) <= maxTicks)
      break;
  }
  const Step& step = kSteps[chosen];
  AddContext(series, step, ticks);
  return ticks;
}

PriceTicks NicePriceTicks(double low, double high, int maxTicks) {
  PriceTicks ticks;
  if (!(high > low) || maxTicks < 1 || !std::isfinite(high - low))
    return ticks;
  const double raw = (high - low) / maxTicks;
  const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  double step = 10 * magnitude;
  for (double m : {1.0, 2.0, 2.5, 5.0}) {
    if (m * magnitude >= raw) {
      step = m * magnitude;
      break;
    }
  }
  for (int d = 0; d <= 8; ++d) {
    const double scaled = step * std::pow(10.0, d);
    ticks.decimals = d;
    if (std::fabs(scaled - std::round(scaled)) < 1e-6 * scaled)
      break;
  }
  const double firstStep = std::ceil(low / step);
  for (int k = 0; k <= maxTicks + 1; ++k) {
    const double value = (firstStep + k) * step;
    if (value > high + step * 1e-9)
      break;
    ticks.values.push_back(value);
  }
  return ticks;
}

QString PriceLabel(double value, int decimals) {
  return QString::number(value, 'f', decimals);
}

QString VolumeLabel(double value) {
  struct Scale {
    double size;
    char suffix;
  };
  for (const Scale& s : {Scale{1e9, 'B'}, Scale{1e6, 'M'}, Scale{1e3, 'K'}}) {
    if (value >= s.size) {
      const double scaled = value / s.size;
      return QString::number(scaled, 'f', scaled < 100 ? 1 : 0) + QLatin1Char(s.suffix);
    }
  }
  return QString::number(value, 'f', 0);
}
