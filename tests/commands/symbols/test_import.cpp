// Symbol > Import on the real window: the preview of a typed file, a new symbol shown and
// undoable, a merge into the shown symbol, and a file with bad lines refused with their numbers.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QRadioButton>
#include <QTableWidget>

#include "app/command_ids.h"
#include "app/ledgrix_view.h"
#include "tests/commands/command_test_support.h"

namespace ledgrix::testing {
namespace {

namespace fs = std::filesystem;

class ImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SymbolSpec abc;
    abc.fileNumber = 1;
    abc.symbol = "ABC";
    abc.name = "ABC CORP";
    abc.quotes = MakeDailyQuotes(formats::DayFromYmd(98, 1, 5), 5, 12.0f);
    PortfolioBuilder(f.root() / "PORT").Add(abc).WithEmaster().Write();
    StartView(f);
  }
  // Symbol > Import..., the dialog driven by step.
  void Import(DialogScript::Step step) {
    DialogScript script({std::move(step)});
    f.frame().findChild<QAction*>(QStringLiteral("command%1").arg(ID_SYMBOL_IMPORT))->trigger();
  }
  // Types the file's path as a user does and presses Enter for the preview.
  static void TypePath(QDialog& d, const fs::path& file) {
    QLineEdit* path = Child<QLineEdit>(d, "pathEdit");
    TabTo(path);
    QTest::keyClicks(path, QPath(file));
    QTest::keyClick(path, Qt::Key_Return);
  }
  fs::path Write(const char* name, const std::string& text) {
    WriteText(f.root() / name, text);
    return f.root() / name;
  }

  GuiFixture f;
};

TEST_F(ImportTest, ANewSymbolIsPreviewedShownAndUndoable) {
  const fs::path csv = Write("newco.csv",
                             "Date,Open,High,Low,Close,Volume\n2014-06-30,1,2,1,1.75,10\n"
                             "2014-06-27,1,2,1,1.5,20\n2014-07-01,1,2,1,2,30\n");
  Import([&](QDialog& d) {
    TypePath(d, csv);
    const QTableWidget* preview = Child<QTableWidget>(d, "previewTable");
    EXPECT_EQ(preview->rowCount(), 3);
    EXPECT_EQ(preview->item(0, 0)->text(), "06/27/14");
    EXPECT_EQ(preview->item(0, 4)->text(), "1.5000");
    EXPECT_EQ(Child<QLabel>(d, "previewStatus")->text(), "3 quotes from 06/27/14 to 07/01/14.");
    FillAndOk({{"symbolEdit", "newco"}, {"nameEdit", "New Company Holdings"}})(d);
  });
  EXPECT_TRUE(f.prompt().messages.empty()) << f.prompt().messages.front();
  EXPECT_EQ(f.view().symbol(), "NEWCO");
  EXPECT_EQ(f.view().symbolCellText(f.view().selSymbolRow(), 1), "New Company Holdings");
  EXPECT_EQ(f.view().quoteCount(), 3);
  EXPECT_EQ(f.view().undoLabel(), "Import Quotes NEWCO");
}

TEST_F(ImportTest, MergeGoesIntoTheShownSymbol) {
  const fs::path csv =
      Write("abc.txt", "01/12/98 1 2 1 1.5 100 7\r\n01/09/98 1 2 1 1.25 100 7\r\n");
  Import([&](QDialog& d) {
    TypePath(d, csv);
    Child<QRadioButton>(d, "mergeRadio")->click();
    EXPECT_EQ(Child<QLineEdit>(d, "symbolEdit")->text(), "ABC");
    ClickOk(d);
  });
  EXPECT_TRUE(f.prompt().messages.empty());
  EXPECT_EQ(f.view().symbol(), "ABC");
  EXPECT_EQ(f.view().quoteCount(), 6);
  EXPECT_EQ(f.view().quoteCellText(0, 4), "1.5000");
}

TEST_F(ImportTest, BadLinesAreNamedAndNothingIsWritten) {
  const auto before = TakeSnapshot(f.root() / "PORT");
  const fs::path csv = Write("bad.csv", "Date,Close\n2014-06-27,1\n2014-06-27,2\n06/31/14,3\n");
  Import([&](QDialog& d) {
    TypePath(d, csv);
    EXPECT_TRUE(Child<QLabel>(d, "previewStatus")->text().contains("line 4: unreadable date"));
    FillAndOk({{"symbolEdit", "BAD"}})(d);
    EXPECT_TRUE(d.isVisible());  // still open for another file
  });
  ASSERT_EQ(f.prompt().messages.size(), 1u);
  EXPECT_NE(f.prompt().messages[0].find("line 3: date given twice (also on line 2)\n"
                                        "line 4: unreadable date '06/31/14'"),
            std::string::npos);
  EXPECT_EQ(TakeSnapshot(f.root() / "PORT"), before);
}

}  // namespace
}  // namespace ledgrix::testing
