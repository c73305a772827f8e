#include "bench/bench_support.h"

#include <unistd.h>

#include <cstdio>
#include <utility>

namespace ledgrix::bench {

std::size_t ReadFilesWhole(const std::vector<std::filesystem::path>& files) {
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

Series TenADaySeries() {
  Series series;
  series.first = formats::DayFromYmd(90, 1, 2);
  series.quotesPerDay = 10;
  series.name = "Bench Corp";
  return series;
}

testing::SymbolSpec SeriesSpec(const Series& series) {
  testing::SymbolSpec spec;
  spec.fileNumber = series.fileNumber;
  spec.symbol = series.symbol;
  spec.name = series.name;
  if (series.quotesPerDay <= 0) {
    spec.quotes = testing::MakeDailyQuotes(series.first, series.quotes, series.price);
    return spec;
  }
  spec.quotes.reserve(static_cast<std::size_t>(series.quotes > 0 ? series.quotes : 0));
  for (int i = 0; i < series.quotes; ++i) {
    testing::Quote q;
    q.date = static_cast<formats::QuoteDate>(series.first + i / series.quotesPerDay);
    q.open = series.price + static_cast<float>(i % 97) / 8.0f;
    q.high = q.open + 1.25f;
    q.low = q.open - 0.75f;
    q.close = q.open + 0.5f;
    q.volume = static_cast<float>(1000 + i % 5000);
    q.openInterest = static_cast<float>(i % 300);
    spec.quotes.push_back(q);
  }
  return spec;
}

testing::SymbolSpec WideSymbolSpec(int n) {
  char symbol[8];
  std::snprintf(symbol, sizeof symbol, "S%03d", n);
  return SeriesSpec({.quotes = kWideQuotes,
                     .first = formats::DayFromYmd(90, 1, 2),
                     .price = 20.0f + static_cast<float>(n % 50),
                     .fileNumber = static_cast<std::uint8_t>(n),
                     .symbol = symbol,
                     .name = symbol});
}

SeriesPortfolio::SeriesPortfolio(const Series& series, const std::string& folder, int recordsBefore)
    : dir_(folder.empty() ? root_.get() : root_ / folder),
      dat_(dir_ / ("F" + std::to_string(series.fileNumber) + ".DAT")) {
  testing::PortfolioBuilder builder(dir_);
  for (int i = 1; i <= recordsBefore; ++i) {
    testing::SymbolSpec other;
    other.fileNumber = static_cast<std::uint8_t>(i);
    other.symbol = "SYM" + std::to_string(i);
    other.name = "OTHER " + std::to_string(i);
    builder.AddRawRecord(testing::MakeMasterRecord(other));
  }
  builder.Add(SeriesSpec(series)).Write();
}

namespace {

// The rows read, or -1 when a load failed.
int LoadSeriesNewestFirst(const std::filesystem::path& dir, const std::string& symbol,
                          int pageSize) {
  formats::QuoteSeries count;
  formats::InitSeries(count, 1);
  const bool counted = formats::LoadSeries(count, dir, symbol, 0, 0) == formats::kOk;
  const int total = count.total;
  formats::FreeSeries(count);
  if (!counted)
    return -1;
  formats::QuoteSeries page;
  formats::InitSeries(page, pageSize);
  const int rows = PageNewestFirst(page, total, pageSize, [&](int start, int n) {
    return formats::LoadSeries(page, dir, symbol, start, n) == formats::kOk;
  });
  formats::FreeSeries(page);
  return rows;
}

}  // namespace

void PageWithLoadSeries(benchmark::State& state, const std::filesystem::path& dir,
                        const std::string& symbol, int quotes, int pageSize) {
  for (auto _ : state) {
    const int rows = LoadSeriesNewestFirst(dir, symbol, pageSize);
    if (rows != quotes) {
      state.SkipWithError(rows < 0 ? "load failed" : "wrong number of rows");
      return;
    }
  }
  state.SetItemsProcessed(state.iterations() * quotes);
}

void PageWithReader(benchmark::State& state, const std::filesystem::path& dir,
                    const std::string& symbol, int quotes, int pageSize) {
  formats::QuoteSeries page;
  for (auto _ : state) {
    formats::SeriesReader reader;
    if (reader.Open(dir, symbol) != formats::kOk) {
      state.SkipWithError("open failed");
      return;
    }
    formats::InitSeries(page, pageSize);
    if (reader.Load(page, 0, 0) != formats::kOk) {
      state.SkipWithError("count query failed");
      return;
    }
    const int rows = PageNewestFirst(page, page.total, pageSize, [&](int start, int n) {
      return reader.Load(page, start, n) == formats::kOk;
    });
    if (rows != quotes) {
      state.SkipWithError(rows < 0 ? "page load failed" : "wrong number of rows");
      return;
    }
  }
  formats::FreeSeries(page);
  state.SetItemsProcessed(state.iterations() * quotes);
}

// Colours only on a terminal: a log or a pipe gets the plain table.
RatioReporter::RatioReporter(std::vector<Ratio> ratios, std::string aggregate)
    : ConsoleReporter(::isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular),
      ratios_(std::move(ratios)),
      aggregate_(std::move(aggregate)) {}

void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
  ConsoleReporter::ReportRuns(runs);
  for (const Run& run : runs) {
    if (run.error_occurred) {
      anyError_ = true;
      continue;
    }
    // Repetitions come before their aggregates, so the aggregate has the last word.
    if (run.run_type != Run::RT_Iteration && run.aggregate_name != aggregate_)
      continue;
    const double toMs = 1e3 / benchmark::GetTimeUnitMultiplier(run.time_unit);
    const Timing timing{run.run_name.str(), run.run_name.function_name,
                        run.GetAdjustedRealTime() * toMs, run.GetAdjustedCPUTime() * toMs};
    bool replaced = false;
    for (Timing& kept : timings_) {
      if (kept.name == timing.name) {
        kept = timing;
        replaced = true;
      }
    }
    if (!replaced)
      timings_.push_back(timing);
  }
}

const RatioReporter::Timing* RatioReporter::Find(const std::string& part) const {
  // BM_Walk must not find BM_WalkWithProgressWindow: an exact function name comes first.
  for (const Timing& timing : timings_) {
    if (timing.function == part)
      return &timing;
  }
  for (const Timing& timing : timings_) {
    if (timing.name.find(part) != std::string::npos)
      return &timing;
  }
  return nullptr;
}

namespace {

void PrintRatio(const std::string& label, double ours, double reference, double target) {
  std::printf("%s: %.3f ms / %.3f ms = %.2f", label.c_str(), ours, reference, ours / reference);
  if (target > 0)
    std::printf(" (target <= %.2f)", target);
  std::printf("\n");
}

}  // namespace

void RatioReporter::Finalize() {
  ConsoleReporter::Finalize();
  for (const Ratio& ratio : ratios_) {
    const Timing* ours = Find(ratio.ours);
    const Timing* reference = Find(ratio.reference);
    if (ours == nullptr || reference == nullptr || reference->realMs <= 0) {
      std::printf("%s: not measured\n", ratio.label.c_str());
      continue;
    }
    PrintRatio(ratio.label, ours->realMs, reference->realMs, ratio.target);
    if (ratio.cpuToo && reference->cpuMs > 0)
      PrintRatio(ratio.label + " (CPU time)", ours->cpuMs, reference->cpuMs, ratio.target);
  }
  std::fflush(stdout);
}

int RunWithRatios(int argc, char** argv, std::vector<Ratio> ratios, const std::string& aggregate,
                  const std::function<void()>& prepare) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  if (prepare)
    prepare();
  RatioReporter reporter(std::move(ratios), aggregate);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return reporter.anyError() ? 1 : 0;
}

}  // namespace ledgrix::bench
