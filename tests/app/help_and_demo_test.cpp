// Help > Help Topics shows the bundled guide; the demo generator writes what `make run` shows.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <cstdlib>

#include "app/chart_view.h"
#include "app/help_window.h"
#include "commands/quotes/quote_commands.h"
#include "commands/symbols/dialog_runner.h"
#include "tests/app/gui_test_support.h"

namespace ledgrix::testing {
namespace {

namespace fs = std::filesystem;

// Help Topics shows the guide, one window however often asked. F1 opens it from the main window,
// from the split search window beside it and from a command's modal dialog, which leaves the
// guide usable.
TEST(Help, HelpTopicsOpensTheGuideAlsoByF1FromEveryWindow) {
  GuiFixture f;
  f.StartAndScan();
  f.frame().action(ID_HELP_FINDER)->trigger();
  CHelpWindow* help = f.frame().helpWindow();
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(help->isVisible());
  const QString text = help->browser()->toPlainText();
  EXPECT_TRUE(text.contains("Ledgrix User Guide"));
  // Every menu's commands are explained.
  for (const char* command :
       {"Split Search", "Search Filter", "ReScan", "Quotes > Edit", "Quotes > Split",
        "Quotes > Adjust", "Quotes > Add", "Quotes > Delete", "Export", "Symbol > Edit",
        "Symbol > Delete", "Symbol > Move", "Symbol > About", "appears corrupted", "View > Chart"})
    EXPECT_TRUE(text.contains(QString::fromLatin1(command))) << command;
  f.frame().action(ID_HELP_FINDER)->trigger();
  EXPECT_EQ(f.frame().helpWindow(), help);

  commands::OpenSplitSearch(f.view());
  auto* search = f.frame().findChild<QDialog*>("splitSearchDialog");
  ASSERT_NE(search, nullptr);
  auto pressF1In = [&f](QWidget* window) {
    if (CHelpWindow* open = f.frame().helpWindow())
      open->close();
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : window, Qt::Key_F1);
    return f.frame().helpWindow() && f.frame().helpWindow()->isVisible();
  };
  EXPECT_TRUE(pressF1In(&f.frame()));
  EXPECT_TRUE(pressF1In(search));

  // The guide is no window of the frame, which the dialog blocks.
  QDialog dialog(&f.frame());
  bool fromDialog = false;
  QTimer::singleShot(0, [&] {
    fromDialog = pressF1In(&dialog) && !f.frame().helpWindow()->parentWidget();
    dialog.reject();
  });
  commands::RunDialog(dialog);
  EXPECT_TRUE(fromDialog);
}

// The demo's portfolios are all found, the search filter in any case keeping the walk to them,
// with the damage planted in them.
TEST(Demo, GeneratorWritesThePortfoliosTheProgramShows) {
  GuiFixture f;
  const fs::path demo = f.root() / "demo-data";
  const std::string command =
      std::string(LEDGRIX_DEMO_TOOL) + " '" + demo.string() + "' > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_TRUE(fs::exists(demo / ".ledgrix-demo"));
  PortfolioBuilder(f.root() / "OTHER").Add(Daily("O", 5)).Write();
  f.LimitWalkTo(QPath(f.root() / "DEMO-DATA"));
  f.StartAndScan();
  CLedgrixView& v = f.view();
  const QString d = QPath(demo);
  EXPECT_EQ(v.portfolioEntries(),
            (QStringList{d + "/EQUITIES", d + "/EQUITIES/INTL", d + "/FUTURES"}));
  EXPECT_TRUE(f.prompt().messages.empty());
  EXPECT_GE(v.quoteRowCount(), 2000);
  EXPECT_EQ(v.symbolCellText(7, 0), "INTL");  // the directory entry of EQUITIES/INTL
  const CChartView& chart = *v.findChild<CChartView*>();
  f.ClickSymbol(4);  // ELMR: the chart marks its split
  ASSERT_EQ(v.symbol(), "ELMR");
  ASSERT_EQ(chart.marks().size(), 1u);
  EXPECT_EQ(chart.marks()[0].kind, ChartMarkKind::kSplit);
  f.ClickSymbol(5);  // FJRD: one close far above its neighbours
  ASSERT_EQ(v.symbol(), "FJRD");
  const ChartData& fjrd = chart.series().data();
  int spikes = 0;
  for (int i = 1; i + 1 < fjrd.count(); ++i) {
    const float close = fjrd.value(kChartClose, i);
    spikes +=
        close > fjrd.value(kChartClose, i - 1) * 5 && close > fjrd.value(kChartClose, i + 1) * 5;
  }
  EXPECT_EQ(spikes, 1);
}

}  // namespace
}  // namespace ledgrix::testing
