// Start-up: the window's placement on a given work area, the stored values, the one-time import.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include "app/placement.h"
#include "tests/app/gui_test_support.h"

namespace ledgrix::testing {
namespace {

TEST(Placement, ComputedWhenStoredValuesDoNotFit) {
  const Placement fresh{26, 18, 972, 701};
  struct Case {
    Placement stored;
    QSize area;
    Placement expected;
    bool computed;
  } cases[] = {
      {{0, 0, 0, 0}, {1024, 738}, fresh, true},
      {{0, 0, 0, 0}, {800, 600}, {20, 15, 759, 569}, true},
      {{10, 20, 500, 400}, {1024, 738}, {10, 20, 500, 400}, false},
      {{0, 0, 1024, 738}, {1024, 738}, {0, 0, 1024, 738}, false},
      {{0, 0, 1100, 400}, {1024, 738}, fresh, true},  // wider than the area
      {{-1, 0, 500, 400}, {1024, 738}, fresh, true},
      {{1025, 0, 500, 400}, {1024, 738}, fresh, true},
      {{0, 0, 500, 0}, {1024, 738}, fresh, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << c.stored.x << "," << c.stored.y << " " << c.stored.cx << "x" << c.stored.cy);
    bool computed = false;
    EXPECT_EQ(ChoosePlacement(c.stored, c.area, &computed), c.expected);
    EXPECT_EQ(computed, c.computed);
  }
}

QStringList StoredPlacement(GuiFixture& f) {
  QStringList values;
  for (const char* name : {"x", "y", "cx", "cy"})
    values << f.settings().GetString("Screen", name, "?");
  return values;
}

TEST(Start, FirstStartPlacesAndStoresTheWindowThenFollowsMovesButNotMinimising) {
  GuiFixture f;
  CMainFrame& frame = f.Start(QSize(1024, 738));
  EXPECT_EQ(frame.pos(), QPoint(26, 18));
  EXPECT_EQ(frame.size(), QSize(972, 701));
  EXPECT_EQ(StoredPlacement(f), (QStringList{"26", "18", "972", "701"}));

  // A drag sends many moves: the placement is written once it settles, not for each.
  for (int x = 100; x >= -30; x -= 10)
    frame.move(x, 50);  // a negative coordinate is stored as zero
  frame.resize(700, 500);
  QApplication::processEvents();
  EXPECT_EQ(StoredPlacement(f), (QStringList{"26", "18", "972", "701"}));
  EXPECT_TRUE(QTest::qWaitFor(
      [&] {
        return StoredPlacement(f) == QStringList{"0", "50", "700", "500"};
      },
      2000));
  frame.setWindowState(Qt::WindowMinimized);
  frame.move(5, 5);
  frame.resize(300, 200);
  QTest::qWait(600);
  EXPECT_EQ(StoredPlacement(f), (QStringList{"0", "50", "700", "500"}));
  frame.setWindowState(Qt::WindowNoState);
  frame.action(ID_VIEW_TOOLBAR)->trigger();  // the View menu toggles the bars
  EXPECT_FALSE(frame.toolBar()->isVisible());
  frame.action(ID_VIEW_STATUS_BAR)->trigger();
  EXPECT_FALSE(frame.statusBarWidget()->isVisible());
  frame.action(ID_VIEW_TOOLBAR)->trigger();
  EXPECT_TRUE(frame.toolBar()->isVisible());
  // Closing writes a placement that has not settled yet.
  frame.move(40, 60);
  frame.close();
  EXPECT_EQ(StoredPlacement(f), (QStringList{"40", "60", QString::number(frame.width()),
                                             QString::number(frame.height())}));
}

// Without stored search settings the filter is the current directory.
TEST(Start, OldIniIsImportedOnTheFirstStartOnlyAndItsPlacementAndSearchSettingsUsed) {
  GuiFixture f;
  f.Start();
  EXPECT_FALSE(f.view().m_startDir.isEmpty());
  EXPECT_EQ(f.view().m_searchFilter, f.view().m_startDir);
  f.Stop();
  QFile::remove(f.settingsPath());
  const auto oldIni = FsPath(f.settingsPath()).parent_path() / "Ledgrix.INI";
  WriteText(oldIni, "[Screen]\nx=10\ny=12\ncx=600\ncy=400\n[Search]\nMasterFix=1\nName=/data/ms\n");
  CMainFrame& frame = f.Start(QSize(1024, 738));
  EXPECT_EQ(frame.pos(), QPoint(10, 12));
  EXPECT_EQ(frame.size(), QSize(600, 400));
  EXPECT_EQ(f.view().m_masterFix, 1);
  EXPECT_EQ(f.view().m_limitSearch, 1);
  EXPECT_EQ(f.view().m_searchFilter, "/data/ms");
  EXPECT_EQ(f.view().m_searchFilterUpper, "/DATA/MS");
  f.Stop();
  WriteText(oldIni, "[Screen]\nx=99\n[Extra]\nkey=1\n");
  f.Start(QSize(1024, 738));
  EXPECT_EQ(f.settings().GetString("Screen", "x", "?"), "10");
  EXPECT_EQ(f.settings().GetString("Extra", "key", "absent"), "absent");
}

}  // namespace
}  // namespace ledgrix::testing
