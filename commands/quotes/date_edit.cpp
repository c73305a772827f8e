#include "commands/quotes/date_edit.h"

#include <QApplication>
#include <QKeyEvent>
#include <optional>

namespace {

constexpr int kDateLength = 8;

struct Step {
  int position;  // where the digit goes
  int nextStart, nextEnd;
};

// Where a digit typed with the selection (start, end) goes, and what is selected next: month,
// day, year, then round again to the month.
std::optional<Step> StepFor(int start, int end) {
  if (start == 0 && (end == 0 || end == 1 || end == 2 || end == 8))
    return Step{0, 1, 2};
  if (start == 1 && end == 2)
    return Step{1, 3, 5};
  if ((start == 3 && end == 5) || (start == 4 && end == 4))
    return Step{3, 4, 5};
  if (start == 4 && end == 5)
    return Step{4, 6, 8};
  if (start == 6 && (end == 7 || end == 8))
    return Step{6, 7, 8};
  if (start == 7 && end == 8)
    return Step{7, 0, 2};
  return std::nullopt;
}

// The character a key press delivers as typed text, or 0 for a key that types nothing
// (arrows, Home, End, Delete, function keys).
QChar TypedChar(const QKeyEvent& event) {
  const int key = event.key();
  if (key == Qt::Key_Backspace)
    return QChar(8);
  if (key == Qt::Key_Delete)
    return QChar();
  const Qt::KeyboardModifiers mods = event.modifiers();
  if ((mods & Qt::ControlModifier) && !(mods & Qt::AltModifier) && key >= Qt::Key_A &&
      key <= Qt::Key_Z)
    return QChar(key - Qt::Key_A + 1);  // Ctrl+C, Ctrl+V ... as control characters
  const QString text = event.text();
  if (text.isEmpty() || text.at(0).unicode() == 127)
    return QChar();
  return text.at(0);
}

}  // namespace

CDateEdit::CDateEdit(QWidget* parent) : QLineEdit(parent) {
  // Only typed digits change the date; no paste or drop of other text behind the buffer's back.
  setContextMenuPolicy(Qt::NoContextMenu);
  setAcceptDrops(false);
}

void CDateEdit::setBuffer(const QString& text) {
  m_buffer = text.left(kDateLength);
}

void CDateEdit::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  // Enter and Escape belong to the dialog (its default button and Cancel); Tab moves focus
  // before it gets here.
  if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape ||
      key == Qt::Key_Tab || key == Qt::Key_Backtab) {
    event->ignore();
    return;
  }
  event->accept();  // every other key stops here: no caret movement, no deletion
  const QChar c = TypedChar(*event);
  if (c.isNull())
    return;
  if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
    OnDigit(c);
    return;
  }
  QApplication::beep();
}

void CDateEdit::inputMethodEvent(QInputMethodEvent* event) {
  QInputMethodEvent cleared;
  QLineEdit::inputMethodEvent(&cleared);
  event->accept();
  for (const QChar c : event->commitString()) {
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
      OnDigit(c);
    else
      QApplication::beep();
  }
}

void CDateEdit::OnDigit(QChar digit) {
  int start = cursorPosition();
  int end = start;
  if (hasSelectedText()) {
    start = selectionStart();
    end = selectionEnd();
  }
  const std::optional<Step> step = StepFor(start, end);
  if (!step) {
    const int groupStart = start == 4 ? 3 : start == 7 ? 6 : 0;
    setSelection(groupStart, 2);
    QApplication::beep();
    return;
  }
  // A buffer shorter than a date (no initial text) is padded with blanks, which the OK check
  // refuses, rather than left with holes.
  if (m_buffer.size() < kDateLength)
    m_buffer = m_buffer.leftJustified(kDateLength, QLatin1Char(' '));
  m_buffer[step->position] = digit;
  setText(m_buffer);
  setSelection(step->nextStart, step->nextEnd - step->nextStart);
}
