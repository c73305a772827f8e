#include "app/chart_painter.h"

#include <QFontMetrics>
#include <QImage>
#include <QLine>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cmath>
#include <tuple>

#include "app/chart_columns.h"
#include "app/chart_pixels.h"
#include "app/chart_series.h"
#include "app/chart_span.h"
#include "app/chart_ticks.h"
#include "formats/dates.h"

namespace {

const QColor kBackground(255, 255, 255);
const QColor kGridLine(234, 234, 234);
const QColor kMajorGridLine(200, 200, 200);
const QColor kFrame(160, 160, 160);
const QColor kAxisText(70, 70, 70);
const QColor kRange(31, 78, 121);
const QColor kUp(46, 125, 50);
const QColor kDown(198, 40, 40);
const QColor kVolume(144, 164, 174);
const QColor kSelection(0, 120, 215);

// A quote spaced this widely is drawn on its own; closer ones are drawn as column ranges.
constexpr double kOwnBarPixels = 3.0;
constexpr double kCandlePixels = 5.0;
constexpr int kMaxBody = 31;
constexpr int kTimeLabelPixels = 60;
constexpr int kPriceLabelPixels = 40;
constexpr int kDataInset = 5;

struct Bar {
  bool held = false;
  float open = 0, high = 0, low = 0, close = 0;
};

// A quote without a close is not drawn; missing open, high or low fall back on the close, and the
// range covers every price held (a high below its low still shows where it lies).
Bar BarAt(const ChartData& data, int i) {
  Bar b;
  b.close = data.value(kChartClose, i);
  if (!ChartData::Held(b.close))
    return b;
  b.held = true;
  const float open = data.value(kChartOpen, i);
  const float high = data.value(kChartHigh, i);
  const float low = data.value(kChartLow, i);
  b.open = ChartData::Held(open) ? open : b.close;
  b.high = std::max(b.open, b.close);
  b.low = std::min(b.open, b.close);
  for (float v : {high, low}) {
    if (ChartData::Held(v)) {
      b.high = std::max(b.high, v);
      b.low = std::min(b.low, v);
    }
  }
  return b;
}

float VolumeAt(const ChartData& data, int i) {
  const float v = data.value(kChartVol, i);
  return ChartData::Held(v) ? v : 0.0f;
}

// Price to pixel row within a pane.
class Scale {
 public:
  Scale(double low, double high, const QRect& pane)
      : m_high(high), m_top(pane.top()), m_perUnit((pane.height() - 1) / (high - low)) {}
  int Y(double v) const {
    return m_top + static_cast<int>(std::lround(std::clamp((m_high - v) * m_perUnit, -1e5, 1e5)));
  }

 private:
  double m_high;
  int m_top;
  double m_perUnit;
};

// The visible price range with a margin, never below zero for prices that are not.
std::pair<double, double> PaddedRange(double low, double high) {
  double pad = (high - low) * 0.06;
  if (!(pad > 0))
    pad = std::max(std::fabs(high) * 0.05, 0.5);
  const double bottom = low >= 0 ? std::max(0.0, low - pad) : low - pad;
  return {bottom, high + pad};
}

// Up to four decimals, at least two: 45.10, 12.3456.
QString ShortPrice(float value) {
  if (!ChartData::Held(value))
    return QStringLiteral("N/A");
  QString text = QString::number(static_cast<double>(value), 'f', 4);
  while (text.endsWith(QLatin1Char('0')) && text.indexOf(QLatin1Char('.')) < text.size() - 3)
    text.chop(1);
  return text;
}

// The selected quote's date and values; brief: the date and the close only.
QString QuoteText(const ChartSeries& series, int i, bool brief) {
  const ChartData& d = series.data();
  QString text = QString::fromStdString(ledgrix::formats::DisplayDate(d.date(i)));
  if (series.intraday()) {
    const int minute = series.minuteOfDay(i);
    text += QStringLiteral(" %1:%2").arg(minute / 60).arg(minute % 60, 2, 10, QLatin1Char('0'));
  }
  const char* names[] = {"O", "H", "L", "C"};
  for (int f = brief ? kChartClose : kChartOpen; f <= kChartClose; ++f)
    if (series.holds(f))
      text += QStringLiteral("   %1 %2").arg(QLatin1String(names[f]), ShortPrice(d.value(f, i)));
  if (series.hasVolume() && !brief)
    text += QStringLiteral("   V %1").arg(ChartData::Held(d.value(kChartVol, i))
                                              ? VolumeLabel(d.value(kChartVol, i))
                                              : QStringLiteral("N/A"));
  return text;
}

class Painter {
 public:
  Painter(QImage& image, const ChartLayout& layout, const ChartSeries& series,
          const ChartSpan& chartSpan, const ChartScene& chartScene)
      : canvas(image), l(layout), s(series), span(chartSpan), scene(chartScene), fm(layout.font) {}

  void Run();

 private:
  int X(double slot) const { return l.dataLeft + static_cast<int>(std::floor(span.XOf(slot))); }
  void Begin();
  void FindRange();
  void DrawPriceAxis(const Scale& y);
  void DrawTimeAxis();
  void WriteGridAndFrames(const Scale& y, const Scale& vy);
  void WriteDense(ColumnWriter& writer, const Scale& y, const Scale& vy);
  void DrawOwnBars(const Scale& y, const Scale& vy);
  void DrawMarks(const Scale& y);
  void DrawSelection(const Scale& y);
  void DrawHeader();

  QImage& canvas;
  QPainter p;
  const ChartLayout& l;
  const ChartSeries& s;
  const ChartSpan& span;
  const ChartScene& scene;
  QFontMetrics fm;
  bool dense = true;
  std::vector<ChartColumn> columns;
  std::vector<int> priceLines;                  // rows of the price grid
  std::vector<std::pair<int, bool>> timeLines;  // columns of the time grid, major or not
  double low = 0, high = 0, maxVolume = 0;
};

void Painter::Begin() {
  p.begin(&canvas);
  p.setFont(l.font);
}

void Painter::FindRange() {
  bool any = false;
  double lo = 0, hi = 0;
  auto take = [&](double l0, double h0, double v) {
    lo = any ? std::min(lo, l0) : l0;
    hi = any ? std::max(hi, h0) : h0;
    maxVolume = std::max(maxVolume, v);
    any = true;
  };
  if (dense) {
    for (const ChartColumn& c : columns)
      if (c.first >= 0)
        take(c.low, c.high, c.volume);
  } else {
    const auto [begin, end] = span.VisibleQuotes();
    for (int i = begin; i < end; ++i) {
      const Bar b = BarAt(s.data(), i);
      if (b.held)
        take(b.low, b.high, VolumeAt(s.data(), i));
    }
  }
  std::tie(low, high) = PaddedRange(lo, hi);
}

void Painter::Run() {
  Begin();
  p.fillRect(l.area, kBackground);
  DrawHeader();
  if (l.price.height() < 4 || l.dataWidth < 4)
    return;
  if (s.count() == 0) {
    p.setPen(kAxisText);
    p.drawText(l.plot(), Qt::AlignCenter, QStringLiteral("No quotes"));
    return;
  }
  dense = span.pixelsPerQuote() < kOwnBarPixels;
  if (dense)
    columns = ChartColumns(s, span);
  FindRange();
  const Scale y(low, high, l.price);
  const Scale vy(0.0, std::max(maxVolume, 1.0), l.volume);
  DrawPriceAxis(y);
  DrawTimeAxis();
  // Grid, dense columns and frames are written while no painter is at work on the pixels.
  p.end();
  WriteGridAndFrames(y, vy);
  Begin();
  // Inside the frames.
  p.setClipRect(l.price.adjusted(1, 1, -1, -1).united(l.volume.adjusted(1, 1, -1, -1)));
  if (!dense)
    DrawOwnBars(y, vy);
  DrawMarks(y);
  DrawSelection(y);
  p.setClipping(false);
  if (!l.volume.isEmpty()) {
    p.setPen(kAxisText);
    p.drawText(l.priceAxis.left() + 4, l.volume.top() + fm.ascent(), VolumeLabel(maxVolume));
  }
}

void Painter::DrawHeader() {
  p.setPen(kAxisText);
  const QRect r = l.header.adjusted(4, 0, -4, 0);
  QFont bold = l.font;
  bold.setBold(true);
  const QFontMetrics boldMetrics(bold);
  // The title comes first; the values shorten to make room for it in a narrow pane.
  const int titleWidth = boldMetrics.horizontalAdvance(scene.title) + 16;
  QString right;
  if (scene.selected >= 0 && scene.selected < s.count()) {
    right = QuoteText(s, scene.selected, false);
    if (fm.horizontalAdvance(right) + titleWidth > r.width())
      right = QuoteText(s, scene.selected, true);
  }
  const int rightWidth = fm.horizontalAdvance(right);
  p.drawText(r, Qt::AlignRight | Qt::AlignVCenter, right);
  p.setFont(bold);
  const int room = r.width() - rightWidth - 16;
  if (room > 20)
    p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter,
               boldMetrics.elidedText(scene.title, Qt::ElideRight, room));
  p.setFont(l.font);
}

void Painter::DrawPriceAxis(const Scale& y) {
  const PriceTicks ticks =
      NicePriceTicks(low, high, std::max(1, l.price.height() / kPriceLabelPixels));
  p.setPen(kAxisText);
  for (double v : ticks.values) {
    const int yy = y.Y(v);
    priceLines.push_back(yy);
    const int baseline = yy + fm.ascent() / 2 - 1;
    if (baseline - fm.ascent() >= l.price.top() - 2 && baseline <= l.price.bottom() + 2)
      p.drawText(l.priceAxis.left() + 4, baseline, PriceLabel(v, ticks.decimals));
  }
}

void Painter::DrawTimeAxis() {
  const auto [begin, end] = span.VisibleQuotes();
  const std::vector<TimeTick> ticks =
      TimeTicks(s, begin, end, std::max(1, l.price.width() / kTimeLabelPixels));
  int labelsEnd = l.timeAxis.left() - 1000;
  p.setPen(kAxisText);
  for (const TimeTick& t : ticks) {
    // A column boundary when columns stand for many quotes, so the line never cuts a bar.
    const int x = dense ? l.dataLeft + span.ColumnOf(t.index) : X(t.index);
    if (x <= l.price.left() || x >= l.price.right())
      continue;
    timeLines.emplace_back(x, t.major);
    const int w = fm.horizontalAdvance(t.label);
    const int left = std::clamp(x - w / 2, l.timeAxis.left(), l.timeAxis.right() - w);
    // Labels never run into each other: one that would is left out.
    if (left < labelsEnd + 8)
      continue;
    p.drawText(left, l.timeAxis.top() + 3 + fm.ascent(), t.label);
    labelsEnd = left + w;
  }
}

void Painter::WriteGridAndFrames(const Scale& y, const Scale& vy) {
  ColumnWriter writer(canvas);
  const QRect panes = l.plot();
  for (int row : priceLines)
    writer.Fill(QRect(l.price.left(), row, l.price.width(), 1), l.price, kGridLine.rgb());
  for (const auto& [x, major] : timeLines)
    writer.Column(x, panes.top(), panes.bottom(), panes,
                  (major ? kMajorGridLine : kGridLine).rgb());
  if (dense)
    WriteDense(writer, y, vy);
  for (const QRect& pane : {l.price, l.volume}) {
    if (pane.isEmpty())
      continue;
    const QRgb frame = kFrame.rgb();
    writer.Fill(QRect(pane.left(), pane.top(), pane.width(), 1), pane, frame);
    writer.Fill(QRect(pane.left(), pane.bottom(), pane.width(), 1), pane, frame);
    writer.Column(pane.left(), pane.top(), pane.bottom(), pane, frame);
    writer.Column(pane.right(), pane.top(), pane.bottom(), pane, frame);
  }
}

void Painter::WriteDense(ColumnWriter& writer, const Scale& y, const Scale& vy) {
  if (!l.volume.isEmpty()) {
    for (std::size_t c = 0; c < columns.size(); ++c) {
      const ChartColumn& col = columns[c];
      if (col.first >= 0 && col.volume > 0)
        writer.Column(l.dataLeft + static_cast<int>(c), vy.Y(col.volume), l.volume.bottom(),
                      l.volume, kVolume.rgb());
    }
  }
  // Bars: each column's range. Closes only: a line through each column's first, lowest,
  // highest and last close, carried across empty columns from the last close before them.
  const QRgb range = kRange.rgb();
  int previous = -1;
  int previousY = 0;
  for (std::size_t c = 0; c < columns.size(); ++c) {
    const ChartColumn& col = columns[c];
    if (col.first < 0)
      continue;
    const int x = l.dataLeft + static_cast<int>(c);
    writer.Column(x, y.Y(col.high), y.Y(col.low), l.price, range);
    if (s.hasBars())
      continue;
    const int firstY = y.Y(col.open);
    if (previous >= 0) {
      const int gap = static_cast<int>(c) - previous;
      for (int g = 1; g <= gap; ++g) {
        const int from = previousY + (firstY - previousY) * (g - 1) / gap;
        const int to = previousY + (firstY - previousY) * g / gap;
        writer.Column(l.dataLeft + previous + g, from, to, l.price, range);
      }
    }
    previous = static_cast<int>(c);
    previousY = y.Y(col.close);
  }
}

void Painter::DrawOwnBars(const Scale& y, const Scale& vy) {
  const auto [begin, end] = span.VisibleQuotes();
  const double perQuote = span.pixelsPerQuote();
  int body = std::clamp(static_cast<int>(perQuote * 0.6), 1, kMaxBody);
  body -= (body % 2 == 0 && body > 1) ? 1 : 0;  // odd, so the wick sits in the middle
  const int tick = std::max(1, body / 2);
  QPolygon closes;
  for (int i = begin; i < end; ++i) {
    const Bar b = BarAt(s.data(), i);
    if (!b.held)
      continue;
    const int x = X(i + 0.5);
    const float v = VolumeAt(s.data(), i);
    if (v > 0 && !l.volume.isEmpty()) {
      const int top = vy.Y(v);
      p.fillRect(x - body / 2, top, body, l.volume.bottom() - top + 1, kVolume);
    }
    if (!s.hasBars()) {
      closes << QPoint(x, y.Y(b.close));
      continue;
    }
    const QColor color = b.close >= b.open ? kUp : kDown;
    p.setPen(color);
    p.drawLine(x, y.Y(b.high), x, y.Y(b.low));
    if (perQuote >= kCandlePixels) {
      const int top = y.Y(std::max(b.open, b.close));
      const int bottom = y.Y(std::min(b.open, b.close));
      p.fillRect(x - body / 2, top, body, bottom - top + 1, color);
    } else {
      p.drawLine(x - tick, y.Y(b.open), x, y.Y(b.open));
      p.drawLine(x, y.Y(b.close), x + tick, y.Y(b.close));
    }
  }
  if (!closes.isEmpty()) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(kRange, 1.5));
    p.drawPolyline(closes);
    p.setRenderHint(QPainter::Antialiasing, false);
  }
}

void Painter::DrawMarks(const Scale& y) {
  const auto [begin, end] = span.VisibleQuotes();
  const QRect panes = l.plot();
  for (const ChartMark& m : scene.marks) {
    if (m.quoteIndex < begin || m.quoteIndex >= end)
      continue;
    const int x = X(m.quoteIndex + 0.5);
    QColor color = MarkColor(m.kind);
    QColor faint = color;
    faint.setAlpha(150);
    p.setPen(QPen(faint, 1, Qt::DashLine));
    p.drawLine(x, panes.top(), x, panes.bottom());
    // A triangle above the quote's high, pointing at it; never above the pane.
    const Bar b = BarAt(s.data(), m.quoteIndex);
    const int apex = std::max(l.price.top() + 12, (b.held ? y.Y(b.high) : l.price.top()) - 3);
    const QPoint triangle[] = {{x - 6, apex - 10}, {x + 6, apex - 10}, {x, apex}};
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(Qt::white, 1));
    p.setBrush(color);
    p.drawPolygon(triangle, 3);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
  }
}

void Painter::DrawSelection(const Scale& y) {
  const int i = scene.selected;
  const auto [begin, end] = span.VisibleQuotes();
  if (i < begin || i >= end)
    return;
  const int x = X(i + 0.5);
  const QRect panes = l.plot();
  p.setPen(QPen(kSelection, 1));
  p.drawLine(x, panes.top(), x, panes.bottom());
  const Bar b = BarAt(s.data(), i);
  if (!b.held)
    return;
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(QPen(Qt::white, 1.5));
  p.setBrush(kSelection);
  p.drawEllipse(QPoint(x, y.Y(b.close)), 4, 4);
  p.setBrush(Qt::NoBrush);
  p.setRenderHint(QPainter::Antialiasing, false);
}

}  // namespace

QColor MarkColor(ChartMarkKind kind) {
  switch (kind) {
    case ChartMarkKind::kSplit:
      return QColor(230, 120, 0);
    case ChartMarkKind::kBadTick:
      return QColor(213, 0, 0);
    case ChartMarkKind::kHighBelowLow:
      return QColor(142, 36, 170);
    case ChartMarkKind::kOther:
      break;
  }
  return QColor(94, 53, 177);
}

ChartLayout LayOutChart(const QRect& area, const QFont& font, const ChartSeries& series) {
  ChartLayout l;
  l.area = area;
  l.font = font;
  const QFontMetrics metrics(font);
  const int line = metrics.height();
  l.header = QRect(area.left(), area.top(), area.width(), line + 8);
  const QString widest = PriceLabel(std::max(1.0f, series.maxPrice()), 3);
  const int axis = metrics.horizontalAdvance(widest) + 8;
  const int left = area.left() + 6;
  const int right = area.right() - axis;
  const int top = l.header.bottom() + 1;
  l.timeAxis = QRect(left, area.bottom() - (line + 6) + 1, right - left + 1, line + 6);
  const int panesBottom = l.timeAxis.top() - 1;
  const int height = panesBottom - top + 1;
  int volume = series.hasVolume() ? std::max(24, height / 5) : 0;
  if (height - volume < 40)
    volume = 0;
  const int gap = volume > 0 ? 4 : 0;
  l.price = QRect(left, top, right - left + 1, std::max(0, height - volume - gap));
  if (volume > 0)
    l.volume = QRect(left, l.price.bottom() + 1 + gap, right - left + 1, volume);
  l.priceAxis = QRect(right + 1, top, area.right() - right, height);
  // The first and last quote stay clear of the frame.
  l.dataLeft = l.price.left() + kDataInset;
  l.dataWidth = std::max(0, l.price.width() - 2 * kDataInset);
  return l;
}

void PaintChart(QImage& canvas, const ChartLayout& layout, const ChartSeries& series,
                const ChartSpan& span, const ChartScene& scene) {
  Painter(canvas, layout, series, span, scene).Run();
}
