// "Edit Symbol": a new symbol (at most 14 characters) and name (at most 45 where the entry has a
// long name field, else 16) for the selected record, in characters the files can hold.
#pragma once

#include <QDialog>

class QLineEdit;

namespace ledgrix::maintenance {
class Prompt;
}

class CEditSymbolDialog : public QDialog {
  Q_OBJECT

 public:
  CEditSymbolDialog(const QString& symbol, const QString& name, int nameLimit,
                    ledgrix::maintenance::Prompt& prompt, QWidget* parent = nullptr);

  QString symbol() const { return m_symbol; }
  QString name() const { return m_name; }

  void accept() override;

 private:
  ledgrix::maintenance::Prompt& m_prompt;
  QLineEdit* m_symbolEdit;
  QLineEdit* m_nameEdit;
  QString m_symbol;
  QString m_name;
};
