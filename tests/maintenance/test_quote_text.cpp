// Quotes read from text: every form the reader takes, and every line it refuses with its number.
#include "maintenance/quote_text.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace ledgrix::maintenance {
namespace {

// "YYYYMMDD[ HHMMSS] close" of each quote, joined by " | ".
std::string Summary(const QuoteText& text) {
  std::string out;
  for (const TextQuote& q : text.quotes) {
    const formats::Ymd ymd = formats::YmdFromDay(q.date);
    char cell[64];
    std::snprintf(cell, sizeof cell, "%04d%02d%02d", 1900 + ymd.year, ymd.month, ymd.day);
    out += (out.empty() ? "" : " | ") + std::string(cell);
    if (text.intraday()) {
      const formats::Hms t = formats::HmsFromTime(q.time);
      std::snprintf(cell, sizeof cell, " %02d%02d%02d", t.hours, t.minutes, t.seconds);
      out += cell;
    }
    std::snprintf(cell, sizeof cell, " %g", q.values[3]);
    out += cell;
  }
  return out;
}

struct FormCase {
  const char* name;
  std::string text;
  std::uint8_t bits;  // DATE 01 HIGH 02 LOW 04 CLOSE 08 VOL 10 OPEN 20 OI 40 TIME 80
  std::string quotes;
};

TEST(QuoteText, ReadsEveryForm) {
  const FormCase cases[] = {
      {"our export, space, oldest first",
       "01/02/98 10.5000 11.0000 10.0000 10.7500 900.00 12.00\r\n"
       "01/05/98 10.7500 12.5000 10.5000 12.7500 1500.00 13.00\r\n",
       0x7F, "19980102 10.75 | 19980105 12.75"},
      {"our export, comma, title, volume left out, newest first",
       "DATE,OPEN,HIGH,LOW,CLOSE,OI\r\n01/05/02,1,2,0.5,1.5,7.00\r\n01/02/02,1,2,0.5,1.25,7.00\r\n",
       0x6F, "20020102 1.25 | 20020105 1.5"},
      {"our export, tab, title, no open interest in the file",
       "DATE\tOPEN\tHIGH\tLOW\tCLOSE\tVOL\tOI\r\n"
       "01/02/98\t1.0000\t2.0000\t0.5000\t1.5000\t10.00\tN/A\r\n",
       0x3F, "19980102 1.5"},
      {"semicolon, decimal comma, ISO dates, byte order mark, blank lines",
       "\xEF\xBB\xBF"
       "Date;Open;High;Low;Close;Volume\n\n2014-06-27;1,5;2;1;1,75;100\n\n",
       0x3F, "20140627 1.75"},
      {"intraday with a time column, any order of columns",
       "Time,Date,Open,High,Low,Close,Volume\n09:35,2014-06-27,1,2,1,1.5,10\n"
       "09:30:00,2014-06-27,1,2,1,1.25,10\n",
       0xBF, "20140627 093000 1.25 | 20140627 093500 1.5"},
      {"title row naming Vol and OpenInt, times as HHMMSS",
       "<DATE>,<TIME>,<OPEN>,<HIGH>,<LOW>,<CLOSE>,<VOL>,<OPENINT>\n20140627,091600,1,2,1,1.5,10,"
       "3\n",
       0xFF, "20140627 091600 1.5"},
      {"YYYYMMDD without a title row", "20140627,1,2,1,1.5,10\n", 0x3F, "20140627 1.5"},
      {"MM/DD/YYYY and close only, runs of blanks", "01/02/1998    10.5\n  12/31/1999 11\n", 0x09,
       "19980102 10.5 | 19991231 11"},
      {"a time without a title row", "2014-06-27 09:30 1 2 1 1.5 10 3\n", 0xFF,
       "20140627 093000 1.5"},
      {"unknown columns ignored, quoted cells",
       "\"Date\",\"Close\",\"Adj Close\"\n"
       "\"2001-03-01\",\"4.5\",\"4.4\"\n",
       0x09, "20010301 4.5"},
  };
  for (const FormCase& c : cases) {
    QuoteText text;
    std::vector<TextProblem> problems;
    EXPECT_TRUE(ReadQuoteText(c.text, text, problems)) << c.name << DescribeProblems(problems);
    EXPECT_EQ(text.fieldBits(), c.bits) << c.name;
    EXPECT_EQ(Summary(text), c.quotes) << c.name;
  }
}

TEST(QuoteText, KeepsEveryValueOfALine) {
  QuoteText text;
  std::vector<TextProblem> problems;
  ASSERT_TRUE(ReadQuoteText("01/02/98 -10.5 1.1e1 +10 0.1 123456789.5 12.\n", text, problems));
  EXPECT_EQ(text.quotes[0].values, (std::array<float, 6>{-10.5f, 11, 10, 0.1f, 123456789.5f, 12}));
  EXPECT_EQ(text.delimiter, ' ');
  EXPECT_FALSE(text.titleRow);
}

struct BadCase {
  const char* name;
  std::string text;
  std::string problems;  // as DescribeProblems gives them
};

TEST(QuoteText, RefusesEveryUnreadableLineByNumber) {
  const BadCase cases[] = {
      {"wrong column count, unreadable date, time and numbers",
       "Date,Time,Close\n2014-06-27,09:30,1\n2014-06-27,09:31\n2014-13-01,09:30,1\n"
       "2014-06-27,25:00,1\n2014-06-27,09:33,1..5\n2014-02-30,09:30,1\n",
       "line 3: 2 columns where the title row has 3\nline 4: unreadable date '2014-13-01'\n"
       "line 5: unreadable time '25:00'\nline 6: unreadable CLOSE '1..5'\n"
       "line 7: unreadable date '2014-02-30'"},
      {"a date twice, newest first", "01/05/98 1 2 1 1.5\n01/02/98 1 2 1 1.5\n01/05/98 1 2 1 1.6\n",
       "line 3: date given twice (also on line 1)"},
      {"N/A among numbers", "DATE,CLOSE,VOL\n01/02/98,1,N/A\n01/05/98,1,7\n",
       "line 2: VOL is N/A on this line only"},
      {"no date column", "Close,Volume\n1,2\n", "line 1: the title row names no Date column"},
      {"a column named twice", "Date,Close,close\n", "line 1: column close named twice"},
      {"three columns without a title row", "\n01/02/98 1 2\n",
       "line 2: 3 columns: without a title row a line holds the date, a time for intraday "
       "quotes, then the close alone or open, high, low, close, volume and open interest (the "
       "last two may be left out)"},
      {"a title row and nothing else", "Date,Close\r\n", "the text holds no quotes"},
  };
  for (const BadCase& c : cases) {
    QuoteText text;
    std::vector<TextProblem> problems;
    EXPECT_FALSE(ReadQuoteText(c.text, text, problems)) << c.name;
    EXPECT_EQ(DescribeProblems(problems), c.problems) << c.name;
    EXPECT_TRUE(text.quotes.empty()) << c.name;
  }
}

TEST(QuoteText, ListsTheFirstProblemsAndCountsTheRest) {
  std::string text = "Date,Close\n";
  for (int i = 0; i < 60; ++i)
    text += "x,1\n";
  QuoteText out;
  std::vector<TextProblem> problems;
  ASSERT_FALSE(ReadQuoteText(text, out, problems));
  ASSERT_EQ(problems.size(), kMaxListedProblems + 1);
  EXPECT_EQ(problems.back().reason, "and 10 more lines that cannot be read");
}

}  // namespace
}  // namespace ledgrix::maintenance
