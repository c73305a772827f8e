// The walk for MASTER files over a generated tree of 52 050 directories (50 x 40 x 25, a MASTER
// in every 100th leaf), beside `find ROOT -xdev -iname MASTER -type f` in the same run: the bare
// walk, and the walk feeding the progress window as the program does (offscreen).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/searching_dialog.h"
#include "bench/bench_support.h"
#include "bench/qt_bench_main.h"
#include "platform/portfolio_walk.h"
#include "tests/support/fixture.h"

namespace {

namespace fs = std::filesystem;
using namespace ledgrix;

constexpr int kTop = 50, kMiddle = 40, kLeaf = 25;
constexpr int kDirectories = kTop + kTop * kMiddle + kTop * kMiddle * kLeaf;
constexpr int kMasters = kTop * kMiddle * kLeaf / 100;

struct Tree {
  testing::TempDir root;
  Tree() {
    int leaves = 0;
    for (int a = 0; a < kTop; ++a)
      for (int b = 0; b < kMiddle; ++b)
        for (int c = 0; c < kLeaf; ++c) {
          const fs::path leaf = root / ("top" + std::to_string(a)) / ("mid" + std::to_string(b)) /
                                ("leaf" + std::to_string(c));
          fs::create_directories(leaf);
          if (leaves++ % 100 == 0)
            std::ofstream(leaf / "MASTER") << 'x';
        }
  }
};

Tree& Shared() {
  static Tree t;
  return t;
}

void BM_Find(benchmark::State& state) {
  const std::string command =
      "find '" + Shared().root.get().string() + "' -xdev -iname MASTER -type f > /dev/null";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError("find failed");
      return;
    }
  }
  state.SetItemsProcessed(state.iterations() * kDirectories);
}

void BM_Walk(benchmark::State& state) {
  const std::string root = Shared().root.get().string();
  for (auto _ : state) {
    const auto found = platform::WalkDrive(root, platform::WalkFilter{}, nullptr);
    if (static_cast<int>(found.size()) != kMasters) {
      state.SkipWithError("wrong number of portfolios");
      return;
    }
  }
  state.SetItemsProcessed(state.iterations() * kDirectories);
}

void BM_WalkWithProgressWindow(benchmark::State& state) {
  const std::string root = Shared().root.get().string();
  // The filter on, naming the tree's root: every directory is tested and passes.
  const platform::WalkFilter filter{true, platform::UpperAscii(root)};
  for (auto _ : state) {
    CSearchingDialog dialog(nullptr);
    dialog.Open();
    int mastersFound = 0;
    CSearchProgress progress(&dialog, &mastersFound);
    const auto found = platform::WalkDrive(root, filter, &progress);
    dialog.close();
    if (mastersFound != kMasters || static_cast<int>(found.size()) != kMasters) {
      state.SkipWithError("wrong number of portfolios");
      return;
    }
  }
  state.SetItemsProcessed(state.iterations() * kDirectories);
}

BENCHMARK(BM_Find)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Walk)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_WalkWithProgressWindow)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunWithQt(
      argc, argv,
      {{"BM_Walk", "BM_Find", "walk / find", 1.2},
       {"BM_WalkWithProgressWindow", "BM_Find", "walk with progress window / find", 1.2}},
      [] {
        Shared();  // the tree is built before anything is timed
        std::printf("tree: %d directories, %d MASTER files\n", kDirectories, kMasters);
      });
}
