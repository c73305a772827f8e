// Day numbers, two-second times, stored YYMMDD numbers and the twelve text forms of a date.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "formats/mbf.h"

namespace ledgrix::formats {

// Day 1 is Sunday 1 January 1961; 0 means no date.
using QuoteDate = std::uint16_t;
// Two-second units since midnight.
using QuoteTime = std::uint16_t;

struct Ymd {
  int year = 0;  // years since 1900 (61 and up)
  int month = 0;
  int day = 0;
};

struct Hms {
  int hours = 0;
  int minutes = 0;
  int seconds = 0;
};

// year: years since 1900, or a full year above 1900.
QuoteDate DayFromYmd(int year, int month, int day);
Ymd YmdFromDay(QuoteDate day);
// stored: Y*10000 + M*100 + D with Y the year - 1900 (below 60 counts as the 2000s).
// Dates that cannot be represented (before 1961, month outside 1-12, day outside 1-31) give 0.
QuoteDate DayFromStored(float stored);
// DayFromStored for a run of dates, as a loader meets them: the month of the last date is kept,
// so that each further date of that month (or bar of that day) costs two comparisons and an
// addition. Gives exactly what DayFromStored gives.
class StoredDateDecoder {
 public:
  QuoteDate operator()(float stored) {
    if (stored >= low_ && stored < high_)
      return static_cast<QuoteDate>(static_cast<std::int32_t>(stored) + offset_);
    return OtherMonth(stored);
  }

 private:
  QuoteDate OtherMonth(float stored);

  // The stored numbers of the kept month's days 1-31 lie in [low_, high_); day number = the
  // stored number + offset_. An empty range while no month is kept.
  float low_ = 0.0f;
  float high_ = 0.0f;
  std::int32_t offset_ = 0;
};
// The stored number of a day (1YYMMDD from 2000 on) in the stored encoding.
StoredNumber StoredFromDay(QuoteDate day);
// The same number as a host float (980102, 1000103).
float StoredValueFromDay(QuoteDate day);
QuoteTime TimeFromStored(float stored);
Hms HmsFromTime(QuoteTime time);

// Weekday of a day number: 0 Sunday ... 6 Saturday.
int Weekday(QuoteDate day);
bool IsWeekend(QuoteDate day);
// The nearest weekday strictly before / after day.
QuoteDate WeekdayBefore(QuoteDate day);
QuoteDate WeekdayAfter(QuoteDate day);

// The form every window of the program uses: MM/DD/YY.
inline constexpr int kDisplayForm = 3;

// Typed date text in form 1-12 to a day number; 0 for an empty or unusable text and for dates
// that cannot be represented.
QuoteDate ParseDate(std::string_view text, int form);
// Day number to text in form 1-12 with separator (the separators of forms 1-6); day 0 gives
// zeros in every part; any other form gives an empty text.
std::string FormatDate(QuoteDate day, int form, char separator);

// FormatDate(day, 3, '/') and ParseDate(text, 3): the texts of the grids and dialogs.
std::string DisplayDate(QuoteDate day);
QuoteDate ParseDisplayDate(std::string_view text);

}  // namespace ledgrix::formats
