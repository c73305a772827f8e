// A date field of exactly eight characters, MM/DD/YY, whose six digits are overtyped in place.
#pragma once

#include <QLineEdit>
#include <QString>

class CDateEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit CDateEdit(QWidget* parent = nullptr);

  // The owning dialog copies the initial date text here once; from then on this buffer, not
  // the shown text, is what each typed digit is written into.
  void setBuffer(const QString& text);
  const QString& buffer() const { return m_buffer; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  // Text composed by an input method goes through the digit rules too, never past the buffer.
  void inputMethodEvent(QInputMethodEvent* event) override;

 private:
  void OnDigit(QChar digit);

  QString m_buffer;
};
