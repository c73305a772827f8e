// The safe fixes of a portfolio check: what needs no judgement. Quote files are sorted by date,
// exact duplicate quotes dropped, a partial record at the end dropped and the header count set
// from the file; index dates are set from the quotes; an EMASTER out of step is rebuilt from
// MASTER. Every file goes through the crash-safe replace with its backup kept, so a caller's
// journal step records each change.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "maintenance/portfolio_check.h"

namespace ledgrix::maintenance {

// One line per fix result offers, for the question asked before: "ACME: sort F3.DAT by date".
std::vector<std::string> SafeFixLines(const CheckResult& result);

struct FixOutcome {
  std::vector<std::string> done;      // a line per file written
  std::vector<std::string> failures;  // why the fixes stopped (that file is as it was)
  bool ok() const { return failures.empty(); }
};

// Applies the fixable findings of result to dir, each file read again first: a file that no
// longer holds what the check found is mended as it is now. Each fix builds on the ones before
// (index dates come from mended files, EMASTER from MASTER), so the first failure ends the run.
FixOutcome ApplySafeFixes(const std::filesystem::path& dir, const CheckResult& result);

}  // namespace ledgrix::maintenance
