// "Add Data": confirms the date of the quote to be added before the current one.
#pragma once

#include <QDialog>

class QLabel;

class CAddQuoteDialog : public QDialog {
  Q_OBJECT

 public:
  explicit CAddQuoteDialog(const QString& newDate, QWidget* parent = nullptr);

  QString newDate() const;

 private:
  QLabel* m_newDate = nullptr;
};
