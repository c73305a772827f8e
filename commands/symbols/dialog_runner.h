// How the symbol commands run their modal dialogs: exec() in the program, a script in tests.
#pragma once

#include <functional>

class QDialog;

namespace ledgrix::commands {

// Runs dialog modally to its owner window and returns its result (QDialog::Accepted or
// Rejected); F1 in it opens Help Topics.
using DialogRunner = std::function<int(QDialog&)>;

int RunDialog(QDialog& dialog);

// Replaces exec() for the guard's lifetime; the runner drives the dialog's widgets and returns
// dialog.result() once it has closed it.
class ScopedDialogRunner {
 public:
  explicit ScopedDialogRunner(DialogRunner runner);
  ~ScopedDialogRunner();
  ScopedDialogRunner(const ScopedDialogRunner&) = delete;
  ScopedDialogRunner& operator=(const ScopedDialogRunner&) = delete;

 private:
  DialogRunner previous_;
};

}  // namespace ledgrix::commands
