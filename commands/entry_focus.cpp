#include "commands/entry_focus.h"

#include <QFocusEvent>
#include <QLineEdit>

namespace ledgrix::commands {
namespace {

class SelectOnFocusFilter final : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::FocusIn)
      return false;
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    // A click places the caret; a closing menu gives the focus back as it was.
    if (reason == Qt::MouseFocusReason || reason == Qt::PopupFocusReason ||
        reason == Qt::MenuBarFocusReason)
      return false;
    if (auto* edit = qobject_cast<QLineEdit*>(watched))
      edit->selectAll();
    return false;
  }
};

}  // namespace

void SelectTextOnFocus(QWidget& root) {
  auto* filter = new SelectOnFocusFilter(&root);
  for (QLineEdit* edit : root.findChildren<QLineEdit*>())
    edit->installEventFilter(filter);
}

}  // namespace ledgrix::commands
