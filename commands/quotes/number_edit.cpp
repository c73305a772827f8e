#include "commands/quotes/number_edit.h"

#include <QApplication>
#include <QKeyEvent>

namespace {

// Control characters, digits and the point pass; any other character is refused.
bool Admitted(const QString& text) {
  for (const QChar c : text) {
    const bool control = c.unicode() < 32 || c.unicode() == 127;
    const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
    if (!control && !digit && c != QLatin1Char('.'))
      return false;
  }
  return true;
}

// The editing shortcuts keep their usual meaning, also where the platform reports the letter of
// the key as their text.
bool IsEditingShortcut(const QKeyEvent& event) {
  for (const QKeySequence::StandardKey key :
       {QKeySequence::Copy, QKeySequence::Cut, QKeySequence::Paste, QKeySequence::Undo,
        QKeySequence::Redo, QKeySequence::SelectAll})
    if (event.matches(key))
      return true;
  return false;
}

}  // namespace

CNumberEdit::CNumberEdit(QWidget* parent) : QLineEdit(parent) {}

void CNumberEdit::keyPressEvent(QKeyEvent* event) {
  // Keys typed with Ctrl or Meta are no exception: a character they type passes the same rule.
  // Pasted text is taken as it is.
  if (!IsEditingShortcut(*event) && event->key() != Qt::Key_Delete && !Admitted(event->text())) {
    QApplication::beep();
    event->accept();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

void CNumberEdit::inputMethodEvent(QInputMethodEvent* event) {
  if (!Admitted(event->commitString())) {
    QApplication::beep();
    // Whatever was being composed goes too.
    QInputMethodEvent cleared;
    QLineEdit::inputMethodEvent(&cleared);
    event->accept();
    return;
  }
  QLineEdit::inputMethodEvent(event);
}
