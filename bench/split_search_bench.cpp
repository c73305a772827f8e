// The split search over a full portfolio (255 symbols of 4 000 quotes) beside a reference that
// only reads the bytes of the same quote files.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "formats/dates.h"
#include "maintenance/split_search.h"
#include "tests/support/fixture.h"

namespace {

using namespace ledgrix;
constexpr int kSymbols = bench::kWideSymbols;
constexpr int kQuotes = bench::kWideQuotes;

struct BenchPortfolio {
  testing::TempDir dir;
  std::vector<std::string> symbols;
  std::vector<std::filesystem::path> quoteFiles;

  BenchPortfolio() {
    testing::PortfolioBuilder builder(dir.get());
    for (int n = 1; n <= kSymbols; ++n) {
      testing::SymbolSpec spec = bench::WideSymbolSpec(n);
      // A split every few symbols, so the search also reports.
      if (n % 7 == 0) {
        for (std::size_t i = kQuotes / 2; i < spec.quotes.size(); ++i) {
          auto& q = spec.quotes[i];
          q.open /= 2, q.high /= 2, q.low /= 2, q.close /= 2;
        }
      }
      builder.Add(spec);
      symbols.push_back(spec.symbol);
      char dat[16];
      std::snprintf(dat, sizeof dat, "F%d.DAT", n);
      quoteFiles.push_back(dir / dat);
    }
    builder.Write();
  }
};

BenchPortfolio& Portfolio() {
  static BenchPortfolio portfolio;
  return portfolio;
}

void BM_ReadQuoteBytes(benchmark::State& state) {
  BenchPortfolio& p = Portfolio();
  for (auto _ : state)
    benchmark::DoNotOptimize(bench::ReadFilesWhole(p.quoteFiles));
  state.SetItemsProcessed(state.iterations() * kSymbols * kQuotes);
}

void BM_SplitSearch(benchmark::State& state) {
  BenchPortfolio& p = Portfolio();
  int lines = 0;
  maintenance::SplitSearchEvents events;
  events.onCandidate = [&lines](const std::string&) { ++lines; };
  for (auto _ : state) {
    lines = 0;
    bool found = false;
    const auto end = maintenance::RunSplitSearch(p.dir.get(), p.symbols, events, found);
    if (end != maintenance::SplitSearchEnd::kDone || !found) {
      state.SkipWithError("search failed or found nothing");
      break;
    }
  }
  state.counters["lines"] = lines;
  state.SetItemsProcessed(state.iterations() * kSymbols * kQuotes);
}

BENCHMARK(BM_ReadQuoteBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SplitSearch)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunWithRatios(
      argc, argv,
      {{"BM_SplitSearch", "BM_ReadQuoteBytes", "split search / reading the bytes", 5.0, true}});
}
