// Symbol > Import: quotes from a text file into the shown portfolio, as one undoable step.
#include "app/wait_cursor.h"
#include "commands/command_host.h"
#include "commands/correction_step.h"
#include "commands/symbols/dialog_runner.h"
#include "commands/symbols/import_dialog.h"
#include "commands/symbols/record_text.h"
#include "commands/symbols/symbol_commands.h"
#include "maintenance/messages.h"

namespace ledgrix::commands {

void ImportQuotes(CommandHost& host) {
  CImportDialog dialog(host.symbol(), host.prompt(), host.dialogParent());
  if (RunDialog(dialog) != QDialog::Accepted)
    return;
  maintenance::ImportOutcome outcome;
  {
    CorrectionStep step(host, maintenance::StepLabel(maintenance::kImportTitle, dialog.symbol()));
    if (!step.ready())
      return;
    CWaitCursor wait;
    outcome = maintenance::ImportQuotes(FsPath(host.portfolioDir()), dialog.symbol(), dialog.name(),
                                        dialog.quotes(), dialog.mode());
  }
  if (!outcome.ok) {
    host.prompt().Message(std::string(maintenance::kImportFailed) + "\n\n" + outcome.message,
                          maintenance::PromptIcon::kStop);
    return;
  }
  // Both grids anew, with the imported symbol selected and its quotes shown.
  host.FillSymbolsGrid(0);
  const QString symbol = QString::fromLatin1(outcome.symbol);
  for (int row = 0; row < host.symbolRowCount(); ++row) {
    if (host.symbolCellText(row, 0) == symbol) {
      if (row != host.selSymbolRow())
        host.FillSymbolsGrid(row);
      break;
    }
  }
}

}  // namespace ledgrix::commands
