#include "commands/symbols/dialog_runner.h"

#include <QDialog>
#include <utility>

namespace ledgrix::commands {
namespace {
DialogRunner& CurrentRunner() {
  static DialogRunner runner;
  return runner;
}
}  // namespace

int RunDialog(QDialog& dialog) {
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
