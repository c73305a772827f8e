// Entry checks and change requests shared by the quote dialogs and the CLI.
#include "maintenance/quote_entry.h"

#include <gtest/gtest.h>

#include <optional>
#include <tuple>

#include "tests/maintenance/helpers.h"

namespace ledgrix::maintenance {
namespace {

using formats::ParseDisplayDate;
using formats::QuoteDate;

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

// Each command's request: the operation, the dates and the factors.
TEST(BuildChange, EachCommandsRequest) {
  const auto day = [](const char* text) { return ParseDisplayDate(text); };
  const auto fields = [](const QuoteChange& c) {
    return std::tuple(c.operation, c.firstDate, c.lastDate, c.values);
  };
  const EditEntries entries{"03/01/99", "10.5", "11", "9.75", "10", "12000", "N/A"};
  const QuoteDate split = day("03/01/99") - 1, monday = day("01/11/99");
  const std::tuple<const char*, std::optional<QuoteChange>, QuoteChange> cases[] = {
      // "N/A" in the open interest the file does not hold is ignored.
      {"edit", BuildEditChange(entries, {true, true, true, true, true, false}),
       Change(kSet, day("03/01/99"), day("03/01/99"), {10.5f, 11, 9.75f, 10, 12000, 0})},
      {"split 2 for 1: all before the day", BuildSplitChange("03/01/99", "2", "1"),
       Change(kScale, 0, split, {0.5f, 0.5f, 0.5f, 0.5f, 2, 2})},
      {"split 2 for 3", BuildSplitChange("03/01/99", "2", "3"),
       Change(kScale, 0, split, {1.5f, 1.5f, 1.5f, 1.5f, 2.0f / 3, 2.0f / 3})},
      {"adjust: the range inclusive", BuildAdjustChange("01/04/99", "02/05/99", "0.5", "100", "3"),
       Change(kScale, day("01/04/99"), day("02/05/99"), {0.5f, 0.5f, 0.5f, 0.5f, 100, 3})},
      // Dates are not compared with each other.
      {"adjust backwards", BuildAdjustChange("02/05/99", "01/04/99", "1", "1", "1"),
       Change(kScale, day("02/05/99"), day("01/04/99"), {1, 1, 1, 1, 1, 1})},
      {"add after a Friday: before the Monday", BuildInsertChange(day("01/08/99")),
       Change(kInsert, monday, monday)},
      {"delete", BuildDeleteChange(monday), Change(kDelete, monday, monday)},
  };
  for (const auto& [what, change, expected] : cases) {
    ASSERT_TRUE(change) << what;
    EXPECT_EQ(fields(*change), fields(expected)) << what;
  }
}

TEST(BuildChange, EntriesWithoutANumberOrADateAreRefusedWithAReason) {
  EditEntries entries{"03/01/99", "10.5", "11", "9.75", "10", "12000", "N/A"};
  const std::array<bool, 6> all = {true, true, true, true, true, true};
  std::string reason;
  // The same "N/A" in a field the file holds is refused.
  EXPECT_FALSE(BuildEditChange(entries, all, &reason));
  EXPECT_NE(reason.find("Open Interest"), std::string::npos);
  entries.openInterest = "5";
  entries.close = "";
  EXPECT_FALSE(BuildEditChange(entries, all));
  EXPECT_FALSE(BuildAdjustChange("01/04/99", "02/05/99", "1", "1", "letters"));
  for (auto [date, n, o] : {std::tuple{"03/01/99", "0", "1"},
                            {"03/01/99", "1", ""},
                            {"03/01/99", ".", "1"},
                            {"", "1", "1"}}) {
    reason.clear();
    EXPECT_FALSE(BuildSplitChange(date, n, o, &reason));
    EXPECT_FALSE(reason.empty());
  }
}

}  // namespace
}  // namespace ledgrix::maintenance
