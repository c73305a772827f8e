#include "commands/symbols/dialog_runner.h"

#include <QAction>
#include <QDialog>
#include <utility>

#include "app/command_ids.h"

namespace ledgrix::commands {
namespace {
DialogRunner& CurrentRunner() {
  static DialogRunner runner;
  return runner;
}
}  // namespace

int RunDialog(QDialog& dialog) {
  // F1 asks for the guide from a dialog too; the dialog holds its owner window alone, so that
  // the guide's window stays usable beside it.
  if (QWidget* owner = dialog.parentWidget()) {
    for (QAction* action : owner->window()->actions())
      if (action->data().toInt() == ID_HELP_FINDER)
        dialog.addAction(action);
  }
  dialog.setWindowModality(Qt::WindowModal);
  if (CurrentRunner())
    return CurrentRunner()(dialog);
  return dialog.exec();
}

ScopedDialogRunner::ScopedDialogRunner(DialogRunner runner)
    : previous_(std::exchange(CurrentRunner(), std::move(runner))) {}

ScopedDialogRunner::~ScopedDialogRunner() {
  CurrentRunner() = std::move(previous_);
}

}  // namespace ledgrix::commands
