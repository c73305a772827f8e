#include "app/searching_dialog.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QScreen>

namespace {
constexpr int kRefreshMs = 40;
}

CSearchingDialog::CSearchingDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName(QStringLiteral("searchingDialog"));
  setWindowTitle(QStringLiteral("Searching for Master Files"));
  setModal(false);
  m_path = new QLabel(QStringLiteral("..."), this);
  m_path->setObjectName(QStringLiteral("pathText"));
  m_path->setMinimumWidth(fontMetrics().averageCharWidth() * 56);
  m_path->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  auto* label = new QLabel(QStringLiteral("Number of Master files found:"), this);
  m_count = new QLabel(this);
  m_count->setObjectName(QStringLiteral("countText"));
  m_count->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  m_count->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000")));
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(14, 14, 14, 14);
  layout->setVerticalSpacing(14);
  layout->setHorizontalSpacing(8);
  layout->addWidget(m_path, 0, 0, 1, 4);
  layout->setColumnStretch(0, 1);
  layout->addWidget(label, 1, 1);
  layout->addWidget(m_count, 1, 2);
  layout->setColumnStretch(3, 1);
  m_sinceRefresh.start();
}

void CSearchingDialog::Open() {
  adjustSize();
  if (const QScreen* screen = QApplication::primaryScreen()) {
    const QRect area = screen->geometry();
    move((area.width() - width()) / 2, (area.height() - height()) / 2);
  }
  show();
  Refresh(true);
}

void CSearchingDialog::SetPathText(const QString& path) {
  m_pathText = path;
  m_dirty = true;
}

void CSearchingDialog::SetCountText(const QString& count) {
  m_countText = count;
  m_dirty = true;
}

void CSearchingDialog::Refresh(bool force) {
  if (!force && m_sinceRefresh.elapsed() < kRefreshMs)
    return;
  m_sinceRefresh.restart();
  if (m_dirty || force) {
    m_path->setText(
        m_path->fontMetrics().elidedText(m_pathText, Qt::ElideMiddle, qMax(m_path->width(), 100)));
    m_count->setText(m_countText);
    m_dirty = false;
  }
  // Let the window appear and repaint; the user's input waits for the end of the walk.
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void CSearchProgress::EnterDirectory(const std::string& dir) {
  if (!m_dialog)
    return;
  m_dialog->SetPathText(QString::fromStdString(dir));
  m_dialog->Refresh();
}

void CSearchProgress::FoundMaster(const std::string&, int mastersFound) {
  *m_mastersFound = mastersFound;
  if (!m_dialog)
    return;
  m_dialog->SetCountText(QString::number(mastersFound));
  m_dialog->Refresh();
}
