// MASTER records and LookupSymbol: matching, nesting, found directories and names of any case.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "formats/lookup.h"
#include "formats/master.h"
#include "tests/support/fixture.h"

namespace ledgrix::formats {
namespace {

using testing::PortfolioBuilder;
using testing::SymbolSpec;
using testing::TempDir;

SymbolSpec Spec(std::uint8_t n, std::string symbol, std::string name = "") {
  SymbolSpec s;
  s.fileNumber = n;
  s.symbol = std::move(symbol);
  s.name = name.empty() ? s.symbol + " INC" : std::move(name);
  s.quotes = testing::MakeDailyQuotes(DayFromYmd(1998, 1, 2), 5);
  return s;
}

// The directory as LookupSymbol gives it: with a closing separator.
std::string Found(const Path& dir) {
  return dir.string() + std::string(1, Path::preferred_separator);
}

TEST(MasterRecord, FieldsAndDisplayTexts) {
  SymbolSpec spec = Spec(7, "IBM", "INTL BUS MACH");
  spec.periodicity = 'W';
  const MasterRecord r = testing::MakeMasterRecord(spec);
  EXPECT_EQ(r.fileNumber(), 7);
  EXPECT_EQ(r.recordLength(), 28);
  EXPECT_EQ(r.fieldCount(), 7);
  EXPECT_EQ(r.periodicity(), 'W');
  EXPECT_EQ(r.issueName(), "INTL BUS MACH   ");
  EXPECT_EQ(r.symbolField(), "IBM             ");
  EXPECT_EQ(r.displaySymbol(), "IBM");
  EXPECT_EQ(r.storedFirstDate(), 980102.0f);
  MasterRecord copy = r;
  copy.decodeDates();
  EXPECT_EQ(copy.hostFirstDate(), 980102.0f);
  copy.encodeDates();
  EXPECT_EQ(copy.bytes, r.bytes);
  // The display symbol stops at control and high bytes.
  copy.bytes[master_offset::kSymbol + 1] = 0x85;
  EXPECT_EQ(copy.displaySymbol(), "I");
  copy.bytes[master_offset::kSymbol] = 0x00;
  EXPECT_TRUE(copy.hasBlankSymbol());
}

TEST(MasterRecord, MatchingRuleAndDirectoryEntries) {
  MasterRecord r;
  r.setIssueName("Acme Corp");
  r.setSymbolField("AB CD");
  EXPECT_TRUE(r.matches("ACME CORP"));
  EXPECT_TRUE(r.matches("acme corp"));
  EXPECT_FALSE(r.matches("ACME"));
  EXPECT_TRUE(r.matches("ab cd"));  // two words: the symbol up to its second space
  EXPECT_TRUE(r.matches("AB"));     // one word: the symbol up to its first space
  EXPECT_FALSE(r.matches("AB C"));
  EXPECT_FALSE(r.matches("CD"));

  MasterRecord entry;
  entry.setIssueName("SUB        <DIR>");
  EXPECT_TRUE(entry.isDirectoryEntry());
  EXPECT_EQ(entry.directoryName(), "SUB");
  entry.setIssueName("           <DIR>");  // needs a first character
  EXPECT_FALSE(entry.isDirectoryEntry());
}

TEST(Lookup, FindsByNameAndBySymbolIgnoringCase) {
  TempDir tmp;
  IndexEntry r;
  Path found;
  EXPECT_EQ(LookupSymbol(tmp.get(), "IBM", r, found), kFileNotFound);  // no MASTER
  PortfolioBuilder(tmp.get()).Write();
  EXPECT_EQ(LookupSymbol(tmp.get(), "IBM", r, found), kFileNotFound);  // an empty one
  PortfolioBuilder(tmp.get())
      .Add(Spec(1, "IBM", "INTL BUS MACH"))
      .Add(Spec(2, "msft"))
      .Add(Spec(3, "XYZ", "           <DIR>"))  // an ordinary record
      .Write();
  ASSERT_EQ(LookupSymbol(tmp.get(), "ibm", r, found), kOk);
  EXPECT_EQ(r.fileNumber(), 1);
  EXPECT_EQ(found.string(), Found(tmp.get()));
  EXPECT_EQ(r.firstDate, 980102);  // dates come back as plain numbers
  ASSERT_EQ(LookupSymbol(tmp.get(), "intl bus mach", r, found), kOk);
  EXPECT_EQ(r.fileNumber(), 1);
  ASSERT_EQ(LookupSymbol(tmp.get(), "MSFT", r, found), kOk);
  EXPECT_EQ(r.fileNumber(), 2);
  ASSERT_EQ(LookupSymbol(tmp.get(), "XYZ", r, found), kOk);
  EXPECT_EQ(r.fileNumber(), 3);
  EXPECT_EQ(LookupSymbol(tmp.get(), "ORCL", r, found), kFileNotFound);
  // A directory given with its separator is found with one separator.
  ASSERT_EQ(LookupSymbol(Found(tmp.get()), "IBM", r, found), kOk);
  EXPECT_EQ(found.string(), Found(tmp.get()));
}

TEST(Lookup, FollowsNestedDirectoryEntriesDepthFirst) {
  TempDir tmp;
  // Top: entry A, entry B, symbol DUP (own symbols are tried before any sub-directory).
  PortfolioBuilder(tmp.get())
      .AddDirectoryEntry("A")
      .AddDirectoryEntry("B")
      .Add(Spec(1, "DUP"))
      .Write();
  PortfolioBuilder(tmp / "A").AddDirectoryEntry("DEEP").Add(Spec(2, "INA")).Write();
  PortfolioBuilder(tmp.get() / "A" / "DEEP").Add(Spec(3, "DEEPSYM")).Add(Spec(4, "TWICE")).Write();
  PortfolioBuilder(tmp / "B")
      .Add(Spec(5, "TWICE"))
      .Add(Spec(6, "DUP"))
      .Add(Spec(7, "ONLYB"))
      .Write();

  IndexEntry r;
  Path found;
  ASSERT_EQ(LookupSymbol(tmp.get(), "DUP", r, found), kOk);
  EXPECT_EQ(r.fileNumber(), 1);
  ASSERT_EQ(LookupSymbol(tmp.get(), "deepsym", r, found), kOk);
  EXPECT_EQ(r.fileNumber(), 3);
  EXPECT_EQ(found.string(), Found(tmp.get() / "A" / "DEEP"));
  // A/DEEP is searched before B.
  ASSERT_EQ(LookupSymbol(tmp.get(), "TWICE", r, found), kOk);
  EXPECT_EQ(r.fileNumber(), 4);
  // Back up from A/DEEP and on into B.
  ASSERT_EQ(LookupSymbol(tmp.get(), "ONLYB", r, found), kOk);
  EXPECT_EQ(found.string(), Found(tmp.get() / "B"));
}

TEST(Lookup, NamesOfAnyCaseOnDisk) {
  TempDir tmp;
  PortfolioBuilder(tmp.get()).SetMasterName("master").AddDirectoryEntry("SUB").Write();
  PortfolioBuilder(tmp / "SUB").SetMasterName("Master").Add(Spec(1, "LOW")).Write();
  // Through another name: where names match in any case, SUB to sub alone renames nothing.
  std::filesystem::rename(tmp / "SUB", tmp / "sub.x");
  std::filesystem::rename(tmp / "sub.x", tmp / "sub");
  IndexEntry r;
  Path found;
  ASSERT_EQ(LookupSymbol(tmp.get(), "LOW", r, found), kOk);
  // The spelling on disk is what comes back.
  EXPECT_EQ(found.string(), Found(tmp.get() / "sub"));

  testing::WriteText(tmp / "f1.dat", "x");
  testing::WriteText(tmp / "F1.dop", "x");
  EXPECT_EQ(QuoteFilePath(tmp.get(), 1, "DAT"), tmp / "f1.dat");
  EXPECT_EQ(QuoteFilePath(tmp.get(), 1, ".DOP"), tmp / "F1.dop");
  // A file not there gets the format's upper-case name.
  EXPECT_EQ(QuoteFilePath(tmp.get(), 12, "BAK"), tmp / "F12.BAK");
}

TEST(Lookup, ReadMasterFileKeepsEveryRecord) {
  TempDir tmp;
  PortfolioBuilder(tmp.get()).Add(Spec(1, "A")).Add(Spec(2, "B")).SetCounts(300, -2).Write();
  MasterFile file;
  ASSERT_TRUE(ReadMasterFile(tmp / "master", file));
  // The header counts are signed little-endian.
  EXPECT_EQ(file.header.bytes[0], 0x2C);
  EXPECT_EQ(file.header.bytes[1], 0x01);
  EXPECT_EQ(file.header.symbolCount(), 300);
  EXPECT_EQ(file.header.fileCounter(), -2);
  ASSERT_EQ(file.records.size(), 2u);
  EXPECT_FALSE(file.trailingBytes);
  EXPECT_EQ(MasterBytes(file), testing::FileBytes(tmp / "MASTER"));

  auto bytes = testing::FileBytes(tmp / "MASTER");
  bytes.resize(bytes.size() - 10);
  testing::WriteBytes(tmp / "MASTER", bytes);
  ASSERT_TRUE(ReadMasterFile(tmp / "MASTER", file));
  EXPECT_EQ(file.records.size(), 1u);
  EXPECT_TRUE(file.trailingBytes);

  testing::WriteBytes(tmp / "MASTER", {1, 2, 3});
  EXPECT_FALSE(ReadMasterFile(tmp / "MASTER", file));
  EXPECT_FALSE(ReadMasterFile(tmp / "NOWHERE" / "MASTER", file));
}

}  // namespace
}  // namespace ledgrix::formats
