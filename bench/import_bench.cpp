// Import of 65 000 lines of quote text into a new portfolio beside a reference that reads the
// same text and writes (and flushes to disk) as many bytes.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "formats/dates.h"
#include "maintenance/quote_import.h"
#include "maintenance/quote_text.h"
#include "platform/files.h"
#include "tests/support/fixture.h"

namespace {

using namespace ledgrix;
constexpr int kLines = 65000;
constexpr int kPerDay = 10;

// Intraday quotes, ten a day from 2 January 1990, in the form a vendor's CSV has them.
struct BenchText {
  testing::TempDir dir;
  std::filesystem::path csv = dir / "quotes.csv";
  std::filesystem::path copy = dir / "copy.bin";
  std::size_t size = 0;

  BenchText() {
    std::string text = "Date,Time,Open,High,Low,Close,Volume,OpenInt\n";
    formats::QuoteDate day = formats::DayFromYmd(90, 1, 2);
    for (int i = 0; i < kLines; ++i) {
      if (i > 0 && i % kPerDay == 0)
        day = formats::WeekdayAfter(day);
      const formats::Ymd ymd = formats::YmdFromDay(day);
      const double close = 20.0 + (i % 377) * 0.0625;
      char line[128];
      std::snprintf(line, sizeof line, "%04d-%02d-%02d,%02d:%02d,%.4f,%.4f,%.4f,%.4f,%d,%d\n",
                    1900 + ymd.year, ymd.month, ymd.day, 9 + i % kPerDay / 2, i % 2 * 30,
                    close - 0.25, close + 0.5, close - 0.5, close, 1000 + i % 5000, 300 + i % 7);
      text += line;
    }
    size = text.size();
    testing::WriteText(csv, text);
  }
};

BenchText& Text() {
  static BenchText text;
  return text;
}

std::vector<std::uint8_t> ReadAll(const std::filesystem::path& file) {
  std::vector<std::uint8_t> bytes;
  std::string error;
  platform::ReadWholeFile(file, bytes, &error);
  return bytes;
}

void BM_ImportText(benchmark::State& state) {
  BenchText& t = Text();
  const std::filesystem::path portfolio = t.dir / "PORT";
  for (auto _ : state) {
    const std::vector<std::uint8_t> bytes = ReadAll(t.csv);
    maintenance::QuoteText text;
    std::vector<maintenance::TextProblem> problems;
    const bool read = maintenance::ReadQuoteText(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), text,
        problems);
    const maintenance::ImportOutcome outcome = maintenance::ImportQuotes(
        portfolio, "BENCH", "Benchmark", text, maintenance::ImportMode::kNewSymbol);
    if (!read || !outcome.ok || outcome.quotes != kLines)
      state.SkipWithError("import failed");
    state.PauseTiming();
    std::filesystem::remove_all(portfolio);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kLines);
}

// The text read whole, then as many bytes written to a new file and flushed to disk.
void BM_ReadTextWriteBytes(benchmark::State& state) {
  BenchText& t = Text();
  for (auto _ : state) {
    const std::vector<std::uint8_t> bytes = ReadAll(t.csv);
    const int fd = ::open(t.copy.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()) ||
        ::fsync(fd) != 0)
      state.SkipWithError("write failed");
    ::close(fd);
    state.PauseTiming();
    std::filesystem::remove(t.copy);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kLines);
}

BENCHMARK(BM_ReadTextWriteBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportText)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunWithRatios(
      argc, argv, {{"BM_ImportText", "BM_ReadTextWriteBytes", "import / read + write", 5.0, true}},
      "mean", [] { Text(); });
}
