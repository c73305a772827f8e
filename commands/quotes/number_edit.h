// An entry field that admits only the characters of an unsigned decimal number.
#pragma once

#include <QLineEdit>

class CNumberEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit CNumberEdit(QWidget* parent = nullptr);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  // Text composed by an input method passes the same rule as typed keys.
  void inputMethodEvent(QInputMethodEvent* event) override;
};
