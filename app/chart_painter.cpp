#include "app/chart_painter.h"

#include <QFontMetrics>
#include <QLine>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cmath>
#include <tuple>

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

// One pixel column's quotes.
struct Column {
  int first = -1;  // -1: none
  float open = 0, close = 0, low = 0, high = 0, volume = 0;
};

std::vector<Column> Columns(const ChartSeries& series, const ChartSpan& span) {
  std::vector<Column> columns(static_cast<std::size_t>(span.width()));
  const auto [begin, end] = span.VisibleQuotes();
  const double perQuote = span.pixelsPerQuote();
  const double first = span.first();
  const ChartData& data = series.data();
  for (int i = begin; i < end; ++i) {
    const int c = static_cast<int>(std::floor((i + 0.5 - first) * perQuote));
    if (c < 0 || c >= span.width())
      continue;
    const Bar b = BarAt(data, i);
    if (!b.held)
      continue;
    Column& col = columns[static_cast<std::size_t>(c)];
    if (col.first < 0) {
      col = {i, b.open, b.close, b.low, b.high, 0.0f};
    } else {
      col.close = b.close;
      col.low = std::min(col.low, b.low);
      col.high = std::max(col.high, b.high);
    }
    col.volume = std::max(col.volume, VolumeAt(data, i));
  }
  return columns;
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

QString QuoteText(const ChartSeries& series, int i) {
  const ChartData& d = series.data();
  QString text = QString::fromStdString(ledgrix::formats::DisplayDate(d.date(i)));
  if (series.intraday()) {
    const int minute = series.minuteOfDay(i);
    text += QStringLiteral(" %1:%2").arg(minute / 60).arg(minute % 60, 2, 10, QLatin1Char('0'));
  }
  const char* names[] = {"O", "H", "L", "C"};
  for (int f = kChartOpen; f <= kChartClose; ++f)
    text += QStringLiteral("   %1 %2").arg(QLatin1String(names[f]), ShortPrice(d.value(f, i)));
  if (series.hasVolume())
    text += QStringLiteral("   V %1").arg(ChartData::Held(d.value(kChartVol, i))
                                              ? VolumeLabel(d.value(kChartVol, i))
                                              : QStringLiteral("N/A"));
  return text;
}

class Painter {
 public:
  Painter(QPainter& painter, const ChartLayout& layout, const ChartSeries& series,
          const ChartSpan& chartSpan, const ChartScene& chartScene)
      : p(painter),
        l(layout),
        s(series),
        span(chartSpan),
        scene(chartScene),
        fm(painter.fontMetrics()) {}

  void Run();

 private:
  int X(double slot) const { return l.dataLeft + static_cast<int>(std::floor(span.XOf(slot))); }
  void FindRange();
  void DrawPriceAxis(const Scale& y);
  void DrawTimeAxis();
  void DrawDense(const Scale& y, const Scale& vy);
  void DrawOwnBars(const Scale& y, const Scale& vy);
  void DrawMarks(const Scale& y);
  void DrawSelection(const Scale& y);
  void DrawHeader();

  QPainter& p;
  const ChartLayout& l;
  const ChartSeries& s;
  const ChartSpan& span;
  const ChartScene& scene;
  QFontMetrics fm;
  bool dense = true;
  std::vector<Column> columns;
  double low = 0, high = 0, maxVolume = 0;
};

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
    for (const Column& c : columns)
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
    columns = Columns(s, span);
  FindRange();
  const Scale y(low, high, l.price);
  const Scale vy(0.0, std::max(maxVolume, 1.0), l.volume);
  DrawPriceAxis(y);
  DrawTimeAxis();
  p.save();
  p.setClipRect(l.plot());
  if (dense)
    DrawDense(y, vy);
  else
    DrawOwnBars(y, vy);
  DrawMarks(y);
  DrawSelection(y);
  p.restore();
  p.setPen(kFrame);
  p.setBrush(Qt::NoBrush);
  p.drawRect(l.price.adjusted(0, 0, -1, -1));
  if (!l.volume.isEmpty()) {
    p.drawRect(l.volume.adjusted(0, 0, -1, -1));
    p.setPen(kAxisText);
    p.drawText(l.priceAxis.left() + 4, l.volume.top() + fm.ascent(), VolumeLabel(maxVolume));
  }
}

void Painter::DrawHeader() {
  p.setPen(kAxisText);
  const QRect r = l.header.adjusted(4, 0, -4, 0);
  QString right;
  if (scene.selected >= 0 && scene.selected < s.count())
    right = QuoteText(s, scene.selected);
  const int rightWidth = fm.horizontalAdvance(right);
  p.drawText(r, Qt::AlignRight | Qt::AlignVCenter, right);
  QFont bold = p.font();
  bold.setBold(true);
  p.save();
  p.setFont(bold);
  const QFontMetrics boldMetrics(bold);
  const int room = r.width() - rightWidth - 16;
  if (room > 20)
    p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter,
               boldMetrics.elidedText(scene.title, Qt::ElideRight, room));
  p.restore();
}

void Painter::DrawPriceAxis(const Scale& y) {
  const PriceTicks ticks =
      NicePriceTicks(low, high, std::max(1, l.price.height() / kPriceLabelPixels));
  std::vector<QLine> lines;
  p.setPen(kAxisText);
  for (double v : ticks.values) {
    const int yy = y.Y(v);
    lines.emplace_back(l.price.left(), yy, l.price.right(), yy);
    const int baseline = yy + fm.ascent() / 2 - 1;
    if (baseline - fm.ascent() >= l.price.top() - 2 && baseline <= l.price.bottom() + 2)
      p.drawText(l.priceAxis.left() + 4, baseline, PriceLabel(v, ticks.decimals));
  }
  p.setPen(kGridLine);
  p.drawLines(lines.data(), static_cast<int>(lines.size()));
}

void Painter::DrawTimeAxis() {
  const auto [begin, end] = span.VisibleQuotes();
  const std::vector<TimeTick> ticks =
      TimeTicks(s, begin, end, std::max(1, l.price.width() / kTimeLabelPixels));
  const QRect panes = l.plot();
  int labelsEnd = l.timeAxis.left() - 1000;
  std::vector<QLine> minor, major;
  p.setPen(kAxisText);
  for (const TimeTick& t : ticks) {
    // A column boundary when columns stand for many quotes, so the line never cuts a bar.
    const int x = dense ? l.dataLeft + span.ColumnOf(t.index) : X(t.index);
    if (x <= l.price.left() || x >= l.price.right())
      continue;
    (t.major ? major : minor).emplace_back(x, panes.top(), x, panes.bottom());
    const int w = fm.horizontalAdvance(t.label);
    const int left = std::clamp(x - w / 2, l.timeAxis.left(), l.timeAxis.right() - w);
    // Labels never run into each other: one that would is left out.
    if (left < labelsEnd + 8)
      continue;
    p.drawText(left, l.timeAxis.top() + 3 + fm.ascent(), t.label);
    labelsEnd = left + w;
  }
  p.setPen(kGridLine);
  p.drawLines(minor.data(), static_cast<int>(minor.size()));
  p.setPen(kMajorGridLine);
  p.drawLines(major.data(), static_cast<int>(major.size()));
}

void Painter::DrawDense(const Scale& y, const Scale& vy) {
  const int left = l.dataLeft;
  std::vector<QLine> volume;
  for (std::size_t c = 0; c < columns.size(); ++c) {
    const Column& col = columns[c];
    if (col.first >= 0 && col.volume > 0 && !l.volume.isEmpty())
      volume.emplace_back(left + static_cast<int>(c), l.volume.bottom(), left + static_cast<int>(c),
                          vy.Y(col.volume));
  }
  p.setPen(kVolume);
  p.drawLines(volume.data(), static_cast<int>(volume.size()));
  p.setPen(kRange);
  if (s.hasBars()) {
    std::vector<QLine> ranges;
    for (std::size_t c = 0; c < columns.size(); ++c) {
      const Column& col = columns[c];
      if (col.first >= 0) {
        const int x = left + static_cast<int>(c);
        ranges.emplace_back(x, y.Y(col.high), x, y.Y(col.low));
      }
    }
    p.drawLines(ranges.data(), static_cast<int>(ranges.size()));
    return;
  }
  // Closes only: one line through each column's first, lowest, highest and last close.
  QPolygon line;
  for (std::size_t c = 0; c < columns.size(); ++c) {
    const Column& col = columns[c];
    if (col.first < 0)
      continue;
    const int x = left + static_cast<int>(c);
    line << QPoint(x, y.Y(col.open)) << QPoint(x, y.Y(col.low)) << QPoint(x, y.Y(col.high))
         << QPoint(x, y.Y(col.close));
  }
  p.drawPolyline(line);
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

ChartLayout LayOutChart(const QRect& area, const QFontMetrics& metrics, const ChartSeries& series) {
  ChartLayout l;
  l.area = area;
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

void PaintChart(QPainter& painter, const ChartLayout& layout, const ChartSeries& series,
                const ChartSpan& span, const ChartScene& scene) {
  Painter(painter, layout, series, span, scene).Run();
}
