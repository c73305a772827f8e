// The MASTER repair: which symbol fields count as blank, what is written into them, the
// question, and that nothing else of the file changes.
#include "maintenance/master_repair.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/maintenance/helpers.h"
#include "tests/support/scripted_prompt.h"

namespace ledgrix::maintenance {
namespace {

using formats::MasterRecord;
using formats::master_offset::kIssueName;
using formats::master_offset::kSymbol;
using testing::ScriptedPrompt;

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

class RepairTest : public ::testing::Test {
 protected:
  std::filesystem::path Master() const { return dir.get() / "MASTER"; }
  TempDir dir;
};

// Blank symbol fields and the 16 bytes the repair writes into them; every other byte stays.
TEST_F(RepairTest, WritesTheNameIntoTheBlankFieldAndKeepsEverythingElse) {
  struct Case {
    const char* name;
    Bytes symbolField;
    std::string issueName;
    Bytes expected;
  };
  const Case cases[] = {
      // The whole 16-byte name, so offsets 50 and 51 get name bytes 15 and 16.
      {"all spaces", Text("                "), "ACME CORPORATION", Text("ACME CORPORATION")},
      {"leading spaces", Text("   IBM          "), "INTL BUSINESS MA", Text("INTL BUSINESS MA")},
      {"high byte",
       Bytes{0x80, 'X', 'Y', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '},
       "HIGH BYTE NAME  ", Text("HIGH BYTE NAME  ")},
      // After a zero byte in the name the field keeps its own bytes, blanks zeroed.
      {"name with a zero",
       Bytes{0, 'A', 'B', ' ', 'C', 0x90, 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M'},
       std::string("SHORT\0XXXXXXXXXX", 16),
       Bytes{'S', 'H', 'O', 'R', 'T', 0, 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M'}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MasterRecord blank = Record(2, "", c.symbolField);
    std::memcpy(blank.bytes.data() + kIssueName, c.issueName.data(), 16);
    PortfolioBuilder(dir.get())
        .AddRawRecord(Record(1, "KEPT NAME", Text("KEEP")))
        .AddRawRecord(blank)
        .SetCounts(7, 9)
        .Write();
    Bytes expected = FileBytes(Master());
    std::memcpy(expected.data() + 2 * formats::kMasterRecordSize + kSymbol, c.expected.data(), 16);

    ScriptedPrompt prompt;
    EXPECT_NE(RepairMaster(Master(), true, prompt), 0);
    EXPECT_TRUE(prompt.questions.empty());
    EXPECT_EQ(FileBytes(Master()), expected);
    EXPECT_EQ(Names(dir.get()), std::set<std::string>{"MASTER"});
  }
}

TEST_F(RepairTest, AsksWithThePathAndADeclineChangesNothing) {
  PortfolioBuilder(dir.get()).AddRawRecord(Record(1, "NAME", Text(""))).Write();
  const Bytes before = FileBytes(Master());

  ScriptedPrompt no({false});
  EXPECT_EQ(RepairMaster(Master(), false, no), 0);
  ASSERT_EQ(no.questions.size(), 1u);
  EXPECT_NE(no.questions[0].find("\n" + Master().string() + "\n"), std::string::npos);
  EXPECT_EQ(FileBytes(Master()), before);

  ScriptedPrompt yes({true});
  EXPECT_NE(RepairMaster(Master(), false, yes), 0);
  EXPECT_EQ(yes.questions.size(), 1u);
  EXPECT_NE(FileBytes(Master()), before);
}

// A backup of other writers is overwritten and no work file is left; no MASTER is a failure.
TEST_F(RepairTest, TheFilesBesideTheMaster) {
  ScriptedPrompt prompt;
  EXPECT_EQ(RepairMaster(Master(), true, prompt), 0);
  EXPECT_TRUE(Names(dir.get()).empty());

  PortfolioBuilder(dir.get())
      .SetMasterName("master")
      .AddRawRecord(Record(1, "N", Text("")))
      .Write();
  testing::WriteText(dir.get() / "MASTER.BAK", "an older backup");
  EXPECT_NE(RepairMaster(Master(), true, prompt), 0);
  EXPECT_EQ(Names(dir.get()), std::set<std::string>{"master"});
  EXPECT_EQ(FileBytes(dir.get() / "master")[formats::kMasterRecordSize + kSymbol], 'N');
}

}  // namespace
}  // namespace ledgrix::maintenance
