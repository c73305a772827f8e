// Edit > Undo and Redo: the shown portfolio's undo journal, and the refill that follows.
#include <QTableView>
#include <algorithm>

#include "app/grid_models.h"
#include "app/ledgrix_view.h"
#include "app/settings_store.h"
#include "app/wait_cursor.h"
#include "commands/symbols/record_text.h"
#include "maintenance/journal_store.h"
#include "maintenance/prompt.h"

namespace {
namespace maint = ledgrix::maintenance;
}

std::optional<maint::UndoJournal> CLedgrixView::undoJournal() const {
  if (!m_portfoliosFound || !m_masterPathValid || m_portfolioDir.isEmpty())
    return std::nullopt;
  const int megabytes = m_settings.GetInt(QStringLiteral("Undo"), QStringLiteral("MaxMegabytes"),
                                          static_cast<int>(maint::kDefaultUndoLimit >> 20));
  return maint::UndoJournal(maint::journal::DefaultRoot(),
                            ledgrix::commands::FsPath(m_portfolioDir),
                            static_cast<std::uint64_t>(std::max(1, megabytes)) << 20);
}

void CLedgrixView::RefreshUndoState() {
  const auto journal = undoJournal();
  const auto next = journal ? journal->Next() : maint::UndoJournal::NextSteps{};
  m_undoLabel = next.undo;
  m_redoLabel = next.redo;
}

void CLedgrixView::UndoOrRedo(bool redo) {
  const auto journal = undoJournal();
  if (!journal)
    return;
  maint::UndoOutcome outcome;
  {
    CWaitCursor wait;
    outcome = redo ? journal->Redo() : journal->Undo();
  }
  if (!outcome.changed.empty())
    RefillAfterUndo(outcome);
  if (!outcome.ok()) {
    m_prompt.Message(outcome.message, outcome.kind == maint::UndoOutcome::Kind::kFailed
                                          ? maint::PromptIcon::kStop
                                          : maint::PromptIcon::kWarning);
  }
  RefreshUndoState();
  Q_EMIT stateChanged();
}

// As after the correction itself: a changed index file refills the symbols grid, keeping the
// shown symbol where it is still listed; otherwise the quotes grid is refilled.
void CLedgrixView::RefillAfterUndo(const maint::UndoOutcome& outcome) {
  const bool indexChanged =
      std::any_of(outcome.changed.begin(), outcome.changed.end(), maint::journal::IsIndexFile);
  if (!indexChanged) {
    FillQuotesGrid(0);
    return;
  }
  const QString shown = m_symbol;
  FillSymbolsGrid(0);
  for (int row = 1; row < m_symbolModel->rowCount(); ++row) {
    if (m_symbolModel->Text(row, 0) == shown) {
      m_symbolGrid->selectionModel()->setCurrentIndex(
          m_symbolModel->index(row, 0),
          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
      m_symbolGrid->scrollTo(m_symbolModel->index(row, 0));
      FillQuotesGrid(0);
      break;
    }
  }
}
