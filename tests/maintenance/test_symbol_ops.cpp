// Symbol records with their files: remove, copy, move, the refusals that write nothing, and the
// symbol edit.
#include "maintenance/symbol_ops.h"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "tests/maintenance/helpers.h"
#include "tests/support/scripted_prompt.h"

namespace ledgrix::maintenance {
namespace {

using formats::MasterFile;
using formats::MasterRecord;
using testing::ScriptedPrompt;

// The file numbers a MASTER lists, then its symbol count and file counter.
using Listing = std::tuple<std::vector<int>, int, int>;
Listing ListingOf(const std::filesystem::path& master) {
  const MasterFile file = ReadMaster(master);
  Listing listing{{}, file.header.symbolCount(), file.header.fileCounter()};
  for (const auto& r : file.records)
    std::get<0>(listing).push_back(r.fileNumber());
  return listing;
}

class SymbolOpsTest : public ::testing::Test {
 protected:
  std::filesystem::path Src() const { return root.get() / "SRC"; }
  std::filesystem::path Dst() const { return root.get() / "DST"; }
  AddResult Transfer(const std::string& symbol, bool move) {
    return TransferSymbol(Src(), Src() / "MASTER", symbol, Dst(), move, prompt);
  }
  // Every file of both portfolios, for the refusals that must write nothing.
  auto State() const { return std::pair{Files(Src()), Files(Dst())}; }
  TempDir root;
  ScriptedPrompt prompt;
};

TEST_F(SymbolOpsTest, CopyTakesTheLowestFreeNumberAndAppendsTheRecord) {
  PortfolioBuilder(Src()).Add(Spec(7, "NEW")).Write();
  PortfolioBuilder(Dst()).Add(Spec(1, "A")).Add(Spec(2, "B")).Add(Spec(4, "D")).Write();
  testing::WriteText(Src() / "F7.BAK", "backup");
  const auto srcBefore = State().first;
  const MasterRecord record = ReadMaster(Src() / "MASTER").records[0];

  EXPECT_EQ(Transfer(" new ", false), kAdded);

  EXPECT_EQ(ListingOf(Dst() / "MASTER"), (Listing{{1, 2, 4, 3}, 4, 4}));
  MasterRecord expected = record;
  expected.setFileNumber(3);
  EXPECT_EQ(ReadMaster(Dst() / "MASTER").records[3].bytes, expected.bytes);
  EXPECT_EQ(FileBytes(Dst() / "F3.DAT"), FileBytes(Src() / "F7.DAT"));
  EXPECT_EQ(FileBytes(Dst() / "F3.DOP"), FileBytes(Src() / "F7.DOP"));
  EXPECT_FALSE(std::filesystem::exists(Dst() / "F3.BAK"));
  EXPECT_EQ(State().first, srcBefore);  // a copy leaves the source as it was
  EXPECT_TRUE(prompt.messages.empty());

  // An empty portfolio gives number 1 and both counters 1.
  PortfolioBuilder(Dst()).Write();
  EXPECT_EQ(Transfer("NEW", false), kAdded);
  EXPECT_EQ(ListingOf(Dst() / "MASTER"), (Listing{{1}, 1, 1}));
}

TEST_F(SymbolOpsTest, CopyReplacesAStrayFileAndDropsAStrayDescriptorWhenTheSourceHasNone) {
  SymbolSpec plain = Spec(5, "PLAIN");
  plain.writeDop = false;
  PortfolioBuilder(Src()).Add(plain).Write();
  PortfolioBuilder(Dst()).Add(Spec(1, "A")).Write();
  testing::WriteText(Dst() / "f2.dat", "stray quotes");
  testing::WriteText(Dst() / "F2.DOP", "\"CLOSE\",0,0\r\n\"DATE\",0,0\r\n");

  EXPECT_EQ(Transfer("PLAIN", false), kAdded);
  EXPECT_EQ(FileBytes(Dst() / "f2.dat"), FileBytes(Src() / "F5.DAT"));
  EXPECT_EQ(Names(Dst()), (std::set<std::string>{"MASTER", "F1.DAT", "F1.DOP", "f2.dat"}));
}

TEST_F(SymbolOpsTest, MoveRemovesTheSourceFilesAndLowersBothCounters) {
  PortfolioBuilder(Src()).Add(Spec(1, "STAY")).Add(Spec(2, "GO")).SetCounts(2, 5).Write();
  PortfolioBuilder(Dst()).Add(Spec(1, "A")).Write();
  testing::WriteText(Src() / "F2.BAK", "backup");
  const Bytes dat = FileBytes(Src() / "F2.DAT");
  const Bytes dop = FileBytes(Src() / "F2.DOP");

  EXPECT_EQ(Transfer("go", true), kAdded);

  EXPECT_EQ(Names(Src()), (std::set<std::string>{"MASTER", "F1.DAT", "F1.DOP"}));
  EXPECT_EQ(ListingOf(Src() / "MASTER"), (Listing{{1}, 1, 4}));
  EXPECT_EQ(FileBytes(Dst() / "F2.DAT"), dat);
  EXPECT_EQ(FileBytes(Dst() / "F2.DOP"), dop);
  EXPECT_EQ(std::get<0>(ListingOf(Dst() / "MASTER")), (std::vector<int>{1, 2}));
}

TEST_F(SymbolOpsTest, MoveOfASymbolListedInASubPortfolioTakesItFromThere) {
  // The top MASTER uses the same file number for another symbol.
  PortfolioBuilder(Src() / "SUB").Add(Spec(1, "DEEP")).Write();
  PortfolioBuilder(Src()).Add(Spec(1, "TOP")).AddDirectoryEntry("SUB").Write();
  PortfolioBuilder(Dst()).Write();
  const auto top = State().first;
  const Bytes deep = FileBytes(Src() / "SUB" / "F1.DAT");

  EXPECT_EQ(Transfer("DEEP", true), kAdded);
  EXPECT_EQ(State().first, top);
  EXPECT_EQ(Names(Src() / "SUB"), std::set<std::string>{"MASTER"});
  EXPECT_TRUE(ReadMaster(Src() / "SUB" / "MASTER").records.empty());
  EXPECT_EQ(FileBytes(Dst() / "F1.DAT"), deep);
}

TEST_F(SymbolOpsTest, MoveTakesTheRecordTheRowShowsNotAnEarlierOneNamedAlike) {
  SymbolSpec alike = Spec(1, "AAA");
  alike.name = "IBM";
  PortfolioBuilder(Src()).Add(alike).Add(Spec(2, "IBM")).Write();
  PortfolioBuilder(Dst()).Write();
  const Bytes ibm = FileBytes(Src() / "F2.DAT");

  EXPECT_EQ(Transfer("ibm", true), kAdded);
  EXPECT_EQ(FileBytes(Dst() / "F1.DAT"), ibm);
  EXPECT_EQ(ReadMaster(Dst() / "MASTER").records.at(0).displaySymbol(), "IBM");
  EXPECT_EQ(Names(Src()), (std::set<std::string>{"MASTER", "F1.DAT", "F1.DOP"}));
}

// Every way a destination can be full: 255 symbols by either counter, or every number in use.
TEST_F(SymbolOpsTest, AFullPortfolioIsRefusedWithTheFullMessage) {
  const std::tuple<std::int16_t, std::int16_t, int> cases[] = {
      {255, 3, 3}, {256, 3, 3}, {3, 255, 3}, {10, 10, 255}};
  PortfolioBuilder(Src()).Add(Spec(1, "NEW")).Write();
  for (const auto& [symbolCount, fileCounter, records] : cases) {
    SCOPED_TRACE(records);
    PortfolioBuilder dst(Dst());
    for (int n = 1; n <= records; ++n) {
      SymbolSpec s;
      s.fileNumber = static_cast<std::uint8_t>(n);
      s.symbol = "S" + std::to_string(n);
      dst.AddRawRecord(testing::MakeMasterRecord(s));
    }
    dst.SetCounts(symbolCount, fileCounter).Write();
    const auto before = State();
    ScriptedPrompt p;
    EXPECT_EQ(TransferSymbol(Src(), Src() / "MASTER", "NEW", Dst(), true, p), kPortfolioFull);
    EXPECT_EQ(p.messages, std::vector<std::string>{kFullMessage});
    EXPECT_EQ(State(), before);
  }
}

// Nothing is written anywhere when the destination holds the symbol as the lookup finds it (by
// symbol, by name, in a sub-portfolio), or when the source symbol cannot be found or has no
// quote file.
TEST_F(SymbolOpsTest, RefusalsWriteNothing) {
  PortfolioBuilder(Dst() / "SUB").Add(Spec(3, "DEEP")).Write();
  SymbolSpec named = Spec(2, "XYZ");
  named.name = "BYNAME";
  PortfolioBuilder(Dst()).Add(Spec(1, "IBM")).Add(named).AddDirectoryEntry("SUB").Write();
  PortfolioBuilder(Src())
      .AddAll({Spec(1, "IBM"), Spec(2, "BYNAME"), Spec(3, "DEEP"), Spec(4, "NODAT")})
      .Write();
  std::filesystem::remove(Src() / "F4.DAT");
  const auto before = State();

  for (const auto& [typed, shown] :
       {std::pair{"ibm", "IBM"}, {"BYNAME", "BYNAME"}, {"DEEP", "DEEP"}}) {
    ScriptedPrompt p;
    EXPECT_EQ(TransferSymbol(Src(), Src() / "MASTER", typed, Dst(), true, p), kAlreadyThere);
    ASSERT_EQ(p.messages.size(), 1u);
    EXPECT_NE(p.messages[0].find("Symbol " + std::string(shown) + " already exists in\n" +
                                 Dst().string()),
              std::string::npos);
  }
  EXPECT_EQ(Transfer("ELSEWHERE", true), kAddFailed);
  EXPECT_EQ(prompt.messages.size(), 1u);
  EXPECT_EQ(Transfer("NODAT", true), kAddFailed);
  EXPECT_EQ(State(), before);
}

TEST_F(SymbolOpsTest, RemoveMatchesTheWholeDisplaySymbolAndFreesTheNumber) {
  PortfolioBuilder(Src()).Add(Spec(1, "AB")).Add(Spec(2, "ABC")).Add(Spec(3, "ABCD")).Write();
  testing::WriteText(Src() / "F2.BAK", "b");

  EXPECT_TRUE(RemoveSymbol(Src(), Src() / "MASTER", "ABC"));
  EXPECT_EQ(ListingOf(Src() / "MASTER"), (Listing{{1, 3}, 2, 2}));
  EXPECT_EQ(Names(Src()),
            (std::set<std::string>{"MASTER", "F1.DAT", "F1.DOP", "F3.DAT", "F3.DOP"}));

  // The next addition reuses the freed number.
  PortfolioBuilder(Dst()).Add(Spec(1, "NEW")).Write();
  EXPECT_EQ(TransferSymbol(Dst(), Dst() / "MASTER", "NEW", Src(), false, prompt), kAdded);
  EXPECT_EQ(std::get<0>(ListingOf(Src() / "MASTER")), (std::vector<int>{1, 3, 2}));

  // Without a match nothing is deleted and the counters stay.
  const auto before = State();
  for (const char* symbol : {"A", "ab", "ABX", "AB "}) {
    OpResult result = RemoveSymbol(Src(), Src() / "MASTER", symbol);
    EXPECT_FALSE(result) << symbol;
    EXPECT_FALSE(result.message.empty());
  }
  EXPECT_FALSE(RemoveSymbol(Src(), Src() / "NONE" / "MASTER", "AB"));
  EXPECT_FALSE(RemoveRecordByNumber(Src() / "MASTER", 9));
  EXPECT_EQ(State(), before);
}

TEST_F(SymbolOpsTest, RecordsSharingANumber) {
  // A symbol listed twice loses one record and keeps the files both use.
  PortfolioBuilder(Src()).Add(Spec(1, "TWIN")).Add(Spec(2, "X")).Add(Spec(1, "TWIN")).Write();
  EXPECT_TRUE(RemoveSymbol(Src(), Src() / "MASTER", "TWIN"));
  EXPECT_EQ(std::get<0>(ListingOf(Src() / "MASTER")), (std::vector<int>{2, 1}));
  EXPECT_EQ(std::get<1>(ListingOf(Src() / "MASTER")), 2);
  EXPECT_TRUE(std::filesystem::exists(Src() / "F1.DAT"));

  // Removal by number drops every record of the number, and the counters follow the records
  // (one lower for each: a count above the records would make the MASTER unreadable).
  PortfolioBuilder(Dst()).Add(Spec(4, "A")).Add(Spec(5, "B")).Add(Spec(4, "C")).Write();
  EXPECT_TRUE(RemoveRecordByNumber(Dst() / "MASTER", 4));
  EXPECT_EQ(ListingOf(Dst() / "MASTER"), (Listing{{5}, 1, 1}));
}

// Names in mixed case on disk are replaced, never joined by a second name; backups are named
// as we name them. A quote delete is here too: it replaces a quote file and MASTER alike.
TEST_F(SymbolOpsTest, MixedCaseNamesAreReplacedNotJoined) {
  const SymbolSpec keep = Spec(1, "KEEP");
  PortfolioBuilder(Src())
      .AddAll({keep, Spec(2, "LOW")})
      .SetMasterName("Master")
      .SetLowerCaseQuoteFiles(true)
      .Write();
  testing::WriteText(Src() / "f2.bak", "b");
  PortfolioBuilder(Dst()).SetMasterName("master").Write();
  const Bytes dat = FileBytes(Src() / "f1.dat");
  const QuoteDate oldest = keep.quotes[0].date;

  ASSERT_EQ(ApplyQuoteChange(Change(kDelete, oldest, oldest), Src(), "KEEP", prompt), formats::kOk);
  EXPECT_EQ(FileBytes(Src() / "F1.BAK"), dat);
  EXPECT_EQ(ReadMaster(Src() / "Master").records[0].storedFirstDate(),
            formats::StoredValueFromDay(keep.quotes[1].date));
  EXPECT_EQ(Transfer("LOW", true), kAdded);
  EXPECT_EQ(Names(Src()),
            (std::set<std::string>{"Master", "MASTER.BAK", "f1.dat", "f1.dop", "F1.BAK"}));
  EXPECT_EQ(Names(Dst()), (std::set<std::string>{"master", "F1.DAT", "F1.DOP"}));

  EXPECT_TRUE(RemoveSymbol(Src(), Src() / "MASTER", "KEEP"));
  EXPECT_EQ(Names(Src()), (std::set<std::string>{"Master", "MASTER.BAK"}));
  EXPECT_EQ(RewriteSymbolRecord(Dst() / "MASTER", "LOW", "Lower", "name"), 0);
  EXPECT_EQ(Names(Dst()), (std::set<std::string>{"master", "MASTER.BAK", "F1.DAT", "F1.DOP"}));
}

TEST_F(SymbolOpsTest, EditStoresTheTextAsTypedPaddedToSixteen) {
  PortfolioBuilder(Src()).Add(Spec(3, "ZED")).Add(Spec(1, "ABC")).Add(Spec(2, "MID")).Write();
  const Bytes before = FileBytes(Src() / "MASTER");

  EXPECT_EQ(RewriteSymbolRecord(Src() / "MASTER", "ABC", "abc.x", "A Name Of 16 Chr"), 0);
  Bytes expected = before;
  std::uint8_t* record = expected.data() + 2 * formats::kMasterRecordSize;
  std::memcpy(record + formats::master_offset::kIssueName, "A Name Of 16 Chr", 16);
  std::memcpy(record + formats::master_offset::kSymbol, "abc.x           ", 16);
  EXPECT_EQ(FileBytes(Src() / "MASTER"), expected);
  EXPECT_EQ(FileBytes(Src() / "MASTER.BAK"), before);

  EXPECT_EQ(RewriteSymbolRecord(Src() / "MASTER", "abc.x", "abc.x", ""), 0);
  std::memcpy(record + formats::master_offset::kIssueName, "                ", 16);
  EXPECT_EQ(FileBytes(Src() / "MASTER"), expected);

  // No matching record: a plain copy.
  EXPECT_EQ(RewriteSymbolRecord(Src() / "MASTER", "ABC", "X", "Y"), 0);
  EXPECT_EQ(FileBytes(Src() / "MASTER"), expected);
  EXPECT_EQ(RewriteSymbolRecord(Src() / "NONE" / "MASTER", "ABC", "X", "Y"), 1);
}

}  // namespace
}  // namespace ledgrix::maintenance
