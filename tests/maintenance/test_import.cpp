// Quotes imported from text: a new portfolio byte for byte, a new symbol in MASTER or XMASTER,
// replace and merge, refusals that write nothing, and export -> import giving the same quotes.
#include "maintenance/quote_import.h"

#include <gtest/gtest.h>

#include <initializer_list>

#include "tests/maintenance/helpers.h"
#include "tests/support/independent_reader.h"

namespace ledgrix::maintenance {
namespace {

namespace independent = testing::independent;

// Pairs of hex digits, blanks between them ignored.
Bytes Hex(std::string_view spaced) {
  Bytes out;
  for (std::size_t i = 0; i < spaced.size(); i += spaced[i] == ' ' ? 1 : 2) {
    if (spaced[i] != ' ')
      out.push_back(
          static_cast<std::uint8_t>(std::stoi(std::string(spaced.substr(i, 2)), nullptr, 16)));
  }
  return out;
}

// size zero bytes with the given bytes laid in at each offset.
Bytes Block(std::size_t size, std::initializer_list<std::pair<std::size_t, Bytes>> parts) {
  Bytes out(size, 0);
  for (const auto& [at, bytes] : parts)
    std::copy(bytes.begin(), bytes.end(), out.begin() + static_cast<std::ptrdiff_t>(at));
  return out;
}

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& part : parts)
    out.insert(out.end(), part.begin(), part.end());
  return out;
}

QuoteText Read(const std::string& text) {
  QuoteText out;
  std::vector<TextProblem> problems;
  EXPECT_TRUE(ReadQuoteText(text, out, problems)) << DescribeProblems(problems);
  return out;
}

const std::string kTwoQuotes =
    "Date,Open,High,Low,Close,Volume,OI\n1998-01-05,10.75,13,10,12.75,1500,13\n"
    "1998-01-02,10.5,11,10,10.75,900,12\n";

TEST(Import, CreatesAPortfolioByteForByte) {
  TempDir dir;
  const ImportOutcome outcome = ImportQuotes(dir / "NEW", " acme ", "Acme Corporation of Spring",
                                             Read(kTwoQuotes), ImportMode::kNewSymbol);
  ASSERT_TRUE(outcome.ok) << outcome.message;
  EXPECT_TRUE(outcome.createdPortfolio);
  const std::filesystem::path d = dir / "NEW";

  const Bytes header = Hex("01000100");
  EXPECT_EQ(FileBytes(d / "MASTER"),
            Cat({Block(53, {{0, header}}),
                 Hex("01 6500 1c 07 0000 41636d6520436f72706f726174696f6e 0000 60486f94 90486f94 "
                     "44 0000 41434d45202020202020202020202020 00")}));
  EXPECT_EQ(FileBytes(d / "EMASTER"),
            Cat({Block(192, {{0, header}}),
                 Block(192, {{0, Hex("3636 01 00 0000 07 7f 00 20 00 41434d45")},
                             {32, Text("Acme Corporation")},
                             {60, Text("D")},
                             {64, Hex("60486f49")},
                             {72, Hex("90486f49")},
                             {126, Hex("46df3001")},
                             {139, Text("Acme Corporation of Spring")}})}));
  EXPECT_EQ(FileBytes(d / "F1.DAT"),
            Cat({Block(28, {{0, Hex("00000300")}}),
                 Hex("60486f94 00002884 00003084 00002084 00002c84 0000618a 00004084"),
                 Hex("90486f94 00002c84 00005084 00002084 00004c84 00803b8b 00005084")}));
  EXPECT_EQ(Names(d), (std::set<std::string>{"MASTER", "EMASTER", "F1.DAT"}));
}

TEST(Import, ANewSymbolTakesTheLowestFreeNumberAndItsLayoutFromTheText) {
  TempDir dir;
  PortfolioBuilder(dir.get())
      .AddAll({Spec(1, "A"), Spec(2, "B"), Spec(4, "D")})
      .WithEmaster()
      .Write();
  // Intraday without open interest: DATE TIME OPEN HIGH LOW CLOSE VOL, no descriptor needed;
  // close only: a descriptor says so.
  const ImportOutcome intraday = ImportQuotes(dir.get(), "ticks", "",
                                              Read("Date,Time,Open,High,Low,Close,Vol\n"
                                                   "2014-06-27,09:30,1,2,1,1.5,10\n"
                                                   "2014-06-27,09:35,1,2,1,1.75,10\n"),
                                              ImportMode::kNewSymbol);
  ASSERT_TRUE(intraday.ok) << intraday.message;
  EXPECT_EQ(intraday.key.fileNumber, 3);
  const ImportOutcome closes =
      ImportQuotes(dir.get(), "CLOSES", "Closes only", Read("Date,Close\n2014-06-27,7\n"),
                   ImportMode::kNewSymbol);
  ASSERT_TRUE(closes.ok) << closes.message;
  EXPECT_EQ(closes.key.fileNumber, 5);
  EXPECT_EQ(FileBytes(dir / "F5.DOP"), Text("\"DATE\",0,0\r\n\"CLOSE\",0,0\r\n"));

  const independent::Portfolio p = independent::Read(dir.get());
  EXPECT_TRUE(p.problems.empty()) << p.problems.front();
  ASSERT_EQ(p.symbols.size(), 5u);
  EXPECT_EQ(p.symbols[3].symbol, "TICKS");
  EXPECT_EQ(p.symbols[4].name, "Closes only");
  const formats::MasterFile m = ReadMaster(dir / "MASTER");
  EXPECT_EQ(m.records[3].recordLength(), 28);
  EXPECT_EQ(m.records[3].periodicity(), 'I');
  EXPECT_EQ(m.records[3].bytes[34], 5);  // the interval in minutes
  EXPECT_EQ(m.records[4].recordLength(), 8);
}

TEST(Import, ReplacesOrMergesAnExistingSymbolsQuotes) {
  // The symbol holds 5, 6 and 7 January 1998, closes 10.5, 11 and 11.5.
  const std::string text = "Date,Close,Vol\n1998-01-06,20,5\n1998-01-08,30,5\n";
  const struct {
    ImportMode mode;
    std::string text;
    std::vector<long> dates;
    std::vector<float> closes;
  } cases[] = {
      {ImportMode::kReplace, text, {19980106, 19980108}, {20, 30}},
      {ImportMode::kMerge, text, {19980105, 19980106, 19980107, 19980108}, {0, 20, 0, 30}},
  };
  for (const auto& c : cases) {
    TempDir dir;
    PortfolioBuilder(dir.get()).Add(Spec(1, "A")).WithEmaster().Write();
    const formats::MasterFile before = ReadMaster(dir / "MASTER");
    const ImportOutcome outcome = ImportQuotes(dir.get(), "a", "", Read(c.text), c.mode);
    ASSERT_TRUE(outcome.ok) << outcome.message;
    const independent::Portfolio p = independent::Read(dir.get());
    EXPECT_TRUE(p.problems.empty()) << p.problems.front();
    ASSERT_EQ(p.symbols.at(0).quotes.size(), c.dates.size());
    for (std::size_t i = 0; i < c.dates.size(); ++i) {
      EXPECT_EQ(p.symbols[0].quotes[i].date, c.dates[i]);
      if (c.closes[i] != 0) {
        EXPECT_EQ(p.symbols[0].quotes[i].close, c.closes[i]);
      }
    }
    EXPECT_EQ(p.symbols[0].lastDate, 19980108);
    EXPECT_EQ(FileBytes(dir / "MASTER.BAK"), formats::MasterBytes(before));
  }
}

// A folder without MASTER may have lost it: its quote files keep their numbers and bytes.
TEST(Import, ANewPortfolioLeavesQuoteFilesAlreadyThere) {
  TempDir dir;
  testing::WriteText(dir / "F1.DAT", "kept");
  const ImportOutcome outcome =
      ImportQuotes(dir.get(), "NEW", "", Read(kTwoQuotes), ImportMode::kNewSymbol);
  ASSERT_TRUE(outcome.ok) << outcome.message;
  EXPECT_EQ(outcome.key.fileNumber, 2);
  EXPECT_EQ(FileBytes(dir / "F1.DAT"), Text("kept"));
}

TEST(Import, AMasterHoldingFewerRecordsThanItAnnouncesIsRefused) {
  TempDir dir;
  PortfolioBuilder(dir.get()).Add(Spec(1, "A")).SetCounts(2, 2).Write();
  const auto files = Files(dir.get());
  EXPECT_FALSE(ImportQuotes(dir.get(), "NEW", "", Read(kTwoQuotes), ImportMode::kNewSymbol).ok);
  EXPECT_EQ(Files(dir.get()), files);
}

TEST(Import, RefusalsWriteNothing) {
  TempDir dir;
  SymbolSpec six = Spec(1, "SIX");
  six.fields = {formats::kDate, formats::kOpen,  formats::kHigh,
                formats::kLow,  formats::kClose, formats::kVol};
  PortfolioBuilder(dir.get()).Add(six).WithEmaster().Write();
  const auto files = Files(dir.get());
  struct Refusal {
    std::string symbol, name, text;
    ImportMode mode;
    std::string reason;
  } cases[] = {
      {"SIX", "", "Date,Close,OI\n1998-01-05,1,3\n", ImportMode::kMerge, "no OI field"},
      {"six", "", "Date,Close\n1998-01-05,1\n", ImportMode::kNewSymbol,
       "Symbol SIX already exists in\n" + dir.get().string()},
      {"NONE", "", "Date,Close\n1998-01-05,1\n", ImportMode::kReplace,
       "Symbol NONE is not in\n" + dir.get().string()},
      {"TWO WORDS", "", "Date,Close\n1998-01-05,1\n", ImportMode::kNewSymbol,
       "TWO WORDS holds a blank"},
      {"NEW", std::string(46, 'n'), "Date,Close\n1998-01-05,1\n", ImportMode::kNewSymbol,
       "at most 45 characters"},
  };
  for (const Refusal& c : cases) {
    const ImportOutcome outcome = ImportQuotes(dir.get(), c.symbol, c.name, Read(c.text), c.mode);
    EXPECT_FALSE(outcome.ok) << c.symbol;
    EXPECT_NE(outcome.message.find(c.reason), std::string::npos) << outcome.message;
    EXPECT_EQ(Files(dir.get()), files) << c.symbol;
  }
}

// 3 000 quotes into a new portfolio and into a copy of a real full MASTER with XMASTER: the
// independent reader finds them, with the name, and nothing else changed.
TEST(ImportSamples, ThreeThousandQuotesIntoANewPortfolioAndAFullOne) {
  const auto samples = testing::SamplesDir();
  if (!samples)
    GTEST_SKIP() << "no sample portfolios";
  std::string csv = "Date,Open,High,Low,Close,Volume\n";
  std::vector<float> closes;
  QuoteDate day = kMonday;
  for (int i = 0; i < 3000; ++i, day = formats::WeekdayAfter(day)) {
    const formats::Ymd ymd = formats::YmdFromDay(day);
    closes.push_back(10.0f + static_cast<float>(i % 97) * 0.25f);
    char line[96];
    std::snprintf(line, sizeof line, "%04d-%02d-%02d,1,2,0.5,%.2f,%d\n", 1900 + ymd.year, ymd.month,
                  ymd.day, static_cast<double>(closes.back()), 1000 + i);
    csv += line;
  }
  TempDir empty, full;
  for (const char* file : {"MASTER", "EMASTER", "XMASTER"}) {
    std::filesystem::copy_file(*samples / "msdir_equis_a" / file, full / file);
    std::filesystem::permissions(full / file, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
  }
  const std::vector<std::string> known = independent::Read(full.get()).problems;

  for (const TempDir* dir : {&empty, &full}) {
    const ImportOutcome outcome = ImportQuotes(dir->get(), "IMP3K", "Imported Three Thousand Inc",
                                               Read(csv), ImportMode::kNewSymbol);
    ASSERT_TRUE(outcome.ok) << outcome.message;
    const independent::Portfolio p = independent::Read(dir->get());
    EXPECT_EQ(p.problems, dir == &full ? known : std::vector<std::string>{});
    const independent::Symbol& s = p.symbols.back();
    EXPECT_EQ(s.symbol, "IMP3K");
    EXPECT_EQ(s.longName, "Imported Three Thousand Inc");
    EXPECT_EQ(s.inXmaster, dir == &full);
    EXPECT_EQ(s.number, dir == &full ? 2854 : 1);
    ASSERT_EQ(s.quotes.size(), 3000u);
    for (std::size_t i = 0; i < closes.size(); ++i)
      ASSERT_EQ(s.quotes[i].close, closes[i]) << i;
    EXPECT_EQ(s.firstDate, 19980105);
  }
}

}  // namespace
}  // namespace ledgrix::maintenance
