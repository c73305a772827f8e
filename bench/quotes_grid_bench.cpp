// Selecting a symbol of 32 000 quotes in the real main window (offscreen) until every row is in
// the quotes grid's model, beside formats-level paging reads of the same file (a count query,
// then windows of 400 from the newest back): a LoadSeries per window, and one SeriesReader as the
// grid reads now.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <memory>
#include <string>

#include "app/ledgrix_app.h"
#include "app/ledgrix_view.h"
#include "app/main_frame.h"
#include "app/placement.h"
#include "app/volume_list.h"
#include "bench/bench_support.h"
#include "bench/qt_bench_main.h"
#include "formats/series.h"
#include "maintenance/prompt.h"
#include "tests/support/fixture.h"

namespace {

using namespace ledgrix;

constexpr int kQuotes = 32000;
constexpr int kPage = 400;

// The portfolio in folder P of a volume that the drive list offers.
const bench::SeriesPortfolio& Shared() {
  static const bench::SeriesPortfolio p(bench::Series{.quotes = kQuotes}, "P");
  return p;
}

// The paging read the target was set against: a LoadSeries of its own per window.
void BM_LoadSeriesPaging(benchmark::State& state) {
  bench::PageWithLoadSeries(state, Shared().dir(), "BENCH", kQuotes, kPage);
}

// The formats-level read the grid does now: one SeriesReader.
void BM_ReaderPaging(benchmark::State& state) {
  bench::PageWithReader(state, Shared().dir(), "BENCH", kQuotes, kPage);
}

void BM_SelectSymbolInGrid(benchmark::State& state) {
  const bench::SeriesPortfolio& p = Shared();
  testing::TempDir settingsDir;
  FixedVolumeList volumes({QString::fromStdString(p.root().string())});
  FixedWorkArea workArea(QSize(1280, 800));
  maintenance::SilentPrompt prompt;
  CLedgrixApp app(std::make_unique<CSettingsStore>(
      QString::fromStdString((settingsDir / "Ledgrix.ini").string())));
  CLedgrixApp::Services services;
  services.volumes = &volumes;
  services.workArea = &workArea;
  services.prompt = &prompt;
  app.InitInstance(services, false);
  CLedgrixView& view = *app.mainFrame()->view();
  view.m_paintTimerStarted = true;
  app.mainFrame()->show();
  QApplication::processEvents();
  view.CreateColumns();
  view.SelectPortfolio(QString::fromStdString((p.dir() / "MASTER").string()));
  view.FillSymbolsGrid(0);
  for (auto _ : state) {
    view.OnSymbolClick();
    if (view.quoteRowCount() != kQuotes) {
      state.SkipWithError("not every row reached the grid");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * kQuotes);
  app.ExitInstance(0);
}

BENCHMARK(BM_LoadSeriesPaging)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReaderPaging)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectSymbolInGrid)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunWithQt(
      argc, argv,
      {{"BM_SelectSymbolInGrid", "BM_LoadSeriesPaging",
        "select symbol of 32000 quotes in the grid / LoadSeries paging", 2.0},
       {"BM_SelectSymbolInGrid", "BM_ReaderPaging",
        "select symbol of 32000 quotes in the grid / its own paging read", 0.0}});
}
