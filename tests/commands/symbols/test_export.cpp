// Quotes > Export: dialog, settings, overwrite question and the file written.
#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "commands/symbols/export_dialog.h"
#include "commands/symbols/symbol_commands.h"
#include "tests/commands/symbols/dialog_driver.h"
#include "tests/commands/symbols/fake_host.h"

namespace ledgrix::testing {
namespace {

namespace fs = std::filesystem;
using commands::ExportQuotes;

const std::array<const char*, 6> kOmitChecks = {"omitOpenCheck",  "omitHighCheck", "omitLowCheck",
                                                "omitCloseCheck", "omitVolCheck",  "omitOICheck"};

// Three quotes: 01/02/98, 01/05/98, 01/06/98; the last has volume 900 and close 12.75.
SymbolSpec ThreeQuotes(std::vector<formats::FieldName> fields = {
                           formats::kDate, formats::kOpen, formats::kHigh, formats::kLow,
                           formats::kClose, formats::kVol, formats::kOi}) {
  SymbolSpec spec;
  spec.fileNumber = 1;
  spec.symbol = "ABC";
  spec.name = "Abc Corp";
  spec.fields = std::move(fields);
  spec.quotes = MakeDailyQuotes(formats::DayFromYmd(98, 1, 2), 3, 12.0f);
  Quote& last = spec.quotes.back();
  last.open = 12.5f;
  last.high = 13.0f;
  last.low = 12.25f;
  last.close = 12.75f;
  last.volume = 900.0f;
  last.openInterest = 40.0f;
  return spec;
}

std::vector<std::string> Lines(const fs::path& file) {
  const auto bytes = FileBytes(file);
  const std::string text(bytes.begin(), bytes.end());
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  EXPECT_EQ(start, text.size()) << "text after the last CR LF";
  for (const auto& line : lines)
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos);
  return lines;
}

std::vector<std::string> Cells(const std::string& line, char delimiter) {
  std::vector<std::string> cells;
  std::size_t start = 0;
  for (std::size_t end; (end = line.find(delimiter, start)) != std::string::npos; start = end + 1)
    cells.push_back(line.substr(start, end - start));
  cells.push_back(line.substr(start));
  return cells;
}

struct ExportFixture : ::testing::Test {
  TempDir tmp;
  fs::path portfolio = tmp / "port";
  fs::path out = tmp / "out.txt";
  std::unique_ptr<FakeHost> host;
  QString savedCwd = QDir::currentPath();

  void Make(const SymbolSpec& spec) {
    fs::create_directories(portfolio);
    PortfolioBuilder(portfolio).Add(spec).Write();
    host = std::make_unique<FakeHost>(portfolio);
  }
  void SetUp() override { Make(ThreeQuotes()); }
  void TearDown() override { QDir::setCurrent(savedCwd); }

  CSettingsStore& settings() { return host->settings(); }
  int Int(const char* key) { return settings().GetInt("XportSel", key, -99); }
  QString OutPath() const { return QString::fromStdString(out.string()); }
};

// Sets the path and presses OK, leaving every other choice as loaded.
auto OkWithPath(const QString& path) {
  return [path](CExportDialog& dialog) {
    Child<QLineEdit>(dialog, "pathEdit")->setText(path);
    ClickOk(dialog);
  };
}

TEST_F(ExportFixture, DefaultsWriteOutputTxtSpaceDelimitedOldestFirstWithoutTitle) {
  QDir::setCurrent(QString::fromStdString(tmp.get().string()));
  DialogDriver<CExportDialog> driver([](CExportDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), "Export");
    EXPECT_EQ(Child<QLineEdit>(dialog, "pathEdit")->text(), "output.txt");
    EXPECT_TRUE(Child<QRadioButton>(dialog, "spaceRadio")->isChecked());
    EXPECT_TRUE(Child<QRadioButton>(dialog, "oldestRadio")->isChecked());
    EXPECT_FALSE(Child<QCheckBox>(dialog, "titleCheck")->isChecked());
    for (const char* name : kOmitChecks)
      EXPECT_FALSE(Child<QCheckBox>(dialog, name)->isChecked());
    ClickOk(dialog);
  });
  ExportQuotes(*host);

  const auto lines = Lines(tmp / "output.txt");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(Cells(lines[0], ' ').size(), 7u);
  EXPECT_EQ(lines[0].substr(0, 8), "01/02/98");
  EXPECT_EQ(lines[2], "01/06/98 12.5000 13.0000 12.2500 12.7500 900.00 40.00");
  EXPECT_TRUE(host->prompter.messages.empty());
  EXPECT_EQ(settings().GetString("XportSel", "Starter", "unset"), "output.txt");
}

TEST_F(ExportFixture, EveryOmitFlagLeavesTheDateAlone) {
  DialogDriver<CExportDialog> driver([this](CExportDialog& dialog) {
    Child<QLineEdit>(dialog, "pathEdit")->setText(OutPath());
    for (const char* name : kOmitChecks)
      Child<QCheckBox>(dialog, name)->setChecked(true);
    Child<QCheckBox>(dialog, "titleCheck")->setChecked(true);
    ClickOk(dialog);
  });
  ExportQuotes(*host);

  EXPECT_EQ(Lines(out), (std::vector<std::string>{"DATE", "01/02/98", "01/05/98", "01/06/98"}));
  for (const char* key :
       {"OmitOpen", "OmitHigh", "OmitLow", "OmitClose", "OmitVol", "OmitOI", "Title"})
    EXPECT_EQ(Int(key), 1) << key;
}

TEST_F(ExportFixture, EachOmitFlagDropsItsOwnColumn) {
  const std::array<const char*, 6> titles = {"OPEN", "HIGH", "LOW", "CLOSE", "VOL", "OI"};
  for (std::size_t omitted = 0; omitted < kOmitChecks.size(); ++omitted) {
    DialogDriver<CExportDialog> driver([&](CExportDialog& dialog) {
      Child<QLineEdit>(dialog, "pathEdit")->setText(OutPath());
      for (std::size_t i = 0; i < kOmitChecks.size(); ++i)
        Child<QCheckBox>(dialog, kOmitChecks[i])->setChecked(i == omitted);
      Child<QCheckBox>(dialog, "titleCheck")->setChecked(true);
      Child<QRadioButton>(dialog, "tabRadio")->setChecked(true);
      ClickOk(dialog);
    });
    host->prompter = ScriptedPrompt({}, true);  // replace the previous round's file
    ExportQuotes(*host);

    const auto lines = Lines(out);
    ASSERT_EQ(lines.size(), 4u);
    const auto title = Cells(lines[0], '\t');
    ASSERT_EQ(title.size(), 6u);
    EXPECT_EQ(std::find(title.begin(), title.end(), titles[omitted]), title.end());
    EXPECT_EQ(Cells(lines[3], '\t').size(), 6u);
  }
}

TEST_F(ExportFixture, CommaTitleAndNoVolumeNewestFirst) {
  DialogDriver<CExportDialog> driver([this](CExportDialog& dialog) {
    Child<QLineEdit>(dialog, "pathEdit")->setText(OutPath());
    Child<QRadioButton>(dialog, "commaRadio")->setChecked(true);
    Child<QCheckBox>(dialog, "omitVolCheck")->setChecked(true);
    Child<QCheckBox>(dialog, "titleCheck")->setChecked(true);
    Child<QRadioButton>(dialog, "newestRadio")->setChecked(true);
    ClickOk(dialog);
  });
  ExportQuotes(*host);

  const auto lines = Lines(out);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "DATE,OPEN,HIGH,LOW,CLOSE,OI");
  EXPECT_EQ(lines[1], "01/06/98,12.5000,13.0000,12.2500,12.7500,40.00");
  EXPECT_EQ(lines[2].substr(0, 9), "01/05/98,");
  EXPECT_EQ(lines[3].substr(0, 9), "01/02/98,");
  EXPECT_EQ(Int("Delim"), 1);
  EXPECT_EQ(Int("Newest"), 1);
  EXPECT_EQ(Int("OmitVol"), 1);
  EXPECT_EQ(Int("OmitOpen"), 0);
}

TEST_F(ExportFixture, AFileWithoutOpenInterestGivesNaInEveryLine) {
  Make(ThreeQuotes({formats::kDate, formats::kOpen, formats::kHigh, formats::kLow, formats::kClose,
                    formats::kVol}));
  DialogDriver<CExportDialog> driver(OkWithPath(OutPath()));
  ExportQuotes(*host);

  const auto lines = Lines(out);
  ASSERT_EQ(lines.size(), 3u);
  for (const auto& line : lines)
    EXPECT_EQ(Cells(line, ' ').back(), "N/A") << line;
  EXPECT_EQ(lines[2], "01/06/98 12.5000 13.0000 12.2500 12.7500 900.00 N/A");
}

TEST_F(ExportFixture, NewestFirstOfASingleQuoteWritesOneLine) {
  SymbolSpec one = ThreeQuotes();
  one.quotes.erase(one.quotes.begin(), one.quotes.begin() + 2);
  Make(one);
  settings().SetInt("XportSel", "Newest", 1);
  DialogDriver<CExportDialog> driver(OkWithPath(OutPath()));
  ExportQuotes(*host);

  EXPECT_EQ(Lines(out),
            std::vector<std::string>{"01/06/98 12.5000 13.0000 12.2500 12.7500 900.00 40.00"});
}

TEST_F(ExportFixture, AnUnknownDelimiterShowsNoButtonAndExportsWithSpaces) {
  settings().SetInt("XportSel", "Delim", 7);
  DialogDriver<CExportDialog> driver([this](CExportDialog& dialog) {
    for (const char* name : {"spaceRadio", "commaRadio", "tabRadio"})
      EXPECT_FALSE(Child<QRadioButton>(dialog, name)->isChecked()) << name;
    Child<QLineEdit>(dialog, "pathEdit")->setText(OutPath());
    ClickOk(dialog);
  });
  ExportQuotes(*host);

  const auto lines = Lines(out);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(Cells(lines[0], ' ').size(), 7u);
  EXPECT_EQ(Int("Delim"), -1);  // no button chosen
}

TEST_F(ExportFixture, NoToTheOverwriteQuestionChangesNoSettingAndNoFile) {
  WriteText(out, "keep me");
  DialogDriver<CExportDialog> driver([this](CExportDialog& dialog) {
    Child<QLineEdit>(dialog, "pathEdit")->setText(OutPath());
    Child<QCheckBox>(dialog, "titleCheck")->setChecked(true);
    Child<QRadioButton>(dialog, "tabRadio")->setChecked(true);
    ClickOk(dialog);
  });
  host->prompter = ScriptedPrompt({false});
  ExportQuotes(*host);

  EXPECT_EQ(host->prompter.questions,
            std::vector<std::string>{OutPath().toStdString() +
                                     "\nThis file already exists\n\nReplace existing file?"});
  const auto bytes = FileBytes(out);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "keep me");
  for (const char* key : {"OmitOpen", "OmitHigh", "OmitLow", "OmitClose", "OmitVol", "OmitOI",
                          "Delim", "Newest", "Title"})
    EXPECT_EQ(Int(key), -99) << key;
  EXPECT_EQ(settings().GetString("XportSel", "Starter", "unset"), "unset");
}

TEST_F(ExportFixture, YesReplacesTheFile) {
  WriteText(out,
            "old content that is longer than the export would ever be ............"
            "..............................................................");
  DialogDriver<CExportDialog> driver(OkWithPath(OutPath()));
  host->prompter = ScriptedPrompt({true});
  ExportQuotes(*host);

  EXPECT_EQ(host->prompter.questions.size(), 1u);
  EXPECT_EQ(Lines(out).size(), 3u);
}

TEST_F(ExportFixture, AFileThatCannotBeCreatedIsReportedAfterTheSettingsAreSaved) {
  const QString bad = QString::fromStdString((tmp / "no such dir" / "x.txt").string());
  DialogDriver<CExportDialog> driver(OkWithPath(bad));
  ExportQuotes(*host);

  EXPECT_EQ(host->prompter.messages, std::vector<std::string>{"file export error"});
  EXPECT_EQ(settings().GetString("XportSel", "Starter", "unset"), bad);
  EXPECT_EQ(Int("Title"), 0);
}

TEST_F(ExportFixture, ASymbolThatCannotBeReadIsNoSilentSuccess) {
  host->shownSymbol = QStringLiteral("NOPE");
  DialogDriver<CExportDialog> driver(OkWithPath(OutPath()));
  ExportQuotes(*host);

  EXPECT_EQ(host->prompter.messages, std::vector<std::string>{"file export error"});
}

TEST_F(ExportFixture, AFileThatFillsUpIsNoSilentSuccess) {
  if (!fs::exists("/dev/full"))
    GTEST_SKIP() << "no /dev/full";
  DialogDriver<CExportDialog> driver(OkWithPath(QStringLiteral("/dev/full")));
  host->prompter = ScriptedPrompt({true});
  ExportQuotes(*host);

  EXPECT_EQ(host->prompter.messages, std::vector<std::string>{"file export error"});
}

TEST_F(ExportFixture, ALongChosenPathIsKeptWhole) {
  const fs::path deep = tmp / std::string(120, 'd') / std::string(120, 'e');
  fs::create_directories(deep);
  const QString chosen = QString::fromStdString((deep / "long.txt").string());
  ASSERT_GT(chosen.size(), 200);
  DialogDriver<CExportDialog> driver([&](CExportDialog& dialog) {
    dialog.setFileChooser([&](QWidget*, const QString&) { return chosen; });
    Child<QPushButton>(dialog, "browseButton")->click();
    ClickOk(dialog);
  });
  ExportQuotes(*host);

  EXPECT_EQ(Lines(deep / "long.txt").size(), 3u);
}

TEST_F(ExportFixture, CancelWritesNothing) {
  DialogDriver<CExportDialog> driver([this](CExportDialog& dialog) {
    Child<QLineEdit>(dialog, "pathEdit")->setText(OutPath());
    ClickCancel(dialog);
  });
  ExportQuotes(*host);

  EXPECT_FALSE(fs::exists(out));
  EXPECT_EQ(settings().GetString("XportSel", "Starter", "unset"), "unset");
}

TEST_F(ExportFixture, BrowsePutsTheChosenFileIntoThePathField) {
  settings().SetString("XportSel", "Starter", "first.txt");
  QStringList offered;
  DialogDriver<CExportDialog> driver([&](CExportDialog& dialog) {
    QString answer = OutPath();
    dialog.setFileChooser([&](QWidget*, const QString& current) {
      offered.append(current);
      return std::exchange(answer, QString());  // chosen once, then cancelled
    });
    auto* browse = Child<QPushButton>(dialog, "browseButton");
    Child<QLineEdit>(dialog, "pathEdit")->setText(QStringLiteral("typed.txt"));
    browse->click();
    EXPECT_EQ(Child<QLineEdit>(dialog, "pathEdit")->text(), OutPath());
    browse->click();  // cancelled: the field keeps its path
    EXPECT_EQ(Child<QLineEdit>(dialog, "pathEdit")->text(), OutPath());
    ClickOk(dialog);
  });
  ExportQuotes(*host);

  EXPECT_EQ(offered, (QStringList{QStringLiteral("typed.txt"), OutPath()}));
  EXPECT_EQ(Lines(out).size(), 3u);
}

}  // namespace
}  // namespace ledgrix::testing
