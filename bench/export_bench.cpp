// Export of 32 000 quotes beside a reference that reads the same quote file at once and formats
// the same lines with snprintf.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "formats/mbf.h"
#include "maintenance/export.h"

namespace {

using namespace ledgrix;
constexpr int kQuotes = 32000;
constexpr int kFields = 7;

struct BenchPortfolio {
  bench::SeriesPortfolio portfolio{bench::TenADaySeries()};
  std::filesystem::path out = portfolio.dir() / "export.txt";
  std::filesystem::path reference = portfolio.dir() / "reference.txt";
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
      v[f] = formats::DecodeMbf(&bytes[offset + static_cast<std::size_t>(f) * 4]);
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
  const maintenance::ExportOptions options;
  for (auto _ : state) {
    std::ofstream out(p.out, std::ios::binary | std::ios::trunc);
    const auto status = maintenance::ExportQuotes(p.portfolio.dir(), "BENCH", options, out);
    out.close();
    if (status != 0)
      state.SkipWithError("export failed");
  }
  state.SetItemsProcessed(state.iterations() * kQuotes);
}

void BM_ReferenceSnprintf(benchmark::State& state) {
  BenchPortfolio& p = Portfolio();
  for (auto _ : state)
    ReferenceExport(p.portfolio.dat(), p.reference);
  state.SetItemsProcessed(state.iterations() * kQuotes);
  // Both must write the same file, or the comparison means nothing.
  std::ofstream out(p.out, std::ios::binary | std::ios::trunc);
  (void)maintenance::ExportQuotes(p.portfolio.dir(), "BENCH", {}, out);
  out.close();
  if (ReadText(p.out) != ReadText(p.reference))
    state.SkipWithError("outputs differ");
}

BENCHMARK(BM_ReferenceSnprintf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportQuotes)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  // Single runs, or the mean of repetitions.
  return bench::RunWithRatios(
      argc, argv, {{"BM_ExportQuotes", "BM_ReferenceSnprintf", "export / reference", 2.0, true}},
      "mean");
}
