// The quote rewrite (Scale over the whole series of 32 000 quotes) beside what a plain copy of
// the same file costs: one read, one write and one fsync of the same bytes. The rewrite's backup
// F<n>.BAK is a second name for the old file (no data written), so beyond the reference it only
// decodes and encodes the quotes, renames and syncs the directory.
// And the same rewrite as a step of the undo journal beside it without the journal: the step
// also keeps the file's old and new bytes, each written and synced.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "bench/bench_support.h"
#include "formats/status.h"
#include "maintenance/quote_rewrite.h"
#include "maintenance/undo_journal.h"
#include "tests/support/fixture.h"

namespace {

using namespace ledgrix;

const bench::SeriesPortfolio& Portfolio() {
  static const bench::SeriesPortfolio portfolio(bench::TenADaySeries());
  return portfolio;
}

void BM_ApplyQuoteChangeScale(benchmark::State& state) {
  const bench::SeriesPortfolio& p = Portfolio();
  maintenance::SilentPrompt prompt;
  maintenance::QuoteChange change;
  change.operation = maintenance::kScale;
  change.firstDate = 0;
  change.lastDate = 0xFFFF;
  change.values = {1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f};
  for (auto _ : state) {
    if (maintenance::ApplyQuoteChange(change, p.dir(), "BENCH", prompt) != formats::kOk) {
      state.SkipWithError("rewrite failed");
      break;
    }
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<std::int64_t>(std::filesystem::file_size(p.dat())));
}

// Prices doubled, then halved again: every run changes the file, and the values stay exact.
template <bool kJournaled>
void BM_ScaleUpAndDown(benchmark::State& state) {
  const bench::SeriesPortfolio& p = Portfolio();
  static const testing::TempDir stateDir;
  const maintenance::UndoJournal journal(stateDir.get(), p.dir());
  maintenance::SilentPrompt prompt;
  maintenance::QuoteChange change;
  change.operation = maintenance::kScale;
  change.lastDate = 0xFFFF;
  float factor = 2.0f;
  for (auto _ : state) {
    change.values = {factor, factor, factor, factor, 1.0f, 1.0f};
    factor = 1.0f / factor;
    maintenance::JournalStep step(kJournaled ? &journal : nullptr, "Adjust Data");
    if (maintenance::ApplyQuoteChange(change, p.dir(), "BENCH", prompt) != formats::kOk) {
      state.SkipWithError("rewrite failed");
      break;
    }
  }
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
  const bench::SeriesPortfolio& p = Portfolio();
  const std::filesystem::path copy = p.dir() / "COPY.DAT";
  for (auto _ : state) {
    if (!CopyAndSync(p.dat(), copy)) {
      state.SkipWithError("copy failed");
      break;
    }
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<std::int64_t>(std::filesystem::file_size(p.dat())));
}

BENCHMARK(BM_ApplyQuoteChangeScale)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReferenceCopyAndFsync)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScaleUpAndDown<true>)
    ->Name("BM_JournaledRewrite")
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScaleUpAndDown<false>)
    ->Name("BM_UnjournaledRewrite")
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunWithRatios(
      argc, argv,
      {{"BM_ApplyQuoteChangeScale", "BM_ReferenceCopyAndFsync", "rewrite / cp + fsync", 2.0},
       // The step writes and syncs two more copies of the file and its record twice (eight
       // syncs beside the rewrite's three): about three times is its floor.
       {"BM_JournaledRewrite", "BM_UnjournaledRewrite", "journaled / plain rewrite", 3.5}});
}
