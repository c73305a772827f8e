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
#include "formats/series.h"
#include "tests/app/gui_test_support.h"

namespace ledgrix::testing {
namespace {

namespace fs = std::filesystem;

TEST(Help, HelpTopicsOpensTheGuide) {
  GuiFixture f;
  f.Start();
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
  // A second request shows the same window.
  f.frame().action(ID_HELP_FINDER)->trigger();
  EXPECT_EQ(f.frame().helpWindow(), help);
}

// F1 opens the guide from the main window, from the split search window beside it and from a
// command's modal dialog, which leaves the guide usable.
TEST(Help, F1OpensHelpTopicsFromEveryWindow) {
  GuiFixture f;
  f.StartAndScan();
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

// Every close of symbol in dir, oldest first.
std::vector<float> Closes(const fs::path& dir, const char* symbol) {
  formats::QuoteSeries s;
  formats::InitSeries(s, formats::kMaxQuotes);
  EXPECT_EQ(formats::LoadSeries(s, dir, symbol, 0, formats::kMaxQuotes), formats::kOk) << symbol;
  std::vector<float> closes;
  for (int k = 0; k < s.count; ++k)
    closes.push_back(s.value(formats::kClose, k));
  formats::FreeSeries(s);
  return closes;
}

TEST(Demo, GeneratorWritesThePortfoliosTheProgramShows) {
  TempDir t;
  const fs::path demo = t / "demo-data";
  const std::string command =
      std::string(LEDGRIX_DEMO_TOOL) + " '" + demo.string() + "' > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_TRUE(fs::exists(demo / ".ledgrix-demo"));

  // Started inside the demo with fresh settings: the default filter is the current directory.
  GuiFixture f;
  f.volumes().Add(QPath(demo));
  f.SetSetting("Settings", "Drive", QPath(demo));
  f.LimitWalkTo(QPath(demo));
  f.StartAndScan();
  CLedgrixView& v = f.view();
  const QString d = QPath(demo);
  EXPECT_EQ(v.portfolioEntries(),
            (QStringList{d + "/EQUITIES", d + "/EQUITIES/INTL", d + "/FUTURES"}));
  EXPECT_TRUE(f.prompt().messages.empty());
  EXPECT_GE(v.quoteRowCount(), 2000);
  f.ClickSymbol(4);  // ELMR: the chart marks its split
  ASSERT_EQ(v.symbol(), "ELMR");
  EXPECT_EQ(v.findChild<CChartView*>()->marks().size(), 1u);

  // The INTL portfolio is also reached through the EQUITIES directory entry.
  EXPECT_GE(Closes(demo / "EQUITIES", "KIWI").size(), 2000u);
  // ELMR halves from one day to the next somewhere; FJRD has one close far above its neighbours.
  int halvings = 0;
  const auto elmr = Closes(demo / "EQUITIES", "ELMR");
  for (std::size_t i = 1; i < elmr.size(); ++i)
    halvings += elmr[i] < elmr[i - 1] * 0.6f;
  EXPECT_EQ(halvings, 1);
  int spikes = 0;
  const auto fjrd = Closes(demo / "EQUITIES", "FJRD");
  for (std::size_t i = 1; i + 1 < fjrd.size(); ++i)
    spikes += fjrd[i] > fjrd[i - 1] * 5 && fjrd[i] > fjrd[i + 1] * 5;
  EXPECT_EQ(spikes, 1);
}

}  // namespace
}  // namespace ledgrix::testing
