// Opening a portfolio of 6 000 symbols (255 in MASTER with EMASTER, the rest in XMASTER) in the
// real main window (offscreen) until the symbols grid holds every row (and the first symbol's
// quotes are shown), beside a raw read of its three index files. Once without descriptors, as
// the real samples are (each load of a symbol then lists the directory to look for its DOP in
// any case), once with one beside every quote file.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/ledgrix_app.h"
#include "app/ledgrix_view.h"
#include "app/main_frame.h"
#include "app/placement.h"
#include "app/volume_list.h"
#include "bench/bench_support.h"
#include "bench/qt_bench_main.h"
#include "maintenance/prompt.h"
#include "tests/support/fixture.h"

namespace {

using namespace ledgrix;

constexpr int kSymbols = 6000;

struct Portfolio {
  testing::TempDir root;
  std::filesystem::path dir = root / "P";
};

// Symbols in no sorted order, long names on some, two quotes each (quote files make the
// directory as large as a real one).
void Build(const Portfolio& out, bool descriptors) {
  testing::PortfolioBuilder builder(out.dir);
  for (int i = 0; i < kSymbols; ++i) {
    testing::SymbolSpec s;
    s.fileNumber = static_cast<std::uint16_t>(i + 1);  // above 255: XMASTER
    char symbol[16];
    std::snprintf(symbol, sizeof symbol, "S%04d.X", (i * 7919) % kSymbols);
    s.symbol = symbol;
    s.name = std::string("Company number ") + std::to_string(i) + (i % 3 ? " Holdings" : "");
    s.longName = i % 2 ? s.name + " International" : "";
    s.quotes = testing::MakeDailyQuotes(formats::DayFromYmd(2001, 3, 1), 2);
    s.writeDop = descriptors;
    builder.Add(s);
  }
  builder.WithEmaster().Write();
}

const Portfolio& Shared(bool descriptors = false) {
  static const Portfolio plain, described;
  static const bool built = (Build(plain, false), Build(described, true), true);
  (void)built;
  return descriptors ? described : plain;
}

void BM_ReadIndexFiles(benchmark::State& state) {
  const Portfolio& p = Shared();
  std::size_t bytes = 0;
  for (auto _ : state) {
    for (const char* name : {"MASTER", "EMASTER", "XMASTER"}) {
      // One read of each whole file.
      std::FILE* in = std::fopen((p.dir / name).c_str(), "rb");
      std::vector<char> content(std::filesystem::file_size(p.dir / name));
      bytes += std::fread(content.data(), 1, content.size(), in);
      std::fclose(in);
      benchmark::DoNotOptimize(content.data());
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}

void OpenPortfolio(benchmark::State& state, const Portfolio& p) {
  testing::TempDir settingsDir;
  FixedVolumeList volumes({QString::fromStdString(p.root.get().string())});
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
  const QString master = QString::fromStdString((p.dir / "MASTER").string());
  for (auto _ : state) {
    view.SelectPortfolio(master);
    view.FillSymbolsGrid(0);
    if (view.symbolRowCount() != kSymbols) {
      state.SkipWithError("not every symbol reached the grid");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * kSymbols);
  app.ExitInstance(0);
}

void BM_OpenPortfolioInGrid(benchmark::State& state) {
  OpenPortfolio(state, Shared(false));
}

void BM_OpenPortfolioWithDescriptors(benchmark::State& state) {
  OpenPortfolio(state, Shared(true));
}

BENCHMARK(BM_ReadIndexFiles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenPortfolioInGrid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenPortfolioWithDescriptors)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunWithQt(
      argc, argv,
      {{"BM_OpenPortfolioInGrid", "BM_ReadIndexFiles",
        "open 6000 symbols in the symbols grid / raw read of the index files", 10.0, true},
       {"BM_OpenPortfolioWithDescriptors", "BM_ReadIndexFiles",
        "the same, a DOP beside every quote file / raw read of the index files", 10.0, true}},
      [] { Shared(); });
}
