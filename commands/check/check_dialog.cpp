// The findings window of the portfolio check.
#include "commands/check/check_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "commands/command_host.h"
#include "commands/correction_step.h"
#include "commands/symbols/record_text.h"
#include "formats/dates.h"
#include "maintenance/check_fixes.h"
#include "maintenance/messages.h"
#include "maintenance/prompt.h"

namespace ledgrix::commands {

CCheckDialog::CCheckDialog(CommandHost& host, maintenance::CheckResult result, QWidget* parent)
    : QDialog(parent), m_host(host), m_dir(host.portfolioDir()), m_result(std::move(result)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setObjectName(QStringLiteral("checkDialog"));
  setWindowTitle(QString::fromLatin1(maintenance::kCheckTitle) + QStringLiteral(" - ") + m_dir);
  resize(760, 420);

  m_summary = new QLabel(this);
  m_summary->setObjectName(QStringLiteral("summaryText"));
  m_list = new QTreeWidget(this);
  m_list->setObjectName(QStringLiteral("findingsList"));
  m_list->setHeaderLabels(
      {QStringLiteral("Where"), QStringLiteral("Kind"), QStringLiteral("Detail")});
  m_list->setRootIsDecorated(false);
  m_list->setUniformRowHeights(true);
  m_list->setSortingEnabled(true);
  m_list->header()->setStretchLastSection(true);
  // Enter activates; a double-click activates only where the style says so.
  for (auto signal : {&QTreeWidget::itemActivated, &QTreeWidget::itemDoubleClicked})
    connect(m_list, signal, this, [this](QTreeWidgetItem* item) { ShowFinding(item); });

  auto* tickLabel = new QLabel(QStringLiteral("&Bad tick: a close off both neighbours by"), this);
  m_tick = new QSpinBox(this);
  m_tick->setObjectName(QStringLiteral("tickPercent"));
  m_tick->setRange(1, 1000);
  m_tick->setSuffix(QStringLiteral(" %"));
  m_tick->setValue(StoredTickPercent(host));
  tickLabel->setBuddy(m_tick);
  connect(m_tick, &QSpinBox::valueChanged, this,
          [this](int percent) { StoreTickPercent(m_host, percent); });
  auto* again = new QPushButton(QStringLiteral("Check &Again"), this);
  again->setObjectName(QStringLiteral("checkAgainButton"));
  connect(again, &QPushButton::clicked, this, &CCheckDialog::CheckAgain);
  m_fix = new QPushButton(QStringLiteral("Apply &Safe Fixes..."), this);
  m_fix->setObjectName(QStringLiteral("fixButton"));
  connect(m_fix, &QPushButton::clicked, this, &CCheckDialog::ApplyFixes);
  auto* close = new QPushButton(QStringLiteral("Close"), this);
  close->setObjectName(QStringLiteral("closeButton"));
  connect(close, &QPushButton::clicked, this, &QDialog::close);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(tickLabel);
  buttons->addWidget(m_tick);
  buttons->addWidget(again);
  buttons->addStretch(1);
  buttons->addWidget(m_fix);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_summary);
  layout->addWidget(m_list, 1);
  layout->addLayout(buttons);
  Fill();
}

void CCheckDialog::Fill() {
  m_list->setSortingEnabled(false);
  m_list->clear();
  std::size_t fixable = 0;
  for (std::size_t i = 0; i < m_result.findings.size(); ++i) {
    const maintenance::Finding& f = m_result.findings[i];
    auto* item = new QTreeWidgetItem(
        m_list, {FromWindows1252(f.where), QString::fromLatin1(FindingKindText(f.kind)),
                 FromWindows1252(f.detail)});
    item->setData(0, Qt::UserRole, static_cast<qulonglong>(i));
    fixable += f.fixable;
  }
  m_list->setSortingEnabled(true);
  for (int column = 0; column < 2; ++column)
    m_list->resizeColumnToContents(column);
  QString summary =
      m_result.findings.empty()
          ? QString::fromLatin1(maintenance::kCheckFoundNothing)
          : QString::fromStdString(maintenance::CheckSummary(m_result.findings.size(), fixable));
  if (m_result.incomplete)
    summary += QStringLiteral(". A file could not be read: check again before fixing.");
  m_summary->setText(summary);
  m_fix->setEnabled(m_result.hasFixes());
}

void CCheckDialog::CheckAgain() {
  maintenance::CheckResult result;
  if (!RunCheck(m_host, m_dir, m_tick->value(), result))
    return;
  m_result = std::move(result);
  RememberCheck(m_dir, m_result);
  Fill();
  if (m_host.portfolioDir() == m_dir)
    m_host.FillQuotesGrid(m_host.selQuoteRow());
}

void CCheckDialog::ApplyFixes() {
  const std::vector<std::string> fixes = maintenance::SafeFixLines(m_result);
  maintenance::Prompt& prompt = m_host.prompt();
  if (!prompt.AskYesNo(maintenance::SafeFixesQuestion(m_dir.toStdString(), fixes)))
    return;
  maintenance::FixOutcome outcome;
  {
    CorrectionStep step(m_host, maintenance::kSafeFixesTitle);
    if (!step.ready())
      return;
    outcome = maintenance::ApplySafeFixes(FsPath(m_dir), m_result);
  }
  if (!outcome.ok()) {
    std::string text = "Some fixes were not made:";
    for (const std::string& failure : outcome.failures)
      text += "\n" + failure;
    prompt.Message(text, maintenance::PromptIcon::kWarning);
  }
  if (m_host.portfolioDir() == m_dir)
    m_host.FillSymbolsGrid(m_host.selSymbolRow());
  CheckAgain();
}

void CCheckDialog::ShowFinding(QTreeWidgetItem* item) {
  const auto index = item->data(0, Qt::UserRole).toULongLong();
  if (index >= m_result.findings.size() || m_host.portfolioDir() != m_dir)
    return;
  const maintenance::Finding& f = m_result.findings[index];
  if (f.key.fileNumber == 0)
    return;
  for (int row = 0; row < m_host.symbolRowCount(); ++row) {
    if (m_host.symbolKey(row) != f.key)
      continue;
    if (row != m_host.selSymbolRow() || m_host.quoteRowCount() == 0)
      m_host.FillSymbolsGrid(row);
    const QString date = QString::fromStdString(formats::DisplayDate(f.date));
    for (int quote = 0; f.date != 0 && quote < m_host.quoteRowCount(); ++quote) {
      if (m_host.quoteCellText(quote, 0) == date) {
        m_host.setSelQuoteRow(quote);
        break;
      }
    }
    return;
  }
}

}  // namespace ledgrix::commands
