// Drives the quote commands' modal dialogs through their widgets, and builds the portfolios
// the quote tests share.
#pragma once

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QString>
#include <deque>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "commands/symbols/dialog_runner.h"
#include "formats/dates.h"
#include "formats/series.h"
#include "tests/support/fixture.h"

class CDateEdit;
class QLineEdit;

namespace ledgrix::testing {

// Hands each modal dialog that comes up, in turn, to the next step; a dialog for which no step
// is left is cancelled (and counted, so a test sees a dialog it did not expect).
class DialogScript {
 public:
  using Step = std::function<void(QDialog&)>;
  explicit DialogScript(std::deque<Step> steps);

  int shown() const { return state_->shown; }
  const QStringList& titles() const { return state_->titles; }

 private:
  struct State {
    std::deque<Step> steps;
    int shown = 0;
    QStringList titles;
  };
  std::shared_ptr<State> state_;
  commands::ScopedDialogRunner guard_;
};

template <typename W>
W* Child(QWidget& parent, const char* name) {
  W* child = parent.findChild<W*>(QString::fromLatin1(name));
  EXPECT_NE(child, nullptr) << name;
  return child;
}

void ClickOk(QDialog& dialog);
void ClickCancel(QDialog& dialog);
void Click(QWidget& parent, const char* buttonName);

// Types the six digits of date (MMDDYY) into a date field from a full selection, as after
// tabbing into it.
void TypeDate(CDateEdit& edit, const QString& digits);
// Empties a field and types text into it.
void Retype(QLineEdit& edit, const QString& text);

// The day number of an MM/DD/YY text.
formats::QuoteDate Day(const char* text);

// One symbol "TEST" with quotes in dir, the usual daily layout unless spec says otherwise.
void WriteSymbol(const std::filesystem::path& dir, std::vector<Quote> quotes, SymbolSpec spec = {});

// The symbol's quotes, oldest first, as LoadSeries gives them.
std::vector<Quote> ReadQuotes(const std::filesystem::path& dir, const std::string& symbol);

}  // namespace ledgrix::testing
