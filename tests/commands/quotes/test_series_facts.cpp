// Symbol > About: the facts of a series laid out, and a clear message when there are none.
#include <QLabel>
#include <map>

#include "commands/quotes/quote_commands.h"
#include "tests/commands/quotes/quote_test_support.h"

namespace ledgrix::testing {
namespace {

using SeriesFactsTest = QuoteViewTest;

// Runs Symbol > About and returns the named labels' texts.
std::map<std::string, QString> Facts(CLedgrixView& v, std::vector<std::string> names) {
  std::map<std::string, QString> shown;
  DialogScript script({[&](QDialog& d) {
    for (const std::string& name : names)
      shown[name] = Child<QLabel>(d, name.c_str())->text();
    ClickOk(d);
  }});
  commands::ShowSeriesFacts(v);
  EXPECT_EQ(script.titles(), QStringList{"About Selected Quote Series"});
  return shown;
}

TEST_F(SeriesFactsTest, ShowsADescriptorsFieldsAndFormats) {
  SymbolSpec spec = Symbol("IBM", MakeDailyQuotes(Day("01/02/98"), 25), 200);
  spec.name = "INTL BUS MACH";
  spec.fields = {formats::kDate, formats::kOpen,  formats::kHigh,
                 formats::kLow,  formats::kClose, formats::kVol};
  Start({spec});
  WriteText(Dir() / "F200.DOP",
            "\"DATE\",0,0\r\n\"OPEN\",100,2\r\n\"HIGH\",-7,2\r\n\"LOW\",2,2\r\n"
            "\"CLOSE\",2,4\r\n\"VOL\",0,1000\r\n");
  // label=text
  const QStringList expected = {
      "fileNumberText=200",     "recordLengthText=24",        "fieldCountText=6",
      "quoteCountText=25",      "firstDateText=980102",       "lastDateText=980205",
      "dataFormatText=D Daily", "openInputText=100s",         "openDisplayText=100ths",
      "highInputText=128ths",   "closeDisplayText=10,000ths", "volDisplayText=1,000s",
      "timeInputText=",         "timeDisplayText=",           "oiInputText=",
      "oiDisplayText="};
  std::vector<std::string> names = {"issueNameText", "symbolText", "pathText"};
  for (const QString& entry : expected)
    names.push_back(entry.section('=', 0, 0).toStdString());
  auto shown = Facts(f.view(), names);
  for (const QString& entry : expected)
    EXPECT_EQ(entry.section('=', 0, 0) + "=" + shown[entry.section('=', 0, 0).toStdString()],
              entry);
  EXPECT_EQ(shown["pathText"], f.view().portfolioDir());
  EXPECT_EQ(shown["issueNameText"].trimmed(), QStringLiteral("INTL BUS MACH"));
  EXPECT_EQ(shown["symbolText"].trimmed(), QStringLiteral("IBM"));
}

TEST_F(SeriesFactsTest, AnXmasterSymbolShowsItsLongNameAndItsIndexFile) {
  SymbolSpec spec = Symbol("XQ", MakeDailyQuotes(Day("03/01/01"), 5), 400);
  spec.name = "Banca di Cividale, societ\xE0 cooperativa";
  Start({spec});
  auto shown = Facts(f.view(), {"fileNumberText", "issueNameText", "longNameText", "indexFileText",
                                "quoteCountText"});
  EXPECT_EQ(shown["fileNumberText"], "400");
  EXPECT_EQ(shown["issueNameText"], "Banca di Cividal");
  EXPECT_EQ(shown["longNameText"],
            QString::fromUtf8("Banca di Cividale, societ\u00E0 cooperativa"));
  EXPECT_EQ(shown["indexFileText"], "XMASTER");
  EXPECT_EQ(shown["quoteCountText"], "5");
}

TEST_F(SeriesFactsTest, ASymbolWhoseFilesCannotBeReadGetsAMessageInsteadOfADialog) {
  CLedgrixView& v = Start({Symbol("GONE", MakeDailyQuotes(Day("01/04/99"), 3))});
  std::filesystem::remove(Dir() / "F1.DAT");
  DialogScript script({});
  commands::ShowSeriesFacts(v);
  EXPECT_EQ(script.shown(), 0);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].find("GONE"), std::string::npos);
}

}  // namespace
}  // namespace ledgrix::testing
