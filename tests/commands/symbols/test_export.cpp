// Quotes > Export on the real view: the dialog's choices reach the settings and the file of the
// shown symbol (the file format itself is the export's own tests' concern).
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QRadioButton>
#include <array>
#include <filesystem>
#include <utility>

#include "commands/symbols/export_dialog.h"
#include "commands/symbols/symbol_commands.h"
#include "tests/commands/command_test_support.h"

namespace ledgrix::testing {
namespace {

namespace fs = std::filesystem;

constexpr std::array<const char*, 6> kOmitChecks = {"omitOpenCheck", "omitHighCheck",
                                                    "omitLowCheck",  "omitCloseCheck",
                                                    "omitVolCheck",  "omitOICheck"};
constexpr std::array<const char*, 6> kOmitKeys = {"OmitOpen",  "OmitHigh", "OmitLow",
                                                  "OmitClose", "OmitVol",  "OmitOI"};
const QString kNewest = "01/06/98 12.5000 13.0000 12.2500 12.7500 900.00 ";

// 01/02/98, 01/05/98, 01/06/98; the last with volume 900 and close 12.75.
SymbolSpec ThreeQuotes(const char* symbol, std::uint8_t file, bool openInterest) {
  SymbolSpec spec = Symbol(symbol, MakeDailyQuotes(formats::DayFromYmd(98, 1, 2), 3, 12.0f), file);
  if (!openInterest)
    spec.fields.pop_back();  // OI, the last of the usual fields
  spec.quotes.back() = {spec.quotes.back().date, 0, 12.5f, 13.0f, 12.25f, 12.75f, 900.0f, 40.0f};
  return spec;
}

// The lines of a file, each ended by CR LF.
QStringList Lines(const fs::path& file) {
  const auto bytes = FileBytes(file);
  QStringList lines = QString::fromLatin1(std::string(bytes.begin(), bytes.end())).split("\r\n");
  EXPECT_EQ(lines.takeLast(), "") << "text after the last CR LF";
  return lines;
}

// ABC (row 0) and NOI, which has no open interest; ABC's quotes shown.
class ExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PortfolioBuilder(f.root() / "PORT")
        .Add(ThreeQuotes("ABC", 1, true))
        .Add(ThreeQuotes("NOI", 2, false))
        .Write();
    StartView(f);
  }
  void TearDown() override { QDir::setCurrent(savedCwd); }
  // Exports once for every step, which drives that run's dialog.
  void Export(std::deque<DialogScript::Step> steps) {
    const std::size_t runs = steps.size();
    DialogScript script(std::move(steps));
    for (std::size_t i = 0; i < runs; ++i)
      commands::ExportQuotes(f.view());
  }
  int Int(const char* key) { return f.settings().GetInt("XportSel", key, -99); }
  std::vector<std::string>& Messages() { return f.prompt().messages; }

  GuiFixture f;
  const fs::path out = f.root() / "out.txt";
  const QString savedCwd = QDir::currentPath();
};

TEST_F(ExportTest, DefaultsWriteOutputTxtAndAnUnknownDelimiterAndNoOpenInterestWriteSpacesAndNa) {
  QDir::setCurrent(QPath(f.root()));
  Export({[](QDialog& d) {
    EXPECT_EQ(d.windowTitle(), "Export");
    EXPECT_EQ(Child<QLineEdit>(d, "pathEdit")->text(), "output.txt");
    EXPECT_TRUE(Child<QRadioButton>(d, "spaceRadio")->isChecked());
    EXPECT_TRUE(Child<QRadioButton>(d, "oldestRadio")->isChecked());
    EXPECT_FALSE(Child<QCheckBox>(d, "titleCheck")->isChecked());
    for (const char* name : kOmitChecks)
      EXPECT_FALSE(Child<QCheckBox>(d, name)->isChecked()) << name;
    ClickOk(d);
  }});
  auto lines = Lines(f.root() / "output.txt");
  ASSERT_EQ(lines.size(), 3);
  EXPECT_TRUE(lines[0].startsWith("01/02/98 "));
  EXPECT_EQ(lines[2], kNewest + "40.00");
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(f.settings().GetString("XportSel", "Starter", "unset"), "output.txt");

  // NOI, and a delimiter setting no button stands for: spaces.
  f.ClickSymbol(1);
  f.settings().SetInt("XportSel", "Delim", 7);
  Export({[this](QDialog& d) {
    for (const char* name : {"spaceRadio", "commaRadio", "tabRadio"})
      EXPECT_FALSE(Child<QRadioButton>(d, name)->isChecked()) << name;
    FillAndOk({{"pathEdit", QPath(out)}})(d);
  }});
  EXPECT_EQ(Int("Delim"), -1);  // no button chosen
  EXPECT_EQ(Lines(out).value(2), kNewest + "N/A");
}

TEST_F(ExportTest, EveryChoiceReachesTheSettingsAndTheFile) {
  f.prompt() = ScriptedPrompt({}, true);  // each round replaces the last round's file
  const struct {
    const char* omit;  // '1': the column of kOmitChecks is left out
    const char* title;
  } cases[] = {// Each box checked in a pattern of its own across the rounds.
               {"100110", "DATE,HIGH,LOW,OI"},
               {"010101", "DATE,OPEN,LOW,VOL"},
               {"001011", "DATE,OPEN,HIGH,CLOSE"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    Export({[&](QDialog& d) {
      Child<QLineEdit>(d, "pathEdit")->setText(QPath(out));
      Child<QRadioButton>(d, "commaRadio")->setChecked(true);
      Child<QCheckBox>(d, "titleCheck")->setChecked(true);
      Child<QRadioButton>(d, "newestRadio")->setChecked(true);
      for (std::size_t i = 0; i < kOmitChecks.size(); ++i)
        Child<QCheckBox>(d, kOmitChecks[i])->setChecked(c.omit[i] == '1');
      ClickOk(d);
    }});
    const auto lines = Lines(out);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], c.title);
    EXPECT_TRUE(lines[1].startsWith("01/06/98") &&
                lines[3].startsWith("01/02/98"));  // newest first
    for (std::size_t i = 0; i < kOmitKeys.size(); ++i)
      EXPECT_EQ(Int(kOmitKeys[i]), c.omit[i] == '1' ? 1 : 0) << kOmitKeys[i];
    EXPECT_EQ(Int("Delim"), 1);
    EXPECT_EQ(Int("Newest"), 1);
    EXPECT_EQ(Int("Title"), 1);
    if (std::string(c.omit) == "100110") {
      EXPECT_EQ(lines[1], "01/06/98,13.0000,12.2500,40.00");
    }
  }
  EXPECT_TRUE(Messages().empty());
}

TEST_F(ExportTest, CancelAndNoToTheOverwriteQuestionChangeNoSettingAndNoFile) {
  WriteText(out, "keep me");
  f.prompt() = ScriptedPrompt({false});
  const auto choose = [this](bool ok) {
    return [this, ok](QDialog& d) {
      Child<QLineEdit>(d, "pathEdit")->setText(QPath(out));
      Child<QCheckBox>(d, "titleCheck")->setChecked(true);
      ok ? ClickOk(d) : ClickCancel(d);
    };
  };
  Export({choose(false), choose(true)});
  EXPECT_EQ(f.prompt().questions.size(), 1u);
  const auto bytes = FileBytes(out);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "keep me");
  for (const char* key : kOmitKeys)
    EXPECT_EQ(Int(key), -99) << key;
  EXPECT_EQ(Int("Title"), -99);
  EXPECT_EQ(f.settings().GetString("XportSel", "Starter", "unset"), "unset");
}

TEST_F(ExportTest, FailuresAreReportedNotPassedOffAsSuccess) {
  f.prompt() = ScriptedPrompt({}, true);
  const QString nowhere = QPath(f.root() / "no such dir" / "x.txt");
  Export({FillAndOk({{"pathEdit", nowhere}})});
  EXPECT_EQ(Messages(), std::vector<std::string>{"file export error"});
  // The settings were saved before the file failed.
  EXPECT_EQ(f.settings().GetString("XportSel", "Starter", "unset"), nowhere);
  EXPECT_EQ(Int("Title"), 0);

  Messages().clear();
  const bool full = fs::exists("/dev/full");  // a file that fills up
  if (full)
    Export({FillAndOk({{"pathEdit", QStringLiteral("/dev/full")}})});
  fs::remove(f.root() / "PORT" / "F1.DAT");  // the shown symbol cannot be read
  Export({FillAndOk({{"pathEdit", QPath(out)}})});
  EXPECT_EQ(Messages(), std::vector<std::string>(full ? 2 : 1, "file export error"));
}

TEST_F(ExportTest, BrowsePutsTheChosenFileIntoThePathFieldAndALongPathIsKeptWhole) {
  const fs::path deep = f.root() / std::string(120, 'd') / std::string(120, 'e');
  fs::create_directories(deep);
  const QString chosen = QPath(deep / "long.txt");
  QStringList offered;
  Export({[&](QDialog& d) {
    QString answer = chosen;
    dynamic_cast<CExportDialog&>(d).setFileChooser([&](QWidget*, const QString& current) {
      offered.append(current);
      return std::exchange(answer, QString());  // chosen once, then cancelled
    });
    auto* path = Child<QLineEdit>(d, "pathEdit");
    path->setText(QStringLiteral("typed.txt"));
    Click(d, "browseButton");
    EXPECT_EQ(path->text(), chosen);
    Click(d, "browseButton");
    EXPECT_EQ(path->text(), chosen);
    ClickOk(d);
  }});
  EXPECT_EQ(offered, (QStringList{QStringLiteral("typed.txt"), chosen}));
  EXPECT_EQ(Lines(deep / "long.txt").size(), 3);
}

}  // namespace
}  // namespace ledgrix::testing
