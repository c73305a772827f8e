// The price chart pane beside the quotes grid. The wheel zooms around the pointer, dragging pans,
// a double-click shows the whole series; a click reports the quote under the pointer, and the
// pointer resting on a damage mark shows the mark's text.
#pragma once

#include <QImage>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <vector>

#include "app/chart_data.h"
#include "app/chart_painter.h"
#include "app/chart_series.h"
#include "app/chart_span.h"

class CChartView final : public QWidget {
  Q_OBJECT

 public:
  explicit CChartView(QWidget* parent = nullptr);

  // The whole series, unless key names the series shown last (a refill after a correction keeps
  // the zoom). The columns must stay as they are until the next SetSeries or Clear.
  void SetSeries(const ChartData& columns, const QString& key, const QString& title);
  // No series (nor title); the zoom of the last one is kept for its refill.
  void Clear();
  void SetMarks(std::vector<ChartMark> marks);
  // Marks the quote (-1: none) and brings it into view.
  void SetSelected(int index);

  int selected() const { return m_scene.selected; }
  const std::vector<ChartMark>& marks() const { return m_scene.marks; }
  const ChartSpan& span() const { return m_span; }
  const ChartLayout& chartLayout() const { return m_layout; }
  const ChartSeries& series() const { return m_series; }
  // Where quote i's centre is drawn, in the widget's coordinates.
  int XOfQuote(int i) const;
  // The texts of the marks within a few pixels of pos, one a line; empty for none.
  QString MarkTextAt(const QPoint& pos) const;

 Q_SIGNALS:
  void quoteClicked(int index);

 protected:
  bool event(QEvent* event) override;
  void changeEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void LayOut();

  ChartSeries m_series;
  ChartSpan m_span;
  ChartScene m_scene;
  ChartLayout m_layout;
  QImage m_canvas;
  QString m_key;
  bool m_pressed = false;
  bool m_dragging = false;
  bool m_afterDoubleClick = false;
  QPoint m_pressAt;
  double m_dragX = 0.0;
};
