// Selecting a symbol of 32 000 quotes in the real main window (offscreen) until every row is in
// the quotes grid's model, beside the formats-level paging read of the same file (a count query,
// then windows of 400 from the newest back).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <cstdio>
#include <memory>
#include <string>

#include "app/ledgrix_app.h"
#include "app/ledgrix_view.h"
#include "app/main_frame.h"
#include "app/placement.h"
#include "app/volume_list.h"
#include "formats/series.h"
#include "maintenance/prompt.h"
#include "tests/support/fixture.h"

namespace {

using namespace ledgrix;

constexpr int kQuotes = 32000;
constexpr int kPage = 400;

struct Portfolio {
  testing::TempDir volume;
  std::filesystem::path dir;
  Portfolio() : dir(volume / "P") {
    testing::SymbolSpec spec;
    spec.fileNumber = 1;
    spec.symbol = "BENCH";
    spec.name = "BENCHMARK SERIES";
    spec.quotes = testing::MakeDailyQuotes(formats::DayFromYmd(1961, 1, 2), kQuotes);
    testing::PortfolioBuilder(dir).Add(spec).Write();
  }
};

Portfolio& Shared() {
  static Portfolio p;
  return p;
}

void BM_FormatsPaging(benchmark::State& state) {
  const Portfolio& p = Shared();
  formats::QuoteSeries count;
  formats::QuoteSeries page;
  for (auto _ : state) {
    formats::InitSeries(count, 1);
    if (formats::LoadSeries(count, p.dir, "BENCH", 0, 0) != formats::kOk) {
      state.SkipWithError("count query failed");
      return;
    }
    formats::FreeSeries(count);
    formats::InitSeries(page, kPage);
    int rows = 0;
    double sum = 0;
    for (int end = kQuotes; end > 0; end -= kPage) {
      const int start = end > kPage ? end - kPage : 0;
      if (formats::LoadSeries(page, p.dir, "BENCH", start, end - start) != formats::kOk) {
        state.SkipWithError("page load failed");
        return;
      }
      for (int k = page.count - 1; k >= 0; --k)
        sum += page.value(formats::kClose, k);
      rows += page.count;
    }
    formats::FreeSeries(page);
    if (rows != kQuotes)
      state.SkipWithError("wrong number of rows");
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kQuotes);
}

void BM_SelectSymbolInGrid(benchmark::State& state) {
  const Portfolio& p = Shared();
  testing::TempDir settingsDir;
  FixedVolumeList volumes({QString::fromStdString(p.volume.get().string())});
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
  view.SelectPortfolio(QString::fromStdString((p.dir / "MASTER").string()));
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

BENCHMARK(BM_FormatsPaging)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectSymbolInGrid)->Unit(benchmark::kMillisecond);

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred || run.run_type != Run::RT_Iteration)
        continue;
      const std::string name = run.benchmark_name();
      if (name.find("BM_FormatsPaging") != std::string::npos)
        paging_ = run.GetAdjustedRealTime();
      if (name.find("BM_SelectSymbolInGrid") != std::string::npos)
        grid_ = run.GetAdjustedRealTime();
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    if (paging_ > 0 && grid_ > 0)
      std::printf(
          "select symbol of %d quotes in the grid / formats paging = %.2f (target <= 2.00)\n",
          kQuotes, grid_ / paging_);
  }

 private:
  double paging_ = 0;
  double grid_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication qt(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
