// The split search over a full portfolio (255 symbols of 4 000 quotes) beside a reference that
// only reads the bytes of the same quote files.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "formats/dates.h"
#include "maintenance/split_search.h"
#include "tests/support/fixture.h"

namespace {

using ledgrix::testing::TempDir;
constexpr int kSymbols = 255;
constexpr int kQuotes = 4000;

struct BenchPortfolio {
  TempDir dir;
  std::vector<std::string> symbols;
  std::vector<std::filesystem::path> quoteFiles;

  BenchPortfolio() {
    ledgrix::testing::PortfolioBuilder builder(dir.get());
    const ledgrix::formats::QuoteDate first = ledgrix::formats::DayFromYmd(90, 1, 2);
    for (int n = 1; n <= kSymbols; ++n) {
      ledgrix::testing::SymbolSpec spec;
      spec.fileNumber = static_cast<std::uint8_t>(n);
      char symbol[8];
      std::snprintf(symbol, sizeof symbol, "S%03d", n);
      spec.symbol = symbol;
      spec.name = symbol;
      spec.quotes = ledgrix::testing::MakeDailyQuotes(first, kQuotes, 20.0f + n % 50);
      // A split every few symbols, so the search also reports.
      if (n % 7 == 0) {
        for (std::size_t i = kQuotes / 2; i < spec.quotes.size(); ++i) {
          auto& q = spec.quotes[i];
          q.open /= 2, q.high /= 2, q.low /= 2, q.close /= 2;
        }
      }
      builder.Add(spec);
      symbols.push_back(symbol);
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

// Reads every quote file whole, through the same C streams, and touches each byte.
std::size_t ReadAllQuoteFiles(const std::vector<std::filesystem::path>& files) {
  std::size_t sum = 0;
  std::vector<unsigned char> buffer(1 << 16);
  for (const auto& file : files) {
    std::FILE* in = std::fopen(file.c_str(), "rb");
    if (in == nullptr)
      continue;
    for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), in)) > 0;)
      for (std::size_t i = 0; i < n; ++i)
        sum += buffer[i];
    std::fclose(in);
  }
  return sum;
}

void BM_ReadQuoteBytes(benchmark::State& state) {
  BenchPortfolio& p = Portfolio();
  for (auto _ : state)
    benchmark::DoNotOptimize(ReadAllQuoteFiles(p.quoteFiles));
  state.SetItemsProcessed(state.iterations() * kSymbols * kQuotes);
}

void BM_SplitSearch(benchmark::State& state) {
  BenchPortfolio& p = Portfolio();
  int lines = 0;
  ledgrix::maintenance::SplitSearchEvents events;
  events.onCandidate = [&lines](const std::string&) { ++lines; };
  for (auto _ : state) {
    lines = 0;
    bool found = false;
    const auto end = ledgrix::maintenance::RunSplitSearch(p.dir.get(), p.symbols, events, found);
    if (end != ledgrix::maintenance::SplitSearchEnd::kDone || !found) {
      state.SkipWithError("search failed or found nothing");
      break;
    }
  }
  state.counters["lines"] = lines;
  state.SetItemsProcessed(state.iterations() * kSymbols * kQuotes);
}

BENCHMARK(BM_ReadQuoteBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SplitSearch)->Unit(benchmark::kMillisecond);

// Prints the usual table, then how many times the reference's time the search takes.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      // Single runs, or the medians when repetitions are asked for.
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (run.error_occurred || (run.run_type != Run::RT_Iteration && !median))
        continue;
      const std::string name = run.run_name.function_name;
      if (name.find("BM_SplitSearch") != std::string::npos)
        search_ = run;
      if (name.find("BM_ReadQuoteBytes") != std::string::npos)
        reference_ = run;
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    if (search_.iterations == 0 || reference_.iterations == 0)
      return;
    std::printf(
        "split search / reading the bytes: %.2f real time, %.2f CPU time (target <= 5.00)\n",
        search_.GetAdjustedRealTime() / reference_.GetAdjustedRealTime(),
        search_.GetAdjustedCPUTime() / reference_.GetAdjustedCPUTime());
  }

 private:
  Run search_;
  Run reference_;
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
