// The settings store: text values, integer parsing, read defaults, and the old INI import.
#include <gtest/gtest.h>

#include "app/settings_store.h"
#include "tests/app/gui_test_support.h"

namespace ledgrix::testing {
namespace {

TEST(SettingsStore, GetIntReadsLeadingNumberOrDefaultAndLongValuesReadAsDefault) {
  TempDir dir;
  CSettingsStore store(QPath(dir / "Ledgrix.ini"));
  struct Case {
    const char* stored;
    int expected;
  } cases[] = {{"42", 42},  {"-5", -5}, {"12abc", 12}, {"  7", 7},
               {"abc", 99}, {"", 99},   {"+3", 3},     {"99999999999", 99}};
  for (const Case& c : cases) {
    store.SetString("S", "v", QString::fromLatin1(c.stored));
    EXPECT_EQ(store.GetInt("S", "v", 99), c.expected) << c.stored;
  }
  EXPECT_EQ(store.GetInt("Missing", "v", 6), 6);
  // Values are text; long ones read as the default.
  EXPECT_TRUE(store.SetInt("Screen", "x", -5));
  EXPECT_EQ(store.GetString("Screen", "x", "d"), "-5");
  store.SetString("S", "long", QString(300, QLatin1Char('7')));
  EXPECT_EQ(store.GetString("S", "long", "d"), "d");
  EXPECT_EQ(store.GetInt("S", "long", 3), 3);
  store.SetString("S", "edge", QString(259, QLatin1Char('a')));
  EXPECT_EQ(store.GetString("S", "edge", "d").size(), 259);
  store.SetString("S", "commas", "a, b");
  EXPECT_EQ(store.GetString("S", "commas", "d"), "a, b");
}

// The old file is found beside the store in any case of its name and read by its own rules.
TEST(SettingsStore, ImportFollowsTheOldFileRules) {
  TempDir dir;
  WriteText(dir / "ledgrix.ini.INI", "");
  WriteText(dir / "LEDGRIX.ini",
            "before=ignored\n"
            "  [Screen]  \n"
            "x=10\n"
            "[Search] trailing\n"
            "name = value\n"
            "empty=\n"
            "no equals sign\n"
            "[ Split ]\n"
            "Date=01/02/98=x\n");
  CSettingsStore store(QPath(dir / "store.conf"));
  const QString old = store.IniImportPath();
  EXPECT_EQ(old, QPath(dir / "LEDGRIX.ini"));
  store.ImportIniFile(QPath(dir / "absent.ini"));  // nothing to import: nothing happens
  EXPECT_EQ(store.GetString("Screen", "x", "d"), "d");
  store.ImportIniFile(old);
  EXPECT_EQ(store.GetString("Screen", "x", "d"), "10");
  EXPECT_EQ(store.GetString("General", "before", "d"), "d");
  EXPECT_EQ(store.GetString("", "before", "d"), "d");
  // "[Search] trailing" is no header: the lines after it still belong to Screen.
  EXPECT_EQ(store.GetString("Screen", "name ", "d"), " value");
  EXPECT_EQ(store.GetString("Search", "name ", "d"), "d");
  EXPECT_EQ(store.GetString("Screen", "empty", "d"), "");
  EXPECT_EQ(store.GetString("Split", "Date", "d"), "01/02/98=x");
}

}  // namespace
}  // namespace ledgrix::testing
