// Entry checks and change requests shared by the quote dialogs and the CLI.
#include "maintenance/quote_entry.h"

#include <gtest/gtest.h>

#include <cmath>

namespace ledgrix::maintenance {
namespace {

using formats::ParseDisplayDate;

TEST(ParseNumberText, ReadsTheLeadingNumberLikePercentF) {
  const std::pair<const char*, float> numbers[] = {
      {"1", 1.0f},      {"1.5", 1.5f},   {"0.5", 0.5f}, {".5", 0.5f},
      {"12..3", 12.0f}, {"  7", 7.0f},   {"+2", 2.0f},  {"-2.25", -2.25f},
      {"3abc", 3.0f},   {"1e2", 100.0f}, {"0", 0.0f},   {"0.0", 0.0f}};
  for (const auto& [text, value] : numbers)
    EXPECT_EQ(ParseNumberText(text), value) << text;
  // Not finite ("inf", "nan", "1e60") would turn every scaled value into garbage.
  for (const char* text : {"", ".", "N/A", "abc", "-", "+-1", "- 1", "inf", "nan", "1e60"})
    EXPECT_EQ(ParseNumberText(text), std::nullopt) << text;
}

TEST(CheckDateEntry, AcceptsTheLoadedRangeInclusive) {
  // One day outside each end, short groups, blanks and letters are refused.
  const std::pair<const char*, bool> cases[] = {
      {"01/04/99", true},  {"12/31/99", true}, {"06/15/99", true}, {"01/03/99", false},
      {"01/01/00", false}, {"1/4/99", false},  {"01/04/9", false}, {"01/04/999", false},
      {"01/ 4/99", false}, {"", false},        {"ab/cd/ef", false}};
  for (const auto& [text, ok] : cases) {
    std::string reason;
    EXPECT_EQ(CheckDateEntry(text, "01/04/99", "12/31/99", &reason), ok) << text;
    EXPECT_EQ(reason.empty(), ok) << text;
  }
  // Compared across the century.
  EXPECT_TRUE(CheckDateEntry("01/03/00", "12/01/99", "02/01/00"));
  EXPECT_FALSE(CheckDateEntry("02/02/00", "12/01/99", "02/01/00"));
}

TEST(CheckFactorEntry, RefusesZeroAndTextWithoutANumber) {
  EXPECT_TRUE(CheckFactorEntry("0.5"));
  EXPECT_TRUE(CheckFactorEntry("2"));
  EXPECT_TRUE(CheckFactorEntry("1."));
  for (const char* bad : {"0", "0.0", "", ".", "N/A", "x"}) {
    SCOPED_TRACE(bad);
    std::string reason;
    EXPECT_FALSE(CheckFactorEntry(bad, &reason));
    EXPECT_FALSE(reason.empty());
  }
}

TEST(BuildEditChange, SetsOneDayAndIgnoresFieldsNotHeld) {
  EditEntries entries{"03/01/99", "10.5", "11", "9.75", "10", "12000", "N/A"};
  const auto change = BuildEditChange(entries, {true, true, true, true, true, false});
  ASSERT_TRUE(change);
  EXPECT_EQ(change->operation, kSet);
  EXPECT_EQ(change->firstDate, ParseDisplayDate("03/01/99"));
  EXPECT_EQ(change->lastDate, change->firstDate);
  EXPECT_EQ(change->values, (std::array<float, 6>{10.5f, 11, 9.75f, 10, 12000, 0}));

  // The same "N/A" in a field the file holds is refused.
  std::string reason;
  EXPECT_FALSE(BuildEditChange(entries, {true, true, true, true, true, true}, &reason));
  EXPECT_NE(reason.find("Open Interest"), std::string::npos);
  entries.openInterest = "5";
  entries.close = "";
  EXPECT_FALSE(BuildEditChange(entries, {true, true, true, true, true, true}));
}

TEST(BuildSplitChange, ScalesEverythingBeforeTheSplitDay) {
  const auto change = BuildSplitChange("03/01/99", "2", "1");
  ASSERT_TRUE(change);
  EXPECT_EQ(change->operation, kScale);
  EXPECT_EQ(change->firstDate, 0);
  EXPECT_EQ(change->lastDate, ParseDisplayDate("03/01/99") - 1);
  EXPECT_EQ(change->values, (std::array<float, 6>{0.5f, 0.5f, 0.5f, 0.5f, 2, 2}));

  const auto reverse = BuildSplitChange("03/01/99", "2", "3");
  ASSERT_TRUE(reverse);
  EXPECT_FLOAT_EQ(reverse->values[0], 1.5f);
  EXPECT_FLOAT_EQ(reverse->values[5], 2.0f / 3.0f);

  for (auto [date, n, o] : {std::tuple{"03/01/99", "0", "1"},
                            {"03/01/99", "1", ""},
                            {"03/01/99", ".", "1"},
                            {"", "1", "1"}}) {
    std::string reason;
    EXPECT_FALSE(BuildSplitChange(date, n, o, &reason));
    EXPECT_FALSE(reason.empty());
  }
}

TEST(BuildAdjustChange, ScalesTheInclusiveRangeWithThreeFactors) {
  const auto change = BuildAdjustChange("01/04/99", "02/05/99", "0.5", "100", "3");
  ASSERT_TRUE(change);
  EXPECT_EQ(change->operation, kScale);
  EXPECT_EQ(change->firstDate, ParseDisplayDate("01/04/99"));
  EXPECT_EQ(change->lastDate, ParseDisplayDate("02/05/99"));
  EXPECT_EQ(change->values, (std::array<float, 6>{0.5f, 0.5f, 0.5f, 0.5f, 100, 3}));
  // Dates are not compared with each other.
  EXPECT_TRUE(BuildAdjustChange("02/05/99", "01/04/99", "1", "1", "1"));
  EXPECT_FALSE(BuildAdjustChange("01/04/99", "02/05/99", "1", "1", "letters"));
}

TEST(BuildInsertAndDeleteChange, NameTheQuoteTheyWorkOn) {
  const auto friday = ParseDisplayDate("01/08/99");
  const auto monday = ParseDisplayDate("01/11/99");
  for (const auto& [change, op] : {std::pair{BuildInsertChange(friday), kInsert},
                                   std::pair{BuildDeleteChange(monday), kDelete}}) {
    EXPECT_EQ(change.operation, op);
    EXPECT_EQ(change.firstDate, monday);
    EXPECT_EQ(change.lastDate, monday);
  }
}

}  // namespace
}  // namespace ledgrix::maintenance
