// The portfolio check over a full portfolio (255 symbols of 4 000 quotes, with EMASTER) beside a
// reference that only reads every file of the same directory whole.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "formats/dates.h"
#include "maintenance/portfolio_check.h"
#include "tests/support/fixture.h"

namespace {

using namespace ledgrix;
constexpr int kSymbols = bench::kWideSymbols;
constexpr int kQuotes = bench::kWideQuotes;

struct BenchPortfolio {
  testing::TempDir dir;
  std::vector<std::filesystem::path> files;

  BenchPortfolio() {
    testing::PortfolioBuilder builder(dir.get());
    for (int n = 1; n <= kSymbols; ++n) {
      testing::SymbolSpec spec = bench::WideSymbolSpec(n);
      // A wild close every few symbols, so the check also reports.
      if (n % 7 == 0) {
        auto& q = spec.quotes[kQuotes / 2];
        q.close = q.high = q.close * 2.5f;
      }
      builder.Add(spec);
    }
    builder.WithEmaster().Write();
    for (const auto& entry : std::filesystem::directory_iterator(dir.get()))
      files.push_back(entry.path());
  }
};

BenchPortfolio& Portfolio() {
  static BenchPortfolio portfolio;
  return portfolio;
}

void BM_ReadAllFiles(benchmark::State& state) {
  BenchPortfolio& p = Portfolio();
  for (auto _ : state)
    benchmark::DoNotOptimize(bench::ReadFilesWhole(p.files));
  state.SetItemsProcessed(state.iterations() * kSymbols * kQuotes);
}

void BM_CheckPortfolio(benchmark::State& state) {
  BenchPortfolio& p = Portfolio();
  std::size_t findings = 0;
  for (auto _ : state) {
    findings = maintenance::CheckPortfolio(p.dir.get()).findings.size();
    if (findings == 0) {
      state.SkipWithError("the check found nothing");
      break;
    }
  }
  state.counters["findings"] = static_cast<double>(findings);
  state.SetItemsProcessed(state.iterations() * kSymbols * kQuotes);
}

BENCHMARK(BM_ReadAllFiles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckPortfolio)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunWithRatios(argc, argv,
                              {{"BM_CheckPortfolio", "BM_ReadAllFiles",
                                "portfolio check / reading every file", 3.0, true}});
}
