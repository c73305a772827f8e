// Paging through a 32 000-quote series the way the quotes grid does (a count query, then windows
// of 400 from the newest back), beside a reference that reads the same file's bytes in one go.
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

void BM_GridPaging(benchmark::State& state) {
  bench::PageWithLoadSeries(state, Shared().dir(), "BENCH", kQuotes, kPage);
}

// The same pages through a SeriesReader: one lookup, then a seek and a read per window.
void BM_ReaderPaging(benchmark::State& state) {
  const bench::SeriesPortfolio& p = Shared();
  formats::QuoteSeries page;
  for (auto _ : state) {
    formats::SeriesReader reader;
    if (reader.Open(p.dir(), "BENCH") != formats::kOk) {
      state.SkipWithError("open failed");
      return;
    }
    formats::InitSeries(page, kPage);
    if (reader.Load(page, 0, 0) != formats::kOk) {
      state.SkipWithError("count query failed");
      return;
    }
    double sum = 0;
    const int rows = bench::PageNewestFirst(
        page, page.total, kPage,
        [&](int start, int n) { return reader.Load(page, start, n) == formats::kOk; }, sum);
    if (rows != kQuotes) {
      state.SkipWithError(rows < 0 ? "page load failed" : "wrong number of rows");
      return;
    }
    benchmark::DoNotOptimize(sum);
  }
  formats::FreeSeries(page);
  state.SetItemsProcessed(state.iterations() * kQuotes);
}

BENCHMARK(BM_RawRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GridPaging)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReaderPaging)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunWithRatios(
      argc, argv,
      {{"BM_GridPaging", "BM_RawRead", "LoadSeries paging / raw read", 10.0},
       {"BM_ReaderPaging", "BM_RawRead", "SeriesReader paging / raw read", 10.0}});
}
