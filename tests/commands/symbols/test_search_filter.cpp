// Portfolio > Search Filter: the dialog's enabling and volume check, the settings, the rescan.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>

#include "commands/symbols/search_filter_dialog.h"
#include "commands/symbols/symbol_commands.h"
#include "tests/commands/symbols/dialog_driver.h"
#include "tests/commands/symbols/fake_host.h"

namespace ledgrix::testing {
namespace {

using commands::EditSearchFilter;

struct FilterHost {
  TempDir tmp;
  FakeHost host;
  FilterHost() : host((PortfolioBuilder(tmp.get()).Write(), tmp.get())) {
    host.volumes = {QStringLiteral("/data"), QStringLiteral("/mnt/usb")};
  }
};

TEST(SearchFilterDialogTest, PathFieldFollowsTheLimitCheckBox) {
  FilterHost f;
  f.host.limit = false;
  f.host.filter = QStringLiteral("/data/x");

  DialogDriver<CSearchFilterDialog> driver([](CSearchFilterDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), "Portfolio Search Filter");
    auto* limit = Child<QCheckBox>(dialog, "limitCheck");
    auto* path = Child<QLineEdit>(dialog, "pathEdit");
    EXPECT_EQ(limit->text(), "Only search for Portfolios in paths like that below");
    EXPECT_EQ(Child<QCheckBox>(dialog, "masterFixCheck")->text(),
              "Automatically repair bad Masters");
    EXPECT_FALSE(limit->isChecked());
    EXPECT_FALSE(path->isEnabled());
    EXPECT_EQ(path->text(), "/data/x");
    limit->click();
    EXPECT_TRUE(path->isEnabled());
    limit->click();
    EXPECT_FALSE(path->isEnabled());
    ClickCancel(dialog);
  });
  EditSearchFilter(f.host);
  EXPECT_EQ(driver.ran(), 1);
}

TEST(SearchFilterDialogTest, ALimitedPathMustLieOnAListedVolume) {
  FilterHost f;
  f.host.limit = true;
  f.host.filter = QStringLiteral("/data/old");

  DialogDriver<CSearchFilterDialog> driver([](CSearchFilterDialog& dialog) {
    auto* path = Child<QLineEdit>(dialog, "pathEdit");
    for (const QString& refused : {QString(), QStringLiteral("x"), QStringLiteral("relative/dir"),
                                   QStringLiteral("/elsewhere/dir")}) {
      path->setText(refused);
      ClickOk(dialog);
      EXPECT_NE(dialog.result(), QDialog::Accepted) << refused.toStdString();
    }
    path->setText(QStringLiteral("/mnt/usb"));  // a volume root alone is fine
    ClickOk(dialog);
  });
  EditSearchFilter(f.host);

  EXPECT_EQ(f.host.prompter.messages,
            std::vector<std::string>(4, "The Search Filter path refers to an unknown drive"));
  EXPECT_EQ(f.host.filter, "/mnt/usb");
}

TEST(SearchFilterDialogTest, WithoutTheLimitAnyPathIsKept) {
  FilterHost f;
  f.host.limit = true;
  f.host.filter = QStringLiteral("/data");

  DialogDriver<CSearchFilterDialog> driver([](CSearchFilterDialog& dialog) {
    Child<QCheckBox>(dialog, "limitCheck")->click();
    Child<QLineEdit>(dialog, "pathEdit")->setText(QString());
    ClickOk(dialog);
  });
  EditSearchFilter(f.host);

  EXPECT_TRUE(f.host.prompter.messages.empty());
  EXPECT_FALSE(f.host.limit);
  EXPECT_EQ(f.host.filter, "");
  EXPECT_EQ(f.host.settings().GetInt("Search", "Limit", 7), 0);
  EXPECT_EQ(f.host.settings().GetString("Search", "Name", "unset"), "");
}

struct RescanCase {
  const char* what;
  bool oldLimit;
  const char* oldPath;
  bool newLimit;
  const char* newPath;
  bool newFix;
  bool rescan;
};

class SearchFilterRescanTest : public ::testing::TestWithParam<RescanCase> {};

TEST_P(SearchFilterRescanTest, RescansOnlyWhenTheFilterMatters) {
  const RescanCase c = GetParam();
  FilterHost f;
  f.host.limit = c.oldLimit;
  f.host.filter = QString::fromLatin1(c.oldPath);
  f.host.fix = false;

  DialogDriver<CSearchFilterDialog> driver([&](CSearchFilterDialog& dialog) {
    Child<QCheckBox>(dialog, "limitCheck")->setChecked(c.newLimit);
    Child<QLineEdit>(dialog, "pathEdit")->setText(QString::fromLatin1(c.newPath));
    Child<QCheckBox>(dialog, "masterFixCheck")->setChecked(c.newFix);
    ClickOk(dialog);
  });
  EditSearchFilter(f.host);

  EXPECT_EQ(f.host.limit, c.newLimit);
  EXPECT_EQ(f.host.filter, c.newPath);
  EXPECT_EQ(f.host.fix, c.newFix);
  CSettingsStore& s = f.host.settings();
  EXPECT_EQ(s.GetInt("Search", "Limit", -1), c.newLimit ? 1 : 0);
  EXPECT_EQ(s.GetString("Search", "Name", "unset"), c.newPath);
  EXPECT_EQ(s.GetInt("Search", "MasterFix", -1), c.newFix ? 1 : 0);
  if (c.rescan) {
    EXPECT_EQ(f.host.rescans, QStringList{QString::fromLatin1(c.newPath)});
  } else {
    EXPECT_TRUE(f.host.rescans.isEmpty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SearchFilterRescanTest,
    ::testing::Values(
        RescanCase{"Unchanged", true, "/data/Quotes", true, "/data/Quotes", false, false},
        RescanCase{"CaseOnly", true, "/data/Quotes", true, "/data/QUOTES", false, false},
        RescanCase{"RepairFlagOnly", true, "/data/Quotes", true, "/data/Quotes", true, false},
        RescanCase{"NewPath", true, "/data/Quotes", true, "/mnt/usb/q", false, true},
        RescanCase{"LimitTurnedOff", true, "/data/Quotes", false, "/data/Quotes", false, true},
        RescanCase{"LimitTurnedOn", false, "/data/Quotes", true, "/data/Quotes", false, true},
        RescanCase{"PathChangedWhileOff", false, "/data/a", false, "/data/b", false, false}),
    [](const auto& caseInfo) { return std::string(caseInfo.param.what); });

TEST(SearchFilterTest, CancelKeepsViewAndSettings) {
  FilterHost f;
  f.host.limit = true;
  f.host.filter = QStringLiteral("/data");

  DialogDriver<CSearchFilterDialog> driver([](CSearchFilterDialog& dialog) {
    Child<QCheckBox>(dialog, "masterFixCheck")->setChecked(true);
    Child<QLineEdit>(dialog, "pathEdit")->setText(QStringLiteral("/mnt/usb"));
    ClickCancel(dialog);
  });
  EditSearchFilter(f.host);

  EXPECT_EQ(f.host.filterSets, 0);
  EXPECT_EQ(f.host.settings().GetString("Search", "Name", "unset"), "unset");
  EXPECT_TRUE(f.host.rescans.isEmpty());
}

}  // namespace
}  // namespace ledgrix::testing
