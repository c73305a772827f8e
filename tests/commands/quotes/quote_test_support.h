// The quote tests' portfolio: symbols written under the temporary volume, the real main view
// started on it, and the quotes read back from the files.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "formats/series.h"
#include "tests/commands/command_test_support.h"

namespace ledgrix::testing {

inline SymbolSpec Symbol(const char* symbol, std::vector<Quote> quotes, std::uint16_t file = 1) {
  SymbolSpec spec;
  spec.fileNumber = file;
  spec.symbol = symbol;
  spec.name = std::string(symbol) + " ISSUE";
  spec.quotes = std::move(quotes);
  return spec;
}

// The symbol's quotes, oldest first, as LoadSeries gives them.
inline std::vector<Quote> ReadQuotes(const std::filesystem::path& dir, const std::string& symbol) {
  std::vector<Quote> quotes;
  formats::QuoteSeries series;
  formats::InitSeries(series, formats::kMaxAutoBars);
  if (formats::LoadSeries(series, dir, symbol, 0, -1) == formats::kOk) {
    for (std::size_t i = 0; i < static_cast<std::size_t>(series.count); ++i)
      quotes.push_back({series.date[i], series.time[i], series.values[0][i], series.values[1][i],
                        series.values[2][i], series.values[3][i], series.values[4][i],
                        series.values[5][i]});
  }
  formats::FreeSeries(series);
  return quotes;
}

// The texts of a quotes grid row, date first.
inline QStringList Row(const CommandHost& host, int row) {
  QStringList texts;
  for (int column = 0; column < 7; ++column)
    texts << host.quoteCellText(row, column);
  return texts;
}

class QuoteViewTest : public ::testing::Test {
 protected:
  std::filesystem::path Dir() const { return f.root() / "PORT"; }
  std::filesystem::path Dat() const { return Dir() / "F1.DAT"; }
  // Writes the symbols into Dir() and shows the first one's quotes in the real view.
  CLedgrixView& Start(const std::vector<SymbolSpec>& symbols) {
    PortfolioBuilder builder(Dir());
    for (const SymbolSpec& spec : symbols)
      builder.Add(spec);
    builder.Write();
    StartView(f);
    EXPECT_EQ(f.view().portfolioDir(), QPath(Dir()));
    return f.view();
  }
  // One symbol "TEST", in the given layout (the usual daily one by default).
  CLedgrixView& Start(std::vector<Quote> quotes, SymbolSpec spec = {}) {
    spec.symbol = "TEST";
    spec.quotes = std::move(quotes);
    return Start(std::vector<SymbolSpec>{spec});
  }
  std::vector<Quote> After() const { return ReadQuotes(Dir(), "TEST"); }
  // The values the commands recorded ("<unset>" for none).
  QStringList Settings(const char* section, std::initializer_list<const char*> names) {
    QStringList values;
    for (const char* name : names)
      values << f.settings().GetString(section, name, QStringLiteral("<unset>"));
    return values;
  }
  std::vector<std::string>& Messages() { return f.prompt().messages; }

  GuiFixture f;
};

}  // namespace ledgrix::testing
