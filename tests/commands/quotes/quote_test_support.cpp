#include "tests/commands/quotes/quote_test_support.h"

#include <QTest>

#include "commands/quotes/date_edit.h"

namespace ledgrix::testing {

DialogScript::DialogScript(std::deque<Step> steps)
    : state_(std::make_shared<State>(State{std::move(steps), 0, {}})),
      guard_([state = state_](QDialog& dialog) {
        ++state->shown;
        state->titles << dialog.windowTitle();
        dialog.show();
        if (state->steps.empty()) {
          dialog.reject();
        } else {
          Step step = std::move(state->steps.front());
          state->steps.pop_front();
          step(dialog);
        }
        if (dialog.isVisible())
          dialog.reject();  // a step that left it open ends as Cancel
        return dialog.result();
      }) {}

void ClickOk(QDialog& dialog) {
  Child<QDialogButtonBox>(dialog, "buttonBox")->button(QDialogButtonBox::Ok)->click();
}

void ClickCancel(QDialog& dialog) {
  Child<QDialogButtonBox>(dialog, "buttonBox")->button(QDialogButtonBox::Cancel)->click();
}

void Click(QWidget& parent, const char* buttonName) {
  Child<QPushButton>(parent, buttonName)->click();
}

void TypeDate(CDateEdit& edit, const QString& digits) {
  edit.setFocus();
  edit.selectAll();
  QTest::keyClicks(&edit, digits);
}

void Retype(QLineEdit& edit, const QString& text) {
  edit.clear();
  QTest::keyClicks(&edit, text);
}

formats::QuoteDate Day(const char* text) {
  return formats::ParseDisplayDate(text);
}

void WriteSymbol(const std::filesystem::path& dir, std::vector<Quote> quotes, SymbolSpec spec) {
  if (spec.symbol.empty())
    spec.symbol = "TEST";
  if (spec.name.empty())
    spec.name = "TEST ISSUE";
  spec.quotes = std::move(quotes);
  PortfolioBuilder(dir).Add(spec).Write();
}

std::vector<Quote> ReadQuotes(const std::filesystem::path& dir, const std::string& symbol) {
  std::vector<Quote> quotes;
  formats::QuoteSeries series;
  formats::InitSeries(series, formats::kMaxAutoBars);
  if (formats::LoadSeries(series, dir, symbol, 0, -1) == formats::kOk) {
    for (int k = 0; k < series.count; ++k) {
      const auto i = static_cast<std::size_t>(k);
      Quote q;
      q.date = series.date[i];
      q.time = series.time[i];
      q.open = series.values[0][i];
      q.high = series.values[1][i];
      q.low = series.values[2][i];
      q.close = series.values[3][i];
      q.volume = series.values[4][i];
      q.openInterest = series.values[5][i];
      quotes.push_back(q);
    }
  }
  formats::FreeSeries(series);
  return quotes;
}

}  // namespace ledgrix::testing
