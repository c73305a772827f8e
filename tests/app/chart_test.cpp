// The price chart: zoom and pan arithmetic, ticks, the pixel columns a series lights up, the
// selection tied to the quotes grid both ways, damage marks, View > Chart and its divider.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QHelpEvent>
#include <QImage>
#include <QSplitter>
#include <QTableView>
#include <QTest>
#include <QToolTip>
#include <QWheelEvent>

#include "app/chart_painter.h"
#include "app/chart_ticks.h"
#include "app/chart_view.h"
#include "maintenance/split_search.h"
#include "tests/app/gui_test_support.h"

namespace ledgrix::testing {
namespace {

using formats::DayFromYmd;

// Zoom and pan stay within the series (the GUI test drives them by wheel and drag).
TEST(ChartSpan, ZoomPanRevealAndRefillStayWithinTheSeries) {
  ChartSpan s;
  s.Reset(1000);
  s.SetWidth(500);
  s.ZoomAt(0, 1000);  // the closest zoom
  EXPECT_DOUBLE_EQ(s.visible(), ChartSpan::kMinVisible);
  s.PanBy(-1e6);
  EXPECT_EQ(s.VisibleQuotes(), std::make_pair(990, 1000));
  s.PanBy(1e6);
  s.ZoomAt(0, 0.1);  // 100 in view from 0
  s.Reveal(500);     // out of view: centred, then a refill with fewer quotes keeps it within them
  s.Keep(480);
  EXPECT_EQ(s.VisibleQuotes(), std::make_pair(380, 480));
  s.ZoomAt(100, 0.01);  // zooming out stops at the whole series
  EXPECT_TRUE(s.showsAll());
  s.Reset(4);  // a short series cannot be zoomed into
  s.ZoomAt(10, 8);
  EXPECT_TRUE(s.showsAll());
  s.Reset(0);
  EXPECT_EQ(s.QuoteAt(10), -1);
}

// Columns newest first, as the quotes grid holds them, built from quotes oldest first.
struct Columns {
  explicit Columns(const std::vector<Quote>& oldestFirst) {
    for (auto q = oldestFirst.rbegin(); q != oldestFirst.rend(); ++q) {
      dates.push_back(q->date);
      times.push_back(q->time);
      const float row[] = {q->open, q->high, q->low, q->close, q->volume, q->openInterest};
      for (std::size_t f = 0; f < 6; ++f)
        values[f].push_back(row[f]);
    }
  }
  ChartData data() const {
    std::array<std::span<const float>, 6> spans;
    for (std::size_t f = 0; f < 6; ++f)
      spans[f] = values[f];
    return ChartData(dates, times, spans);
  }
  std::vector<std::uint16_t> dates, times;
  std::array<std::vector<float>, 6> values;
};

TEST(ChartTicks, CalendarAndClockBoundariesAndRoundPrices) {
  struct Case {
    formats::QuoteDate first;
    int count, perDay, maxTicks;
    QStringList labels;
  } cases[] = {
      {DayFromYmd(2020, 12, 1), 600, 1, 5, {"2021", "Jul", "2022", "Jul", "2023"}},
      {DayFromYmd(2021, 1, 4), 60, 1, 4, {"Feb 2021", "Mar"}},  // the year on the first tick
      {DayFromYmd(2021, 3, 1), 10, 1, 3, {"Mar 8 2021"}},
      // Minute bars from 9:30 to 16:00: hours, and the new day as a major tick.
      {DayFromYmd(2021, 3, 1),
       780,
       390,
       20,
       {"10:00", "11:00", "12:00", "13:00", "14:00", "15:00", "Mar 2", "10:00", "11:00", "12:00",
        "13:00", "14:00", "15:00"}},
  };
  for (const Case& c : cases) {
    std::vector<Quote> quotes;
    formats::QuoteDate day = c.first;
    for (int i = 0; i < c.count; ++i) {
      if (i > 0 && i % c.perDay == 0)
        day = formats::WeekdayAfter(day);
      const auto time = static_cast<formats::QuoteTime>(c.perDay > 1 ? (570 + i % 390) * 30 : 0);
      quotes.push_back({day, time, 10, 11, 9, 10, 100, -1});
    }
    const Columns columns(quotes);
    ChartSeries series;
    series.Set(columns.data());
    QStringList labels;
    for (const TimeTick& t : TimeTicks(series, 0, c.count, c.maxTicks))
      labels << t.label;
    EXPECT_EQ(labels, c.labels) << c.count;
  }
  EXPECT_EQ(NicePriceTicks(0, 10, 5).values, (std::vector<double>{0, 2, 4, 6, 8, 10}));
  const PriceTicks fine = NicePriceTicks(20.1, 20.9, 4);
  EXPECT_EQ(fine.decimals, 1);
  EXPECT_NEAR(fine.values.front(), 20.2, 1e-9);
  EXPECT_EQ(NicePriceTicks(0, 1, 4).decimals, 2);  // steps of 0.25
}

// The columns of the drawn panes holding quote ink (dark pixels) between rows top and bottom.
std::vector<int> LitColumns(const QImage& image, const ChartLayout& l, int top, int bottom) {
  std::vector<int> lit;
  for (int x = l.dataLeft; x < l.dataLeft + l.dataWidth; ++x)
    for (int y = top; y <= bottom; ++y)
      if (qGray(image.pixel(x, y)) < 150) {
        lit.push_back(x - l.dataLeft);
        break;
      }
  return lit;
}

TEST(ChartPainting, EachQuoteLightsTheColumnsOfItsOwnRange) {
  for (int count : {4000, 20}) {
    SCOPED_TRACE(count);
    // Flat at 9-11; one quote reaches 20.
    std::vector<Quote> quotes;
    for (int i = 0; i < count; ++i)
      quotes.push_back({static_cast<formats::QuoteDate>(DayFromYmd(2000, 1, 3) + i), 0, 10,
                        i == count * 3 / 5 ? 20.0f : 11.0f, 9, 10, 0, -1});
    const Columns columns(quotes);
    ChartSeries series;
    series.Set(columns.data());
    QImage image(600, 300, QImage::Format_ARGB32_Premultiplied);
    const ChartLayout l = LayOutChart(image.rect(), QFont(), series);
    ChartSpan span;
    span.Reset(count);
    span.SetWidth(l.dataWidth);
    PaintChart(image, l, series, span, ChartScene{});
    // Only the spike reaches the upper half of the pane, as a line in its own column.
    const int top = l.price.top() + 1;  // inside the frame
    EXPECT_EQ(LitColumns(image, l, top, l.price.center().y()),
              std::vector<int>{span.ColumnOf(count * 3 / 5)});
    // Between the high and the close only the high-low line is drawn: one column a quote.
    int highRow = top;  // found in a flat quote's column
    while (qGray(image.pixel(l.dataLeft + span.ColumnOf(0), highRow)) >= 150)
      ++highRow;
    const std::vector<int> flat = LitColumns(image, l, highRow + 1, highRow + 1);
    if (count > l.dataWidth) {
      EXPECT_EQ(flat.size(), static_cast<std::size_t>(l.dataWidth));  // every column has quotes
    } else {
      std::vector<int> centres;  // bars of their own, with gaps between them
      for (int i = 0; i < count; ++i)
        centres.push_back(span.ColumnOf(i));
      EXPECT_EQ(flat, centres);
    }
  }
}

CChartView& Chart(GuiFixture& f) {
  return *f.view().findChild<CChartView*>();
}

QPoint InPlot(CChartView& chart, int quote) {
  return QPoint(chart.XOfQuote(quote), chart.chartLayout().price.center().y());
}

// The chart shows the grid's series with the damage found in it, and its selection follows the
// grid's both ways.
TEST(Chart, MarksTheDamageFoundAndFollowsTheGridAndAClickSelectsTheNearestQuotesRow) {
  GuiFixture f;
  SymbolSpec s = Daily("SPLT", 300);
  std::vector<Quote>& quotes = s.quotes;
  for (std::size_t i = 150; i < quotes.size(); ++i)  // a 2-for-1 split nobody applied
    for (float* v : {&quotes[i].open, &quotes[i].high, &quotes[i].low, &quotes[i].close})
      *v /= 2;
  const formats::QuoteDate badDay = quotes[220].date;
  CLedgrixView& v = f.StartOn({s});
  // A check supplies what it found by date.
  v.AddChartMarkSource([&](const QString&, const QString& symbol, const ChartData&) {
    return std::vector<ChartMark>{{-1, badDay, ChartMarkKind::kBadTick, symbol + " bad tick"}};
  });
  v.FillQuotesGrid(0);
  CChartView& chart = Chart(f);
  ASSERT_TRUE(chart.isVisible());

  std::vector<std::string> lines;
  maintenance::SplitSearchEvents events;
  events.onCandidate = [&](const std::string& line) { lines.push_back(line); };
  bool found = false;
  maintenance::RunSplitSearch(f.root() / "P", {"SPLT"}, events, found);
  ASSERT_EQ(lines.size(), 1u);
  ASSERT_EQ(chart.marks().size(), 2u);
  EXPECT_EQ(chart.marks()[0].quoteIndex, 150);
  EXPECT_EQ(chart.marks()[0].text.toStdString(), lines[0]);
  EXPECT_EQ(chart.marks()[1].quoteIndex, 220);

  // Each mark is drawn in its colour in its column; resting on it shows its text.
  const QImage image = chart.grab().toImage();
  for (const ChartMark& m : chart.marks()) {
    bool drawn = false;
    for (int y = 0; y < image.height(); ++y)
      drawn = drawn || image.pixelColor(chart.XOfQuote(m.quoteIndex), y) == MarkColor(m.kind);
    EXPECT_TRUE(drawn) << m.quoteIndex;
  }
  const QPoint onSplit = InPlot(chart, 150);
  QHelpEvent help(QEvent::ToolTip, onSplit, chart.mapToGlobal(onSplit));
  QApplication::sendEvent(&chart, &help);
  EXPECT_EQ(QToolTip::text().toStdString(), lines[0]);
  EXPECT_EQ(chart.MarkTextAt(InPlot(chart, 220)), "SPLT bad tick");
  EXPECT_EQ(chart.MarkTextAt(InPlot(chart, 185)), "");

  EXPECT_EQ(chart.selected(), 299);  // row 0, the newest
  f.SelectQuote(100);
  EXPECT_EQ(chart.selected(), 199);
  QTest::mouseClick(&chart, Qt::LeftButton, {}, InPlot(chart, 50));
  EXPECT_EQ(v.m_selQuoteRow, 249);
  EXPECT_EQ(v.m_quoteGrid->currentIndex().row(), 249);
  EXPECT_EQ(f.frame().QuotePaneText(), "Quote 51 of 300");

  // Wheel up zooms in around the pointer; a drag pans without selecting; a double-click shows all.
  const QPoint at = InPlot(chart, 150);
  QWheelEvent wheel(at, chart.mapToGlobal(at), {}, {0, 360}, Qt::NoButton, {}, Qt::NoScrollPhase,
                    false);
  QApplication::sendEvent(&chart, &wheel);
  EXPECT_LT(chart.span().visible(), 300);
  EXPECT_EQ(chart.span().QuoteAt(at.x() - chart.chartLayout().dataLeft), 150);
  const double first = chart.span().first();
  QTest::mousePress(&chart, Qt::LeftButton, {}, at);
  QTest::mouseMove(&chart, at + QPoint(60, 0));
  QTest::mouseRelease(&chart, Qt::LeftButton, {}, at + QPoint(60, 0));
  EXPECT_LT(chart.span().first(), first);
  EXPECT_EQ(v.m_selQuoteRow, 249);
  QTest::mouseDClick(&chart, Qt::LeftButton, {}, at);
  EXPECT_TRUE(chart.span().showsAll());
  EXPECT_EQ(v.m_selQuoteRow, 249);  // the double-click's own clicks leave it
}

TEST(Chart, ViewChartTogglesItAndTheDividerIsRemembered) {
  GuiFixture f;
  f.SetSetting("Chart", "Split", "610");
  f.StartAndScan();
  QSplitter* splitter = f.view().m_quoteSplitter;
  EXPECT_EQ(splitter->sizes().value(0), 610);
  QAction* toggle = f.frame().action(ID_VIEW_CHART);
  ASSERT_TRUE(toggle->isChecked());
  toggle->trigger();
  EXPECT_FALSE(Chart(f).isVisible());
  EXPECT_EQ(f.settings().GetString("Chart", "Show", "?"), "0");
  toggle->trigger();
  EXPECT_EQ(splitter->sizes().value(0), 610);
  // The divider dragged 30 pixels towards the chart, as a user drags it.
  QSplitterHandle* handle = splitter->handle(1);
  const QPoint grip = handle->rect().center();
  const QPoint step = splitter->orientation() == Qt::Vertical ? QPoint(0, -30) : QPoint(-30, 0);
  QTest::mousePress(handle, Qt::LeftButton, {}, grip);
  QTest::mouseMove(handle, grip + step);
  QTest::mouseRelease(handle, Qt::LeftButton, {}, grip + step);
  ASSERT_EQ(splitter->sizes().value(0), 580);
  toggle->trigger();  // hidden when the window closes: the divider it had is kept
  f.frame().close();
  EXPECT_EQ(f.settings().GetString("Chart", "Split", "?"), "580");
  EXPECT_EQ(f.settings().GetString("Chart", "Show", "?"), "0");
  f.Stop();

  // Hidden at the start; a stored divider that leaves the chart no room gives way to the default.
  f.SetSetting("Chart", "Split", "5000");
  f.StartAndScan();
  EXPECT_FALSE(Chart(f).isVisible());
  toggle = f.frame().action(ID_VIEW_CHART);
  EXPECT_FALSE(toggle->isChecked());
  toggle->trigger();
  EXPECT_TRUE(Chart(f).isVisible());
  const QList<int> sizes = f.view().m_quoteSplitter->sizes();
  EXPECT_GE(sizes.value(1), 240);
  EXPECT_GE(sizes.value(0), 360);
}

}  // namespace
}  // namespace ledgrix::testing
