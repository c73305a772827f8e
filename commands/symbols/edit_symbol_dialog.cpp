#include "commands/symbols/edit_symbol_dialog.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "commands/entry_focus.h"
#include "commands/symbols/record_text.h"
#include "formats/portfolio_index.h"
#include "maintenance/messages.h"
#include "maintenance/prompt.h"

namespace {

QGroupBox* FieldGroup(const QString& title, const QString& objectName, QLineEdit* edit,
                      QWidget* parent) {
  auto* group = new QGroupBox(title, parent);
  group->setObjectName(objectName);
  auto* layout = new QVBoxLayout(group);
  layout->addWidget(edit);
  return group;
}
}  // namespace

CEditSymbolDialog::CEditSymbolDialog(const QString& symbol, const QString& name, int nameLimit,
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
  // The MASTER symbol field holds 14 characters; the two bytes after it are flags.
  m_symbolEdit->setMaxLength(static_cast<int>(ledgrix::formats::kMaxSymbolLength));
  m_symbolEdit->setText(symbol);
  m_nameEdit->setObjectName(QStringLiteral("nameEdit"));
  m_nameEdit->setMaxLength(nameLimit);
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
  // The files hold Windows-1252 text: a character it has no byte for cannot be stored.
  for (QLineEdit* edit : {m_symbolEdit, m_nameEdit}) {
    const QString bad = ledgrix::commands::FirstUnencodable(edit->text());
    if (!bad.isEmpty()) {
      m_prompt.Message(ledgrix::maintenance::UnencodableMessage(bad.toStdString()));
      edit->setFocus();
      edit->selectAll();
      return;
    }
  }
  QDialog::accept();
}
