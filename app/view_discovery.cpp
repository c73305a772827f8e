// Portfolio discovery: the volume list, the walk with its progress window, the portfolio list.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QListWidget>

#include "app/ledgrix_view.h"
#include "app/searching_dialog.h"
#include "app/settings_store.h"
#include "app/volume_list.h"
#include "app/wait_cursor.h"
#include "maintenance/prompt.h"
#include "platform/portfolio_walk.h"

namespace {

QString MasterOf(const QString& dir) {
  return QString::fromStdString(ledgrix::platform::MasterPathOf(dir.toStdString()));
}

}  // namespace

void CLedgrixView::InitialScan() {
  const QStringList roots = m_volumes.Roots();
  m_driveCombo->clear();
  m_driveCombo->addItems(roots);
  QString wanted = m_settings.GetString(QStringLiteral("Settings"), QStringLiteral("Drive"), {});
  if (wanted.isEmpty())
    wanted = VolumeOf(roots, QDir::currentPath());
  int match = -1;
  for (int i = 0; i < roots.size(); ++i) {
    if (QDir::cleanPath(roots[i]) == QDir::cleanPath(wanted)) {
      match = i;
      break;
    }
  }
  // A stored volume that is gone: the last one is walked, and none is shown as selected.
  const int taken = match >= 0 ? match : static_cast<int>(roots.size()) - 1;
  m_drive = taken >= 0 ? roots[taken] : QString();
  m_settings.SetString(QStringLiteral("Settings"), QStringLiteral("Drive"), m_drive);
  m_driveCombo->setCurrentIndex(match);
  ScanDrive();
}

void CLedgrixView::OnDriveChange() {
  const QString chosen = m_driveCombo->currentText();
  if (chosen == m_drive)
    return;
  m_drive = chosen;
  m_settings.SetString(QStringLiteral("Settings"), QStringLiteral("Drive"), m_drive);
  ResetView(1);
  ScanDrive();
}

void CLedgrixView::ScanDrive() {
  ResetView(2);
  CWaitCursor wait;
  m_searchingDialog = new CSearchingDialog(window());
  m_mastersFound = 0;
  m_searchingDialog->SetCountText(QStringLiteral("0"));
  m_searchingDialog->Open();

  ledgrix::platform::WalkFilter filter;
  filter.limit = m_limitSearch != 0;
  filter.filterUpper = ledgrix::platform::UpperAscii(m_searchFilter.toStdString());
  CSearchProgress progress(m_searchingDialog, &m_mastersFound);
  std::vector<std::string> found;
  if (!m_drive.isEmpty() && m_drive != QStringLiteral("?"))
    found = ledgrix::platform::WalkDrive(m_drive.toStdString(), filter, &progress);
  m_searchingDialog->Refresh(true);

  QApplication::beep();
  m_searchingDialog->close();
  delete m_searchingDialog;
  m_searchingDialog = nullptr;

  if (found.empty()) {
    m_portfoliosFound = false;
    Q_EMIT stateChanged();
    m_prompt.Message(("No master files found on drive " + m_drive.toStdString() +
                      "\n\n(Is your Portfolio Search Filter setting correct?)"));
    return;
  }
  m_portfoliosFound = true;
  m_fillingPortfolioList = true;
  for (const std::string& dir : found)
    AddPortfolioSorted(QString::fromStdString(dir));
  m_portfolioList->setCurrentRow(0);
  m_fillingPortfolioList = false;
  SelectPortfolio(MasterOf(m_portfolioList->item(0)->text()));
  FillSymbolsGrid(0);
}

void CLedgrixView::AddPortfolioSorted(const QString& path) {
  int at = 0;
  while (at < m_portfolioList->count() &&
         QString::compare(m_portfolioList->item(at)->text(), path, Qt::CaseInsensitive) <= 0)
    ++at;
  m_portfolioList->insertItem(at, path);
}

void CLedgrixView::OnPortfolioChange() {
  if (!m_portfoliosFound)
    return;
  const QListWidgetItem* item = m_portfolioList->currentItem();
  if (!item)
    return;
  SelectPortfolio(MasterOf(item->text()));
  FillSymbolsGrid(0);
}

void CLedgrixView::rescanVolumeOf(const QString& path) {
  const QString volume = VolumeOf(m_volumes.Roots(), path);
  // A path on no listed volume leaves the list with no selection, and nothing is walked.
  m_driveCombo->setCurrentIndex(volume.isEmpty() ? -1 : m_driveCombo->findText(volume));
  // Forces the walk even when the volume is the current one.
  m_drive = QStringLiteral("?");
  OnDriveChange();
}
