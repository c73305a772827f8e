// Discovery in the view: the drive list, the sorted portfolio list, the first portfolio opened,
// drive changes, ReScan and the message when nothing is found.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QListWidget>

#include "formats/dates.h"
#include "tests/app/gui_test_support.h"

namespace ledgrix::testing {
namespace {

namespace fs = std::filesystem;

void Portfolio(const fs::path& dir, const std::string& symbol) {
  SymbolSpec s;
  s.symbol = symbol;
  s.name = symbol + " INC";
  s.quotes = MakeDailyQuotes(formats::DayFromYmd(1998, 1, 5), 5);
  PortfolioBuilder(dir).Add(s).Write();
}

const std::string kNoneFound = "\n\n(Is your Portfolio Search Filter setting correct?)";

TEST(Discovery, ListsPortfoliosSortedAndOpensTheFirst) {
  GuiFixture f;
  Portfolio(f.root() / "b", "BBB");
  Portfolio(f.root() / "A", "AAA");
  Portfolio(f.root() / "A" / "B", "ABB");
  Portfolio(f.root(), "ROOT");
  f.WalkWholeVolume();
  // No stored volume: the one that holds the current directory.
  const QString cwd = QDir::currentPath();
  QDir::setCurrent(QPath(f.root() / "A"));
  f.StartAndScan();
  QDir::setCurrent(cwd);
  CLedgrixView& v = f.view();
  const QString r = QPath(f.root());
  EXPECT_EQ(v.portfolioEntries(), (QStringList{r, r + "/A", r + "/A/B", r + "/b"}));
  EXPECT_EQ(v.selectedPortfolio(), 0);
  EXPECT_TRUE(v.m_portfoliosFound);
  EXPECT_EQ(v.m_masterPath, r + "/MASTER");
  EXPECT_EQ(v.m_portfolioDir, r);
  EXPECT_EQ(v.m_symbol, "ROOT");
  EXPECT_EQ(v.m_drive, r);
  EXPECT_EQ(f.settings().GetString("Settings", "Drive", "?"), r);
  EXPECT_EQ(v.m_driveCombo->currentText(), r);
  EXPECT_EQ(v.m_mastersFound, 4);
  EXPECT_TRUE(f.prompt().messages.empty());
  EXPECT_EQ(v.m_searchingDialog, nullptr);
}

TEST(Discovery, FilterLimitsTheWalk) {
  GuiFixture f;
  Portfolio(f.root() / "QUOTES", "Q");
  Portfolio(f.root() / "QUOTES" / "DATA", "QD");
  Portfolio(f.root() / "OTHER", "O");
  f.LimitWalkTo(QPath(f.root() / "quotes"));
  f.StartAndScan();
  const QString r = QPath(f.root());
  EXPECT_EQ(f.view().portfolioEntries(), (QStringList{r + "/QUOTES", r + "/QUOTES/DATA"}));
}

TEST(Discovery, NothingFoundSaysSoAndLeavesTheViewEmptyAndMasterPathsAreChecked) {
  GuiFixture f;
  fs::create_directories(f.root() / "empty");
  f.WalkWholeVolume();
  f.StartAndScan();
  ASSERT_EQ(f.prompt().messages.size(), 1u);
  EXPECT_EQ(f.prompt().messages[0],
            "No master files found on drive " + f.root().string() + kNoneFound);
  EXPECT_FALSE(f.view().m_portfoliosFound);
  EXPECT_EQ(f.view().m_portfolioList->count(), 0);
  EXPECT_EQ(f.view().symbolRowCount(), 0);
  // A portfolio in the root; the name must be MASTER as written; an overlong path is refused.
  CLedgrixView& v = f.view();
  EXPECT_TRUE(v.SelectPortfolio("/MASTER"));
  EXPECT_EQ(v.m_portfolioDir, "/");
  EXPECT_TRUE(v.SelectPortfolio("/data/ms/MASTER"));
  EXPECT_EQ(v.m_portfolioDir, "/data/ms");
  EXPECT_FALSE(v.SelectPortfolio("/data/ms/master"));
  EXPECT_FALSE(v.SelectPortfolio(QString(295, QLatin1Char('x')) + "/MASTER"));
  EXPECT_EQ(v.m_masterPath, "/data/ms/MASTER");
}

TEST(Discovery, PortfolioChoiceOpensItAndRescanFindsNewOnesAndOpensTheFirst) {
  GuiFixture f;
  Portfolio(f.root() / "A", "AAA");
  Portfolio(f.root() / "B", "BBB");
  f.WalkWholeVolume();
  f.StartAndScan();
  f.ChoosePortfolio(1);
  EXPECT_EQ(f.view().m_portfolioDir, QPath(f.root() / "B"));
  EXPECT_EQ(f.view().m_symbol, "BBB");
  EXPECT_EQ(f.view().quoteRowCount(), 5);
  Portfolio(f.root() / "C", "CCC");
  f.frame().action(ID_PORTFOLIO_RESCAN)->trigger();
  EXPECT_EQ(f.view().m_portfolioList->count(), 3);
  EXPECT_EQ(f.view().m_symbol, "AAA");
}

TEST(Discovery, AStoredVolumeThatIsGoneWalksTheLastOneAndADriveChangeWalksTheChosenOnce) {
  GuiFixture f;
  const fs::path& second = f.AddVolume();
  Portfolio(f.root() / "P", "AAA");
  Portfolio(second / "P", "ZZZ");
  f.SetSetting("Settings", "Drive", "/no/such/volume");
  f.WalkWholeVolume();
  f.StartAndScan();
  CLedgrixView& v = f.view();
  const QString last = f.volumes().Roots().last();
  const QString other = f.volumes().Roots().first();
  EXPECT_EQ(v.m_drive, last);
  EXPECT_EQ(f.settings().GetString("Settings", "Drive", "?"), last);
  EXPECT_EQ(v.m_driveCombo->currentIndex(), -1);
  EXPECT_EQ(v.portfolioEntries(), QStringList{last + "/P"});

  ASSERT_GE(v.m_driveCombo->findText(other), 0);
  v.m_driveCombo->setCurrentIndex(v.m_driveCombo->findText(other));
  v.OnDriveChange();
  EXPECT_EQ(v.m_drive, other);
  EXPECT_EQ(f.settings().GetString("Settings", "Drive", "?"), other);
  EXPECT_EQ(v.portfolioEntries(), QStringList{other + "/P"});
  // The same volume again: no walk, so a new portfolio stays unseen.
  Portfolio(FsPath(other) / "Y", "YYY");
  v.OnDriveChange();
  EXPECT_EQ(v.m_portfolioList->count(), 1);
  // A filter change forces the walk of the filter's volume.
  v.rescanVolumeOf(other + "/Y");
  EXPECT_EQ(v.m_portfolioList->count(), 2);
}

// A search-filter path on no listed volume selects none.
TEST(Discovery, APathOnNoListedVolumeIsOnNone) {
  EXPECT_TRUE(IsOnVolume(QStringList{"/"}, "/home"));
  EXPECT_FALSE(IsOnVolume(QStringList{"/"}, "relative/path"));
  EXPECT_FALSE(IsOnVolume(QStringList{"/mnt/data"}, "/home"));
}

// Memory file systems are volumes too (a tmpfs /tmp holds portfolios), but not the system's own.
TEST(Discovery, VolumesAreFileSystemsThatHoldUserFiles) {
  const struct {
    const char *type, *root;
    bool listed;
  } cases[] = {{"ext4", "/", true},
               {"tmpfs", "/tmp", true},
               {"tmpfs", "/mnt/ram", true},
               {"tmpfs", "/run", false},
               {"tmpfs", "/run/user/1000", false},
               {"tmpfs", "/dev/shm", false},
               {"tmpfs", "/sys/fs/cgroup", false},
               {"ramfs", "/runner", true},
               {"proc", "/proc", false},
               {"devtmpfs", "/dev", false}};
  for (const auto& c : cases)
    EXPECT_EQ(HoldsUserFiles(c.type, c.root), c.listed) << c.type << " " << c.root;
}

}  // namespace
}  // namespace ledgrix::testing
