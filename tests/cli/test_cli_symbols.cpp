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
    PortfolioBuilder(dest.get())
        .Add(Spec(1, "ORCL", "ORACLE", MakeDailyQuotes(formats::DayFromYmd(98, 1, 5), 3)))
        .Write();
  }
  static std::string Symbols(const path& d) { return RunCli({"symbols", d.string()}).out; }
  TempDir dir, dest;
  const std::string d = dir.get().string(), to = dest.get().string();
};

TEST_F(CliSymbolsTest, CopyLeavesTheSourceMoveTakesTheFilesAlongRemoveDropsThem) {
  const auto source = Snapshot(dir.get());
  const auto msft = FileBytes(dir / "F1.DAT"), aapl = FileBytes(dir / "F3.DAT");
  CliResult r = RunCli({"copy-symbol", d, "MSFT", to});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Snapshot(dir.get()), source);
  EXPECT_EQ(Symbols(dest.get()), "MSFT\tMICROSOFT\nORCL\tORACLE\n");
  EXPECT_EQ(FileBytes(dest / "F2.DAT"), msft);  // the lowest free number
  r = RunCli({"move-symbol", d, "AAPL", to});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_FALSE(fs::exists(dir / "F3.DAT"));
  EXPECT_EQ(FileBytes(dest / "F3.DAT"), aapl);
  EXPECT_EQ(Symbols(dest.get()), "AAPL\tAPPLE COMPUTER\nMSFT\tMICROSOFT\nORCL\tORACLE\n");
  r = RunCli({"remove-symbol", d, "IBM", "--yes"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Symbols(dir.get()), "MSFT\tMICROSOFT\n");
  EXPECT_FALSE(fs::exists(dir / "F2.DAT"));
}

TEST_F(CliSymbolsTest, RenameWritesSymbolAndNameAsTypedAndKeepsABackup) {
  const auto master = FileBytes(dir / "MASTER");
  const auto quotes = FileBytes(dir / "F1.DAT");
  CliResult r =
      RunCli({"rename-symbol", d, "MSFT", "--symbol", "msft2", "--name", "MICROSOFT CORP"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(FileBytes(dir / "MASTER.BAK"), master);
  EXPECT_EQ(FileBytes(dir / "F1.DAT"), quotes);
  // The symbol may be typed in any case; the name alone keeps the symbol.
  r = RunCli({"rename-symbol", d, "ibm", "--name", "BIG BLUE"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Symbols(dir.get()), "AAPL\tAPPLE COMPUTER\nIBM\tBIG BLUE\nmsft2\tMICROSOFT CORP\n");
}

TEST(CliRepairTest, GivesBlankRecordsTheirNameOnceAndThenNeedsNoRepair) {
  TempDir dir;
  PortfolioBuilder(dir.get()).Add(Spec(1, "OK", "FINE")).Add(Spec(2, " ", "LOST")).Write();
  CliResult r = RunCli({"repair", dir.get().string(), "--yes"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(RunCli({"symbols", dir.get().string()}).out, "LOST\tLOST\nOK\tFINE\n");
  const auto repaired = Snapshot(dir.get());
  r = RunCli({"repair", dir.get().string()});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.err.find("needs no repair"), std::string::npos);
  EXPECT_EQ(Snapshot(dir.get()), repaired);
}

TEST_F(CliSymbolsTest, RefusalsAndDamagedMastersChangeNothingAnywhere) {
  ASSERT_EQ(RunCli({"copy-symbol", d, "IBM", to}).status, 0);
  TempDir other;
  const path blank = other / "blank";
  PortfolioBuilder(blank).Add(Spec(1, "OK", "FINE")).Add(Spec(2, " ", "LOST")).Write();
  ExpectRefusals(
      {{{"remove-symbol", d, "IBM"}, {"Are you sure you want to delete the Symbol shown above?"}},
       {{"copy-symbol", d, "MSFT", d}, {"the portfolio the symbol is in"}},
       {{"move-symbol", d, "MSFT", (other / "nowhere").string()}, {"not a portfolio"}},
       {{"copy-symbol", d, "NOPE", to}, {"Symbol not found"}},
       {{"move-symbol", d, "IBM", to},
        {"The Symbol addition failed.\n\nReason: Symbol IBM already exists in\n"}},
       {{"rename-symbol", d, "IBM", "--symbol", ""}, {"You must enter a symbol"}},
       {{"rename-symbol", d, "IBM", "--name", "SEVENTEEN LETTERS"}, {"at most 16"}},
       // Fifteen characters would overwrite the flag bytes and make the quotes unloadable.
       {{"rename-symbol", d, "IBM", "--symbol", "ABCDEFGHIJKLMNO"}, {"at most 14"}},
       {{"rename-symbol", d, "IBM", "--name", "Caf\u00E9 \u4E2D"}, {"\u4E2D\" cannot be stored"}},
       {{"repair", blank.string()}, {"appears corrupted"}},
       {{"repair", (other / "nowhere").string(), "--yes"}, {"cannot be read"}}},
      {dir.get(), dest.get(), other.get()});
}

}  // namespace
}  // namespace ledgrix::testing
