#include "commands/quotes/add_quote_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

CAddQuoteDialog::CAddQuoteDialog(const QString& newDate, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("addQuoteDialog"));
  setWindowTitle(QStringLiteral("Add Data"));

  m_newDate = new QLabel(newDate, this);
  m_newDate->setObjectName(QStringLiteral("newDateText"));
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("New Date:"), m_newDate);

  auto* note = new QLabel(QStringLiteral("The new quote will be added using the same data as the "
                                         "following day. You may then edit it to suit."),
                          this);
  note->setObjectName(QStringLiteral("noteText"));
  note->setWordWrap(true);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->setObjectName(QStringLiteral("buttonBox"));
  connect(buttons, &QDialogButtonBox::accepted, this, &CAddQuoteDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CAddQuoteDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(note);
  layout->addWidget(buttons);
}

QString CAddQuoteDialog::newDate() const {
  return m_newDate->text();
}
