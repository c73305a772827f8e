// Paging through a 32 000-quote series the way the quotes grid does (a count query, then windows
// of 400 from the newest back, through one SeriesReader), beside a reference that reads the same
// file's bytes in one go; and, for comparison, a LoadSeries of its own per window.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "formats/series.h"

namespace {

using namespace ledgrix;

constexpr int kQuotes = 32000;
constexpr int kPage = 400;
constexpr int kSymbols = 255;

// A full portfolio whose last record is the paged symbol, so every lookup scans all of MASTER.
const bench::SeriesPortfolio& Shared() {
  static const bench::SeriesPortfolio p(bench::Series{.fileNumber = kSymbols}, "", kSymbols - 1);
  return p;
}

void BM_RawRead(benchmark::State& state) {
  const bench::SeriesPortfolio& p = Shared();
  std::vector<unsigned char> bytes;
  for (auto _ : state) {
    std::FILE* f = std::fopen(p.dat().c_str(), "rb");
    if (f == nullptr) {
      state.SkipWithError("cannot open the quote file");
      return;
    }
    std::fseek(f, 0, SEEK_END);
    bytes.resize(static_cast<std::size_t>(std::ftell(f)));
    std::fseek(f, 0, SEEK_SET);
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    benchmark::DoNotOptimize(got);
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}

// A LoadSeries per window: a lookup in MASTER, the descriptor and an open of the quote file each.
void BM_LoadSeriesPaging(benchmark::State& state) {
  bench::PageWithLoadSeries(state, Shared().dir(), "BENCH", kQuotes, kPage);
}

// What the quotes grid and the split search do: one SeriesReader, a seek and a read per window.
void BM_ReaderPaging(benchmark::State& state) {
  bench::PageWithReader(state, Shared().dir(), "BENCH", kQuotes, kPage);
}

BENCHMARK(BM_RawRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadSeriesPaging)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReaderPaging)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunWithRatios(
      argc, argv,
      {{"BM_ReaderPaging", "BM_RawRead", "SeriesReader paging (the grid's read) / raw read", 10.0,
        true},
       {"BM_LoadSeriesPaging", "BM_RawRead", "LoadSeries per window / raw read", 0.0}});
}
