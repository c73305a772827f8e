// The walk below a directory for portfolios: directories that hold a MASTER file.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace ledgrix::cli {

struct WalkResult {
  std::vector<std::filesystem::path> portfolios;  // sorted as the portfolio list sorts them
  std::vector<std::string> unreadable;            // directories that could not be listed
};

// Depth first with an explicit stack: skips dot directories, never follows a symbolic link,
// never enters another volume; MASTER is matched without regard to case and must not be a
// directory. The root itself is examined too.
WalkResult FindPortfolios(const std::filesystem::path& root);

}  // namespace ledgrix::cli
