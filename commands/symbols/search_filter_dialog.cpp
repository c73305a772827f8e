#include "commands/symbols/search_filter_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

#include "commands/entry_focus.h"
#include "maintenance/prompt.h"

CSearchFilterDialog::CSearchFilterDialog(bool limit, const QString& path, bool masterFix,
                                         std::function<bool(const QString&)> isOnListedVolume,
                                         ledgrix::maintenance::Prompt& prompt, QWidget* parent)
    : QDialog(parent),
      m_isOnListedVolume(std::move(isOnListedVolume)),
      m_prompt(prompt),
      m_limitCheck(new QCheckBox(
          QStringLiteral("Only search for Portfolios in paths like that below"), this)),
      m_pathEdit(new QLineEdit(this)),
      m_masterFixCheck(new QCheckBox(QStringLiteral("Automatically repair bad Masters"), this)),
      m_limit(limit),
      m_path(path),
      m_masterFix(masterFix) {
  setObjectName(QStringLiteral("searchFilterDialog"));
  setWindowTitle(QStringLiteral("Portfolio Search Filter"));

  m_limitCheck->setObjectName(QStringLiteral("limitCheck"));
  m_limitCheck->setChecked(limit);
  m_pathEdit->setObjectName(QStringLiteral("pathEdit"));
  m_pathEdit->setText(path);
  m_pathEdit->setEnabled(limit);
  m_masterFixCheck->setObjectName(QStringLiteral("masterFixCheck"));
  m_masterFixCheck->setChecked(masterFix);
  connect(m_limitCheck, &QCheckBox::clicked, this, &CSearchFilterDialog::OnLimitClicked);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->setObjectName(QStringLiteral("buttons"));
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &CSearchFilterDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_limitCheck);
  layout->addWidget(m_pathEdit);
  layout->addWidget(m_masterFixCheck);
  layout->addWidget(buttons);
  ledgrix::commands::SelectTextOnFocus(*this);
}

void CSearchFilterDialog::ReadFields() {
  m_limit = m_limitCheck->isChecked();
  m_path = m_pathEdit->text();
  m_masterFix = m_masterFixCheck->isChecked();
}

void CSearchFilterDialog::OnLimitClicked() {
  ReadFields();
  m_pathEdit->setEnabled(m_limit);
}

void CSearchFilterDialog::accept() {
  ReadFields();
  // Without the limit the path is only kept; with it, it must lie on a volume the scan can walk.
  if (m_limit && !m_isOnListedVolume(m_path)) {
    m_prompt.Message("The Search Filter path refers to an unknown drive");
    return;
  }
  QDialog::accept();
}
