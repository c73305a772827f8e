// Discovery in the view: the drive list, the sorted portfolio list, the first portfolio opened,
// drive changes, ReScan and the message when nothing is found.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QTest>

#include "tests/app/gui_test_support.h"

namespace ledgrix::testing {
namespace {

namespace fs = std::filesystem;

void Portfolio(const fs::path& dir, const std::string& symbol) {
  PortfolioBuilder(dir).Add(Daily(symbol, 5)).Write();
}

// Choosing a portfolio opens it; F5 (ReScan) walks again and opens the first.
TEST(Discovery, ListsPortfoliosSortedOpensTheFirstOrTheChosenOneAndRescansOnF5) {
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
  EXPECT_EQ(v.m_symbol, "ROOT");
  EXPECT_EQ(v.m_drive, r);
  EXPECT_EQ(f.settings().GetString("Settings", "Drive", "?"), r);
  EXPECT_EQ(v.m_driveCombo->currentText(), r);
  EXPECT_EQ(v.m_mastersFound, 4);
  EXPECT_TRUE(f.prompt().messages.empty());
  EXPECT_EQ(v.m_searchingDialog, nullptr);

  f.ChoosePortfolio(3);
  EXPECT_EQ(v.m_portfolioDir, r + "/b");
  EXPECT_EQ(v.m_symbol, "BBB");
  EXPECT_EQ(v.quoteRowCount(), 5);
  Portfolio(f.root() / "C", "CCC");
  f.frame().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&f.frame()));
  QTest::keyClick(&f.frame(), Qt::Key_F5);
  EXPECT_EQ(v.m_portfolioList->count(), 5);
  EXPECT_EQ(v.m_symbol, "ROOT");
}

// Where nothing is found it says so and leaves the view empty.
TEST(Discovery, AStoredVolumeThatIsGoneWalksTheLastOneAndADriveChangeWalksTheChosenOnce) {
  GuiFixture f;
  f.AddVolume();
  const QString last = f.volumes().Roots().last();  // holding nothing
  const QString other = f.volumes().Roots().first();
  Portfolio(FsPath(other) / "P", "AAA");
  f.SetSetting("Settings", "Drive", "/no/such/volume");
  f.WalkWholeVolume();
  f.StartAndScan();
  CLedgrixView& v = f.view();
  EXPECT_EQ(v.m_drive, last);
  EXPECT_EQ(f.settings().GetString("Settings", "Drive", "?"), last);
  EXPECT_EQ(v.m_driveCombo->currentIndex(), -1);
  EXPECT_EQ(f.prompt().messages,
            std::vector<std::string>{"No master files found on drive " + last.toStdString() +
                                     "\n\n(Is your Portfolio Search Filter setting correct?)"});
  EXPECT_FALSE(v.m_portfoliosFound);
  EXPECT_EQ(v.m_portfolioList->count(), 0);
  EXPECT_EQ(v.symbolRowCount(), 0);

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
  // A filter change forces the walk of the filter's volume; a path on no listed volume is on none.
  v.rescanVolumeOf(other + "/Y");
  EXPECT_EQ(v.m_portfolioList->count(), 2);
  EXPECT_TRUE(IsOnVolume(QStringList{"/"}, "/home"));
  EXPECT_FALSE(IsOnVolume(QStringList{"/"}, "relative/path"));
  EXPECT_FALSE(IsOnVolume(QStringList{"/mnt/data"}, "/home"));
  // The name must be MASTER as written; an overlong path is refused. Neither changes the view.
  const QString opened = v.m_masterPath;
  EXPECT_FALSE(v.SelectPortfolio(other + "/Y/master"));
  EXPECT_FALSE(v.SelectPortfolio(QString(295, QLatin1Char('x')) + "/MASTER"));
  EXPECT_EQ(v.m_masterPath, opened);
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
