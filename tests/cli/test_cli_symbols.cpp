// The symbol commands and the MASTER repair: which files change, which stay, and the refusals.
#include <gtest/gtest.h>

#include "tests/cli/cli_runner.h"

namespace ledgrix::testing {
namespace {

namespace fs = std::filesystem;

class CliSymbolsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteSamplePortfolio(dir.get());
    SymbolSpec other = Spec(1, "ORCL", "ORACLE");
    other.quotes = MakeDailyQuotes(formats::DayFromYmd(98, 1, 5), 3);
    PortfolioBuilder(dest.get()).Add(other).Write();
  }
  std::string Dir() const { return dir.get().string(); }
  std::string Dest() const { return dest.get().string(); }
  std::string Symbols(const path& d) { return RunCli({"symbols", d.string()}).out; }
  TempDir dir, dest;
};

TEST_F(CliSymbolsTest, RemoveAsksThenDropsTheRecordAndItsFiles) {
  const auto before = Snapshot(dir.get());
  CliResult r = RunCli({"remove-symbol", Dir(), "IBM"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Are you sure you want to delete the Symbol shown above?"),
            std::string::npos);
  EXPECT_EQ(Snapshot(dir.get()), before);

  r = RunCli({"remove-symbol", Dir(), "IBM", "--yes"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Symbols(dir.get()), "AAPL\tAPPLE COMPUTER\nMSFT\tMICROSOFT\n");
  EXPECT_FALSE(fs::exists(dir / "F2.DAT"));
  EXPECT_FALSE(fs::exists(dir / "F2.DOP"));
  EXPECT_TRUE(fs::exists(dir / "F1.DAT"));
  EXPECT_TRUE(fs::exists(dir / "F3.DAT"));
}

TEST_F(CliSymbolsTest, CopyAddsUnderTheLowestFreeNumberAndLeavesTheSource) {
  const auto source = Snapshot(dir.get());
  const CliResult r = RunCli({"copy-symbol", Dir(), "MSFT", Dest()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Snapshot(dir.get()), source);
  EXPECT_EQ(Symbols(dest.get()), "MSFT\tMICROSOFT\nORCL\tORACLE\n");
  EXPECT_EQ(FileBytes(dest / "F2.DAT"), FileBytes(dir / "F1.DAT"));
}

TEST_F(CliSymbolsTest, MoveTakesTheFilesAlong) {
  const auto quotes = FileBytes(dir / "F1.DAT");
  const CliResult r = RunCli({"move-symbol", Dir(), "MSFT", Dest()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Symbols(dir.get()), "AAPL\tAPPLE COMPUTER\nIBM\tINTL BUS MACH\n");
  EXPECT_FALSE(fs::exists(dir / "F1.DAT"));
  EXPECT_EQ(FileBytes(dest / "F2.DAT"), quotes);
}

TEST_F(CliSymbolsTest, TransferRefusalsChangeNothingAnywhere) {
  struct Case {
    std::vector<std::string> args;
    std::string text;
  };
  // ORCL exists in both once it has been copied over.
  PortfolioBuilder(dir.get() / "sub").Write();
  const std::vector<Case> cases = {
      {{"copy-symbol", Dir(), "MSFT", Dir()}, "the portfolio the symbol is in"},
      {{"move-symbol", Dir(), "MSFT", (dir.get() / "nowhere").string()}, "not a portfolio"},
      {{"copy-symbol", Dir(), "NOPE", Dest()}, "Symbol not found"},
  };
  const auto source = Snapshot(dir.get());
  const auto target = Snapshot(dest.get());
  for (const Case& c : cases) {
    const CliResult r = RunCli(c.args);
    EXPECT_EQ(r.status, 1) << c.text;
    EXPECT_NE(r.err.find(c.text), std::string::npos) << r.err;
    EXPECT_EQ(Snapshot(dir.get()), source) << c.text;
    EXPECT_EQ(Snapshot(dest.get()), target) << c.text;
  }
}

TEST_F(CliSymbolsTest, DuplicateAndFullDestinationsAreRefused) {
  ASSERT_EQ(RunCli({"copy-symbol", Dir(), "IBM", Dest()}).status, 0);
  const auto source = Snapshot(dir.get());
  const auto target = Snapshot(dest.get());
  CliResult r = RunCli({"move-symbol", Dir(), "IBM", Dest()});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("The Symbol addition failed.\n\nReason: Symbol IBM already exists in\n"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(Snapshot(dir.get()), source);
  EXPECT_EQ(Snapshot(dest.get()), target);

  TempDir full;
  PortfolioBuilder(full.get()).SetCounts(0, 255).Write();
  const auto fullBefore = Snapshot(full.get());
  r = RunCli({"copy-symbol", Dir(), "IBM", full.get().string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("maximum number of symbols (255)"), std::string::npos) << r.err;
  EXPECT_EQ(Snapshot(full.get()), fullBefore);
}

TEST_F(CliSymbolsTest, RenameWritesSymbolAndNameAsTypedAndKeepsABackup) {
  const auto master = FileBytes(dir / "MASTER");
  const auto quotes = FileBytes(dir / "F1.DAT");
  const CliResult r =
      RunCli({"rename-symbol", Dir(), "MSFT", "--symbol", "msft2", "--name", "MICROSOFT CORP"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Symbols(dir.get()),
            "AAPL\tAPPLE COMPUTER\nIBM\tINTL BUS MACH\nmsft2\tMICROSOFT CORP\n");
  EXPECT_EQ(FileBytes(dir / "MASTER.BAK"), master);
  EXPECT_EQ(FileBytes(dir / "F1.DAT"), quotes);
}

TEST_F(CliSymbolsTest, RenameOfTheNameAloneKeepsTheSymbol) {
  // The symbol may be typed in any case; the record is the one the symbols list shows.
  ASSERT_EQ(RunCli({"rename-symbol", Dir(), "ibm", "--name", "BIG BLUE"}).status, 0);
  EXPECT_EQ(Symbols(dir.get()), "AAPL\tAPPLE COMPUTER\nIBM\tBIG BLUE\nMSFT\tMICROSOFT\n");
}

TEST_F(CliSymbolsTest, RenameRefusals) {
  const auto before = Snapshot(dir.get());
  CliResult r = RunCli({"rename-symbol", Dir(), "IBM", "--symbol", ""});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("You must enter a symbol"), std::string::npos);
  r = RunCli({"rename-symbol", Dir(), "IBM", "--name", "SEVENTEEN LETTERS"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("at most 16"), std::string::npos);
  EXPECT_EQ(Snapshot(dir.get()), before);
}

TEST(CliRepairTest, AsksThenGivesBlankRecordsTheirName) {
  TempDir dir;
  PortfolioBuilder(dir.get()).Add(Spec(1, "OK", "FINE")).Add(Spec(2, " ", "LOST")).Write();
  const auto before = Snapshot(dir.get());
  CliResult r = RunCli({"repair", dir.get().string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("appears corrupted"), std::string::npos) << r.err;
  EXPECT_EQ(Snapshot(dir.get()), before);

  r = RunCli({"repair", dir.get().string(), "--yes"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(RunCli({"symbols", dir.get().string()}).out, "LOST\tLOST\nOK\tFINE\n");

  const auto repaired = Snapshot(dir.get());
  r = RunCli({"repair", dir.get().string()});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.err.find("needs no repair"), std::string::npos);
  EXPECT_EQ(Snapshot(dir.get()), repaired);
}

TEST(CliRepairTest, MissingMaster) {
  TempDir dir;
  const CliResult r = RunCli({"repair", dir.get().string(), "--yes"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("cannot be read"), std::string::npos);
}

}  // namespace
}  // namespace ledgrix::testing
