// Drawing the whole of a 65 534-quote series (one-minute bars, as the longest real intraday files
// hold) into a 1 600 x 900 image, beside filling the same image with a plain colour. The quotes
// sit in the quotes grid's model, where the chart reads them.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <cmath>

#include "app/chart_painter.h"
#include "app/chart_series.h"
#include "app/chart_span.h"
#include "app/grid_models.h"
#include "bench/qt_bench_main.h"
#include "formats/dates.h"
#include "formats/series.h"

namespace {

using namespace ledgrix;

constexpr int kWidth = 1600;
constexpr int kHeight = 900;
constexpr int kBarsADay = 390;

// A random walk of one-minute bars from 9:30, newest first as the grid holds them.
bool Fill(CQuotesModel& m) {
  const int n = formats::kMaxQuotes;
  std::vector<std::array<float, 6>> values(static_cast<std::size_t>(n));
  std::vector<formats::QuoteDate> dates(static_cast<std::size_t>(n));
  std::vector<formats::QuoteTime> times(static_cast<std::size_t>(n));
  std::uint32_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) / 16777216.0;
  };
  formats::QuoteDate day = formats::DayFromYmd(2021, 1, 4);
  double price = 120.0;
  for (int i = 0; i < n; ++i) {
    if (i > 0 && i % kBarsADay == 0)
      day = formats::WeekdayAfter(day);
    const double open = price;
    price *= 1.0 + (next() - 0.5) * 0.004;
    const double high = std::max(open, price) * (1.0 + next() * 0.001);
    const double low = std::min(open, price) * (1.0 - next() * 0.001);
    const auto at = static_cast<std::size_t>(i);
    values[at] = {static_cast<float>(open),
                  static_cast<float>(high),
                  static_cast<float>(low),
                  static_cast<float>(price),
                  static_cast<float>(std::floor(1000 + 50000 * next())),
                  -1.0f};
    dates[at] = day;
    times[at] = static_cast<formats::QuoteTime>((570 + i % kBarsADay) * 30);
  }
  m.Reserve(n);
  for (int i = n - 1; i >= 0; --i) {
    const auto at = static_cast<std::size_t>(i);
    m.AddPending(dates[at], values[at], times[at]);
  }
  m.Flush();
  return true;
}

CQuotesModel& Model() {
  static CQuotesModel model;
  static const bool filled = Fill(model);
  (void)filled;
  return model;
}

QImage& Image() {
  static QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
  return image;
}

void Render(const ChartSeries& series, ChartSpan& span, const ChartScene& scene) {
  const ChartLayout layout = LayOutChart(Image().rect(), QFont(), series);
  span.SetWidth(layout.dataWidth);
  PaintChart(Image(), layout, series, span, scene);
}

void BM_FillImage(benchmark::State& state) {
  for (auto _ : state) {
    QPainter painter(&Image());
    painter.fillRect(Image().rect(), QColor(255, 255, 255));
    painter.end();
    benchmark::DoNotOptimize(Image().constBits());
  }
}

// What a repaint after a zoom, a pan or a new selection costs.
void BM_RenderWholeSeries(benchmark::State& state) {
  ChartSeries series;
  series.Set(Model().Columns());
  ChartSpan span;
  span.Reset(series.count());
  ChartScene scene;
  scene.title = QStringLiteral("BENCH  One-minute bars");
  scene.selected = series.count() - 1;
  for (auto _ : state) {
    Render(series, span, scene);
    benchmark::DoNotOptimize(Image().constBits());
  }
  state.SetItemsProcessed(state.iterations() * series.count());
}

// The first drawing after a fill: the series prepared (each quote's month and minute), then drawn.
void BM_PrepareAndRender(benchmark::State& state) {
  ChartScene scene;
  scene.title = QStringLiteral("BENCH  One-minute bars");
  for (auto _ : state) {
    ChartSeries series;
    series.Set(Model().Columns());
    ChartSpan span;
    span.Reset(series.count());
    scene.selected = series.count() - 1;
    Render(series, span, scene);
    benchmark::DoNotOptimize(Image().constBits());
  }
}

BENCHMARK(BM_FillImage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderWholeSeries)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrepareAndRender)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunWithQt(
      argc, argv,
      {{"BM_RenderWholeSeries", "BM_FillImage", "chart of 65534 quotes / plain fill, 1600x900",
        20.0, true},
       {"BM_PrepareAndRender", "BM_FillImage", "prepared and drawn / plain fill", 20.0, true}},
      [] { Model(); });
}
