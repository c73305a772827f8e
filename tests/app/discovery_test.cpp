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

SymbolSpec Spec(int file, const std::string& symbol, int quotes = 5) {
  SymbolSpec s;
  s.fileNumber = static_cast<std::uint8_t>(file);
  s.symbol = symbol;
  s.name = symbol + " INC";
  s.quotes = MakeDailyQuotes(formats::DayFromYmd(1998, 1, 5), quotes);
  return s;
}

void Portfolio(const fs::path& dir, const std::string& symbol) {
  PortfolioBuilder(dir).Add(Spec(1, symbol)).Write();
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

TEST(Discovery, NothingFoundSaysSoAndLeavesTheViewEmpty) {
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
}

TEST(Discovery, PortfolioChoiceOpensIt) {
  GuiFixture f;
  Portfolio(f.root() / "A", "AAA");
  Portfolio(f.root() / "B", "BBB");
  f.WalkWholeVolume();
  f.StartAndScan();
  f.ChoosePortfolio(1);
  EXPECT_EQ(f.view().m_portfolioDir, QPath(f.root() / "B"));
  EXPECT_EQ(f.view().m_symbol, "BBB");
  EXPECT_EQ(f.view().quoteRowCount(), 5);
}

TEST(Discovery, RescanWalksAgainAndFindsNewPortfolios) {
  GuiFixture f;
  Portfolio(f.root() / "A", "AAA");
  f.WalkWholeVolume();
  f.StartAndScan();
  EXPECT_EQ(f.view().m_portfolioList->count(), 1);
  Portfolio(f.root() / "B", "BBB");
  f.frame().action(ID_PORTFOLIO_RESCAN)->trigger();
  EXPECT_EQ(f.view().m_portfolioList->count(), 2);
  EXPECT_EQ(f.view().m_symbol, "AAA");
}

TEST(Discovery, DriveChangeWalksTheOtherVolumeButTheSameOneIsNotWalkedAgain) {
  GuiFixture f;
  const fs::path& second = f.AddVolume();
  Portfolio(f.root() / "A", "AAA");
  Portfolio(second / "Z", "ZZZ");
  f.WalkWholeVolume();
  f.StartAndScan();
  CLedgrixView& v = f.view();
  const int other = v.m_driveCombo->findText(QPath(second));
  ASSERT_GE(other, 0);
  v.m_driveCombo->setCurrentIndex(other);
  v.OnDriveChange();
  EXPECT_EQ(v.m_drive, QPath(second));
  EXPECT_EQ(f.settings().GetString("Settings", "Drive", "?"), QPath(second));
  EXPECT_EQ(v.portfolioEntries(), QStringList{QPath(second / "Z")});
  // The same volume again: no walk, so a new portfolio stays unseen.
  Portfolio(second / "Y", "YYY");
  v.OnDriveChange();
  EXPECT_EQ(v.m_portfolioList->count(), 1);
  // A filter change forces the walk of the filter's volume.
  v.rescanVolumeOf(QPath(second / "Y"));
  EXPECT_EQ(v.m_portfolioList->count(), 2);
}

TEST(Discovery, AStoredVolumeThatIsGoneWalksTheLastOneWithNoSelection) {
  GuiFixture f;
  const fs::path& second = f.AddVolume();
  Portfolio(f.root() / "A", "AAA");
  Portfolio(second / "Z", "ZZZ");
  f.SetSetting("Settings", "Drive", "/no/such/volume");
  f.WalkWholeVolume();
  f.StartAndScan();
  const QString last = f.volumes().Roots().last();
  EXPECT_EQ(f.view().m_drive, last);
  EXPECT_EQ(f.settings().GetString("Settings", "Drive", "?"), last);
  EXPECT_EQ(f.view().m_driveCombo->currentIndex(), -1);
}

TEST(Discovery, VolumeOfTakesTheLongestRoot) {
  const QStringList roots{"/", "/mnt/data", "/mnt/data2"};
  EXPECT_EQ(VolumeOf(roots, "/mnt/data/ms"), "/mnt/data");
  EXPECT_EQ(VolumeOf(roots, "/mnt/data2"), "/mnt/data2");
  EXPECT_EQ(VolumeOf(roots, "/mnt/database"), "/");
  EXPECT_EQ(VolumeOf(roots, "/home/x"), "/");
  EXPECT_TRUE(IsOnVolume(roots, "/home"));
  EXPECT_FALSE(IsOnVolume(roots, "relative/path"));
  EXPECT_FALSE(IsOnVolume(QStringList{"/mnt/data"}, "/home"));
}

TEST(Discovery, RootPortfolioPaths) {
  GuiFixture f;
  f.Start();
  CLedgrixView& v = f.view();
  EXPECT_TRUE(v.SelectPortfolio("/MASTER"));
  EXPECT_EQ(v.m_portfolioDir, "/");
  EXPECT_TRUE(v.SelectPortfolio("/data/ms/MASTER"));
  EXPECT_EQ(v.m_portfolioDir, "/data/ms");
  EXPECT_FALSE(v.SelectPortfolio("/data/ms/master"));
  EXPECT_FALSE(v.SelectPortfolio(QString(295, QLatin1Char('x')) + "/MASTER"));
  EXPECT_EQ(v.m_masterPath, "/data/ms/MASTER");
}

}  // namespace
}  // namespace ledgrix::testing
