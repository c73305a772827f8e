#include "about/static_link.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPicture>
#include <QUrl>
#include <utility>

namespace {
constexpr int kClickPauseMs = 1000;

CStaticLink::Opener& CurrentOpener() {
  static CStaticLink::Opener opener = [](const QUrl& url) {
    return QDesktopServices::openUrl(url);
  };
  return opener;
}
}  // namespace

CStaticLink::ScopedOpener::ScopedOpener(Opener opener)
    : previous_(std::exchange(CurrentOpener(), std::move(opener))) {}

CStaticLink::ScopedOpener::~ScopedOpener() {
  CurrentOpener() = std::move(previous_);
}

CStaticLink::CStaticLink(QWidget* parent) : CStaticLink(QString(), parent) {}

CStaticLink::CStaticLink(const QString& text, QWidget* parent) : QLabel(text, parent) {
  setMouseTracking(true);
  m_pauseTimer.setSingleShot(true);
  m_pauseTimer.setInterval(kClickPauseMs);
  connect(&m_pauseTimer, &QTimer::timeout, this, &CStaticLink::OnPauseEnd);
}

void CStaticLink::setVisitedFlag(int* flag) {
  m_pVisitedFlag = flag != nullptr ? flag : &m_unownedFlag;
  update();
}

QColor CStaticLink::linkColor() const {
  return isVisited() ? m_visitedColor : m_normalColor;
}

bool CStaticLink::IsTextLabel() const {
  return pixmap().isNull() && picture().isNull() && movie() == nullptr;
}

void CStaticLink::paintEvent(QPaintEvent* event) {
  // Pictures, icons and movies are painted as any label paints them.
  if (!IsTextLabel()) {
    QLabel::paintEvent(event);
    return;
  }
  if (!m_underlineFont) {
    QFont underlined = font();
    underlined.setUnderline(true);
    m_underlineFont = underlined;
  }
  QPainter painter(this);
  drawFrame(&painter);
  painter.setFont(*m_underlineFont);
  painter.setPen(linkColor());
  const int margin = this->margin();
  const QRect area = contentsRect().adjusted(margin, margin, -margin, -margin);
  const int flags = static_cast<int>(alignment()) | (wordWrap() ? Qt::TextWordWrap : 0);
  painter.drawText(area, flags, text());
}

void CStaticLink::TrackPointer(bool inside) {
  // For a second after a click the link ignores the pointer.
  if (m_bClickPause)
    return;
  if (!m_bCaptured && inside) {
    m_bCaptured = true;
    setCursor(Qt::PointingHandCursor);
  }
  if (m_bCaptured && !inside) {
    m_bCaptured = false;
    setCursor(Qt::ArrowCursor);
  }
}

void CStaticLink::mouseMoveEvent(QMouseEvent* event) {
  QLabel::mouseMoveEvent(event);
  TrackPointer(rect().contains(event->position().toPoint()));
}

void CStaticLink::enterEvent(QEnterEvent* event) {
  QLabel::enterEvent(event);
  TrackPointer(rect().contains(event->position().toPoint()));
}

void CStaticLink::leaveEvent(QEvent* event) {
  QLabel::leaveEvent(event);
  TrackPointer(false);
}

void CStaticLink::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
    OnClick();
}

void CStaticLink::OnClick() {
  if (m_linkTarget.isEmpty())
    m_linkTarget = text();
  const QString mailMark = QString::fromLatin1(ledgrix::about::kMailboxPart) + QLatin1Char('@');
  const QString mailto = QStringLiteral("mailto:");
  if (m_linkTarget.contains(mailMark) && !m_linkTarget.startsWith(mailto))
    m_linkTarget.prepend(mailto);

  m_bCaptured = false;
  m_bClickPause = true;
  m_pauseTimer.start();

  const QUrl url(m_linkTarget, QUrl::TolerantMode);
  const bool opened = !m_linkTarget.isEmpty() && url.isValid() && CurrentOpener()(url);
  if (opened) {
    *m_pVisitedFlag = 1;
    setCursor(Qt::ArrowCursor);
    update();
  } else {
    QApplication::beep();
  }
}

void CStaticLink::OnPauseEnd() {
  m_pauseTimer.stop();
  m_bClickPause = false;
}
