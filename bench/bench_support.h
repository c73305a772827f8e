// What the benchmarks share: the long quote series they measure, and a reporter that prints each
// of our timings as a multiple of its reference from the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "formats/dates.h"
#include "formats/series.h"
#include "tests/support/fixture.h"

namespace ledgrix::bench {

// One symbol's daily series.
struct Series {
  int quotes = 32000;
  formats::QuoteDate first = formats::DayFromYmd(1961, 1, 2);
  // 0: one quote each weekday, prices walking around `price` (MakeDailyQuotes). n > 0: n quotes
  // to a calendar day on a fixed pattern above `price`, which keeps 32 000 quotes within
  // representable dates when the series starts late.
  int quotesPerDay = 0;
  float price = 50.0f;
  std::uint8_t fileNumber = 1;
  std::string symbol = "BENCH";
  std::string name = "BENCHMARK SERIES";
};

// Reads each file whole through C streams and touches every byte: the raw read the readers are
// measured against.
std::size_t ReadFilesWhole(const std::vector<std::filesystem::path>& files);

// 32 000 quotes from 2 January 1990, ten to a day: the rewrite's and the export's series.
Series TenADaySeries();

testing::SymbolSpec SeriesSpec(const Series& series);

// The wide portfolio the whole-portfolio benchmarks share: symbol n of 1 .. 255 is "S<nnn>" in
// F<n>.DAT, 4 000 daily quotes from 2 January 1990.
inline constexpr int kWideSymbols = 255;
inline constexpr int kWideQuotes = 4000;
testing::SymbolSpec WideSymbolSpec(int n);

// A portfolio in a fresh temporary directory whose last MASTER record is the series.
class SeriesPortfolio {
 public:
  // folder: the portfolio's folder inside the temporary directory, empty for the directory
  // itself. recordsBefore: records without quote files ahead of the series (SYM1, SYM2...),
  // so that every lookup of the series scans them.
  explicit SeriesPortfolio(const Series& series, const std::string& folder = {},
                           int recordsBefore = 0);

  const std::filesystem::path& root() const { return root_.get(); }
  const std::filesystem::path& dir() const { return dir_; }
  const std::filesystem::path& dat() const { return dat_; }

 private:
  testing::TempDir root_;
  std::filesystem::path dir_;
  std::filesystem::path dat_;
};

// Reads `total` rows from the newest back in windows of `pageSize`, as the quotes grid pages:
// load(start, count) reads one window into `window` and says whether it could. Gives the rows
// read, or -1 when a window failed. Each window's columns are kept from being optimised away,
// as the reference keeps its bytes; what the grid then does with them is its own benchmark's.
template <class Load>
int PageNewestFirst(const formats::QuoteSeries& window, int total, int pageSize, Load load) {
  int rows = 0;
  for (int end = total; end > 0; end -= pageSize) {
    const int start = end > pageSize ? end - pageSize : 0;
    if (!load(start, end - start))
      return -1;
    benchmark::DoNotOptimize(window.date.data());
    benchmark::DoNotOptimize(window.values[formats::kClose - formats::kOpen].data());
    benchmark::ClobberMemory();
    rows += window.count;
  }
  return rows;
}

// The body of a benchmark paging `quotes` rows the quotes grid's way through LoadSeries: a count
// query, then windows of `pageSize` from the newest back, each a LoadSeries of its own.
void PageWithLoadSeries(benchmark::State& state, const std::filesystem::path& dir,
                        const std::string& symbol, int quotes, int pageSize);

// The same pages through one SeriesReader, as the quotes grid and the split search read: one
// lookup, then a seek and a read per window.
void PageWithReader(benchmark::State& state, const std::filesystem::path& dir,
                    const std::string& symbol, int quotes, int pageSize);

// One line of the closing summary: a benchmark of ours beside its reference.
struct Ratio {
  std::string ours;       // part of our benchmark's name (its exact function name wins)
  std::string reference;  // part of the reference's name, likewise
  std::string label;
  double target = 0;    // the ratio we hold ourselves to (0: shown for comparison only)
  bool cpuToo = false;  // also a line for the CPU times
};

// The usual table, then per ratio
// "<label>: <ours> ms / <reference> ms = <ratio> (target <= <target>)".
// With repetitions, the aggregate named `aggregate` ("median", "mean") stands for each benchmark.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  explicit RatioReporter(std::vector<Ratio> ratios, std::string aggregate = "median");

  void ReportRuns(const std::vector<Run>& runs) override;
  void Finalize() override;

  bool anyError() const { return anyError_; }

 private:
  struct Timing {
    std::string name;
    std::string function;
    double realMs = 0;
    double cpuMs = 0;
  };
  const Timing* Find(const std::string& part) const;

  std::vector<Ratio> ratios_;
  std::string aggregate_;
  std::vector<Timing> timings_;
  bool anyError_ = false;
};

// Google Benchmark's main with a RatioReporter: 1 for arguments it does not know; prepare runs
// before anything is timed; 1 when any benchmark failed.
int RunWithRatios(int argc, char** argv, std::vector<Ratio> ratios,
                  const std::string& aggregate = "median",
                  const std::function<void()>& prepare = {});

}  // namespace ledgrix::bench
