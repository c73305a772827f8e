// "Split Data": the split date and the ratio of new to old shares.
#pragma once

#include <QDialog>

class CommandHost;
class CDateEdit;
class CNumberEdit;

class CSplitDialog : public QDialog {
  Q_OBJECT

 public:
  CSplitDialog(CommandHost& host, const QString& splitDate, QWidget* parent = nullptr);

  QString splitDate() const;
  QString newShares() const;
  QString oldShares() const;

  void accept() override;

 private:
  CommandHost& m_host;
  CDateEdit* m_splitDate = nullptr;
  CNumberEdit* m_newShares = nullptr;
  CNumberEdit* m_oldShares = nullptr;
};
