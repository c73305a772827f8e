// What a command of the Quotes, Symbol and Portfolio menus reads from the main view and asks
// of it. CLedgrixView implements it; command tests may drive the real view through it.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "formats/index_entry.h"
#include "maintenance/undo_journal.h"

class QWidget;
class CSettingsStore;

namespace ledgrix::maintenance {
class Prompt;
}

class CommandHost {
 public:
  virtual ~CommandHost() = default;

  virtual QWidget* dialogParent() = 0;
  virtual CSettingsStore& settings() = 0;
  // Message boxes and questions (scripted in tests).
  virtual ledgrix::maintenance::Prompt& prompt() = 0;

  // The open portfolio: m_portfolioDir, m_masterPath.
  virtual QString portfolioDir() const = 0;
  virtual QString masterPath() const = 0;
  // The symbol whose quotes are shown: m_symbol, m_symbolName.
  virtual QString symbol() const = 0;
  virtual QString symbolName() const = 0;
  virtual void setSymbolAndName(const QString& symbol, const QString& name) = 0;

  // Symbols grid: m_symbolCount, m_selSymbolRow, rows and cell texts (column 0 symbol, 1 name).
  virtual int symbolCount() const = 0;
  virtual int selSymbolRow() const = 0;
  virtual int symbolRowCount() const = 0;
  virtual QString symbolCellText(int row, int column) const = 0;
  virtual void setSymbolRowTexts(int row, const QString& symbol, const QString& name) = 0;
  // The index entry a row shows; nullopt for a directory entry or no such row.
  virtual std::optional<ledgrix::formats::SymbolKey> symbolKey(int row) const = 0;
  // The longest name the row's entry holds (45 with a long name field, else 16).
  virtual int symbolNameLimit(int row) const = 0;
  // Writes symbol and name into the index record of the selected row (MASTER with EMASTER, or
  // XMASTER); a name left as the row shows it keeps its bytes. 0 when the new files are in place.
  virtual int RewriteSymbolRecord(const QString& symbol, const QString& name) = 0;

  // Quotes grid: m_quoteCount, m_selQuoteRow, rows (row 0 newest) and cell texts (columns 0-6).
  virtual int quoteCount() const = 0;
  virtual int selQuoteRow() const = 0;
  // Selects row: current and highlighted.
  virtual void setSelQuoteRow(int row) = 0;
  // Makes row current without moving the grid's highlight.
  virtual void setCurrentQuoteRow(int row) = 0;
  virtual int quoteRowCount() const = 0;
  virtual QString quoteCellText(int row, int column) const = 0;
  // m_firstDateText, m_lastDateText: MM/DD/YY of the oldest and newest quote.
  virtual QString firstDateText() const = 0;
  virtual QString lastDateText() const = 0;

  // The portfolio list: every entry, and the index of the selected one (-1 for none).
  virtual QStringList portfolioEntries() const = 0;
  virtual int selectedPortfolio() const = 0;

  // The undo journal of the open portfolio; none while no portfolio is open.
  virtual std::optional<ledgrix::maintenance::UndoJournal> undoJournal() const = 0;

  // Refills after a change.
  virtual void FillQuotesGrid(int row) = 0;
  virtual void FillSymbolsGrid(int row) = 0;

  // m_splitSearchOpen.
  virtual void setSplitSearchOpen(bool open) = 0;

  // The search filter: m_limitSearch, m_searchFilter, m_masterFix.
  virtual bool limitSearch() const = 0;
  virtual QString searchFilter() const = 0;
  virtual bool masterFix() const = 0;
  virtual void setSearchFilter(bool limit, const QString& filter, bool masterFix) = 0;
  // True when path is an absolute path on one of the listed volumes.
  virtual bool isOnListedVolume(const QString& path) const = 0;
  // Selects the volume that holds path and walks it again, even when it is the current one.
  virtual void rescanVolumeOf(const QString& path) = 0;
};
