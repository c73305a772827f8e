// A CommandHost over real portfolio files: the symbols grid is MASTER read and sorted, the
// settings an INI file in a temporary folder, questions answered by a script.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <ostream>
#include <utility>
#include <vector>

#include "app/settings_store.h"
#include "commands/command_host.h"
#include "tests/support/fixture.h"
#include "tests/support/scripted_prompt.h"

// Readable QString values in test failures.
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

namespace ledgrix::testing {

class FakeHost final : public CommandHost {
 public:
  explicit FakeHost(const path& portfolioDir);

  QWidget* dialogParent() override { return nullptr; }
  CSettingsStore& settings() override { return *settingsStore; }
  maintenance::Prompt& prompt() override { return prompter; }

  QString portfolioDir() const override { return dir; }
  QString masterPath() const override { return dir + QStringLiteral("/MASTER"); }
  QString symbol() const override { return shownSymbol; }
  QString symbolName() const override { return shownName; }
  void setSymbolAndName(const QString& symbol, const QString& name) override;

  int symbolCount() const override { return static_cast<int>(rows.size()); }
  int selSymbolRow() const override { return selectedRow; }
  int symbolRowCount() const override { return static_cast<int>(rows.size()); }
  QString symbolCellText(int row, int column) const override;
  void setSymbolRowTexts(int row, const QString& symbol, const QString& name) override;

  int quoteCount() const override { return 0; }
  int selQuoteRow() const override { return 0; }
  void setSelQuoteRow(int) override {}
  int quoteRowCount() const override { return 0; }
  QString quoteCellText(int, int) const override { return {}; }
  QString firstDateText() const override { return {}; }
  QString lastDateText() const override { return {}; }

  QStringList portfolioEntries() const override { return portfolios; }
  int selectedPortfolio() const override { return currentPortfolio; }

  void FillQuotesGrid(int) override { ++quoteFills; }
  // Reads MASTER into rows sorted by symbol, selects row and "loads" its quotes.
  void FillSymbolsGrid(int row) override;

  void setSplitSearchOpen(bool) override {}

  bool limitSearch() const override { return limit; }
  QString searchFilter() const override { return filter; }
  bool masterFix() const override { return fix; }
  void setSearchFilter(bool newLimit, const QString& newFilter, bool newFix) override;
  bool isOnListedVolume(const QString& path) const override;
  void rescanVolumeOf(const QString& path) override { rescans.append(path); }

  // Selects row as a click would: the row's symbol becomes the shown one.
  void ClickRow(int row);

  TempDir settingsDir;
  std::unique_ptr<CSettingsStore> settingsStore;
  ScriptedPrompt prompter;
  QString dir;
  std::vector<std::pair<QString, QString>> rows;
  int selectedRow = 0;
  QString shownSymbol, shownName;
  QStringList portfolios;
  int currentPortfolio = -1;
  std::vector<int> symbolFills;  // the row of every FillSymbolsGrid
  int quoteFills = 0;
  bool limit = true, fix = false;
  QString filter;
  int filterSets = 0;
  QStringList volumes = {QStringLiteral("/")};
  QStringList rescans;
};

}  // namespace ledgrix::testing
