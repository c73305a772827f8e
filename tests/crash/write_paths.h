// Every write path of the maintenance layer, each on portfolios of its own, for the power-loss
// tests.
#pragma once

#include <filesystem>
#include <vector>

#include "tests/crash/crash_harness.h"

namespace ledgrix::testing {

std::vector<WritePath> AllWritePaths();

// The folder below which every portfolio of the paths lies (their undo journals lie elsewhere).
const std::filesystem::path& PortfolioRoot();

}  // namespace ledgrix::testing
