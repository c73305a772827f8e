// Draws the price chart: bars or candles (a line where only closes are held), volume below, the
// date and price axes, the damage marks and the selected quote. Many quotes to a pixel column are
// drawn as the range of that column, so the cost follows the width, not the series length.
#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <vector>

#include "app/chart_data.h"

class QImage;
class ChartSeries;
class ChartSpan;

struct ChartLayout {
  QRect area;
  QFont font;
  QRect header;     // title and the selected quote's values
  QRect price;      // the price pane; its width is the span's width
  QRect volume;     // empty when the series holds no volume
  QRect timeAxis;   // date labels under the panes
  QRect priceAxis;  // price labels right of the price pane
  // Where the quotes are drawn across the panes: the span's pixel 0 and its width.
  int dataLeft = 0;
  int dataWidth = 0;
  // Both panes, where a click or a hover counts.
  QRect plot() const { return volume.isEmpty() ? price : price.united(volume); }
};

ChartLayout LayOutChart(const QRect& area, const QFont& font, const ChartSeries& series);

// What is drawn besides the quotes.
struct ChartScene {
  QString title;
  int selected = -1;             // quote index, -1 for none
  std::vector<ChartMark> marks;  // quote indexes resolved
};

QColor MarkColor(ChartMarkKind kind);

// canvas: a 32-bit image (QImage::Format_ARGB32_Premultiplied or RGB32) holding the layout's area.
void PaintChart(QImage& canvas, const ChartLayout& layout, const ChartSeries& series,
                const ChartSpan& span, const ChartScene& scene);
