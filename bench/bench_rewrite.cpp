// The quote rewrite (Scale over the whole series of 32 000 quotes) beside what a plain copy of
// the same file costs: one read, one write and one fsync of the same bytes. The rewrite also
// writes and syncs F<n>.BAK and syncs the directory, so about twice the reference is its floor.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "formats/dates.h"
#include "formats/status.h"
#include "maintenance/quote_rewrite.h"
#include "tests/support/fixture.h"

namespace {

using ledgrix::testing::TempDir;
constexpr int kQuotes = 32000;
constexpr int kQuotesPerDay = 10;  // keeps 32 000 quotes within representable dates

struct BenchPortfolio {
  TempDir dir;
  std::filesystem::path dat = dir / "F1.DAT";
  std::filesystem::path copy = dir / "COPY.DAT";

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

void BM_ApplyQuoteChangeScale(benchmark::State& state) {
  BenchPortfolio& p = Portfolio();
  ledgrix::maintenance::SilentPrompt prompt;
  ledgrix::maintenance::QuoteChange change;
  change.operation = ledgrix::maintenance::kScale;
  change.firstDate = 0;
  change.lastDate = 0xFFFF;
  change.values = {1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f};
  for (auto _ : state) {
    if (ledgrix::maintenance::ApplyQuoteChange(change, p.dir.get(), "BENCH", prompt) !=
        ledgrix::formats::kOk) {
      state.SkipWithError("rewrite failed");
      break;
    }
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<std::int64_t>(std::filesystem::file_size(p.dat)));
}

// What cp followed by fsync does: read the file, write it elsewhere, flush it to disk.
bool CopyAndSync(const std::filesystem::path& from, const std::filesystem::path& to) {
  int in = ::open(from.c_str(), O_RDONLY);
  if (in < 0)
    return false;
  std::vector<char> bytes;
  char buffer[1 << 16];
  for (ssize_t n; (n = ::read(in, buffer, sizeof buffer)) > 0;)
    bytes.insert(bytes.end(), buffer, buffer + n);
  ::close(in);
  int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (out < 0)
    return false;
  bool ok = ::write(out, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  ok = ::fsync(out) == 0 && ok;
  return ::close(out) == 0 && ok;
}

void BM_ReferenceCopyAndFsync(benchmark::State& state) {
  BenchPortfolio& p = Portfolio();
  for (auto _ : state) {
    if (!CopyAndSync(p.dat, p.copy)) {
      state.SkipWithError("copy failed");
      break;
    }
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<std::int64_t>(std::filesystem::file_size(p.dat)));
}

BENCHMARK(BM_ApplyQuoteChangeScale)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReferenceCopyAndFsync)->UseRealTime()->Unit(benchmark::kMillisecond);

// Prints the usual table, then the rewrite's time as a multiple of the reference.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration && !run.error_occurred)
        realTime_[run.run_name.function_name] = run.GetAdjustedRealTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    auto rewrite = realTime_.find("BM_ApplyQuoteChangeScale");
    auto reference = realTime_.find("BM_ReferenceCopyAndFsync");
    if (rewrite != realTime_.end() && reference != realTime_.end() && reference->second > 0) {
      std::printf(
          "rewrite %.3f ms, cp + fsync %.3f ms: ratio %.2f (target <= 3; the rewrite also "
          "writes and syncs F1.BAK and syncs the folder)\n",
          rewrite->second, reference->second, rewrite->second / reference->second);
    }
  }

 private:
  std::map<std::string, double> realTime_;
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
