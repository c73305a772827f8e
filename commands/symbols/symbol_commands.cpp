// Symbol > Delete, Edit, Move and Copy.
#include "commands/symbols/symbol_commands.h"

#include <QApplication>
#include <string>

#include "commands/command_host.h"
#include "commands/correction_step.h"
#include "commands/symbols/delete_symbol_dialog.h"
#include "commands/symbols/dialog_runner.h"
#include "commands/symbols/edit_symbol_dialog.h"
#include "commands/symbols/move_symbol_dialog.h"
#include "commands/symbols/record_text.h"
#include "maintenance/messages.h"
#include "maintenance/prompt.h"
#include "maintenance/symbol_ops.h"

namespace ledgrix::commands {
namespace {

using maintenance::PromptIcon;

constexpr const char* kEditFailed = "Symbol Edit Failed";

bool HasSelectedSymbolRow(CommandHost& host) {
  const int row = host.selSymbolRow();
  return row >= 0 && row < host.symbolRowCount();
}

// What the grid shows for a symbol field holding text: the text cut at the first byte the
// display symbol stops at.
QString DisplaySymbolOf(const QString& typed) {
  qsizetype end = 0;
  while (end < typed.size() && typed.at(end).unicode() > 0x20 && typed.at(end).unicode() < 0x80)
    ++end;
  return typed.left(end);
}

}  // namespace

void DeleteSymbol(CommandHost& host) {
  if (!HasSelectedSymbolRow(host))
    return;
  const QString symbol = host.symbolCellText(host.selSymbolRow(), 0);

  QApplication::beep();
  CDeleteSymbolDialog dialog(symbol, host.dialogParent());
  if (RunDialog(dialog) != QDialog::Accepted)
    return;

  {
    CorrectionStep step(
        host, maintenance::StepLabel(maintenance::kDeleteSymbolTitle, RecordBytes(symbol)));
    if (!step.ready())
      return;
    // The entry the row shows; a directory entry by its text, as it names no files.
    const std::optional<formats::SymbolKey> key = host.symbolKey(host.selSymbolRow());
    const maintenance::OpResult result =
        key ? maintenance::RemoveSymbol(FsPath(host.portfolioDir()), *key)
            : maintenance::RemoveSymbol(FsPath(host.portfolioDir()), FsPath(host.masterPath()),
                                        RecordBytes(symbol));
    if (!result)
      host.prompt().Message(result.message, PromptIcon::kStop);
  }
  host.FillSymbolsGrid(0);
}

void EditSymbol(CommandHost& host) {
  if (!HasSelectedSymbolRow(host))
    return;
  const int row = host.selSymbolRow();
  const QString rowSymbol = host.symbolCellText(row, 0);
  QString rowName = host.symbolCellText(row, 1);
  while (!rowName.isEmpty() && rowName.back().isSpace())
    rowName.chop(1);

  CEditSymbolDialog dialog(rowSymbol, rowName, host.symbolNameLimit(row), host.prompt(),
                           host.dialogParent());
  if (RunDialog(dialog) != QDialog::Accepted)
    return;

  int rewritten = 1;
  {
    CorrectionStep step(
        host, maintenance::StepLabel(maintenance::kEditSymbolTitle, RecordBytes(rowSymbol)));
    if (!step.ready())
      return;
    rewritten = host.RewriteSymbolRecord(dialog.symbol(), dialog.name());
  }
  // The grid must not show an edit that MASTER does not hold.
  if (rewritten != 0) {
    host.prompt().Message(kEditFailed, PromptIcon::kStop);
    return;
  }
  const QString shown = DisplaySymbolOf(dialog.symbol());
  host.setSymbolRowTexts(row, shown, dialog.name());
  // The view's symbol names the quotes shown: after the keyboard moved the selection they are
  // another row's, and the quote commands must keep writing to that symbol's file.
  if (rowSymbol == host.symbol())
    host.setSymbolAndName(shown, dialog.name());
}

void MoveOrCopySymbol(CommandHost& host, bool move) {
  // The symbol whose quotes are shown, which need not be the selected row.
  const QString symbol = host.symbol();
  const QString portfolioDir = host.portfolioDir();
  CMoveSymbolDialog dialog(symbol, host.symbolName(), portfolioDir, host.portfolioEntries(),
                           host.selectedPortfolio(), move, host.dialogParent());
  if (RunDialog(dialog) != QDialog::Accepted)
    return;
  const QString destination = dialog.destination();
  if (destination.isEmpty() || symbol.isEmpty())
    return;
  if (FsPath(destination).lexically_normal() == FsPath(portfolioDir).lexically_normal())
    return;

  maintenance::AddResult result = maintenance::kAddFailed;
  {
    CorrectionStep step(host, maintenance::StepLabel(move ? maintenance::kMoveSymbolTitle
                                                          : maintenance::kCopySymbolTitle,
                                                     RecordBytes(symbol)));
    if (!step.ready())
      return;
    result =
        maintenance::TransferSymbol(FsPath(portfolioDir), FsPath(host.masterPath()),
                                    RecordBytes(symbol), FsPath(destination), move, host.prompt());
  }
  // A failed move may have changed the source all the same; show what MASTER now holds.
  if (move && (result == maintenance::kAdded || result == maintenance::kAddFailed))
    host.FillSymbolsGrid(0);
}

}  // namespace ledgrix::commands
