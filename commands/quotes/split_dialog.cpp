#include "commands/quotes/split_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QVBoxLayout>

#include "commands/entry_focus.h"
#include "commands/quotes/date_edit.h"
#include "commands/quotes/entry_check.h"
#include "commands/quotes/number_edit.h"

namespace {
constexpr int kDateLimit = 8;
constexpr int kSharesLimit = 5;
}  // namespace

CSplitDialog::CSplitDialog(CommandHost& host, const QString& splitDate, QWidget* parent)
    : QDialog(parent), m_host(host) {
  setObjectName(QStringLiteral("splitDialog"));
  setWindowTitle(QStringLiteral("Split Data"));

  auto* dateGroup = new QGroupBox(QStringLiteral("Split Date"), this);
  m_splitDate = new CDateEdit(dateGroup);
  m_splitDate->setObjectName(QStringLiteral("splitDateEdit"));
  m_splitDate->setMaxLength(kDateLimit);
  auto* dateLayout = new QVBoxLayout(dateGroup);
  dateLayout->addWidget(m_splitDate);

  auto* ratioGroup = new QGroupBox(QStringLiteral("Ratios"), this);
  m_newShares = new CNumberEdit(ratioGroup);
  m_newShares->setObjectName(QStringLiteral("newSharesEdit"));
  m_newShares->setMaxLength(kSharesLimit);
  m_oldShares = new CNumberEdit(ratioGroup);
  m_oldShares->setObjectName(QStringLiteral("oldSharesEdit"));
  m_oldShares->setMaxLength(kSharesLimit);
  auto* ratioLayout = new QFormLayout(ratioGroup);
  ratioLayout->addRow(QStringLiteral("New Shares"), m_newShares);
  ratioLayout->addRow(QStringLiteral("Old Shares"), m_oldShares);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->setObjectName(QStringLiteral("buttonBox"));
  connect(buttons, &QDialogButtonBox::accepted, this, &CSplitDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CSplitDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(dateGroup);
  layout->addWidget(ratioGroup);
  layout->addWidget(buttons);

  m_splitDate->setText(splitDate);
  m_splitDate->setBuffer(m_splitDate->text());
  m_newShares->setText(QStringLiteral("1"));
  m_oldShares->setText(QStringLiteral("1"));
  ledgrix::commands::SelectTextOnFocus(*this);
}

QString CSplitDialog::splitDate() const {
  return m_splitDate->text();
}
QString CSplitDialog::newShares() const {
  return m_newShares->text();
}
QString CSplitDialog::oldShares() const {
  return m_oldShares->text();
}

void CSplitDialog::accept() {
  ledgrix::commands::EntryCheck check;
  check.dates << splitDate();
  check.factors << newShares() << oldShares();
  if (ledgrix::commands::EntriesPass(m_host, check))
    QDialog::accept();
}
