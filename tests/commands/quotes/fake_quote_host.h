// A CommandHost over a fixture portfolio: the quotes grid is the symbol's series loaded newest
// first, texts as the grid shows them; messages and questions go to a scripted prompt.
#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <filesystem>
#include <memory>
#include <vector>

#include "app/settings_store.h"
#include "commands/command_host.h"
#include "tests/support/scripted_prompt.h"

namespace ledgrix::testing {

class FakeQuoteHost final : public CommandHost {
 public:
  // symbols: the symbols grid, in grid order; the quotes grid shows symbols[selSymbol].
  FakeQuoteHost(const std::filesystem::path& dir, QStringList symbols, int selSymbol = 0);
  ~FakeQuoteHost() override;

  ScriptedPrompt script;
  bool splitSearchOpen = false;
  int quoteFills = 0;

  QWidget* dialogParent() override { return nullptr; }
  CSettingsStore& settings() override { return *m_settings; }
  maintenance::Prompt& prompt() override { return script; }

  QString portfolioDir() const override { return m_dir; }
  QString masterPath() const override { return m_dir + QStringLiteral("/MASTER"); }
  QString symbol() const override { return m_symbols.value(m_selSymbol); }
  QString symbolName() const override { return {}; }
  void setSymbolAndName(const QString&, const QString&) override {}

  int symbolCount() const override { return static_cast<int>(m_symbols.size()); }
  int selSymbolRow() const override { return m_selSymbol; }
  int symbolRowCount() const override { return static_cast<int>(m_symbols.size()); }
  QString symbolCellText(int row, int column) const override;
  void setSymbolRowTexts(int, const QString&, const QString&) override {}

  int quoteCount() const override { return static_cast<int>(m_rows.size()); }
  int selQuoteRow() const override { return m_selQuote; }
  void setSelQuoteRow(int row) override { m_selQuote = row; }
  int quoteRowCount() const override { return static_cast<int>(m_rows.size()); }
  QString quoteCellText(int row, int column) const override;
  QString firstDateText() const override { return m_firstDate; }
  QString lastDateText() const override { return m_lastDate; }

  QStringList portfolioEntries() const override { return {masterPath()}; }
  int selectedPortfolio() const override { return 0; }

  void FillQuotesGrid(int row) override;
  void FillSymbolsGrid(int) override {}
  void setSplitSearchOpen(bool open) override { splitSearchOpen = open; }

  bool limitSearch() const override { return false; }
  QString searchFilter() const override { return {}; }
  bool masterFix() const override { return false; }
  void setSearchFilter(bool, const QString&, bool) override {}
  bool isOnListedVolume(const QString&) const override { return true; }
  void rescanVolumeOf(const QString&) override {}

  // A settings value the last command recorded.
  QString Setting(const char* section, const char* name) const;
  // Row texts, for comparisons of the whole grid.
  QStringList Row(int row) const;

 private:
  QString m_dir;
  QStringList m_symbols;
  int m_selSymbol;
  int m_selQuote = 0;
  std::vector<std::array<QString, 7>> m_rows;
  QString m_firstDate, m_lastDate;
  std::filesystem::path m_iniFile;
  std::unique_ptr<CSettingsStore> m_settings;
};

}  // namespace ledgrix::testing
