// Shared by the command tests: the real main view on fixture portfolios, modal dialogs driven
// through their widgets instead of exec(), "nothing changed" snapshots of a folder, and the
// quote tests' one portfolio.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "commands/symbols/dialog_runner.h"
#include "formats/dates.h"
#include "tests/app/gui_test_support.h"

// Readable QString values in test failures.
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

namespace ledgrix::testing {

// Shows a dialog as it comes up on screen: in front, its first field holding the focus.
inline void Open(QDialog& dialog) {
  dialog.show();
  EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
}

// Hands each modal dialog that comes up, in turn, to the next step; a dialog for which no step
// is left, or that a step left open, ends as Cancel. shown() and titles() tell which came up.
class DialogScript {
 public:
  using Step = std::function<void(QDialog&)>;
  explicit DialogScript(std::deque<Step> steps)
      : state_(std::make_shared<State>(State{std::move(steps), {}})),
        guard_([state = state_](QDialog& dialog) {
          state->titles << dialog.windowTitle();
          Open(dialog);
          if (!state->steps.empty()) {
            Step step = std::move(state->steps.front());
            state->steps.pop_front();
            step(dialog);
          }
          if (dialog.isVisible())
            dialog.reject();
          return dialog.result();
        }) {}

  int shown() const { return static_cast<int>(state_->titles.size()); }
  const QStringList& titles() const { return state_->titles; }

 private:
  struct State {
    std::deque<Step> steps;
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

inline void Click(QWidget& parent, const char* buttonName) {
  Child<QPushButton>(parent, buttonName)->click();
}
inline void ClickOk(QDialog& dialog) {
  dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
}
inline void ClickCancel(QDialog& dialog) {
  dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
}
// Presses Tab until field has the focus, as a user moves to it.
inline void TabTo(QWidget* field) {
  for (int i = 0; i < 30 && QApplication::focusWidget() && QApplication::focusWidget() != field;
       ++i)
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), field);
}
// Types each text into the named field as a user does, with the keyboard alone: the field that
// has the focus takes the keys as it stands (as a dialog opens: its whole text selected); any
// other is reached with Tab first. An empty text is one Backspace.
using Fields = std::vector<std::pair<const char*, QString>>;
inline void Fill(QDialog& dialog, const Fields& fields) {
  for (const auto& [name, text] : fields) {
    QLineEdit* edit = Child<QLineEdit>(dialog, name);
    TabTo(edit);
    if (text.isEmpty())
      QTest::keyClick(edit, Qt::Key_Backspace);
    else
      QTest::keyClicks(edit, text);
  }
}
inline DialogScript::Step FillAndOk(Fields fields) {
  return [fields](QDialog& dialog) {
    Fill(dialog, fields);
    ClickOk(dialog);
  };
}

// The day number of an MM/DD/YY text.
inline formats::QuoteDate Day(const char* text) {
  return formats::ParseDisplayDate(text);
}

// Walks the whole temporary volume and shows the first portfolio's first symbol.
inline CLedgrixView& StartView(GuiFixture& f) {
  f.WalkWholeVolume();
  f.StartAndScan();
  f.ClickSymbol(0);
  return f.view();
}

// Every file of a directory with its bytes.
using Snapshot = std::map<std::string, std::vector<std::uint8_t>>;
inline Snapshot TakeSnapshot(const std::filesystem::path& dir) {
  Snapshot files;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    if (entry.is_regular_file())
      files[entry.path().filename().string()] = FileBytes(entry.path());
  return files;
}

// A symbol of these quotes in F<file>, named after it.
inline SymbolSpec Symbol(const char* symbol, std::vector<Quote> quotes, std::uint16_t file = 1) {
  SymbolSpec spec;
  spec.fileNumber = file;
  spec.symbol = symbol;
  spec.name = std::string(symbol) + " ISSUE";
  spec.quotes = std::move(quotes);
  return spec;
}

// The texts of a quotes grid row, date first.
inline QStringList Row(const CommandHost& host, int row) {
  QStringList texts;
  for (int column = 0; column < 7; ++column)
    texts << host.quoteCellText(row, column);
  return texts;
}

// The quote tests' portfolio: symbols written under the temporary volume and the real main view
// started on it.
class QuoteViewTest : public ::testing::Test {
 protected:
  std::filesystem::path Dir() const { return f.root() / "PORT"; }
  std::filesystem::path Dat() const { return Dir() / "F1.DAT"; }
  // Writes the symbols (and a raw record) into Dir() and shows the first one's quotes in the real
  // view.
  CLedgrixView& Start(const std::vector<SymbolSpec>& symbols,
                      const formats::MasterRecord* raw = nullptr) {
    PortfolioBuilder builder(Dir());
    builder.AddAll(symbols);
    if (raw)
      builder.AddRawRecord(*raw);
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
