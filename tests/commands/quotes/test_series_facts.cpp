// Symbol > About: the facts of a series laid out, and a clear message when there are none.
#include <QLabel>

#include <gtest/gtest.h>

#include "commands/quotes/quote_commands.h"
#include "tests/commands/quotes/fake_quote_host.h"
#include "tests/commands/quotes/quote_test_support.h"

namespace ledgrix::testing {
namespace {

QString Text(QDialog& dialog, const char* name) {
  return Child<QLabel>(dialog, name)->text();
}

TEST(SeriesFacts, ShowsADescriptorsFieldsAndFormats) {
  TempDir dir;
  SymbolSpec spec;
  spec.fileNumber = 200;
  spec.symbol = "IBM";
  spec.name = "INTL BUS MACH";
  spec.fields = {formats::kDate, formats::kOpen,  formats::kHigh,
                 formats::kLow,  formats::kClose, formats::kVol};
  spec.quotes = MakeDailyQuotes(Day("01/02/98"), 25);
  PortfolioBuilder(dir.get()).Add(spec).Write();
  WriteText(dir / "F200.DOP",
            "\"DATE\",0,0\r\n\"OPEN\",100,2\r\n\"HIGH\",-7,2\r\n\"LOW\",2,2\r\n"
            "\"CLOSE\",2,4\r\n\"VOL\",0,1000\r\n");
  FakeQuoteHost host(dir.get(), {"IBM"});
  std::map<std::string, QString> shown;
  DialogScript script({[&](QDialog& d) {
    for (const char* name :
         {"pathText", "fileNumberText", "recordLengthText", "fieldCountText", "quoteCountText",
          "issueNameText", "firstDateText", "lastDateText", "dataFormatText", "symbolText",
          "openInputText", "openDisplayText", "highInputText", "closeDisplayText", "volDisplayText",
          "timeInputText", "timeDisplayText", "oiInputText", "oiDisplayText"})
      shown[name] = Text(d, name);
    ClickOk(d);
  }});
  commands::ShowSeriesFacts(host);
  EXPECT_EQ(script.titles(), QStringList{"About Selected Quote Series"});
  EXPECT_EQ(shown["pathText"], host.portfolioDir());
  EXPECT_EQ(shown["fileNumberText"], QStringLiteral("200"));
  EXPECT_EQ(shown["recordLengthText"], QStringLiteral("24"));
  EXPECT_EQ(shown["fieldCountText"], QStringLiteral("6"));
  EXPECT_EQ(shown["quoteCountText"], QStringLiteral("25"));
  EXPECT_EQ(shown["issueNameText"].trimmed(), QStringLiteral("INTL BUS MACH"));
  EXPECT_EQ(shown["firstDateText"], QStringLiteral("980102"));
  EXPECT_EQ(shown["lastDateText"], QStringLiteral("980205"));
  EXPECT_EQ(shown["dataFormatText"], QStringLiteral("D Daily"));
  EXPECT_EQ(shown["symbolText"].trimmed(), QStringLiteral("IBM"));
  EXPECT_EQ(shown["openInputText"], QStringLiteral("100s"));
  EXPECT_EQ(shown["openDisplayText"], QStringLiteral("100ths"));
  EXPECT_EQ(shown["highInputText"], QStringLiteral("128ths"));
  EXPECT_EQ(shown["closeDisplayText"], QStringLiteral("10,000ths"));
  EXPECT_EQ(shown["volDisplayText"], QStringLiteral("1,000s"));
  for (const char* absent : {"timeInputText", "timeDisplayText", "oiInputText", "oiDisplayText"})
    EXPECT_EQ(shown[absent], QString()) << absent;
}

TEST(SeriesFacts, ShowsTheSyntheticLayoutOfAFileWithoutDescriptor) {
  TempDir dir;
  SymbolSpec spec;
  spec.symbol = "ZZ";
  spec.writeDop = false;
  spec.fields = {formats::kDate,  formats::kOpen, formats::kHigh, formats::kLow,
                 formats::kClose, formats::kVol,  formats::kOi};
  spec.quotes = MakeDailyQuotes(Day("03/01/01"), 5);
  PortfolioBuilder(dir.get()).Add(spec).Write();
  FakeQuoteHost host(dir.get(), {"ZZ"});
  std::map<std::string, QString> shown;
  DialogScript script({[&](QDialog& d) {
    for (const char* field : {"date", "time", "open", "high", "low", "close", "vol", "oi"}) {
      shown[std::string(field) + "Input"] = Text(d, (std::string(field) + "InputText").c_str());
      shown[std::string(field) + "Display"] = Text(d, (std::string(field) + "DisplayText").c_str());
    }
    shown["first"] = Text(d, "firstDateText");
    ClickOk(d);
  }});
  commands::ShowSeriesFacts(host);
  for (const char* field : {"date", "open", "high", "low", "close", "vol", "oi"}) {
    EXPECT_EQ(shown[std::string(field) + "Input"], QStringLiteral("Whole Num.")) << field;
    EXPECT_EQ(shown[std::string(field) + "Display"], QStringLiteral("Whole Num.")) << field;
  }
  EXPECT_EQ(shown["timeInput"], QString());
  EXPECT_EQ(shown["timeDisplay"], QString());
  EXPECT_EQ(shown["first"], QStringLiteral("1010301"));
}

TEST(SeriesFacts, ASymbolWhoseFilesCannotBeReadGetsAMessageInsteadOfADialog) {
  TempDir dir;
  SymbolSpec spec;
  spec.symbol = "GONE";
  spec.quotes = MakeDailyQuotes(Day("01/04/99"), 3);
  PortfolioBuilder(dir.get()).Add(spec).Write();
  std::filesystem::remove(dir / "F1.DAT");
  FakeQuoteHost host(dir.get(), {"GONE"});
  DialogScript script({});
  commands::ShowSeriesFacts(host);
  EXPECT_EQ(script.shown(), 0);
  ASSERT_EQ(host.script.messages.size(), 1u);
  EXPECT_NE(host.script.messages[0].find("GONE"), std::string::npos);
}

}  // namespace
}  // namespace ledgrix::testing
