#include "commands/quotes/number_edit.h"

#include <QApplication>
#include <QKeyEvent>

CNumberEdit::CNumberEdit(QWidget* parent) : QLineEdit(parent) {}

void CNumberEdit::keyPressEvent(QKeyEvent* event) {
  // Control keys and shortcuts (editing, clipboard) keep their usual meaning; of the printable
  // characters only digits and the point get through. Pasted text is taken as it is.
  const bool shortcut = event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
  const QString text = event->text();
  if (!shortcut && event->key() != Qt::Key_Delete) {
    for (const QChar c : text) {
      const bool printable = c.unicode() >= 32 && c.unicode() != 127;
      const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
      if (printable && !digit && c != QLatin1Char('.')) {
        QApplication::beep();
        event->accept();
        return;
      }
    }
  }
  QLineEdit::keyPressEvent(event);
}
