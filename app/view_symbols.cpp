// The symbols grid: one row per MASTER record, sorted by symbol, with the repair offer.
#include <QItemSelectionModel>
#include <QTableView>
#include <string>

#include "app/grid_models.h"
#include "app/ledgrix_view.h"
#include "app/wait_cursor.h"
#include "commands/correction_step.h"
#include "commands/symbols/record_text.h"
#include "formats/master.h"
#include "maintenance/master_repair.h"
#include "maintenance/messages.h"
#include "maintenance/prompt.h"

namespace {

using ledgrix::formats::kMaxSymbols;

QString Latin1(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// The symbol a record with an empty symbol field will have once the repair has written its
// name there: the name cut like any symbol field. So a row's symbol always equals what the
// file holds after the repair; a name that itself starts blank is shown whole.
QString RepairedSymbol(const ledgrix::formats::MasterRecord& record) {
  ledgrix::formats::MasterRecord repaired = record;
  for (std::size_t i = 0; i < ledgrix::formats::master_offset::kSymbolFieldSize; ++i)
    repaired.bytes[ledgrix::formats::master_offset::kSymbol + i] =
        record.bytes[ledgrix::formats::master_offset::kIssueName + i];
  const std::string symbol = repaired.displaySymbol();
  return symbol.empty() ? Latin1(record.displayName()) : Latin1(symbol);
}

}  // namespace

void CLedgrixView::FillSymbolsGrid(int row) {
  ResetView(3);
  CWaitCursor wait;
  bool failed = false;
  ledgrix::formats::MasterFile file;
  const std::filesystem::path masterPath = ledgrix::commands::FsPath(m_masterPath);
  if (!m_masterPathValid || !ledgrix::formats::ReadMasterFile(masterPath, file)) {
    failed = true;
  } else {
    const int announced = file.header.symbolCount();
    m_symbolCount = announced;
    std::size_t readable = file.records.size();
    if (announced > kMaxSymbols) {
      m_prompt.Message(ledgrix::maintenance::SymbolCapNote(announced, kMaxSymbols));
      m_symbolCount = kMaxSymbols;
      readable = std::min<std::size_t>(readable, kMaxSymbols);
    }
    bool needsRepair = false;
    for (std::size_t i = 0; i < readable; ++i) {
      const ledgrix::formats::MasterRecord& record = file.records[i];
      QString symbol = Latin1(record.displaySymbol());
      if (symbol.isEmpty()) {
        symbol = RepairedSymbol(record);
        needsRepair = true;
      }
      m_symbolModel->InsertSorted(symbol, Latin1(record.displayName()));
    }
    if (needsRepair) {
      ledgrix::commands::CorrectionStep step(*this, ledgrix::maintenance::kRepairTitle);
      failed = !step.ready() ||
               ledgrix::maintenance::RepairMaster(masterPath, m_masterFix != 0, m_prompt) == 0;
    }
    ReportUnconfirmedChanges();
    if (static_cast<int>(readable) != m_symbolCount)
      failed = true;
  }

  m_selSymbolRow = row;
  if (!failed) {
    if (row >= 0 && row < m_symbolModel->rowCount()) {
      const QModelIndex index = m_symbolModel->index(row, 0);
      m_symbolGrid->selectionModel()->setCurrentIndex(
          index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
      m_symbolGrid->scrollTo(index);
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
