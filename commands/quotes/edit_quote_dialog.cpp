#include "commands/quotes/edit_quote_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "commands/command_host.h"
#include "commands/entry_focus.h"
#include "commands/quotes/entry_check.h"
#include "commands/quotes/number_edit.h"

namespace {

constexpr int kValueLimit = 16;
constexpr int kDateLimit = 8;

struct ValueField {
  const char* label;
  const char* objectName;
};
constexpr std::array<ValueField, 6> kValueFields = {{{"Open:", "openEdit"},
                                                     {"High:", "highEdit"},
                                                     {"Low:", "lowEdit"},
                                                     {"Close:", "closeEdit"},
                                                     {"Volume:", "volumeEdit"},
                                                     {"Open Interest:", "openInterestEdit"}}};

QPushButton* NavigationButton(const char* text, const char* objectName, QWidget* parent) {
  auto* button = new QPushButton(QString::fromLatin1(text), parent);
  button->setObjectName(QString::fromLatin1(objectName));
  button->setAutoDefault(false);  // Enter keeps meaning OK
  button->setEnabled(false);
  return button;
}

}  // namespace

CEditQuoteDialog::CEditQuoteDialog(CommandHost& host, const std::array<bool, 6>& fieldHeld,
                                   bool intraday, QWidget* parent)
    : QDialog(parent), m_host(host), m_fieldHeld(fieldHeld), m_intraday(intraday) {
  setObjectName(QStringLiteral("editQuoteDialog"));
  setWindowTitle(QStringLiteral("Edit Selected Quote"));

  auto* form = new QFormLayout;
  m_date = new QLabel(this);
  m_date->setObjectName(QStringLiteral("dateText"));
  form->addRow(QStringLiteral("Date:"), m_date);
  for (std::size_t i = 0; i < m_values.size(); ++i) {
    m_values[i] = new CNumberEdit(this);
    m_values[i]->setObjectName(QString::fromLatin1(kValueFields[i].objectName));
    m_values[i]->setMaxLength(kValueLimit);
    form->addRow(QString::fromLatin1(kValueFields[i].label), m_values[i]);
  }

  m_previous = NavigationButton("Previous", "previousButton", this);
  m_next = NavigationButton("Next", "nextButton", this);
  m_first = NavigationButton("First", "firstButton", this);
  m_last = NavigationButton("Last", "lastButton", this);
  auto* steps = new QHBoxLayout;
  for (QPushButton* button : {m_previous, m_next, m_first, m_last})
    steps->addWidget(button);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->setObjectName(QStringLiteral("buttonBox"));
  m_ok = buttons->button(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &CEditQuoteDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CEditQuoteDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(steps);
  layout->addWidget(buttons);

  // Rows run newest first: Previous goes to the older quote, Next to the newer one.
  connect(m_first, &QPushButton::clicked, this, [this] { StepTo(m_host.quoteRowCount() - 1); });
  connect(m_last, &QPushButton::clicked, this, [this] { StepTo(0); });
  connect(m_next, &QPushButton::clicked, this, [this] {
    const int row = m_host.selQuoteRow();
    StepTo(row > 0 ? row - 1 : row);
  });
  connect(m_previous, &QPushButton::clicked, this, [this] {
    const int row = m_host.selQuoteRow();
    StepTo(row < m_host.quoteRowCount() - 1 ? row + 1 : row);
  });
  Fill();
  ledgrix::commands::SelectTextOnFocus(*this);
}

void CEditQuoteDialog::StepTo(int row) {
  // Whatever was typed is dropped: the dialog shows the grid's texts of the new row. The view's
  // current row follows; the grid's highlight stays where it was.
  m_host.setCurrentQuoteRow(row);
  Fill();
}

bool CEditQuoteDialog::SharesItsDate(int row) const {
  if (!m_intraday)
    return false;
  // Rows run in file order, so the quotes of one date are neighbours.
  const QString date = m_host.quoteCellText(row, 0);
  return (row > 0 && m_host.quoteCellText(row - 1, 0) == date) ||
         (row + 1 < m_host.quoteRowCount() && m_host.quoteCellText(row + 1, 0) == date);
}

void CEditQuoteDialog::Fill() {
  const int row = m_host.selQuoteRow();
  m_date->setText(m_host.quoteCellText(row, 0).left(kDateLimit));
  for (std::size_t i = 0; i < m_values.size(); ++i)
    m_values[i]->setText(m_host.quoteCellText(row, static_cast<int>(i) + 1));
  const bool newer = row != 0;
  const bool older = row + 1 != m_host.quoteRowCount();
  m_next->setEnabled(newer);
  m_last->setEnabled(newer);
  m_previous->setEnabled(older);
  m_first->setEnabled(older);
  // Nothing can be typed for a date of several quotes: a step took the dialog there.
  const bool editable = !SharesItsDate(row);
  for (CNumberEdit* value : m_values)
    value->setEnabled(editable);
  m_ok->setEnabled(editable);
}

ledgrix::maintenance::EditEntries CEditQuoteDialog::entries() const {
  ledgrix::maintenance::EditEntries e;
  e.date = m_date->text().toStdString();
  std::array<std::string*, 6> targets = {&e.open,  &e.high,   &e.low,
                                         &e.close, &e.volume, &e.openInterest};
  for (std::size_t i = 0; i < targets.size(); ++i)
    *targets[i] = m_values[i]->text().toStdString();
  return e;
}

void CEditQuoteDialog::accept() {
  if (!m_ok->isEnabled())
    return;
  // Only the fields the file holds must hold a number; "N/A" elsewhere is left alone.
  ledgrix::commands::EntryCheck check;
  for (std::size_t i = 0; i < m_values.size(); ++i)
    if (m_fieldHeld[i])
      check.numbers << m_values[i]->text();
  if (ledgrix::commands::EntriesPass(m_host, check))
    QDialog::accept();
}
