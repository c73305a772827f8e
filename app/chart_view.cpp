#include "app/chart_view.h"

#include <QApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>
#include <cmath>

#include "app/chart_marks.h"

namespace {
// How close to a mark the pointer must rest to show its text.
constexpr int kMarkReach = 4;
// One notch of the wheel zooms by this much.
constexpr double kZoomPerNotch = 1.25;
// One notch sideways moves the content this many pixels.
constexpr double kPanPerNotch = 40.0;
}  // namespace

CChartView::CChartView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("chart"));
  setMinimumSize(160, 90);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setCursor(Qt::CrossCursor);
  LayOut();
}

void CChartView::SetSeries(const ChartData& columns, const QString& key, const QString& title) {
  m_series.Set(columns);
  if (key == m_key)
    m_span.Keep(columns.count());
  else
    m_span.Reset(columns.count());
  m_key = key;
  m_scene.title = title;
  m_scene.marks.clear();
  m_scene.selected = -1;
  LayOut();
  update();
}

void CChartView::Clear() {
  m_series.Clear();
  m_scene.title.clear();
  m_scene.marks.clear();
  m_scene.selected = -1;
  LayOut();
  update();
}

void CChartView::SetMarks(std::vector<ChartMark> marks) {
  m_scene.marks = ResolveMarks(std::move(marks), m_series.data());
  update();
}

void CChartView::SetSelected(int index) {
  m_scene.selected = index >= 0 && index < m_series.count() ? index : -1;
  m_span.Reveal(m_scene.selected);
  update();
}

void CChartView::LayOut() {
  m_layout = LayOutChart(rect(), font(), m_series);
  m_span.SetWidth(m_layout.dataWidth);
}

int CChartView::XOfQuote(int i) const {
  return m_layout.dataLeft + static_cast<int>(std::floor(m_span.XOf(i + 0.5)));
}

QString CChartView::MarkTextAt(const QPoint& pos) const {
  if (!m_layout.plot().contains(pos))
    return {};
  const auto [begin, end] = m_span.VisibleQuotes();
  QStringList texts;
  for (const ChartMark& m : m_scene.marks) {
    if (m.quoteIndex >= begin && m.quoteIndex < end &&
        std::abs(XOfQuote(m.quoteIndex) - pos.x()) <= kMarkReach && !texts.contains(m.text))
      texts.append(m.text);
  }
  return texts.join(QLatin1Char('\n'));
}

bool CChartView::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    const auto* help = static_cast<QHelpEvent*>(event);
    const QString text = MarkTextAt(help->pos());
    if (text.isEmpty())
      QToolTip::hideText();
    else
      QToolTip::showText(help->globalPos(), text, this);
    return true;
  }
  return QWidget::event(event);
}

void CChartView::paintEvent(QPaintEvent*) {
  // Drawn into an image of our own, whose pixels the chart may write directly, then shown.
  const qreal ratio = devicePixelRatioF();
  const QSize pixels = (QSizeF(size()) * ratio).toSize();
  if (m_canvas.size() != pixels)
    m_canvas = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
  m_canvas.setDevicePixelRatio(ratio);
  PaintChart(m_canvas, m_layout, m_series, m_span, m_scene);
  QPainter(this).drawImage(0, 0, m_canvas);
}

void CChartView::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::FontChange)
    LayOut();
}

void CChartView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayOut();
}

void CChartView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton)
    return;
  m_pressed = true;
  m_dragging = false;
  m_pressAt = event->position().toPoint();
  m_dragX = event->position().x();
}

void CChartView::mouseMoveEvent(QMouseEvent* event) {
  if (!m_pressed)
    return;
  if (!m_dragging && (event->position().toPoint() - m_pressAt).manhattanLength() <
                         QApplication::startDragDistance())
    return;
  if (!m_dragging)
    setCursor(Qt::ClosedHandCursor);
  m_dragging = true;
  m_span.PanBy(event->position().x() - m_dragX);
  m_dragX = event->position().x();
  update();
}

void CChartView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !m_pressed)
    return;
  m_pressed = false;
  const bool clicked = !m_dragging && !m_afterDoubleClick;
  m_afterDoubleClick = false;
  if (m_dragging)
    setCursor(Qt::CrossCursor);
  m_dragging = false;
  const QPoint at = event->position().toPoint();
  if (clicked && m_layout.plot().contains(at) && m_series.count() > 0)
    Q_EMIT quoteClicked(m_span.QuoteAt(at.x() - m_layout.dataLeft));
}

void CChartView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton)
    return;
  // The release that follows belongs to the double-click, not to a click of its own.
  m_pressed = true;
  m_afterDoubleClick = true;
  m_span.ShowAll();
  update();
}

void CChartView::wheelEvent(QWheelEvent* event) {
  const QPoint angle = event->angleDelta();
  if (angle.isNull() || m_series.count() == 0) {
    event->ignore();
    return;
  }
  // A sideways swipe (a touchpad's) moves through time; the wheel zooms.
  if (std::abs(angle.x()) > std::abs(angle.y())) {
    const QPoint pixels = event->pixelDelta();
    m_span.PanBy(pixels.isNull() ? angle.x() / 120.0 * kPanPerNotch : pixels.x());
  } else {
    m_span.ZoomAt(event->position().x() - m_layout.dataLeft,
                  std::pow(kZoomPerNotch, angle.y() / 120.0));
  }
  update();
  event->accept();
}
