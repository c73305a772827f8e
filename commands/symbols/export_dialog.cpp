#include "commands/symbols/export_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "commands/entry_focus.h"

namespace {
constexpr int kMaxPathLength = 200;
}  // namespace

CExportDialog::CExportDialog(const ExportChoices& choices, QWidget* parent)
    : QDialog(parent),
      m_choices(choices),
      m_chooseFile(&CExportDialog::ChooseSaveFile),
      m_pathEdit(new QLineEdit(this)) {
  setObjectName(QStringLiteral("exportDialog"));
  setWindowTitle(QStringLiteral("Export"));

  m_pathEdit->setObjectName(QStringLiteral("pathEdit"));
  SetPathText(choices.path);
  auto* browse = new QPushButton(QStringLiteral("Browse..."), this);
  browse->setObjectName(QStringLiteral("browseButton"));
  browse->setAutoDefault(false);
  connect(browse, &QPushButton::clicked, this, &CExportDialog::OnBrowse);
  auto* pathRow = new QHBoxLayout;
  pathRow->addWidget(m_pathEdit, 1);
  pathRow->addWidget(browse);

  auto* delimiterBox = new QGroupBox(QStringLiteral("Column Delimiters"), this);
  delimiterBox->setObjectName(QStringLiteral("delimiterGroup"));
  m_delimiterGroup = RadioGroup(
      {QStringLiteral("Space"), QStringLiteral("Comma"), QStringLiteral("Tab")},
      {QStringLiteral("spaceRadio"), QStringLiteral("commaRadio"), QStringLiteral("tabRadio")},
      choices.delimiter, delimiterBox);

  auto* omitBox = new QGroupBox(QStringLiteral("Omit these columns"), this);
  omitBox->setObjectName(QStringLiteral("omitGroup"));
  const QStringList omitTexts = {QStringLiteral("Open"),   QStringLiteral("High"),
                                 QStringLiteral("Low"),    QStringLiteral("Close"),
                                 QStringLiteral("Volume"), QStringLiteral("Open Interest")};
  const QStringList omitNames = {QStringLiteral("omitOpenCheck"), QStringLiteral("omitHighCheck"),
                                 QStringLiteral("omitLowCheck"),  QStringLiteral("omitCloseCheck"),
                                 QStringLiteral("omitVolCheck"),  QStringLiteral("omitOICheck")};
  auto* omitLayout = new QGridLayout(omitBox);
  for (int i = 0; i < 6; ++i) {
    auto* check = new QCheckBox(omitTexts.at(i), omitBox);
    check->setObjectName(omitNames.at(i));
    check->setChecked(choices.omit[static_cast<std::size_t>(i)]);
    m_omitChecks[static_cast<std::size_t>(i)] = check;
    omitLayout->addWidget(check, i % 3, i / 3);
  }

  auto* titleBox = new QGroupBox(QStringLiteral("Title"), this);
  titleBox->setObjectName(QStringLiteral("titleGroup"));
  m_titleCheck = new QCheckBox(QStringLiteral("Add title row"), titleBox);
  m_titleCheck->setObjectName(QStringLiteral("titleCheck"));
  m_titleCheck->setChecked(choices.title);
  (new QVBoxLayout(titleBox))->addWidget(m_titleCheck);

  auto* orderBox = new QGroupBox(QStringLiteral("Order"), this);
  orderBox->setObjectName(QStringLiteral("orderGroup"));
  m_orderGroup = RadioGroup(
      {QStringLiteral("Oldest quote first"), QStringLiteral("Newest quote first")},
      {QStringLiteral("oldestRadio"), QStringLiteral("newestRadio")}, choices.order, orderBox);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->setObjectName(QStringLiteral("buttons"));
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &CExportDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* grid = new QGridLayout;
  grid->addWidget(delimiterBox, 0, 0);
  grid->addWidget(omitBox, 0, 1, 2, 1);
  grid->addWidget(titleBox, 1, 0);
  grid->addWidget(orderBox, 2, 0, 1, 2);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(pathRow);
  layout->addLayout(grid);
  layout->addWidget(buttons);
  ledgrix::commands::SelectTextOnFocus(*this);
}

QButtonGroup* CExportDialog::RadioGroup(const QStringList& texts, const QStringList& names,
                                        int checked, QWidget* box) {
  auto* group = new QButtonGroup(box);
  auto* layout = new QVBoxLayout(box);
  for (int i = 0; i < texts.size(); ++i) {
    auto* radio = new QRadioButton(texts.at(i), box);
    radio->setObjectName(names.at(i));
    group->addButton(radio, i);
    layout->addWidget(radio);
  }
  // An index outside the group (a stored 7, say) leaves every button clear.
  if (QAbstractButton* button = group->button(checked))
    button->setChecked(true);
  return group;
}

void CExportDialog::ReadFields() {
  m_choices.path = m_pathEdit->text();
  m_choices.delimiter = m_delimiterGroup->checkedId();
  for (std::size_t i = 0; i < m_omitChecks.size(); ++i)
    m_choices.omit[i] = m_omitChecks[i]->isChecked();
  m_choices.title = m_titleCheck->isChecked();
  m_choices.order = m_orderGroup->checkedId();
}

void CExportDialog::OnBrowse() {
  ReadFields();
  const QString chosen = m_chooseFile ? m_chooseFile(this, m_choices.path) : QString();
  if (chosen.isEmpty())
    return;
  m_choices.path = chosen;
  SetPathText(chosen);
}

void CExportDialog::SetPathText(const QString& text) {
  // Typing stops at 200 characters; a longer path that was chosen is kept whole, since a cut
  // path would name another file.
  m_pathEdit->setMaxLength(std::max(kMaxPathLength, static_cast<int>(text.size())));
  m_pathEdit->setText(text);
}

void CExportDialog::accept() {
  ReadFields();
  QDialog::accept();
}

QString CExportDialog::ChooseSaveFile(QWidget* parent, const QString& current) {
  QFileDialog dialog(parent);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite);  // the export asks itself
  dialog.setDefaultSuffix(QStringLiteral("txt"));
  dialog.setNameFilters({QStringLiteral("Text Files (*.txt)"), QStringLiteral("All Files (*)")});
  dialog.selectFile(current);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
    return {};
  return dialog.selectedFiles().front();
}
