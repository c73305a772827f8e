// Writes keep MASTER, EMASTER and XMASTER in step: checked at the offsets the format documents
// and by the independent reader, never by our own reader alone.
#include <gtest/gtest.h>

#include <cstring>

#include "maintenance/master_repair.h"
#include "maintenance/symbol_ops.h"
#include "tests/maintenance/helpers.h"
#include "tests/support/independent_reader.h"
#include "tests/support/scripted_prompt.h"

namespace ledgrix::maintenance {
namespace {

using formats::IndexFile;
using std::filesystem::path;

// The 4-byte integer, or float, at an offset.
template <typename T = std::int32_t>
T At(const Bytes& b, std::size_t at) {
  T v;
  std::memcpy(&v, b.data() + at, 4);
  return v;
}

std::string Field(const Bytes& b, std::size_t at, std::size_t size) {
  return std::string(b.begin() + static_cast<std::ptrdiff_t>(at),
                     b.begin() + static_cast<std::ptrdiff_t>(at + size));
}

void Poke(const path& file, std::size_t at, const std::string& bytes) {
  Bytes content = FileBytes(file);
  std::memcpy(content.data() + at, bytes.data(), bytes.size());
  testing::WriteBytes(file, content);
}

// YYYYMMDD of a quote's day.
std::int32_t Long(QuoteDate day) {
  return static_cast<std::int32_t>(formats::StoredValueFromDay(day)) + 19000000;
}

class IndexWritesTest : public ::testing::Test {
 protected:
  // AA, BB (long name) in MASTER and EMASTER; XA, XB (long name) in XMASTER.
  void Build(const path& dir, int quotes = 5) {
    SymbolSpec bb = Spec(2, "BB", quotes);
    bb.name = "Bravo Beverages ";
    bb.longName = "Bravo Beverages Holding";
    SymbolSpec xb = Spec(257, "XB", quotes);
    xb.name = "Xray Bank of the Seven Seas";
    PortfolioBuilder(dir)
        .AddAll({Spec(1, "AA", quotes), bb, Spec(256, "XA", quotes), xb})
        .WithEmaster()
        .Write();
  }
  void ExpectInStep(const path& d) {
    const testing::independent::Portfolio p = testing::independent::Read(d);
    for (const std::string& problem : p.problems)
      ADD_FAILURE() << d << ": " << problem;
  }
  path Dir() const { return root.get() / "P"; }
  TempDir root;
  testing::ScriptedPrompt prompt;
};

// A delete at each position: the file loses the quote; at either end the index dates follow,
// MASTER 25/29 (MBF), EMASTER 64/72 (IEEE) and 126 (integer), XMASTER 108/116 and 104
// (integer), the old index files kept as backups; an integer that says "not set" stays so. In
// the middle no index file changes; the only quote leaves the dates as they were.
TEST_F(IndexWritesTest, ADeleteMovesTheIndexDatesAtEitherEnd) {
  const struct {
    const char* symbol;
    int quotes, gone;
    bool notSet;
  } kCases[] = {{"AA", 5, 0, false}, {"AA", 5, 4, false}, {"AA", 5, 0, true},
                {"AA", 5, 2, false}, {"AA", 1, 0, false}, {"XA", 5, 0, false},
                {"XA", 5, 4, false}, {"XA", 5, 0, true},  {"XA", 5, 2, false}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.symbol) + " " + std::to_string(c.gone) + " of " +
                 std::to_string(c.quotes) + (c.notSet ? " not set" : ""));
    TempDir dir;
    Build(dir.get(), c.quotes);
    const bool x = c.symbol[0] == 'X';
    const path index = dir / (x ? "XMASTER" : "EMASTER");
    const std::size_t record = x ? 150 : 192, copy = x ? 104 : 126;
    if (c.notSet)
      Poke(index, record + copy, std::string("\x25\xEB\x21\x01", 4));  // 19000101
    const Bytes master = FileBytes(dir / "MASTER"), indexBefore = FileBytes(index);
    SymbolSpec spec = Spec(x ? 256 : 1, c.symbol, c.quotes);
    const QuoteDate gone = spec.quotes[static_cast<std::size_t>(c.gone)].date;

    ASSERT_EQ(ApplyQuoteChange(Change(kDelete, gone, gone), dir.get(), c.symbol, prompt),
              formats::kOk);
    spec.quotes.erase(spec.quotes.begin() + c.gone);
    EXPECT_EQ(FileBytes(dir / (x ? "F256.MWD" : "F1.DAT")), MakeQuoteFile(spec));
    const bool end = c.gone == 0 || c.gone == c.quotes - 1;
    const QuoteDate first = spec.quotes.empty() ? gone : spec.quotes.front().date;
    const QuoteDate last = spec.quotes.empty() ? gone : spec.quotes.back().date;
    Bytes expected = master;
    if (!x) {
      const auto f = formats::StoredFromDay(first), l = formats::StoredFromDay(last);
      std::memcpy(expected.data() + formats::kMasterRecordSize + 25, f.data(), 4);
      std::memcpy(expected.data() + formats::kMasterRecordSize + 29, l.data(), 4);
      EXPECT_EQ(At<float>(FileBytes(index), record + 64), formats::StoredValueFromDay(first));
      EXPECT_EQ(At<float>(FileBytes(index), record + 72), formats::StoredValueFromDay(last));
    } else {
      EXPECT_EQ(At(FileBytes(index), record + 108), Long(first));
      EXPECT_EQ(At(FileBytes(index), record + 116), Long(last));
    }
    EXPECT_EQ(FileBytes(dir / "MASTER"), expected);
    EXPECT_EQ(At(FileBytes(index), record + copy), c.notSet ? 19000101 : Long(first));
    EXPECT_EQ(FileBytes(dir / "MASTER.BAK"), end && !x ? master : Bytes());
    EXPECT_EQ(FileBytes(index.string() + ".BAK"), end ? indexBefore : Bytes());
    EXPECT_TRUE(prompt.messages.empty());
    ExpectInStep(dir.get());
  }
}

TEST_F(IndexWritesTest, RenameWritesEveryNameFieldZeroFilled) {
  Build(Dir());
  const formats::SymbolKey bb{IndexFile::kMaster, 2}, xa{IndexFile::kXmaster, 256};
  // Real XMASTERs leave stale bytes after a name's NUL; a rename clears the whole field.
  Poke(Dir() / "XMASTER", 150 + 1, std::string("XA\0Y ORD", 8));
  ASSERT_TRUE(RenameSymbol(Dir(), bb, "ABCDEFGHIJKLMN", "A name longer than sixteen"));
  ASSERT_TRUE(RenameSymbol(Dir(), xa, "X", "Pubblica utilit\xE0"));
  const Bytes master = FileBytes(Dir() / "MASTER");
  const Bytes e = FileBytes(Dir() / "EMASTER");
  const Bytes x = FileBytes(Dir() / "XMASTER");
  EXPECT_EQ(Field(master, 2 * 53 + 7, 16), "A name longer th");
  EXPECT_EQ(Field(master, 2 * 53 + 36, 16), "ABCDEFGHIJKLMN  ");
  EXPECT_EQ(Field(e, 2 * 192 + 11, 15), std::string("ABCDEFGHIJKLMN\0", 15));
  EXPECT_EQ(Field(e, 2 * 192 + 32, 17), std::string("A name longer th\0", 17));
  EXPECT_EQ(Field(e, 2 * 192 + 139, 27), std::string("A name longer than sixteen\0", 27));
  EXPECT_EQ(Field(x, 150 + 1, 15), std::string("X\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 15));
  EXPECT_EQ(Field(x, 150 + 16, 17), std::string("Pubblica utilit\xE0\0", 17));
  ExpectInStep(Dir());

  // A name that fits 16 characters leaves no long name.
  ASSERT_TRUE(RenameSymbol(Dir(), bb, "BB", "Bravo"));
  EXPECT_EQ(Field(FileBytes(Dir() / "EMASTER"), 2 * 192 + 139, 46), std::string(46, '\0'));

  // Refusals change nothing: symbols have 14 characters, names 45 with a long name field.
  const auto files = Files(Dir());
  for (const auto& [key, symbol, name] :
       {std::tuple{bb, std::string("ABCDEFGHIJKLMNO"), std::string("n")},
        std::tuple{xa, std::string("X"), std::string(46, 'n')},
        std::tuple{bb, std::string(" B"), std::string("n")}}) {
    EXPECT_FALSE(RenameSymbol(Dir(), key, symbol, name)) << symbol;
  }
  EXPECT_EQ(Files(Dir()), files);
  // Without an EMASTER a MASTER name has 16.
  std::filesystem::remove(Dir() / "EMASTER");
  EXPECT_FALSE(RenameSymbol(Dir(), bb, "BB", std::string(17, 'n')));
  EXPECT_EQ(Files(Dir()).size(), files.size() - 1);
}

TEST_F(IndexWritesTest, RemovalDropsTheRecordFromEveryFileThatListsIt) {
  Build(Dir());
  const Bytes e = FileBytes(Dir() / "EMASTER");
  ASSERT_TRUE(RemoveSymbol(Dir(), formats::SymbolKey{IndexFile::kMaster, 1}));
  ASSERT_TRUE(RemoveSymbol(Dir(), formats::SymbolKey{IndexFile::kXmaster, 256}));
  EXPECT_EQ(Names(Dir()), (std::set<std::string>{"MASTER", "EMASTER", "XMASTER", "F2.DAT", "F2.DOP",
                                                 "F257.MWD", "F257.DOP"}));
  const Bytes e2 = FileBytes(Dir() / "EMASTER");
  EXPECT_EQ(e2.size(), 2 * 192u);
  EXPECT_EQ(Field(e2, 192, 192), Field(e, 2 * 192, 192));  // BB's record, moved up
  EXPECT_EQ(e2[0], 1);
  const Bytes x = FileBytes(Dir() / "XMASTER");
  EXPECT_EQ(x[10] + x[14], 2);         // both counts 1
  EXPECT_EQ(x[18] | x[19] << 8, 258);  // the next number stays
  ExpectInStep(Dir());
}

// Into a full MASTER, a symbol goes to XMASTER under its next number (F<n>.MWD); from XMASTER
// into a MASTER with room it gets a MASTER record and its long name in EMASTER.
TEST_F(IndexWritesTest, TransfersBetweenMasterAndXmaster) {
  Build(Dir());
  PortfolioBuilder full(root / "FULL");
  for (int n = 1; n <= 255; ++n)
    full.Add(Spec(static_cast<std::uint16_t>(n), "S" + std::to_string(n), 1));
  full.WithEmaster().WithXmaster("XMASTER", 300).Write();
  const Bytes fullEmaster = FileBytes(root / "FULL" / "EMASTER");

  EXPECT_EQ(TransferSymbol(Dir(), Dir() / "MASTER", "BB", root / "FULL", false, prompt), kAdded);
  const Bytes x = FileBytes(root / "FULL" / "XMASTER");
  ASSERT_EQ(x.size(), 2 * 150u);
  EXPECT_EQ(x[150 + 65] | x[150 + 66] << 8, 300);
  EXPECT_EQ(Field(x, 150 + 16, 24), std::string("Bravo Beverages Holding\0", 24));
  EXPECT_EQ(x[150 + 70], 0x7F);
  EXPECT_EQ(At(x, 150 + 108), At(FileBytes(Dir() / "EMASTER"), 2 * 192 + 126));
  EXPECT_EQ(x[18] | x[19] << 8, 301);
  EXPECT_EQ(FileBytes(root / "FULL" / "F300.MWD"), FileBytes(Dir() / "F2.DAT"));
  EXPECT_EQ(FileBytes(root / "FULL" / "EMASTER"), fullEmaster);
  ExpectInStep(root / "FULL");

  PortfolioBuilder(root / "ROOM").Add(Spec(1, "R1")).WithEmaster().Write();
  const Bytes xb = FileBytes(Dir() / "F257.MWD");
  EXPECT_EQ(TransferSymbol(Dir(), Dir() / "MASTER", "XB", root / "ROOM", true, prompt), kAdded);
  const Bytes m = FileBytes(root / "ROOM" / "MASTER");
  EXPECT_EQ(m[2 * 53], 2);
  EXPECT_EQ(Field(m, 2 * 53 + 7, 16), "Xray Bank of the");
  EXPECT_EQ(Field(FileBytes(root / "ROOM" / "EMASTER"), 2 * 192 + 139, 28),
            std::string("Xray Bank of the Seven Seas\0", 28));
  EXPECT_EQ(FileBytes(root / "ROOM" / "F2.DAT"), xb);
  EXPECT_FALSE(std::filesystem::exists(Dir() / "F257.MWD"));
  ExpectInStep(root / "ROOM");
  ExpectInStep(Dir());
  EXPECT_TRUE(prompt.messages.empty());
}

// An EMASTER out of step is left alone by a change, and the repair rebuilds it from MASTER,
// keeping what it still says of each symbol (long names) and the old file as EMASTER.BAK.
TEST_F(IndexWritesTest, AnEmasterOutOfStepIsLeftAloneUntilRebuilt) {
  Build(Dir());
  Bytes e = FileBytes(Dir() / "EMASTER");
  std::swap_ranges(e.begin() + 192, e.begin() + 2 * 192, e.begin() + 2 * 192);
  testing::WriteBytes(Dir() / "EMASTER", e);
  const QuoteDate oldest = Spec(1, "AA", 5).quotes[0].date;
  ASSERT_EQ(ApplyQuoteChange(Change(kDelete, oldest, oldest), Dir(), "AA", prompt), formats::kOk);
  EXPECT_EQ(FileBytes(Dir() / "EMASTER"), e);

  testing::ScriptedPrompt no({false});
  EXPECT_EQ(RebuildEmaster(Dir(), false, no), 0);
  ASSERT_EQ(no.questions.size(), 1u);
  EXPECT_NE(no.questions[0].find("out of step with MASTER"), std::string::npos);
  EXPECT_EQ(FileBytes(Dir() / "EMASTER"), e);
  EXPECT_EQ(RebuildEmaster(Dir(), true, prompt), 1);
  ExpectInStep(Dir());
  EXPECT_EQ(FileBytes(Dir() / "EMASTER.BAK"), e);
  EXPECT_EQ(testing::independent::Read(Dir()).symbols[1].longName, "Bravo Beverages Holding");

  // The blank-symbol repair takes EMASTER along.
  formats::MasterRecord blank = testing::MakeMasterRecord(Spec(3, "", 1));
  blank.setIssueName("LOST");
  PortfolioBuilder(root / "R").Add(Spec(1, "AA", 1)).AddRawRecord(blank).WithEmaster().Write();
  testing::WriteBytes(root / "R" / "F3.DAT", MakeQuoteFile(Spec(3, "", 1)));
  EXPECT_EQ(RepairMaster(root / "R" / "MASTER", true, prompt), 1);
  ExpectInStep(root / "R");
}

}  // namespace
}  // namespace ledgrix::maintenance
