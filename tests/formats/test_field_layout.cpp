// Field layouts from DOP descriptors and the synthetic layouts of files without one.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>

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

// Written as f1.dop and read as F1.DOP: the descriptor is found whatever its case.
FieldLayout FromDop(const TempDir& tmp, const std::string& text, int recordLength = 28,
                    StatusCode expected = kOk) {
  testing::WriteText(tmp / "f1.dop", text);
  FieldLayout layout;
  EXPECT_EQ(ReadFieldLayout(tmp / "F1.DOP", recordLength, layout), expected);
  return layout;
}

TEST(FieldLayout, DopLineRules) {
  struct Case {
    const char* what;
    std::string text;
    Positions positions, input, display;
    int length = 28;
  };
  const std::string longTail(10000, 'x');
  const Case cases[] = {
      {"positions in line order",
       "\"DATE\",0,0\n\"OPEN\",5,5\n\"HIGH\",5,5\n\"LOW\",5,5\n\"CLOSE\",5,5\n\"VOL\",0,0\n",
       P({1, 0, 2, 3, 4, 5, 6, 0}), P({0, 0, 5, 5, 5, 5, 0, 0}), P({0, 0, 5, 5, 5, 5, 0, 0})},
      {"position beyond the record is absent",
       "\"DATE\",0,0\n\"OPEN\",0,0\n\"HIGH\",0,0\n\"LOW\",0,0\n\"CLOSE\",0,0\n\"VOL\",0,0\n",
       P({1, 0, 2, 3, 4, 0, 0, 0}), P({}), P({}), 16},
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
      {"overlong lines are read up to their limit",
       "\"DATE\",0,0\n\"CLOSE\",2,2" + longTail + "\n\"" + longTail + "\n\"VOL\",0,0\n",
       P({1, 0, 0, 0, 0, 2, 3}), P({0, 0, 0, 0, 0, 2}), P({0, 0, 0, 0, 0, 2})},
      {"empty file", "", P({}), P({}), P({})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir tmp;
    const FieldLayout l = FromDop(tmp, c.text, c.length);
    EXPECT_EQ(l.fieldPosition, c.positions);
    EXPECT_EQ(l.inputCode, c.input);
    EXPECT_EQ(l.displayCode, c.display);
  }
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
  // Intraday files carry their time as the second field.
  const Case cases[] = {{8, 'D', kOk, P({1, 0, 0, 0, 0, 2})},
                        {12, 'D', kOk, P({1, 0, 0, 0, 0, 2, 3})},
                        {16, 'D', kOk, P({1, 0, 0, 2, 3, 4})},
                        {24, 'D', kOk, P({1, 0, 2, 3, 4, 5, 6})},
                        {28, 'D', kOk, P({1, 0, 2, 3, 4, 5, 6, 7})},
                        {32, 'D', kNoFieldLayout, P({})},
                        {4, 'D', kNoFieldLayout, P({})},
                        {36, 'D', kNoFieldLayout, P({})},
                        {28, 'I', kOk, P({1, 2, 3, 4, 5, 6, 7})},
                        {32, 'I', kOk, P({1, 2, 3, 4, 5, 6, 7, 8})},
                        {24, 'I', kOk, P({1, 0, 2, 3, 4, 5, 6})},
                        {36, 'I', kNoFieldLayout, P({})}};
  for (const Case& c : cases) {
    TempDir tmp;
    FieldLayout layout;
    EXPECT_EQ(ReadFieldLayout(tmp / "F1.DOP", c.length, layout, c.periodicity), c.status)
        << c.length << c.periodicity;
    EXPECT_EQ(layout.fieldPosition, c.positions) << c.length << c.periodicity;
    EXPECT_EQ(layout.inputCode, P({}));
  }
}

// 20-byte records hold OPEN or VOL as their fifth field; the first quote tells which.
TEST(FieldLayout, TwentyByteRecordsLookAtTheFirstQuote) {
  const Positions volume = P({1, 0, 0, 2, 3, 4, 5});
  const Positions open = P({1, 0, 2, 3, 4, 5});
  const std::tuple<float, float, Positions> cases[] = {
      {50, 0, volume}, {50, 49, open}, {50, 100.5f, volume}, {50, 100, open}, {0, 0, volume}};
  for (const auto& [second, fifth, expected] : cases) {
    TempDir tmp;
    testing::SymbolSpec spec;
    spec.fields = {kDate, kHigh, kLow, kClose, kVol};
    spec.quotes = {{DayFromYmd(1998, 1, 2), 0, 0, second, 0, 0, fifth, 0}};
    testing::WriteBytes(tmp / "f1.dat", testing::MakeQuoteFile(spec));
    FieldLayout layout;
    ASSERT_EQ(ReadFieldLayout(tmp / "F1.DOP", 20, layout), kOk);
    EXPECT_EQ(layout.fieldPosition, expected) << second << " " << fifth;
  }
  // Without a DAT there is no layout; without a quote to look at: DATE HIGH LOW CLOSE VOL.
  TempDir tmp;
  FieldLayout layout;
  EXPECT_EQ(ReadFieldLayout(tmp / "F1.DOP", 20, layout), kNoFieldLayout);
  for (std::vector<std::uint8_t> bytes :
       {std::vector<std::uint8_t>{}, std::vector<std::uint8_t>(20, 0),
        std::vector<std::uint8_t>(30, 0x7F)}) {
    testing::WriteBytes(tmp / "F1.DAT", bytes);
    ASSERT_EQ(ReadFieldLayout(tmp / "F1.DOP", 20, layout), kOk);
    EXPECT_EQ(layout.fieldPosition, volume) << bytes.size();
  }
}

}  // namespace
}  // namespace ledgrix::formats
