// Portfolio > Search Filter on the real view: the dialog's enabling and volume check, the
// settings, and the rescan only when the filter matters.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>

#include "commands/symbols/symbol_commands.h"
#include "tests/commands/command_test_support.h"

namespace ledgrix::testing {
namespace {

using commands::EditSearchFilter;

// The portfolio Quotes/A below the volume; the walk as the settings say. Quotes/LATE appears
// only after the start, so only a new walk lists it.
struct FilterView {
  QString Path(const char* below) const { return *below ? QPath(f.root() / below) : QString(); }
  CLedgrixView& Start(bool limit, const QString& filter) {
    SymbolSpec spec;
    spec.symbol = "A";
    spec.quotes = MakeDailyQuotes(formats::DayFromYmd(98, 1, 2), 3);
    PortfolioBuilder(f.root() / "Quotes" / "A").Add(spec).Write();
    f.SetSetting("Search", "Limit", limit ? "1" : "0");
    f.SetSetting("Search", "Name", filter);
    f.SetSetting("Search", "MasterFix", "0");
    f.SetSetting("Settings", "Drive", QPath(f.root()));
    f.StartAndScan();
    PortfolioBuilder(f.root() / "Quotes" / "LATE").Add(spec).Write();
    return f.view();
  }
  bool Rescanned() { return f.view().portfolioEntries().contains(Path("Quotes/LATE")); }
  QString Setting(const char* name) { return f.settings().GetString("Search", name, "unset"); }
  GuiFixture f;
};

TEST(SearchFilterTest, ALimitedPathMustLieOnAListedVolume) {
  FilterView t;
  const auto& other = t.f.AddVolume();
  PortfolioBuilder(other / "B").Write();
  CLedgrixView& v = t.Start(true, t.Path("Quotes"));
  DialogScript script({[&](QDialog& d) {
    auto* path = Child<QLineEdit>(d, "pathEdit");
    for (const char* refused : {"", "x", "relative/dir", "/elsewhere/dir"}) {
      path->setText(refused);
      ClickOk(d);
      EXPECT_TRUE(d.isVisible()) << refused;
    }
    path->setText(QPath(other));  // a volume root alone is fine
    ClickOk(d);
  }});
  EditSearchFilter(v);
  EXPECT_EQ(t.f.prompt().messages,
            std::vector<std::string>(4, "The Search Filter path refers to an unknown drive"));
  EXPECT_EQ(v.searchFilter(), QPath(other));
  EXPECT_EQ(v.portfolioEntries(), QStringList{QPath(other / "B")});  // walked there
}

TEST(SearchFilterTest, RescansOnlyWhenTheFilterMatters) {
  const struct {
    const char* what;
    bool oldLimit;
    const char* oldPath;
    bool newLimit;
    const char* newPath;
    bool newFix, rescan;
  } cases[] = {
      {"case only", true, "Quotes", true, "QUOTES", false, false},
      {"repair flag only", true, "Quotes", true, "Quotes", true, false},
      {"path changed while off", false, "a", false, "b", false, false},
      {"new path", true, "Quotes", true, "Quotes/LATE", false, true},
      {"limit turned off", true, "Quotes", false, "Quotes", false, true},
      {"limit turned on", false, "Quotes", true, "Quotes", false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FilterView t;
    CLedgrixView& v = t.Start(c.oldLimit, t.Path(c.oldPath));
    DialogScript script({[&](QDialog& d) {
      Child<QCheckBox>(d, "limitCheck")->setChecked(c.newLimit);
      Child<QLineEdit>(d, "pathEdit")->setText(t.Path(c.newPath));
      Child<QCheckBox>(d, "masterFixCheck")->setChecked(c.newFix);
      ClickOk(d);
    }});
    EditSearchFilter(v);
    EXPECT_EQ(v.limitSearch(), c.newLimit);
    EXPECT_EQ(v.searchFilter(), t.Path(c.newPath));
    EXPECT_EQ(v.masterFix(), c.newFix);
    EXPECT_EQ(t.Setting("Limit"), c.newLimit ? "1" : "0");
    EXPECT_EQ(t.Setting("Name"), t.Path(c.newPath));
    EXPECT_EQ(t.Setting("MasterFix"), c.newFix ? "1" : "0");
    EXPECT_EQ(t.Rescanned(), c.rescan);
    EXPECT_TRUE(t.f.prompt().messages.empty());
  }
}

// Cancel keeps everything. With the limit off any path is taken; one on no listed volume names no
// drive to walk.
TEST(SearchFilterTest, CancelKeepsEverythingAndAPathOnNoListedVolumeSelectsNoDrive) {
  FilterView t;
  CLedgrixView& v = t.Start(true, t.Path("Quotes"));
  ASSERT_EQ(v.m_driveCombo->currentIndex(), 0);
  const auto type = [](QDialog& d) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);  // into the path, selected
    QTest::keyClicks(QApplication::focusWidget(), "elsewhere");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);  // limit off
    EXPECT_FALSE(Child<QLineEdit>(d, "pathEdit")->isEnabled());
  };
  DialogScript script({[&](QDialog& d) {
                         type(d);
                         Child<QCheckBox>(d, "masterFixCheck")->click();
                         ClickCancel(d);
                       },
                       [&](QDialog& d) {
                         type(d);
                         ClickOk(d);
                       }});
  EditSearchFilter(v);
  EXPECT_EQ(v.searchFilter(), t.Path("Quotes"));
  EXPECT_TRUE(v.limitSearch());
  EXPECT_FALSE(v.masterFix());
  EXPECT_EQ((QStringList{t.Setting("Limit"), t.Setting("MasterFix")}), (QStringList{"1", "0"}));
  EXPECT_EQ(v.m_driveCombo->currentIndex(), 0);

  EditSearchFilter(v);
  EXPECT_EQ(v.searchFilter(), "elsewhere");
  EXPECT_FALSE(v.limitSearch());
  EXPECT_EQ(v.m_driveCombo->currentIndex(), -1);
  EXPECT_TRUE(v.portfolioEntries().isEmpty());
  EXPECT_EQ(t.f.prompt().messages,
            std::vector<std::string>{
                "No master files found on drive \n\n(Is your Portfolio Search Filter setting "
                "correct?)"});
}

}  // namespace
}  // namespace ledgrix::testing
