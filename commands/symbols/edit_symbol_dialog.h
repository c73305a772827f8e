// "Edit Symbol": a new symbol and name for the selected record, each at most 16 characters.
#pragma once

#include <QDialog>

class QLineEdit;

namespace ledgrix::maintenance {
class Prompt;
}

class CEditSymbolDialog : public QDialog {
  Q_OBJECT

 public:
  CEditSymbolDialog(const QString& symbol, const QString& name,
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
