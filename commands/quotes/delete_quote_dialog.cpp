#include "commands/quotes/delete_quote_dialog.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include "commands/command_host.h"
#include "maintenance/messages.h"
#include "maintenance/prompt.h"

namespace {
constexpr int kDateLimit = 100;
}

CDeleteQuoteDialog::CDeleteQuoteDialog(CommandHost& host, const QString& date, QWidget* parent)
    : QDialog(parent), m_host(host), m_date(date.left(kDateLimit)) {
  setObjectName(QStringLiteral("deleteQuoteDialog"));
  setWindowTitle(QStringLiteral("Delete Data"));

  auto* group = new QGroupBox(QStringLiteral("Selected Date to Delete:"), this);
  auto* dateText = new QLabel(m_date, group);
  dateText->setObjectName(QStringLiteral("dateText"));
  dateText->setAlignment(Qt::AlignCenter);
  auto* groupLayout = new QVBoxLayout(group);
  groupLayout->addWidget(dateText);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->setObjectName(QStringLiteral("buttonBox"));
  connect(buttons, &QDialogButtonBox::accepted, this, &CDeleteQuoteDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CDeleteQuoteDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addWidget(buttons);
}

void CDeleteQuoteDialog::accept() {
  // No returns to the dialog, which stays open for another OK or Cancel.
  if (m_host.prompt().AskYesNo(ledgrix::maintenance::DeleteQuoteQuestion(m_date.toStdString())))
    QDialog::accept();
}
