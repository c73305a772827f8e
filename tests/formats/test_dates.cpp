// Day numbers, stored dates and times, weekdays, and the twelve text forms.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "formats/dates.h"

namespace ledgrix::formats {
namespace {

TEST(Dates, EveryDayRoundTripsAndStepsByOne) {
  Ymd previous = YmdFromDay(1);
  for (int n = 1; n <= 65535; ++n) {
    const auto day = static_cast<QuoteDate>(n);
    const Ymd ymd = YmdFromDay(day);
    ASSERT_GE(ymd.month, 1) << n;
    ASSERT_LE(ymd.month, 12) << n;
    ASSERT_GE(ymd.day, 1) << n;
    ASSERT_LE(ymd.day, 31) << n;
    ASSERT_EQ(DayFromYmd(ymd.year, ymd.month, ymd.day), day) << n;
    ASSERT_EQ(DayFromStored(StoredValueFromDay(day)), day) << n;
    ASSERT_EQ(ParseDate(FormatDate(day, 8, '/'), 8), day) << n;
    // Two-digit years read back as 1961-2059: every such day survives the display form.
    if (ymd.year <= 159) {
      ASSERT_EQ(ParseDisplayDate(DisplayDate(day)), day) << n;
    }
    if (n > 1) {
      const bool nextDay = ymd.year == previous.year &&
                           ((ymd.month == previous.month && ymd.day == previous.day + 1) ||
                            (ymd.month == previous.month + 1 && ymd.day == 1));
      const bool newYear = ymd.year == previous.year + 1 && ymd.month == 1 && ymd.day == 1 &&
                           previous.month == 12 && previous.day == 31;
      ASSERT_TRUE(nextDay || newYear) << n;
    }
    previous = ymd;
  }
  // The last representable day lies in 2140.
  EXPECT_EQ(YmdFromDay(65535).year, 240);
}

// The loaders' decoder of a run of stored dates gives what DayFromStored gives, for dates in
// order, out of order, repeated and unrepresentable alike.
TEST(Dates, TheStoredDateDecoderAgreesWithDayFromStored) {
  StoredDateDecoder decoder;
  std::vector<float> stored;
  for (int n = 1; n <= 65535; n += 3)
    stored.push_back(StoredValueFromDay(static_cast<QuoteDate>(n)));
  for (float f : {980131.0f, 980132.0f, 980100.0f, 980200.0f, 981301.0f, 600101.0f, 591231.0f,
                  2401231.0f, 2410101.0f, 9999999.0f, 980102.5f, -1.0f, 0.0f, 1e7f, 1e30f,
                  980102.0f, 980102.0f, 30105.0f, 1030105.0f})
    stored.push_back(f);
  stored.push_back(std::numeric_limits<float>::quiet_NaN());
  for (float f : {-0.0f, 1.0f, 980101.0f})
    stored.push_back(f);
  // The month of the last representable day ends early.
  for (int d = -1; d <= 3; ++d)
    stored.push_back(StoredValueFromDay(65535) + static_cast<float>(d));
  for (float f : stored)
    ASSERT_EQ(decoder(f), DayFromStored(f)) << f;
}

TEST(Dates, DayNumbersAndTheRulesOfTheTwoThousands) {
  EXPECT_EQ(DayFromYmd(61, 1, 1), 1);
  EXPECT_EQ(DayFromYmd(1961, 1, 1), 1);
  EXPECT_EQ(DayFromYmd(62, 1, 1), 366);
  EXPECT_EQ(DayFromYmd(64, 3, 1), 1156);
  EXPECT_EQ(DayFromYmd(2000, 3, 1) - DayFromYmd(2000, 2, 28), 2);
  EXPECT_EQ(DayFromYmd(2100, 3, 1) - DayFromYmd(2100, 2, 28), 2);  // counted as leap
  EXPECT_EQ(DayFromYmd(1999, 3, 1) - DayFromYmd(1999, 2, 28), 1);
  EXPECT_EQ(DayFromStored(1000103.0f), DayFromStored(103.0f));  // 000103
  EXPECT_EQ(DayFromStored(1030105.0f), DayFromStored(30105.0f));
  EXPECT_EQ(DayFromStored(1000103.0f), DayFromYmd(2000, 1, 3));
  EXPECT_EQ(StoredValueFromDay(DayFromYmd(2000, 1, 3)), 1000103.0f);
  EXPECT_EQ(StoredValueFromDay(DayFromYmd(1998, 1, 2)), 980102.0f);
  EXPECT_EQ(DecodeMbf(StoredFromDay(DayFromYmd(1998, 1, 2)).data()), 980102.0f);
  EXPECT_EQ(DayFromStored(980102.0f), ParseDate("01/02/98", 3));
  // Unrepresentable stored dates give no day.
  for (float stored : {601231.0f, 600101.0f, 591231.0f - 1000000.0f, 981301.0f, 980001.0f,
                       980132.0f, 980100.0f, -1.0f, 0.0f, 2410101.0f, 1e30f}) {
    EXPECT_EQ(DayFromStored(stored), 0) << stored;
  }
  EXPECT_EQ(DayFromYmd(60, 12, 31), 0);
  EXPECT_EQ(DayFromYmd(98, 13, 1), 0);
  EXPECT_EQ(DayFromYmd(98, 0, 1), 0);
}

TEST(Dates, TimesAndWeekdays) {
  EXPECT_EQ(TimeFromStored(93001.0f), 17100);
  const Hms hms = HmsFromTime(17100);
  EXPECT_EQ(hms.hours, 9);
  EXPECT_EQ(hms.minutes, 30);
  EXPECT_EQ(hms.seconds, 0);
  EXPECT_EQ(TimeFromStored(235959.0f), 43199);
  EXPECT_EQ(TimeFromStored(-1.0f), 0);
  EXPECT_EQ(TimeFromStored(0.0f), 0);

  EXPECT_EQ(Weekday(1), 0);  // Sunday
  EXPECT_EQ(Weekday(2), 1);
  EXPECT_EQ(Weekday(7), 6);
  EXPECT_EQ(Weekday(8), 0);
  EXPECT_TRUE(IsWeekend(1));
  EXPECT_TRUE(IsWeekend(7));
  EXPECT_FALSE(IsWeekend(2));
  // 2 January 1998 was a Friday.
  const QuoteDate friday = DayFromYmd(1998, 1, 2);
  EXPECT_EQ(Weekday(friday), 5);
  EXPECT_EQ(WeekdayAfter(friday), friday + 3);
  EXPECT_EQ(WeekdayBefore(friday + 3), friday);
  EXPECT_EQ(WeekdayBefore(2), 0);  // nothing before the first Monday
  EXPECT_EQ(WeekdayAfter(65535), 0);
}

// Every form; then short groups, other separators, leading blanks and a quote; forms 4 and 6
// without a four-digit year read 1999; four-digit years 1900-1959 count as the 2000s; a second
// group ends at the next separator, the last group starts after the last one.
TEST(Dates, ParsesEveryForm) {
  const std::tuple<const char*, int, int> dates[] = {
      {"98/01/02", 1, 19980102},   {"1998/01/02", 2, 19980102}, {"2003/1/5", 2, 20030105},
      {"01/02/98", 3, 19980102},   {"01/02/1998", 4, 19980102}, {"02/01/98", 5, 19980102},
      {"02/01/1998", 6, 19980102}, {"980102", 7, 19980102},     {"19980102", 8, 19980102},
      {"010298", 9, 19980102},     {"01021998", 10, 19980102},  {"020198", 11, 19980102},
      {"02011998", 12, 19980102},  {"1/2/98", 3, 19980102},     {"1-2-98", 3, 19980102},
      {"  \"1/2/98", 3, 19980102}, {"12/31/59", 3, 20591231},   {"1/2/3", 3, 20030102},
      {"2/1/2003", 6, 20030102},   {"01/02/98", 4, 19990102},   {"02/01/05", 6, 19990102},
      {"01/02/1905", 4, 20050102}, {"1/10/3/8", 3, 20080110},   {"3/10/1/8", 5, 20081003}};
  for (const auto& [text, form, ymd] : dates) {
    EXPECT_EQ(ParseDate(text, form), DayFromYmd(ymd / 10000, ymd / 100 % 100, ymd % 100))
        << text << " form " << form;
  }
  // No date: empty, blank, all zeros, bad forms, too long, too few separators, 1960.
  const std::pair<const char*, int> none[] = {
      {"", 3},          {"   ", 3},          {"00/00/00", 3}, {"01/02/98", 0},
      {"01/02/98", 13}, {"01/02/98   x", 3}, {"010298", 3},   {"01/0298", 3},
      {"12/31/60", 3},  {"13/01/98", 3},     {"ab/cd/ef", 3}, {"01/02/1960", 4},
      {"9802", 7}};
  for (const auto& [text, form] : none)
    EXPECT_EQ(ParseDate(text, form), 0) << text << " form " << form;
}

TEST(Dates, FormatsAllTwelveForms) {
  const QuoteDate day = DayFromYmd(2003, 1, 5);
  const char* expected[] = {"03/01/05", "2003/01/05", "01/05/03", "01/05/2003",
                            "05/01/03", "05/01/2003", "030105",   "20030105",
                            "010503",   "01052003",   "050103",   "05012003"};
  for (int form = 1; form <= 12; ++form) {
    EXPECT_EQ(FormatDate(day, form, '/'), expected[form - 1]) << form;
    EXPECT_EQ(ParseDate(FormatDate(day, form, '/'), form), day) << form;
  }
  EXPECT_EQ(FormatDate(day, 3, '-'), "01-05-03");
  EXPECT_EQ(FormatDate(DayFromYmd(1998, 1, 2), 4, '.'), "01.02.1998");
  EXPECT_EQ(FormatDate(day, 0, '/'), "");
  EXPECT_EQ(FormatDate(day, 13, '/'), "");
  EXPECT_EQ(FormatDate(0, 3, '/'), "00/00/00");
  EXPECT_EQ(FormatDate(0, 2, '/'), "0000/00/00");
  EXPECT_EQ(DisplayDate(DayFromYmd(1998, 1, 2)), "01/02/98");
  EXPECT_EQ(ParseDisplayDate("01/02/98"), DayFromYmd(1998, 1, 2));
}

}  // namespace
}  // namespace ledgrix::formats
