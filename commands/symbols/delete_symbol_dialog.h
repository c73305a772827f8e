// "Delete Symbol": shows the selected symbol and asks before it is deleted.
#pragma once

#include <QDialog>

class QLabel;

class CDeleteSymbolDialog : public QDialog {
  Q_OBJECT

 public:
  explicit CDeleteSymbolDialog(const QString& symbol, QWidget* parent = nullptr);

 private:
  QLabel* m_symbolLabel;
};
