// Field layouts from DOP descriptors and the synthetic layouts of files without one.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "formats/field_layout.h"
#include "tests/support/fixture.h"

namespace ledgrix::formats {
namespace {

using testing::TempDir;
using Positions = std::array<std::int16_t, kFieldNameCount>;

// Positions in the order DATE TIME OPEN HIGH LOW CLOSE VOL OI.
Positions P(std::initializer_list<int> values) {
  Positions p{};
  std::size_t i = 0;
  for (int v : values)
    p[i++] = static_cast<std::int16_t>(v);
  return p;
}

FieldLayout FromDop(const TempDir& tmp, const std::string& text, int recordLength = 28,
                    StatusCode expected = kOk) {
  testing::WriteText(tmp / "F1.DOP", text);
  FieldLayout layout;
  EXPECT_EQ(ReadFieldLayout(tmp / "F1.DOP", recordLength, layout), expected);
  return layout;
}

TEST(FieldLayout, DopGivesPositionsInLineOrder) {
  TempDir tmp;
  const FieldLayout l = FromDop(
      tmp, "\"DATE\",0,0\n\"OPEN\",5,5\n\"HIGH\",5,5\n\"LOW\",5,5\n\"CLOSE\",5,5\n\"VOL\",0,0\n");
  EXPECT_EQ(l.fieldPosition, P({1, 0, 2, 3, 4, 5, 6, 0}));
  EXPECT_EQ(l.inputCode, P({0, 0, 5, 5, 5, 5, 0, 0}));
  EXPECT_FALSE(l.has(kTime));
  EXPECT_FALSE(l.has(kOi));
}

TEST(FieldLayout, DopLineRules) {
  struct Case {
    const char* what;
    std::string text;
    Positions positions, input, display;
  };
  const Case cases[] = {
      {"unknown name takes no position", "\"DATE\",0,0\n\"FOO\",1,1\n\"CLOSE\",2,3\n",
       P({1, 0, 0, 0, 0, 2}), P({0, 0, 0, 0, 0, 2}), P({0, 0, 0, 0, 0, 3})},
      {"case is ignored", "\"date\",0,0\n\"Close\",0,0\n\"vOl\",0,0\n", P({1, 0, 0, 0, 0, 2, 3}),
       P({}), P({})},
      {"duplicate: later values, both take a position",
       "\"CLOSE\",1,1\n\"DATE\",0,0\n\"CLOSE\",2,4\n", P({2, 0, 0, 0, 0, 3}), P({0, 0, 0, 0, 0, 2}),
       P({0, 0, 0, 0, 0, 4})},
      {"prefix match", "\"DATE\",0,0\n\"VOLUME\",0,0\n\"OPENINT\",0,0\n", P({1, 0, 3, 0, 0, 0, 2}),
       P({}), P({})},
      {"other lines ignored", "header\nDATE,1,1\n  \"OPEN\",1,1\n\"DATE\",-3,100\n", P({1}),
       P({-3}), P({100})},
      {"missing codes are 0", "\"DATE\"\n\"OI\",7\n", P({1, 0, 0, 0, 0, 0, 0, 2}),
       P({0, 0, 0, 0, 0, 0, 0, 7}), P({})},
      {"CRLF and a closing Ctrl-Z", "\"DATE\",0,0\r\n\"CLOSE\",2,2\r\n\x1A", P({1, 0, 0, 0, 0, 2}),
       P({0, 0, 0, 0, 0, 2}), P({0, 0, 0, 0, 0, 2})},
      {"nothing after a Ctrl-Z", "\"DATE\",0,0\n\x1A\"CLOSE\",0,0\n", P({1}), P({}), P({})},
      {"codes held to 16 bits", "\"DATE\",99999999999,-99999999999\n", P({1}), P({32767}),
       P({-32768})},
      {"empty file", "", P({}), P({}), P({})},
  };
  for (const Case& c : cases) {
    TempDir tmp;
    const FieldLayout l = FromDop(tmp, c.text);
    EXPECT_EQ(l.fieldPosition, c.positions) << c.what;
    EXPECT_EQ(l.inputCode, c.input) << c.what;
    EXPECT_EQ(l.displayCode, c.display) << c.what;
  }
}

TEST(FieldLayout, OverlongLineIsReadUpToItsLimit) {
  TempDir tmp;
  const std::string longTail(10000, 'x');
  const FieldLayout l = FromDop(
      tmp, "\"DATE\",0,0\n\"CLOSE\",2,2" + longTail + "\n\"" + longTail + "\n\"VOL\",0,0\n");
  EXPECT_EQ(l.fieldPosition, P({1, 0, 0, 0, 0, 2, 3}));
  EXPECT_EQ(l.inputCode[kClose], 2);
}

TEST(FieldLayout, PositionBeyondTheRecordIsAbsent) {
  TempDir tmp;
  const FieldLayout l = FromDop(
      tmp, "\"DATE\",0,0\n\"OPEN\",0,0\n\"HIGH\",0,0\n\"LOW\",0,0\n\"CLOSE\",0,0\n\"VOL\",0,0\n",
      16);
  EXPECT_EQ(l.fieldPosition, P({1, 0, 2, 3, 4, 0, 0, 0}));
}

TEST(FieldLayout, UnusableRecordLengthIsRefusedEvenWithADop) {
  for (int length : {0, 3, 5, 30, 80, 255, -4, 100}) {
    TempDir tmp;
    const FieldLayout l = FromDop(tmp, "\"DATE\",0,0\n", length, kNoFieldLayout);
    EXPECT_EQ(l.fieldPosition, P({})) << length;
  }
  EXPECT_TRUE(IsUsableRecordLength(4));
  EXPECT_TRUE(IsUsableRecordLength(76));
  EXPECT_FALSE(IsUsableRecordLength(77));
}

TEST(FieldLayout, SyntheticLayoutsWithoutADop) {
  struct Case {
    int length;
    char periodicity;
    StatusCode status;
    Positions positions;
  };
  const Case cases[] = {
      {8, 'D', kOk, P({1, 0, 0, 0, 0, 2})},
      {12, 'D', kOk, P({1, 0, 0, 0, 0, 2, 3})},
      {16, 'D', kOk, P({1, 0, 0, 2, 3, 4})},
      {24, 'D', kOk, P({1, 0, 2, 3, 4, 5, 6})},
      {28, 'D', kOk, P({1, 0, 2, 3, 4, 5, 6, 7})},
      {32, 'D', kNoFieldLayout, P({})},
      {4, 'D', kNoFieldLayout, P({})},
      {36, 'D', kNoFieldLayout, P({})},
      // Intraday files carry their time as the second field.
      {28, 'I', kOk, P({1, 2, 3, 4, 5, 6, 7})},
      {32, 'I', kOk, P({1, 2, 3, 4, 5, 6, 7, 8})},
      {24, 'I', kOk, P({1, 0, 2, 3, 4, 5, 6})},
      {36, 'I', kNoFieldLayout, P({})},
  };
  for (const Case& c : cases) {
    TempDir tmp;
    FieldLayout layout;
    EXPECT_EQ(ReadFieldLayout(tmp / "F1.DOP", c.length, layout, c.periodicity), c.status)
        << c.length << c.periodicity;
    EXPECT_EQ(layout.fieldPosition, c.positions) << c.length << c.periodicity;
    EXPECT_EQ(layout.inputCode, P({}));
  }
}

TEST(FieldLayout, TwentyByteRecordsLookAtTheFirstQuote) {
  const Positions volume = P({1, 0, 0, 2, 3, 4, 5});
  const Positions open = P({1, 0, 2, 3, 4, 5});
  struct Case {
    float second, fifth;
    Positions expected;
  };
  const Case cases[] = {
      {50, 0, volume}, {50, 49, open}, {50, 100.5f, volume}, {50, 100, open}, {0, 0, volume}};
  for (const Case& c : cases) {
    TempDir tmp;
    testing::SymbolSpec spec;
    spec.fields = {kDate, kHigh, kLow, kClose, kVol};
    testing::Quote q;
    q.date = DayFromYmd(1998, 1, 2);
    q.high = c.second;
    q.volume = c.fifth;
    spec.quotes = {q};
    testing::WriteBytes(tmp / "f1.dat", testing::MakeQuoteFile(spec));
    FieldLayout layout;
    ASSERT_EQ(ReadFieldLayout(tmp / "F1.DOP", 20, layout), kOk);
    EXPECT_EQ(layout.fieldPosition, c.expected) << c.second << " " << c.fifth;
  }
}

TEST(FieldLayout, TwentyByteRecordsWithoutQuotesOrFile) {
  TempDir tmp;
  FieldLayout layout;
  EXPECT_EQ(ReadFieldLayout(tmp / "F1.DOP", 20, layout), kNoFieldLayout);
  // No quote to look at: DATE HIGH LOW CLOSE VOL.
  for (std::vector<std::uint8_t> bytes :
       {std::vector<std::uint8_t>{}, std::vector<std::uint8_t>(20, 0),
        std::vector<std::uint8_t>(30, 0x7F)}) {
    testing::WriteBytes(tmp / "F1.DAT", bytes);
    ASSERT_EQ(ReadFieldLayout(tmp / "F1.DOP", 20, layout), kOk);
    EXPECT_EQ(layout.fieldPosition, P({1, 0, 0, 2, 3, 4, 5})) << bytes.size();
  }
}

TEST(FieldLayout, DopFoundWhateverItsCase) {
  TempDir tmp;
  testing::WriteText(tmp / "f1.dop", "\"DATE\",0,0\n\"CLOSE\",0,0\n");
  FieldLayout layout;
  ASSERT_EQ(ReadFieldLayout(tmp / "F1.DOP", 28, layout), kOk);
  EXPECT_EQ(layout.fieldPosition, P({1, 0, 0, 0, 0, 2}));
}

}  // namespace
}  // namespace ledgrix::formats
