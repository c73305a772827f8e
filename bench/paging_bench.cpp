// Paging through a 32 000-quote series the way the quotes grid does (a count query, then windows
// of 400 from the newest back), beside a reference that reads the same file's bytes in one go.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "formats/series.h"
#include "tests/support/fixture.h"

namespace {

using namespace ledgrix;

constexpr int kQuotes = 32000;
constexpr int kPage = 400;
constexpr int kSymbols = 255;

// A full portfolio whose last record is the paged symbol, so every lookup scans all of MASTER.
struct Portfolio {
  testing::TempDir dir;
  std::filesystem::path dat;
  Portfolio() {
    testing::PortfolioBuilder builder(dir.get());
    for (int i = 1; i < kSymbols; ++i) {
      testing::SymbolSpec other;
      other.fileNumber = static_cast<std::uint8_t>(i);
      other.symbol = "SYM" + std::to_string(i);
      other.name = "OTHER " + std::to_string(i);
      builder.AddRawRecord(testing::MakeMasterRecord(other));
    }
    testing::SymbolSpec spec;
    spec.fileNumber = kSymbols;
    spec.symbol = "BENCH";
    spec.name = "BENCHMARK SERIES";
    spec.quotes = testing::MakeDailyQuotes(formats::DayFromYmd(1961, 1, 2), kQuotes);
    builder.Add(spec).Write();
    dat = dir / ("F" + std::to_string(kSymbols) + ".DAT");
  }
};

Portfolio& Shared() {
  static Portfolio p;
  return p;
}

void BM_RawRead(benchmark::State& state) {
  const Portfolio& p = Shared();
  std::vector<unsigned char> bytes;
  for (auto _ : state) {
    std::FILE* f = std::fopen(p.dat.c_str(), "rb");
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
  const Portfolio& p = Shared();
  formats::QuoteSeries count;
  formats::QuoteSeries page;
  for (auto _ : state) {
    formats::InitSeries(count, 1);
    if (formats::LoadSeries(count, p.dir.get(), "BENCH", 0, 0) != formats::kOk) {
      state.SkipWithError("count query failed");
      return;
    }
    formats::InitSeries(page, kPage);
    double sum = 0;
    int rows = 0;
    for (int end = count.total; end > 0; end -= kPage) {
      const int start = end > kPage ? end - kPage : 0;
      if (formats::LoadSeries(page, p.dir.get(), "BENCH", start, end - start) != formats::kOk) {
        state.SkipWithError("page load failed");
        return;
      }
      for (int k = 0; k < page.count; ++k)
        sum += page.value(formats::kClose, k);
      rows += page.count;
    }
    if (rows != kQuotes) {
      state.SkipWithError("wrong number of rows");
      return;
    }
    benchmark::DoNotOptimize(sum);
  }
  formats::FreeSeries(count);
  formats::FreeSeries(page);
  state.SetItemsProcessed(state.iterations() * kQuotes);
}

// The same pages through a SeriesReader: one lookup, then a seek and a read per window.
void BM_ReaderPaging(benchmark::State& state) {
  const Portfolio& p = Shared();
  formats::QuoteSeries page;
  for (auto _ : state) {
    formats::SeriesReader reader;
    if (reader.Open(p.dir.get(), "BENCH") != formats::kOk) {
      state.SkipWithError("open failed");
      return;
    }
    formats::InitSeries(page, kPage);
    if (reader.Load(page, 0, 0) != formats::kOk) {
      state.SkipWithError("count query failed");
      return;
    }
    double sum = 0;
    int rows = 0;
    for (int end = page.total; end > 0; end -= kPage) {
      const int start = end > kPage ? end - kPage : 0;
      if (reader.Load(page, start, end - start) != formats::kOk) {
        state.SkipWithError("page load failed");
        return;
      }
      for (int k = 0; k < page.count; ++k)
        sum += page.value(formats::kClose, k);
      rows += page.count;
    }
    if (rows != kQuotes) {
      state.SkipWithError("wrong number of rows");
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

// Prints the usual table, then how many times the raw read's time the paging takes.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred || run.run_type != Run::RT_Iteration)
        continue;
      const std::string name = run.benchmark_name();
      if (name.find("BM_GridPaging") != std::string::npos)
        paging_ = run.GetAdjustedRealTime();
      if (name.find("BM_RawRead") != std::string::npos)
        raw_ = run.GetAdjustedRealTime();
      if (name.find("BM_ReaderPaging") != std::string::npos)
        reader_ = run.GetAdjustedRealTime();
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    if (paging_ > 0 && raw_ > 0) {
      std::printf("LoadSeries paging / raw read = %.2f (target <= 10.00)\n", paging_ / raw_);
    }
    if (reader_ > 0 && raw_ > 0) {
      std::printf("SeriesReader paging / raw read = %.2f (target <= 10.00)\n", reader_ / raw_);
    }
  }

 private:
  double paging_ = 0;
  double raw_ = 0;
  double reader_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
