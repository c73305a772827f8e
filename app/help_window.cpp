#include "app/help_window.h"

#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

CHelpWindow::CHelpWindow(QWidget* parent) : QDialog(parent, Qt::Window) {
  setObjectName(QStringLiteral("helpWindow"));
  setWindowTitle(QStringLiteral("Ledgrix Help"));
  m_browser = new QTextBrowser(this);
  m_browser->setObjectName(QStringLiteral("helpBrowser"));
  m_browser->setOpenExternalLinks(true);
  m_browser->setSource(QUrl(QStringLiteral("qrc:/help/guide.html")));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(m_browser);
  resize(640, 560);
}
