// Drives a command's modal dialog through its widgets instead of exec().
#pragma once

#include <QAbstractButton>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <functional>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "commands/symbols/dialog_runner.h"

namespace ledgrix::testing {

// Installs a runner that hands the dialog, as D, to drive, then returns its result.
// ran() tells whether a dialog came up at all.
template <typename D>
class DialogDriver {
 public:
  explicit DialogDriver(std::function<void(D&)> drive)
      : ran_(std::make_shared<int>(0)),
        guard_([ran = ran_, drive = std::move(drive)](QDialog& dialog) {
          ++*ran;
          auto* typed = dynamic_cast<D*>(&dialog);
          EXPECT_NE(typed, nullptr);
          if (typed != nullptr)
            drive(*typed);
          return dialog.result();
        }) {}

  int ran() const { return *ran_; }

 private:
  std::shared_ptr<int> ran_;
  commands::ScopedDialogRunner guard_;
};

template <typename W>
W* Child(QWidget& parent, const char* name) {
  W* child = parent.findChild<W*>(QString::fromLatin1(name));
  EXPECT_NE(child, nullptr) << name;
  return child;
}

inline void ClickOk(QWidget& dialog) {
  Child<QDialogButtonBox>(dialog, "buttons")->button(QDialogButtonBox::Ok)->click();
}
inline void ClickCancel(QWidget& dialog) {
  Child<QDialogButtonBox>(dialog, "buttons")->button(QDialogButtonBox::Cancel)->click();
}

}  // namespace ledgrix::testing
