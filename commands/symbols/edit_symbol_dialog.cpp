#include "commands/symbols/edit_symbol_dialog.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "commands/entry_focus.h"
#include "maintenance/messages.h"
#include "maintenance/prompt.h"

namespace {
constexpr int kFieldSize = 16;  // the MASTER record's symbol and name fields

QGroupBox* FieldGroup(const QString& title, const QString& objectName, QLineEdit* edit,
                      QWidget* parent) {
  auto* group = new QGroupBox(title, parent);
  group->setObjectName(objectName);
  auto* layout = new QVBoxLayout(group);
  layout->addWidget(edit);
  return group;
}
}  // namespace

CEditSymbolDialog::CEditSymbolDialog(const QString& symbol, const QString& name,
                                     ledgrix::maintenance::Prompt& prompt, QWidget* parent)
    : QDialog(parent),
      m_prompt(prompt),
      m_symbolEdit(new QLineEdit(this)),
      m_nameEdit(new QLineEdit(this)),
      m_symbol(symbol),
      m_name(name) {
  setObjectName(QStringLiteral("editSymbolDialog"));
  setWindowTitle(QStringLiteral("Edit Symbol"));

  m_symbolEdit->setObjectName(QStringLiteral("symbolEdit"));
  m_symbolEdit->setMaxLength(kFieldSize);
  m_symbolEdit->setText(symbol);
  m_nameEdit->setObjectName(QStringLiteral("nameEdit"));
  m_nameEdit->setMaxLength(kFieldSize);
  m_nameEdit->setText(name);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->setObjectName(QStringLiteral("buttons"));
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &CEditSymbolDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(
      FieldGroup(QStringLiteral("Symbol"), QStringLiteral("symbolGroup"), m_symbolEdit, this));
  layout->addWidget(
      FieldGroup(QStringLiteral("Name"), QStringLiteral("nameGroup"), m_nameEdit, this));
  layout->addWidget(buttons);
  ledgrix::commands::SelectTextOnFocus(*this);
}

void CEditSymbolDialog::accept() {
  m_symbol = m_symbolEdit->text();
  m_name = m_nameEdit->text();
  // A symbol that starts with a blank reads back as no symbol at all and would send the
  // portfolio into the MASTER repair; it is as good as empty.
  if (m_symbol.isEmpty() || m_symbol.front().unicode() <= 0x20) {
    m_prompt.Message(ledgrix::maintenance::kMustEnterSymbol);
    // Back to the field, its text selected for typing over.
    m_symbolEdit->setFocus();
    m_symbolEdit->selectAll();
    return;
  }
  QDialog::accept();
}
