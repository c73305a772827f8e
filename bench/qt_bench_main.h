// The GUI benchmarks' main: a QApplication, offscreen unless QT_QPA_PLATFORM names a platform.
#pragma once

#include <QApplication>
#include <functional>
#include <utility>
#include <vector>

#include "bench/bench_support.h"

namespace ledgrix::bench {

// prepare runs once the arguments are known, before anything is timed.
inline int RunWithQt(int argc, char** argv, std::vector<Ratio> ratios,
                     const std::function<void()>& prepare = {}) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication qt(argc, argv);
  return RunWithRatios(argc, argv, std::move(ratios), "median", prepare);
}

}  // namespace ledgrix::bench
