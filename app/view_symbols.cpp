// The symbols grid: one row per entry of the portfolio's joined index (MASTER, then XMASTER),
// sorted by symbol, with the repair offers for blank symbols and an EMASTER out of step.
#include <QItemSelectionModel>
#include <QTableView>
#include <string>

#include "app/grid_models.h"
#include "app/ledgrix_view.h"
#include "app/wait_cursor.h"
#include "commands/correction_step.h"
#include "commands/symbols/record_text.h"
#include "formats/portfolio_index.h"
#include "maintenance/master_repair.h"
#include "maintenance/messages.h"
#include "maintenance/prompt.h"

namespace {

namespace fmt = ledgrix::formats;
using ledgrix::formats::kMaxSymbols;

// The symbol a record with an empty symbol field will have once the repair has written its
// name there: the name cut like any symbol field. So a row's symbol always equals what the
// file holds after the repair; a name that itself starts blank is shown whole.
std::string RepairedSymbol(const fmt::MasterRecord& record) {
  fmt::MasterRecord repaired = record;
  for (std::size_t i = 0; i < fmt::master_offset::kSymbolFieldSize; ++i)
    repaired.bytes[fmt::master_offset::kSymbol + i] =
        record.bytes[fmt::master_offset::kIssueName + i];
  const std::string symbol = repaired.displaySymbol();
  return symbol.empty() ? record.displayName() : symbol;
}

}  // namespace

void CLedgrixView::FillSymbolsGrid(int row) {
  ResetView(3);
  CWaitCursor wait;
  bool failed = false;
  fmt::PortfolioIndex index;
  const std::filesystem::path dir = ledgrix::commands::FsPath(m_portfolioDir);
  if (!m_masterPathValid || !fmt::ReadPortfolioIndex(dir, index)) {
    failed = true;
  } else {
    const int announced = index.master.header.symbolCount();
    int masterCount = announced;
    std::size_t readable = index.master.records.size();
    if (announced > kMaxSymbols) {
      m_prompt.Message(ledgrix::maintenance::SymbolCapNote(announced, kMaxSymbols));
      masterCount = kMaxSymbols;
      readable = std::min<std::size_t>(readable, kMaxSymbols);
    }
    failed = static_cast<int>(readable) != masterCount;
    // The extended index is looked at once each time the portfolio is selected.
    if (!failed && m_indexCheckedFor != m_masterPath) {
      m_indexCheckedFor = m_masterPath;
      if (index.emaster == fmt::IndexFileState::kUnusable) {
        std::string error;
        bool rebuilt = false;
        {
          ledgrix::commands::CorrectionStep step(*this, ledgrix::maintenance::kRebuildEmasterTitle);
          rebuilt = step.ready() && ledgrix::maintenance::RebuildEmaster(dir, m_masterFix != 0,
                                                                         m_prompt, &error) != 0;
        }
        if (rebuilt)
          fmt::ReadPortfolioIndex(dir, index);
        else if (!error.empty())
          m_prompt.Message(error, ledgrix::maintenance::PromptIcon::kWarning);
      }
      if (index.xmaster == fmt::IndexFileState::kUnusable) {
        m_prompt.Message(
            ledgrix::maintenance::XmasterUnusableNote(
                ledgrix::platform::Utf8FromPath(index.xmasterPath), index.xmasterProblem),
            ledgrix::maintenance::PromptIcon::kWarning);
      } else if (!index.xmasterProblem.empty()) {
        m_prompt.Message(
            ledgrix::maintenance::XmasterRecordsLeftOutNote(
                ledgrix::platform::Utf8FromPath(index.xmasterPath), index.xmasterProblem),
            ledgrix::maintenance::PromptIcon::kWarning);
      }
    }
    bool needsRepair = false;
    std::vector<SymbolRowData> rows;
    rows.reserve(index.entries.size());
    for (fmt::IndexEntry& entry : index.entries) {
      if (!entry.inXmaster() && entry.position >= readable)
        continue;
      // Names decode byte for byte, so a name left unchanged is written back as it was.
      const int limit = static_cast<int>(fmt::NameLimit(index, entry));
      std::string name = entry.longName.empty() ? std::move(entry.name) : std::move(entry.longName);
      SymbolRowData rowData{std::move(entry.symbol), std::move(name), entry.key, entry.isDirectory,
                            limit};
      if (rowData.symbol.empty()) {
        rowData.symbol = RepairedSymbol(entry.master);
        needsRepair = true;
      }
      rows.push_back(std::move(rowData));
    }
    m_symbolCount = static_cast<int>(rows.size());
    m_symbolModel->SetRows(std::move(rows));
    if (!failed && needsRepair) {
      ledgrix::commands::CorrectionStep step(*this, ledgrix::maintenance::kRepairTitle);
      failed = !step.ready() ||
               ledgrix::maintenance::RepairMaster(ledgrix::commands::FsPath(m_masterPath),
                                                  m_masterFix != 0, m_prompt) == 0;
    }
    ReportUnconfirmedChanges();
  }

  m_selSymbolRow = row;
  if (!failed) {
    if (row >= 0 && row < m_symbolModel->rowCount()) {
      const QModelIndex at = m_symbolModel->index(row, 0);
      m_symbolGrid->selectionModel()->setCurrentIndex(
          at, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
      m_symbolGrid->scrollTo(at);
    }
    if (m_symbolCount == 0)
      SetTitle(QStringLiteral("(no symbols)"));
    RefreshUndoState();
    Q_EMIT stateChanged();
    FillQuotesGrid(0);
    return;
  }
  ResetView(3);
  m_prompt.Message(ledgrix::maintenance::kSymbolsGridFailure,
                   ledgrix::maintenance::PromptIcon::kStop);
  m_symbolCount = 0;
  RefreshUndoState();
  Q_EMIT stateChanged();
}
