// Day numbers from 1 January 1961, two-second times, stored YYMMDD numbers and date texts.
#include "formats/dates.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace ledgrix::formats {
namespace {

constexpr std::array<int, 12> kCumulative = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
constexpr int kMaxDay = 65535;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

QuoteDate DayFromYmd(int year, int month, int day) {
  if (year > 1900)
    year -= 1900;
  // Outside 1961 .. 2140 or an impossible month/day there is no day number.
  if (year < 61 || year > 300 || month < 1 || month > 12 || day < 1 || day > 31)
    return 0;
  long n = day + kCumulative[static_cast<std::size_t>(month - 1)] + ((year - 61) * 1461L) / 4;
  if (month > 2 && year % 4 == 0)
    ++n;
  if (n < 1 || n > kMaxDay)
    return 0;
  return static_cast<QuoteDate>(n);
}

Ymd YmdFromDay(QuoteDate day) {
  if (day == 0)
    return {};
  const long n = day;
  const long c = (4 * n - 1) / 1461;
  const long rest = n - (c * 1461) / 4;
  Ymd ymd;
  ymd.year = static_cast<int>(c + 61);
  const int leap = (ymd.year % 4 == 0) ? 1 : 0;
  int m = 0;
  for (int i = 11; i >= 0; --i) {
    const int cum = kCumulative[static_cast<std::size_t>(i)] + (i >= 2 ? leap : 0);
    if (cum < rest) {
      m = i;
      break;
    }
  }
  ymd.month = m + 1;
  ymd.day = static_cast<int>(rest - kCumulative[static_cast<std::size_t>(m)] - (m >= 2 ? leap : 0));
  return ymd;
}

QuoteDate DayFromStored(float stored) {
  // Negative numbers, NaN, infinities and numbers no date can have. (A negative stored date
  // always leaves a month of 0 or less.)
  if (!(stored >= 0.0f && stored < 1.0e7f))
    return 0;
  // For non-negative numbers truncating first gives the same parts as the stepwise divisions.
  std::uint32_t n = static_cast<std::uint32_t>(stored);
  std::uint32_t y = n / 10000;
  if (y < 60) {
    y += 100;
    n += 1000000;
  }
  const std::uint32_t rest = n - y * 10000;
  return DayFromYmd(static_cast<int>(y), static_cast<int>(rest / 100),
                    static_cast<int>(rest % 100));
}

QuoteDate StoredDateDecoder::OtherMonth(float stored) {
  const QuoteDate day = DayFromStored(stored);
  if (day == 0)
    return 0;
  // day is a representable date, so stored is a number below 1e7 and exact in a float.
  const auto n = static_cast<std::uint32_t>(stored);
  const std::uint32_t firstOfMonth = n - n % 100 + 1;
  const std::uint32_t firstDay = day - (n % 100 - 1);
  // Days up to 31 of the month, as far as they can be represented.
  const std::uint32_t days = std::min<std::uint32_t>(31, kMaxDay - firstDay + 1);
  low_ = static_cast<float>(firstOfMonth);
  high_ = static_cast<float>(firstOfMonth + days);
  offset_ = static_cast<std::int32_t>(firstDay) - static_cast<std::int32_t>(firstOfMonth);
  return day;
}

float StoredValueFromDay(QuoteDate day) {
  const Ymd ymd = YmdFromDay(day);
  return static_cast<float>(ymd.year * 10000 + ymd.month * 100 + ymd.day);
}

StoredNumber StoredFromDay(QuoteDate day) {
  return EncodeMbf(StoredValueFromDay(day));
}

QuoteTime TimeFromStored(float stored) {
  const double f = stored;
  if (!(f >= 0 && f < 1.0e7))
    return 0;
  const long h = static_cast<long>(f / 10000);
  const long m = static_cast<long>((f - h * 10000.0) / 100);
  const long s = static_cast<long>(f - h * 10000.0 - m * 100.0);
  const long t = h * 1800 + m * 30 + s / 2;
  if (t < 0 || t > kMaxDay)
    return 0;
  return static_cast<QuoteTime>(t);
}

Hms HmsFromTime(QuoteTime time) {
  return {time / 1800, (time % 1800) / 30, ((time % 1800) % 30) * 2};
}

int Weekday(QuoteDate day) {
  return (day + 6) % 7;
}

bool IsWeekend(QuoteDate day) {
  const int w = Weekday(day);
  return w == 0 || w == 6;
}

QuoteDate WeekdayBefore(QuoteDate day) {
  for (int d = day - 1; d >= 1; --d) {
    if (!IsWeekend(static_cast<QuoteDate>(d)))
      return static_cast<QuoteDate>(d);
  }
  return 0;
}

QuoteDate WeekdayAfter(QuoteDate day) {
  for (int d = day + 1; d <= kMaxDay; ++d) {
    if (!IsWeekend(static_cast<QuoteDate>(d)))
      return static_cast<QuoteDate>(d);
  }
  return 0;
}

namespace {

// A group of two characters stays; any other becomes "0" and its first character.
std::string NormalGroup(std::string_view group) {
  if (group.size() == 2)
    return std::string(group);
  if (group.empty())
    return "00";
  return std::string("0") + group[0];
}

// The value of the leading digits of two characters at pos (0 past the end).
int TwoDigits(std::string_view text, std::size_t pos) {
  int value = 0;
  for (std::size_t i = pos; i < pos + 2 && i < text.size() && IsDigit(text[i]); ++i) {
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

struct FieldPositions {
  int century, year, month, day;  // -1: the form has no century
};

constexpr std::array<FieldPositions, 12> kPositions = {{{-1, 0, 3, 6},
                                                        {0, 2, 5, 8},
                                                        {-1, 6, 0, 3},
                                                        {6, 8, 0, 3},
                                                        {-1, 6, 3, 0},
                                                        {6, 8, 3, 0},
                                                        {-1, 0, 2, 4},
                                                        {0, 2, 4, 6},
                                                        {-1, 4, 0, 2},
                                                        {4, 6, 0, 2},
                                                        {-1, 4, 2, 0},
                                                        {4, 6, 2, 0}}};

}  // namespace

QuoteDate ParseDate(std::string_view text, int form) {
  std::size_t start = 0;
  while (start < text.size() && text[start] == ' ')
    ++start;
  if (start < text.size() && text[start] == '"')
    ++start;
  text.remove_prefix(start);
  if (text.empty() || form < 1 || form > 12 || text.size() > 10)
    return 0;

  std::string layout;
  if (form <= 6) {
    // The first non-digit ends group 1 and the next one group 2; the last one starts the last
    // group (so 1/10/3/8 is 01/10/08, never 01/01/08).
    std::size_t first = std::string_view::npos;
    std::size_t second = std::string_view::npos;
    std::size_t last = std::string_view::npos;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (IsDigit(text[i]))
        continue;
      if (first == std::string_view::npos) {
        first = i;
      } else {
        if (second == std::string_view::npos)
          second = i;
        last = i;
      }
    }
    if (last == std::string_view::npos)
      return 0;
    const std::string_view g1 = text.substr(0, first);
    const std::string_view g2 = text.substr(first + 1, second - first - 1);
    const std::string_view g3 = text.substr(last + 1);
    if (form == 2) {
      layout = std::string(text.substr(0, 5)) + NormalGroup(g2) + "/" + NormalGroup(g3);
    } else if (form == 4 || form == 6) {
      layout = NormalGroup(g1) + "/" + NormalGroup(g2) + "/" +
               (g3.size() == 4 ? std::string(g3) : std::string("1999"));
    } else {
      layout = NormalGroup(g1) + "/" + NormalGroup(g2) + "/" + NormalGroup(g3);
    }
  } else {
    layout = std::string(text);
  }

  const FieldPositions& at = kPositions[static_cast<std::size_t>(form - 1)];
  const int year = TwoDigits(layout, static_cast<std::size_t>(at.year));
  const int month = TwoDigits(layout, static_cast<std::size_t>(at.month));
  const int day = TwoDigits(layout, static_cast<std::size_t>(at.day));
  int offset = 0;
  if (at.century >= 0)
    offset = (TwoDigits(layout, static_cast<std::size_t>(at.century)) - 19) * 100;
  if (year == 0 && month == 0 && day == 0)
    return 0;
  if (year < 60 && offset == 0)
    offset = 100;
  return DayFromYmd(year + offset, month, day);
}

std::string FormatDate(QuoteDate day, int form, char separator) {
  int cc = 0, yy = 0, mm = 0, dd = 0;
  if (day != 0) {
    const Ymd ymd = YmdFromDay(day);
    cc = ymd.year / 100 + 19;
    yy = ymd.year % 100;
    mm = ymd.month;
    dd = ymd.day;
  }
  const char s = separator;
  char buffer[32];
  int n = -1;
  switch (form) {
    case 1:
      n = std::snprintf(buffer, sizeof buffer, "%.2i%c%.2i%c%.2i", yy, s, mm, s, dd);
      break;
    case 2:
      n = std::snprintf(buffer, sizeof buffer, "%.2i%.2i%c%.2i%c%.2i", cc, yy, s, mm, s, dd);
      break;
    case 3:
      n = std::snprintf(buffer, sizeof buffer, "%.2i%c%.2i%c%.2i", mm, s, dd, s, yy);
      break;
    case 4:
      n = std::snprintf(buffer, sizeof buffer, "%.2i%c%.2i%c%.2i%.2i", mm, s, dd, s, cc, yy);
      break;
    case 5:
      n = std::snprintf(buffer, sizeof buffer, "%.2i%c%.2i%c%.2i", dd, s, mm, s, yy);
      break;
    case 6:
      n = std::snprintf(buffer, sizeof buffer, "%.2i%c%.2i%c%.2i%.2i", dd, s, mm, s, cc, yy);
      break;
    case 7:
      n = std::snprintf(buffer, sizeof buffer, "%.2i%.2i%.2i", yy, mm, dd);
      break;
    case 8:
      n = std::snprintf(buffer, sizeof buffer, "%.2i%.2i%.2i%.2i", cc, yy, mm, dd);
      break;
    case 9:
      n = std::snprintf(buffer, sizeof buffer, "%.2i%.2i%.2i", mm, dd, yy);
      break;
    case 10:
      n = std::snprintf(buffer, sizeof buffer, "%.2i%.2i%.2i%.2i", mm, dd, cc, yy);
      break;
    case 11:
      n = std::snprintf(buffer, sizeof buffer, "%.2i%.2i%.2i", dd, mm, yy);
      break;
    case 12:
      n = std::snprintf(buffer, sizeof buffer, "%.2i%.2i%.2i%.2i", dd, mm, cc, yy);
      break;
    default:
      break;
  }
  if (n < 0)
    return {};
  return std::string(buffer, static_cast<std::size_t>(n));
}

std::string DisplayDate(QuoteDate day) {
  return FormatDate(day, kDisplayForm, '/');
}

QuoteDate ParseDisplayDate(std::string_view text) {
  return ParseDate(text, kDisplayForm);
}

}  // namespace ledgrix::formats
