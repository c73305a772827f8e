// Every write path of the maintenance layer, each on portfolios of its own, for the power-loss
// tests.
#pragma once

#include <vector>

#include "tests/crash/crash_harness.h"

namespace ledgrix::testing {

std::vector<WritePath> AllWritePaths();

}  // namespace ledgrix::testing
