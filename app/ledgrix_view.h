// The main form and the owner of all working state: the drive list, the portfolio list, the
// symbols grid and the quotes grid, and the selection flow between them.
#pragma once

#include <QString>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/chart_marks.h"
#include "app/command_enabling.h"
#include "commands/command_host.h"

class QComboBox;
class QListWidget;
class QSplitter;
class QStatusBar;
class QTableView;
class CSettingsStore;
class CSearchingDialog;
class CSymbolsModel;
class CQuotesModel;
class CChartView;
class VolumeList;

class CLedgrixView : public QWidget, public CommandHost {
  Q_OBJECT

 public:
  CLedgrixView(CSettingsStore& settings, VolumeList& volumes, ledgrix::maintenance::Prompt& prompt,
               QWidget* parent = nullptr);
  ~CLedgrixView() override;

  // Where the quotes fill shows its progress bar (none: no bar).
  void SetStatusBar(QStatusBar* statusBar) { m_statusBar = statusBar; }

  // Deferred start: columns with their stored widths, then the initial scan.
  void OnTimer();
  void CreateColumns();
  void SaveColumnWidths();

  // Level 1 clears everything down to level 4 (the quotes grid).
  void ResetView(int level);
  bool SelectPortfolio(const QString& masterPath);
  // Shows each change of the last operation that the disk did not confirm, if any.
  void ReportUnconfirmedChanges();
  void FillSymbolsGrid(int row) override;
  void FillQuotesGrid(int row) override;

  // The chart beside the quotes grid (view_chart.cpp). Every fill shows its quotes there with the
  // marks of every source.
  void UpdateChart();
  void ShowChart(bool show);
  bool chartShown() const;
  void AddChartMarkSource(ChartMarkSource source);
  void RestoreChartSplit();
  void SaveChartSplit();

  // Discovery.
  void InitialScan();
  void ScanDrive();
  void OnDriveChange();
  void OnPortfolioChange();
  void OnPortfolioRescan() { ScanDrive(); }
  void OnSymbolClick();

  // The status panes' texts and the inputs of the enable rules.
  QString SymbolPaneText() const;
  QString QuotePaneText() const;
  EnableInputs CommandState() const;

  // CommandHost.
  QWidget* dialogParent() override;
  CSettingsStore& settings() override { return m_settings; }
  ledgrix::maintenance::Prompt& prompt() override { return m_prompt; }
  QString portfolioDir() const override { return m_portfolioDir; }
  QString masterPath() const override { return m_masterPath; }
  QString symbol() const override { return m_symbol; }
  QString symbolName() const override { return m_symbolName; }
  void setSymbolAndName(const QString& symbol, const QString& name) override;
  int symbolCount() const override { return m_symbolCount; }
  int selSymbolRow() const override { return m_selSymbolRow; }
  int symbolRowCount() const override;
  QString symbolCellText(int row, int column) const override;
  void setSymbolRowTexts(int row, const QString& symbol, const QString& name) override;
  std::optional<ledgrix::formats::SymbolKey> symbolKey(int row) const override;
  int symbolNameLimit(int row) const override;
  int RewriteSymbolRecord(const QString& symbol, const QString& name) override;
  int quoteCount() const override { return m_quoteCount; }
  int selQuoteRow() const override { return m_selQuoteRow; }
  void setSelQuoteRow(int row) override;
  void setCurrentQuoteRow(int row) override;
  int quoteRowCount() const override;
  QString quoteCellText(int row, int column) const override;
  QString firstDateText() const override { return m_firstDateText; }
  QString lastDateText() const override { return m_lastDateText; }
  QStringList portfolioEntries() const override;
  int selectedPortfolio() const override;
  void setSplitSearchOpen(bool open) override;
  bool limitSearch() const override { return m_limitSearch != 0; }
  QString searchFilter() const override { return m_searchFilter; }
  bool masterFix() const override { return m_masterFix != 0; }
  void setSearchFilter(bool limit, const QString& filter, bool masterFix) override;
  bool isOnListedVolume(const QString& path) const override;
  void rescanVolumeOf(const QString& path) override;
  std::optional<ledgrix::maintenance::UndoJournal> undoJournal() const override;

  // Edit > Undo and Redo on the shown portfolio's journal, and the labels of the steps they
  // would take (read again when a portfolio is shown, after a command, on activation).
  void OnEditUndo() { UndoOrRedo(false); }
  void OnEditRedo() { UndoOrRedo(true); }
  void RefreshUndoState();
  const std::optional<std::string>& undoLabel() const { return m_undoLabel; }
  const std::optional<std::string>& redoLabel() const { return m_redoLabel; }

  // Widgets.
  QTableView* m_quoteGrid = nullptr;
  QTableView* m_symbolGrid = nullptr;
  QListWidget* m_portfolioList = nullptr;
  QComboBox* m_driveCombo = nullptr;
  CSymbolsModel* m_symbolModel = nullptr;
  CQuotesModel* m_quoteModel = nullptr;
  CChartView* m_chart = nullptr;
  QSplitter* m_quoteSplitter = nullptr;

  // State.
  int m_masterFix = 0;
  int m_limitSearch = 1;
  QString m_searchFilterUpper;
  QString m_searchFilter;
  QString m_startDir;
  CSearchingDialog* m_searchingDialog = nullptr;
  int m_mastersFound = 0;
  QString m_drive = QStringLiteral("?");  // root path of the current volume
  bool m_masterPathValid = false;
  bool m_paintTimerStarted = false;
  bool m_portfoliosFound = false;
  QString m_portfolioDir;
  QString m_symbol;
  QString m_symbolName;
  int m_symbolCount = 0;
  int m_selSymbolRow = 0;
  int m_quoteCount = 0;
  int m_selQuoteRow = 1;
  QString m_firstDateText;
  QString m_lastDateText;
  int m_splitSearchOpen = 0;
  QString m_masterPath;
  // The portfolio whose EMASTER and XMASTER were last looked at (asked about once a selection).
  QString m_indexCheckedFor;

 Q_SIGNALS:
  // Anything the status panes or the enable rules read has changed.
  void stateChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildLayout();
  QWidget* AttachChart(QWidget* quotesBox);
  void OnSymbolSelectionChanged();
  void OnQuoteSelectionChanged();
  void SetTitle(const QString& tail);
  void AddPortfolioSorted(const QString& path);
  void UndoOrRedo(bool redo);
  void RefillAfterUndo(const ledgrix::maintenance::UndoOutcome& outcome);

  CSettingsStore& m_settings;
  VolumeList& m_volumes;
  ledgrix::maintenance::Prompt& m_prompt;
  QStatusBar* m_statusBar = nullptr;
  bool m_fillingPortfolioList = false;
  std::optional<std::string> m_undoLabel;
  std::optional<std::string> m_redoLabel;
  std::vector<ChartMarkSource> m_chartMarkSources;
  int m_chartSplit = 0;  // the grid's width beside a shown chart
};
