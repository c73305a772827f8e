// "Delete Data": shows the date to delete; OK asks once more before it closes.
#pragma once

#include <QDialog>

class CommandHost;

class CDeleteQuoteDialog : public QDialog {
  Q_OBJECT

 public:
  CDeleteQuoteDialog(CommandHost& host, const QString& date, QWidget* parent = nullptr);

  void accept() override;

 private:
  CommandHost& m_host;
  QString m_date;
};
