#include "commands/quotes/adjust_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QVBoxLayout>

#include "commands/entry_focus.h"
#include "commands/quotes/date_edit.h"
#include "commands/quotes/entry_check.h"
#include "commands/quotes/number_edit.h"

namespace {
constexpr int kFieldLimit = 8;

template <typename Edit>
Edit* MakeField(QWidget* parent, const char* objectName) {
  auto* edit = new Edit(parent);
  edit->setObjectName(QString::fromLatin1(objectName));
  edit->setMaxLength(kFieldLimit);
  return edit;
}
}  // namespace

CAdjustDialog::CAdjustDialog(CommandHost& host, const QString& from, const QString& to,
                             QWidget* parent)
    : QDialog(parent), m_host(host) {
  setObjectName(QStringLiteral("adjustDialog"));
  setWindowTitle(QStringLiteral("Adjust Data"));

  auto* dates = new QGroupBox(QStringLiteral("Dates"), this);
  m_from = MakeField<CDateEdit>(dates, "fromDateEdit");
  m_to = MakeField<CDateEdit>(dates, "toDateEdit");
  auto* datesLayout = new QFormLayout(dates);
  datesLayout->addRow(QStringLiteral("From:"), m_from);
  datesLayout->addRow(QStringLiteral("To:"), m_to);

  auto* multipliers = new QGroupBox(QStringLiteral("Multipliers"), this);
  m_price = MakeField<CNumberEdit>(multipliers, "priceEdit");
  m_volume = MakeField<CNumberEdit>(multipliers, "volumeEdit");
  // A plain field: it takes any character, the OK check reads what it holds.
  m_openInterest = MakeField<QLineEdit>(multipliers, "openInterestEdit");
  auto* multipliersLayout = new QFormLayout(multipliers);
  multipliersLayout->addRow(QStringLiteral("Price"), m_price);
  multipliersLayout->addRow(QStringLiteral("Volume"), m_volume);
  multipliersLayout->addRow(QStringLiteral("Open Interest"), m_openInterest);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->setObjectName(QStringLiteral("buttonBox"));
  connect(buttons, &QDialogButtonBox::accepted, this, &CAdjustDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CAdjustDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(dates);
  layout->addWidget(multipliers);
  layout->addWidget(buttons);

  m_from->setText(from);
  m_to->setText(to);
  for (QLineEdit* edit :
       {static_cast<QLineEdit*>(m_price), static_cast<QLineEdit*>(m_volume), m_openInterest})
    edit->setText(QStringLiteral("1"));
  m_from->setBuffer(m_from->text());
  m_to->setBuffer(m_to->text());
  ledgrix::commands::SelectTextOnFocus(*this);
}

QString CAdjustDialog::fromDate() const {
  return m_from->text();
}
QString CAdjustDialog::toDate() const {
  return m_to->text();
}
QString CAdjustDialog::price() const {
  return m_price->text();
}
QString CAdjustDialog::volume() const {
  return m_volume->text();
}
QString CAdjustDialog::openInterest() const {
  return m_openInterest->text();
}

void CAdjustDialog::accept() {
  ledgrix::commands::EntryCheck check;
  check.dates << fromDate() << toDate();
  check.factors << price() << openInterest() << volume();
  if (ledgrix::commands::EntriesPass(m_host, check))
    QDialog::accept();
}
