// export --all of a full portfolio (255 symbols of 4 000 quotes) beside the one-symbol export
// run for each of its symbols.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "formats/dates.h"
#include "maintenance/export.h"
#include "tests/support/fixture.h"

namespace {

using namespace ledgrix;
constexpr int kSymbols = bench::kWideSymbols;
constexpr int kQuotes = bench::kWideQuotes;

struct BenchPortfolio {
  testing::TempDir dir;
  std::vector<std::string> symbols;
  std::filesystem::path out = dir / "out.txt";

  BenchPortfolio() {
    testing::PortfolioBuilder builder(dir.get());
    for (int n = 1; n <= kSymbols; ++n) {
      const testing::SymbolSpec spec = bench::WideSymbolSpec(n);
      builder.Add(spec);
      symbols.push_back(spec.symbol);
    }
    builder.Write();
  }
};

BenchPortfolio& Portfolio() {
  static BenchPortfolio portfolio;
  return portfolio;
}

void BM_ExportEachSymbol(benchmark::State& state) {
  BenchPortfolio& p = Portfolio();
  const maintenance::ExportOptions options;
  for (auto _ : state) {
    std::ofstream out(p.out, std::ios::binary | std::ios::trunc);
    for (const std::string& symbol : p.symbols) {
      if (maintenance::ExportQuotes(p.dir.get(), symbol, options, out) != formats::kOk)
        state.SkipWithError("export failed");
    }
  }
  state.SetItemsProcessed(state.iterations() * kSymbols * kQuotes);
}

void BM_ExportPortfolio(benchmark::State& state) {
  BenchPortfolio& p = Portfolio();
  const maintenance::ExportOptions options;
  for (auto _ : state) {
    std::ofstream out(p.out, std::ios::binary | std::ios::trunc);
    std::vector<maintenance::UnreadableSymbol> unreadable;
    if (maintenance::ExportPortfolio(p.dir.get(), options, out, unreadable) != formats::kOk ||
        !unreadable.empty())
      state.SkipWithError("export failed");
  }
  state.SetItemsProcessed(state.iterations() * kSymbols * kQuotes);
}

BENCHMARK(BM_ExportEachSymbol)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportPortfolio)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunWithRatios(
      argc, argv,
      {{"BM_ExportPortfolio", "BM_ExportEachSymbol", "export --all / each symbol", 0.5, true}},
      "mean", [] { Portfolio(); });
}
