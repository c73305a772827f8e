// Export of 32 000 quotes beside a reference that reads the same quote file at once and formats
// the same lines with snprintf.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "formats/dates.h"
#include "formats/mbf.h"
#include "maintenance/export.h"
#include "tests/support/fixture.h"

namespace {

using ledgrix::testing::TempDir;
constexpr int kQuotes = 32000;
constexpr int kQuotesPerDay = 10;  // keeps 32 000 quotes within representable dates
constexpr int kFields = 7;

struct BenchPortfolio {
  TempDir dir;
  std::filesystem::path out = dir / "export.txt";
  std::filesystem::path reference = dir / "reference.txt";

  BenchPortfolio() {
    ledgrix::testing::SymbolSpec spec;
    spec.fileNumber = 1;
    spec.symbol = "BENCH";
    spec.name = "Bench Corp";
    const ledgrix::formats::QuoteDate first = ledgrix::formats::DayFromYmd(90, 1, 2);
    for (int i = 0; i < kQuotes; ++i) {
      ledgrix::testing::Quote q;
      q.date = static_cast<ledgrix::formats::QuoteDate>(first + i / kQuotesPerDay);
      q.open = 50.0f + static_cast<float>(i % 97) / 8.0f;
      q.high = q.open + 1.25f;
      q.low = q.open - 0.75f;
      q.close = q.open + 0.5f;
      q.volume = static_cast<float>(1000 + i % 5000);
      q.openInterest = static_cast<float>(i % 300);
      spec.quotes.push_back(q);
    }
    ledgrix::testing::PortfolioBuilder(dir.get()).Add(spec).Write();
  }
};

BenchPortfolio& Portfolio() {
  static BenchPortfolio portfolio;
  return portfolio;
}

std::string ReadText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// One read of the whole quote file, then one snprintf per cell.
void ReferenceExport(const std::filesystem::path& dat, const std::filesystem::path& out) {
  std::vector<unsigned char> bytes;
  if (std::FILE* in = std::fopen(dat.c_str(), "rb")) {
    unsigned char buffer[1 << 16];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, in)) > 0;)
      bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(in);
  }
  std::FILE* file = std::fopen(out.c_str(), "wb");
  if (file == nullptr)
    return;
  constexpr std::size_t kRecord = kFields * 4;
  char line[256];
  for (std::size_t offset = kRecord; offset + kRecord <= bytes.size(); offset += kRecord) {
    float v[kFields];
    for (int f = 0; f < kFields; ++f)
      v[f] = ledgrix::formats::DecodeMbf(&bytes[offset + static_cast<std::size_t>(f) * 4]);
    const int stored = static_cast<int>(v[0]);
    int n = std::snprintf(line, sizeof line, "%02d/%02d/%02d", stored / 100 % 100, stored % 100,
                          stored / 10000 % 100);
    for (int f = 1; f < kFields; ++f) {
      const char* format = f <= 4 ? " %.4f" : " %.2f";
      n += v[f] < 0 ? std::snprintf(line + n, sizeof line - static_cast<std::size_t>(n), " N/A")
                    : std::snprintf(line + n, sizeof line - static_cast<std::size_t>(n), format,
                                    static_cast<double>(v[f]));
    }
    n += std::snprintf(line + n, sizeof line - static_cast<std::size_t>(n), "\r\n");
    std::fwrite(line, 1, static_cast<std::size_t>(n), file);
  }
  std::fclose(file);
}

void BM_ExportQuotes(benchmark::State& state) {
  BenchPortfolio& p = Portfolio();
  const ledgrix::maintenance::ExportOptions options;
  for (auto _ : state) {
    std::ofstream out(p.out, std::ios::binary | std::ios::trunc);
    const auto status = ledgrix::maintenance::ExportQuotes(p.dir.get(), "BENCH", options, out);
    out.close();
    if (status != 0)
      state.SkipWithError("export failed");
  }
  state.SetItemsProcessed(state.iterations() * kQuotes);
}

void BM_ReferenceSnprintf(benchmark::State& state) {
  BenchPortfolio& p = Portfolio();
  for (auto _ : state)
    ReferenceExport(p.dir / "F1.DAT", p.reference);
  state.SetItemsProcessed(state.iterations() * kQuotes);
  // Both must write the same file, or the comparison means nothing.
  std::ofstream out(p.out, std::ios::binary | std::ios::trunc);
  (void)ledgrix::maintenance::ExportQuotes(p.dir.get(), "BENCH", {}, out);
  out.close();
  if (ReadText(p.out) != ReadText(p.reference))
    state.SkipWithError("outputs differ");
}

BENCHMARK(BM_ReferenceSnprintf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportQuotes)->Unit(benchmark::kMillisecond);

// Prints the usual table, then how many times the reference's time the export takes.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      // Single runs, or the mean of repetitions.
      const bool usable = run.run_type == Run::RT_Iteration || run.aggregate_name == "mean";
      if (run.error_occurred || !usable)
        continue;
      const std::string name = run.benchmark_name();
      if (name.find("BM_ExportQuotes") != std::string::npos)
        Keep(run, exportTimes_);
      if (name.find("BM_ReferenceSnprintf") != std::string::npos)
        Keep(run, referenceTimes_);
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    if (exportTimes_[0] <= 0 || referenceTimes_[0] <= 0)
      return;
    std::printf("export / reference: %.2f real time, %.2f CPU time (target <= 2.00)\n",
                exportTimes_[0] / referenceTimes_[0], exportTimes_[1] / referenceTimes_[1]);
  }

 private:
  static void Keep(const Run& run, double (&times)[2]) {
    times[0] = run.GetAdjustedRealTime();
    times[1] = run.GetAdjustedCPUTime();
  }
  double exportTimes_[2] = {0, 0};
  double referenceTimes_[2] = {0, 0};
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
