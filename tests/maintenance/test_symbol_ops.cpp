// Symbol records with their files: remove, copy, move, the refusals that write nothing, and the
// symbol edit.
#include "maintenance/symbol_ops.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "formats/master.h"
#include "tests/support/fixture.h"
#include "tests/support/scripted_prompt.h"

namespace ledgrix::maintenance {
namespace {

using Bytes = std::vector<std::uint8_t>;
using formats::MasterFile;
using formats::MasterRecord;
using testing::FileBytes;
using testing::PortfolioBuilder;
using testing::ScriptedPrompt;
using testing::SymbolSpec;
using testing::TempDir;

SymbolSpec Spec(std::uint8_t n, const std::string& symbol, int quotes = 3) {
  SymbolSpec spec;
  spec.fileNumber = n;
  spec.symbol = symbol;
  spec.name = symbol + " CORP";
  spec.quotes = testing::MakeDailyQuotes(formats::DayFromYmd(99, 2, 1), quotes, 10.0f + n);
  return spec;
}

std::set<std::string> Names(const std::filesystem::path& dir) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    names.insert(entry.path().filename().string());
  return names;
}

MasterFile ReadMaster(const std::filesystem::path& master) {
  MasterFile file;
  EXPECT_TRUE(formats::ReadMasterFile(master, file)) << master;
  return file;
}

std::vector<int> Numbers(const MasterFile& file) {
  std::vector<int> numbers;
  for (const auto& r : file.records)
    numbers.push_back(r.fileNumber());
  return numbers;
}

std::string Dir(const std::filesystem::path& dir) {
  return dir.string();
}

class SymbolOpsTest : public ::testing::Test {
 protected:
  std::filesystem::path Src() const { return root.get() / "SRC"; }
  std::filesystem::path Dst() const { return root.get() / "DST"; }
  TempDir root;
  ScriptedPrompt prompt;
};

TEST_F(SymbolOpsTest, CopyTakesTheLowestFreeNumberAndAppendsTheRecord) {
  PortfolioBuilder(Src()).Add(Spec(7, "NEW")).Write();
  PortfolioBuilder(Dst()).Add(Spec(1, "A")).Add(Spec(2, "B")).Add(Spec(4, "D")).Write();
  testing::WriteText(Src() / "F7.BAK", "backup");
  const MasterFile srcBefore = ReadMaster(Src() / "MASTER");
  const auto srcNames = Names(Src());

  EXPECT_EQ(TransferSymbol(Src(), Src() / "MASTER", " new ", Dst(), false, prompt), kAdded);

  MasterFile dst = ReadMaster(Dst() / "MASTER");
  EXPECT_EQ(Numbers(dst), (std::vector<int>{1, 2, 4, 3}));
  EXPECT_EQ(dst.header.symbolCount(), 4);
  EXPECT_EQ(dst.header.fileCounter(), 4);
  MasterRecord expected = srcBefore.records[0];
  expected.setFileNumber(3);
  EXPECT_EQ(dst.records[3].bytes, expected.bytes);
  EXPECT_EQ(FileBytes(Dst() / "F3.DAT"), FileBytes(Src() / "F7.DAT"));
  EXPECT_EQ(FileBytes(Dst() / "F3.DOP"), FileBytes(Src() / "F7.DOP"));
  EXPECT_FALSE(std::filesystem::exists(Dst() / "F3.BAK"));
  // A copy leaves the source as it was.
  EXPECT_EQ(Names(Src()), srcNames);
  EXPECT_EQ(MasterBytes(ReadMaster(Src() / "MASTER")), MasterBytes(srcBefore));
  EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(SymbolOpsTest, AddingToAnEmptyPortfolioGivesNumberOneAndBothCountersOne) {
  PortfolioBuilder(Src()).Add(Spec(9, "ONE")).Write();
  PortfolioBuilder(Dst()).Write();

  EXPECT_EQ(TransferSymbol(Src(), Src() / "MASTER", "ONE", Dst(), false, prompt), kAdded);
  MasterFile dst = ReadMaster(Dst() / "MASTER");
  EXPECT_EQ(Numbers(dst), std::vector<int>{1});
  EXPECT_EQ(dst.header.symbolCount(), 1);
  EXPECT_EQ(dst.header.fileCounter(), 1);
}

TEST_F(SymbolOpsTest, CopyReplacesAStrayFileAndDropsAStrayDescriptorWhenTheSourceHasNone) {
  SymbolSpec plain = Spec(5, "PLAIN");
  plain.writeDop = false;
  PortfolioBuilder(Src()).Add(plain).Write();
  PortfolioBuilder(Dst()).Add(Spec(1, "A")).Write();
  testing::WriteText(Dst() / "f2.dat", "stray quotes");
  testing::WriteText(Dst() / "F2.DOP", "\"CLOSE\",0,0\r\n\"DATE\",0,0\r\n");

  EXPECT_EQ(TransferSymbol(Src(), Src() / "MASTER", "PLAIN", Dst(), false, prompt), kAdded);
  EXPECT_EQ(FileBytes(Dst() / "f2.dat"), FileBytes(Src() / "F5.DAT"));
  EXPECT_EQ(Names(Dst()), (std::set<std::string>{"MASTER", "F1.DAT", "F1.DOP", "f2.dat"}));
}

TEST_F(SymbolOpsTest, MoveRemovesTheSourceFilesAndLowersBothCounters) {
  PortfolioBuilder(Src()).Add(Spec(1, "STAY")).Add(Spec(2, "GO")).SetCounts(2, 5).Write();
  PortfolioBuilder(Dst()).Add(Spec(1, "A")).Write();
  testing::WriteText(Src() / "F2.BAK", "backup");
  const Bytes dat = FileBytes(Src() / "F2.DAT");
  const Bytes dop = FileBytes(Src() / "F2.DOP");

  EXPECT_EQ(TransferSymbol(Src(), Src() / "MASTER", "go", Dst(), true, prompt), kAdded);

  EXPECT_EQ(Names(Src()), (std::set<std::string>{"MASTER", "F1.DAT", "F1.DOP"}));
  MasterFile src = ReadMaster(Src() / "MASTER");
  EXPECT_EQ(Numbers(src), std::vector<int>{1});
  EXPECT_EQ(src.header.symbolCount(), 1);
  EXPECT_EQ(src.header.fileCounter(), 4);
  EXPECT_EQ(FileBytes(Dst() / "F2.DAT"), dat);
  EXPECT_EQ(FileBytes(Dst() / "F2.DOP"), dop);
  EXPECT_EQ(Numbers(ReadMaster(Dst() / "MASTER")), (std::vector<int>{1, 2}));
}

TEST_F(SymbolOpsTest, MoveOfASymbolListedInASubPortfolioTakesItFromThere) {
  // The top MASTER uses the same file number for another symbol.
  PortfolioBuilder(Src() / "SUB").Add(Spec(1, "DEEP")).Write();
  PortfolioBuilder(Src()).Add(Spec(1, "TOP")).AddDirectoryEntry("SUB").Write();
  PortfolioBuilder(Dst()).Write();
  const auto topNames = Names(Src());
  const Bytes topMaster = FileBytes(Src() / "MASTER");
  const Bytes deep = FileBytes(Src() / "SUB" / "F1.DAT");

  EXPECT_EQ(TransferSymbol(Src(), Src() / "MASTER", "DEEP", Dst(), true, prompt), kAdded);
  EXPECT_EQ(Names(Src()), topNames);
  EXPECT_EQ(FileBytes(Src() / "MASTER"), topMaster);
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

  EXPECT_EQ(TransferSymbol(Src(), Src() / "MASTER", "ibm", Dst(), true, prompt), kAdded);
  EXPECT_EQ(FileBytes(Dst() / "F1.DAT"), ibm);
  EXPECT_EQ(ReadMaster(Dst() / "MASTER").records.at(0).displaySymbol(), "IBM");
  EXPECT_EQ(Names(Src()), (std::set<std::string>{"MASTER", "F1.DAT", "F1.DOP"}));
}

// Every way a destination can be full; none of them writes anything anywhere.
struct FullCase {
  const char* name;
  std::int16_t symbolCount;
  std::int16_t fileCounter;
  int records;  // records using numbers 1..records
};

class FullTest : public SymbolOpsTest, public ::testing::WithParamInterface<FullCase> {};

TEST_P(FullTest, RefusesWithTheFullMessage) {
  const FullCase& c = GetParam();
  PortfolioBuilder(Src()).Add(Spec(1, "NEW")).Write();
  PortfolioBuilder dst(Dst());
  for (int n = 1; n <= c.records; ++n) {
    SymbolSpec s;
    s.fileNumber = static_cast<std::uint8_t>(n);
    s.symbol = "S" + std::to_string(n);
    dst.AddRawRecord(testing::MakeMasterRecord(s));
  }
  dst.SetCounts(c.symbolCount, c.fileCounter).Write();
  const Bytes master = FileBytes(Dst() / "MASTER");
  const auto dstNames = Names(Dst());
  const auto srcNames = Names(Src());

  EXPECT_EQ(TransferSymbol(Src(), Src() / "MASTER", "NEW", Dst(), true, prompt), kPortfolioFull);
  EXPECT_EQ(prompt.messages, std::vector<std::string>{kFullMessage});
  EXPECT_EQ(FileBytes(Dst() / "MASTER"), master);
  EXPECT_EQ(Names(Dst()), dstNames);
  EXPECT_EQ(Names(Src()), srcNames);
}

INSTANTIATE_TEST_SUITE_P(Limits, FullTest,
                         ::testing::Values(FullCase{"Count255", 255, 3, 3},
                                           FullCase{"Count256", 256, 3, 3},
                                           FullCase{"Counter255", 3, 255, 3},
                                           FullCase{"EveryNumberInUse", 10, 10, 255}),
                         [](const auto& tp) { return std::string(tp.param.name); });

// The destination holds the symbol as the lookup finds it; nothing is written anywhere.
TEST_F(SymbolOpsTest, DuplicatesAreFoundByNameSymbolAndInSubPortfolios) {
  PortfolioBuilder(Dst() / "SUB").Add(Spec(3, "DEEP")).Write();
  SymbolSpec named = Spec(2, "XYZ");
  named.name = "BYNAME";
  PortfolioBuilder(Dst()).Add(Spec(1, "IBM")).Add(named).AddDirectoryEntry("SUB").Write();
  PortfolioBuilder(Src()).Add(Spec(1, "IBM")).Add(Spec(2, "BYNAME")).Add(Spec(3, "DEEP")).Write();
  const Bytes master = FileBytes(Dst() / "MASTER");
  const auto srcNames = Names(Src());
  const Bytes srcMaster = FileBytes(Src() / "MASTER");

  for (const char* symbol : {"ibm", "BYNAME", "DEEP"}) {
    ScriptedPrompt p;
    EXPECT_EQ(TransferSymbol(Src(), Src() / "MASTER", symbol, Dst(), true, p), kAlreadyThere);
    std::string upper(symbol);
    for (char& ch : upper)
      ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    EXPECT_EQ(p.messages,
              std::vector<std::string>{"The Symbol addition failed.\n\nReason: Symbol " + upper +
                                       " already exists in\n" + Dir(Dst())});
  }
  EXPECT_EQ(FileBytes(Dst() / "MASTER"), master);
  EXPECT_EQ(Names(Src()), srcNames);
  EXPECT_EQ(FileBytes(Src() / "MASTER"), srcMaster);
}

TEST_F(SymbolOpsTest, ASourceThatCannotBeFoundWritesNothing) {
  PortfolioBuilder(Src()).Add(Spec(1, "HERE")).Write();
  PortfolioBuilder(Dst()).Write();
  const Bytes dst = FileBytes(Dst() / "MASTER");

  EXPECT_EQ(TransferSymbol(Src(), Src() / "MASTER", "ELSEWHERE", Dst(), true, prompt), kAddFailed);
  EXPECT_EQ(prompt.messages.size(), 1u);
  EXPECT_EQ(FileBytes(Dst() / "MASTER"), dst);
  EXPECT_EQ(Names(Dst()), std::set<std::string>{"MASTER"});
}

TEST_F(SymbolOpsTest, ASourceWithoutQuoteFileIsNotAddedOrRemoved) {
  PortfolioBuilder(Src()).Add(Spec(1, "NODAT")).Write();
  PortfolioBuilder(Dst()).Write();
  std::filesystem::remove(Src() / "F1.DAT");
  const Bytes src = FileBytes(Src() / "MASTER");
  const Bytes dst = FileBytes(Dst() / "MASTER");

  EXPECT_EQ(TransferSymbol(Src(), Src() / "MASTER", "NODAT", Dst(), true, prompt), kAddFailed);
  EXPECT_EQ(FileBytes(Src() / "MASTER"), src);
  EXPECT_EQ(FileBytes(Dst() / "MASTER"), dst);
  EXPECT_EQ(Names(Src()), (std::set<std::string>{"MASTER", "F1.DOP"}));
}

TEST_F(SymbolOpsTest, RemoveMatchesTheWholeDisplaySymbolAndFreesTheNumber) {
  PortfolioBuilder(Src()).Add(Spec(1, "AB")).Add(Spec(2, "ABC")).Add(Spec(3, "ABCD")).Write();
  testing::WriteText(Src() / "F2.BAK", "b");

  EXPECT_TRUE(RemoveSymbol(Src(), Src() / "MASTER", "ABC"));
  MasterFile src = ReadMaster(Src() / "MASTER");
  EXPECT_EQ(Numbers(src), (std::vector<int>{1, 3}));
  EXPECT_EQ(src.header.symbolCount(), 2);
  EXPECT_EQ(src.header.fileCounter(), 2);
  EXPECT_EQ(Names(Src()),
            (std::set<std::string>{"MASTER", "F1.DAT", "F1.DOP", "F3.DAT", "F3.DOP"}));

  // The next addition reuses the freed number.
  PortfolioBuilder(Dst()).Add(Spec(1, "NEW")).Write();
  EXPECT_EQ(TransferSymbol(Dst(), Dst() / "MASTER", "NEW", Src(), false, prompt), kAdded);
  EXPECT_EQ(Numbers(ReadMaster(Src() / "MASTER")), (std::vector<int>{1, 3, 2}));
}

TEST_F(SymbolOpsTest, RemoveWithoutAMatchDeletesNothingAndKeepsTheCounters) {
  PortfolioBuilder(Src()).Add(Spec(1, "AB")).Write();
  const Bytes master = FileBytes(Src() / "MASTER");
  const auto names = Names(Src());

  for (const char* symbol : {"A", "ab", "ABX", "AB "}) {
    OpResult result = RemoveSymbol(Src(), Src() / "MASTER", symbol);
    EXPECT_FALSE(result) << symbol;
    EXPECT_FALSE(result.message.empty());
  }
  EXPECT_FALSE(RemoveSymbol(Src(), Src() / "NONE" / "MASTER", "AB"));
  EXPECT_FALSE(RemoveRecordByNumber(Src() / "MASTER", 9));
  EXPECT_EQ(FileBytes(Src() / "MASTER"), master);
  EXPECT_EQ(Names(Src()), names);
}

TEST_F(SymbolOpsTest, ASymbolListedTwiceLosesOneRecordAndKeepsSharedFiles) {
  PortfolioBuilder(Src()).Add(Spec(1, "TWIN")).Add(Spec(2, "X")).Add(Spec(1, "TWIN")).Write();

  EXPECT_TRUE(RemoveSymbol(Src(), Src() / "MASTER", "TWIN"));
  MasterFile src = ReadMaster(Src() / "MASTER");
  EXPECT_EQ(Numbers(src), (std::vector<int>{2, 1}));
  EXPECT_EQ(src.header.symbolCount(), 2);
  EXPECT_TRUE(std::filesystem::exists(Src() / "F1.DAT"));
}

TEST_F(SymbolOpsTest, RemoveRecordByNumberDropsEveryRecordOfTheNumber) {
  PortfolioBuilder(Src()).Add(Spec(4, "A")).Add(Spec(5, "B")).Add(Spec(4, "C")).Write();
  EXPECT_TRUE(RemoveRecordByNumber(Src() / "MASTER", 4));
  MasterFile src = ReadMaster(Src() / "MASTER");
  EXPECT_EQ(Numbers(src), std::vector<int>{5});
  EXPECT_EQ(src.header.symbolCount(), 2);
  EXPECT_EQ(src.header.fileCounter(), 2);
}

TEST_F(SymbolOpsTest, MixedCaseNamesAreReplacedNotJoined) {
  PortfolioBuilder(Src())
      .Add(Spec(1, "KEEP"))
      .Add(Spec(2, "LOW"))
      .SetMasterName("Master")
      .SetLowerCaseQuoteFiles(true)
      .Write();
  testing::WriteText(Src() / "f2.bak", "b");
  PortfolioBuilder(Dst()).SetMasterName("master").Write();

  EXPECT_EQ(TransferSymbol(Src(), Src() / "MASTER", "LOW", Dst(), true, prompt), kAdded);
  EXPECT_EQ(Names(Src()), (std::set<std::string>{"Master", "f1.dat", "f1.dop"}));
  EXPECT_EQ(Names(Dst()), (std::set<std::string>{"master", "F1.DAT", "F1.DOP"}));

  EXPECT_TRUE(RemoveSymbol(Src(), Src() / "MASTER", "KEEP"));
  EXPECT_EQ(Names(Src()), std::set<std::string>{"Master"});
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

// Real index files, copied into a temporary folder.
TEST_F(SymbolOpsTest, ARealFullPortfolioRefusesAnAddition) {
  const auto samples = testing::SamplesDir();
  if (!samples)
    GTEST_SKIP() << "no sample portfolios";
  std::filesystem::create_directories(Dst());
  testing::WriteBytes(Dst() / "MASTER", FileBytes(*samples / "msdir_equis_a" / "MASTER"));
  ASSERT_EQ(ReadMaster(Dst() / "MASTER").records.size(), 255u);
  PortfolioBuilder(Src()).Add(Spec(1, "ZZZNEW")).Write();
  const Bytes master = FileBytes(Dst() / "MASTER");

  EXPECT_EQ(TransferSymbol(Src(), Src() / "MASTER", "ZZZNEW", Dst(), true, prompt), kPortfolioFull);
  EXPECT_EQ(FileBytes(Dst() / "MASTER"), master);
  EXPECT_EQ(Names(Dst()), std::set<std::string>{"MASTER"});
  EXPECT_EQ(Names(Src()), (std::set<std::string>{"MASTER", "F1.DAT", "F1.DOP"}));
}

TEST_F(SymbolOpsTest, ARealMixedCaseMasterIsEditedInPlaceOfItself) {
  const auto samples = testing::SamplesDir();
  if (!samples)
    GTEST_SKIP() << "no sample portfolios";
  std::filesystem::create_directories(Src());
  const Bytes original = FileBytes(*samples / "okomarov-sampleData" / "Master");
  ASSERT_FALSE(original.empty());
  testing::WriteBytes(Src() / "Master", original);
  const MasterFile before = ReadMaster(Src() / "MASTER");
  const std::string symbol = before.records.at(7).displaySymbol();
  ASSERT_FALSE(symbol.empty());

  EXPECT_EQ(RewriteSymbolRecord(Src() / "MASTER", symbol, "Edited", "Edited name"), 0);
  EXPECT_EQ(Names(Src()), (std::set<std::string>{"Master", "MASTER.BAK"}));
  EXPECT_EQ(FileBytes(Src() / "MASTER.BAK"), original);
  const MasterFile after = ReadMaster(Src() / "MASTER");
  ASSERT_EQ(after.records.size(), before.records.size());
  for (std::size_t i = 0; i < after.records.size(); ++i) {
    MasterRecord expected = before.records[i];
    if (expected.displaySymbol() == symbol) {
      expected.setSymbolField("Edited");
      expected.setIssueName("Edited name");
    }
    EXPECT_EQ(after.records[i].bytes, expected.bytes) << i;
  }
}

}  // namespace
}  // namespace ledgrix::maintenance
