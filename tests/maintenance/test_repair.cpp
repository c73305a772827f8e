// The MASTER repair: which symbol fields count as blank, what is written into them, the
// question, and that nothing else of the file changes.
#include "maintenance/master_repair.h"

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
using formats::MasterRecord;
using formats::master_offset::kIssueName;
using formats::master_offset::kSymbol;
using testing::FileBytes;
using testing::PortfolioBuilder;
using testing::ScriptedPrompt;
using testing::SymbolSpec;
using testing::TempDir;

MasterRecord Record(std::uint8_t n, const std::string& name, const Bytes& symbolField) {
  SymbolSpec spec;
  spec.fileNumber = n;
  spec.name = name;
  MasterRecord r = testing::MakeMasterRecord(spec);
  for (std::size_t i = 0; i < 16; ++i)
    r.bytes[kSymbol + i] = i < symbolField.size() ? symbolField[i] : ' ';
  r.bytes[1] = 0xA5;  // uninterpreted bytes must survive
  r.bytes[52] = 0x5A;
  return r;
}

Bytes Text(const std::string& s) {
  return Bytes(s.begin(), s.end());
}

std::set<std::string> Names(const std::filesystem::path& dir) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    names.insert(entry.path().filename().string());
  return names;
}

class RepairTest : public ::testing::Test {
 protected:
  std::filesystem::path Master() const { return dir.get() / "MASTER"; }
  TempDir dir;
};

// Blank symbol fields and the 16 bytes the repair writes into them.
struct BlankCase {
  const char* name;
  Bytes symbolField;
  std::string issueName;
  Bytes expected;
};

class BlankFieldTest : public RepairTest, public ::testing::WithParamInterface<BlankCase> {};

TEST_P(BlankFieldTest, WritesTheNameIntoTheBlankFieldAndKeepsEverythingElse) {
  const BlankCase& c = GetParam();
  const MasterRecord keep = Record(1, "KEPT NAME", Text("KEEP"));
  MasterRecord blank = Record(2, "", c.symbolField);
  std::memcpy(blank.bytes.data() + kIssueName, c.issueName.data(), 16);
  PortfolioBuilder(dir.get()).AddRawRecord(keep).AddRawRecord(blank).SetCounts(7, 9).Write();
  Bytes expected = FileBytes(Master());
  std::memcpy(expected.data() + 2 * formats::kMasterRecordSize + kSymbol, c.expected.data(), 16);

  ScriptedPrompt prompt;
  EXPECT_NE(RepairMaster(Master(), true, prompt), 0);
  EXPECT_TRUE(prompt.questions.empty());
  EXPECT_EQ(FileBytes(Master()), expected);
  EXPECT_EQ(Names(dir.get()), std::set<std::string>{"MASTER"});
}

INSTANTIATE_TEST_SUITE_P(
    Fields, BlankFieldTest,
    ::testing::Values(
        // The whole 16-byte name, so offsets 50 and 51 get name bytes 15 and 16.
        BlankCase{"AllSpaces", Text("                "), "ACME CORPORATION",
                  Text("ACME CORPORATION")},
        BlankCase{"LeadingSpaces", Text("   IBM          "), "INTL BUSINESS MA",
                  Text("INTL BUSINESS MA")},
        BlankCase{
            "HighByte",
            Bytes{0x80, 'X', 'Y', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '},
            "HIGH BYTE NAME  ", Text("HIGH BYTE NAME  ")},
        // After a zero byte in the name the field keeps its own bytes, blanks zeroed.
        BlankCase{
            "NameWithZero",
            Bytes{0, 'A', 'B', ' ', 'C', 0x90, 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M'},
            std::string("SHORT\0XXXXXXXXXX", 16),
            Bytes{'S', 'H', 'O', 'R', 'T', 0, 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M'}}),
    [](const auto& tp) { return std::string(tp.param.name); });

TEST_F(RepairTest, AsksWithThePathAndADeclineChangesNothing) {
  PortfolioBuilder(dir.get()).AddRawRecord(Record(1, "NAME", Text(""))).Write();
  const Bytes before = FileBytes(Master());

  ScriptedPrompt no({false});
  EXPECT_EQ(RepairMaster(Master(), false, no), 0);
  ASSERT_EQ(no.questions.size(), 1u);
  EXPECT_EQ(no.questions[0], "The master file\n" + Master().string() +
                                 "\nappears corrupted.\n\nShould Ledgrix try to repair this file "
                                 "now?\n\n(Hint: There is a control for this in\nthe Portfolio > "
                                 "Search Filter dialog.)");
  EXPECT_EQ(FileBytes(Master()), before);

  ScriptedPrompt yes({true});
  EXPECT_NE(RepairMaster(Master(), false, yes), 0);
  EXPECT_EQ(yes.questions.size(), 1u);
  EXPECT_NE(FileBytes(Master()), before);
}

TEST_F(RepairTest, OverwritesTheBackupOfOtherWritersAndLeavesNoWorkFile) {
  PortfolioBuilder(dir.get())
      .SetMasterName("master")
      .AddRawRecord(Record(1, "N", Text("")))
      .Write();
  testing::WriteText(dir.get() / "MASTER.BAK", "an older backup");
  ScriptedPrompt prompt;

  EXPECT_NE(RepairMaster(dir.get() / "MASTER", true, prompt), 0);
  EXPECT_EQ(Names(dir.get()), std::set<std::string>{"master"});
  EXPECT_EQ(FileBytes(dir.get() / "master")[formats::kMasterRecordSize + kSymbol], 'N');
}

TEST_F(RepairTest, AMissingMasterIsAFailure) {
  ScriptedPrompt prompt;
  EXPECT_EQ(RepairMaster(Master(), true, prompt), 0);
  EXPECT_TRUE(Names(dir.get()).empty());
}

}  // namespace
}  // namespace ledgrix::maintenance
