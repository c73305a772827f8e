// "Adjust Data": multipliers for prices, volume and open interest over a date range.
#pragma once

#include <QDialog>

class CommandHost;
class CDateEdit;
class CNumberEdit;
class QLineEdit;

class CAdjustDialog : public QDialog {
  Q_OBJECT

 public:
  // from, to: the first and last date of the loaded series, the initial range.
  CAdjustDialog(CommandHost& host, const QString& from, const QString& to,
                QWidget* parent = nullptr);

  QString fromDate() const;
  QString toDate() const;
  QString price() const;
  QString volume() const;
  QString openInterest() const;

  void accept() override;

 private:
  CommandHost& m_host;
  CDateEdit* m_from = nullptr;
  CDateEdit* m_to = nullptr;
  CNumberEdit* m_price = nullptr;
  CNumberEdit* m_volume = nullptr;
  QLineEdit* m_openInterest = nullptr;
};
