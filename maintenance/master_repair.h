// Repair of a MASTER whose records lost their symbol: the issue name becomes the symbol.
#pragma once

#include <filesystem>

#include "maintenance/prompt.h"

namespace ledgrix::maintenance {

// The question asked before a repair; %s is the MASTER path.
inline constexpr const char* kRepairQuestion =
    "The master file\n%s\nappears corrupted.\n\nShould Ledgrix try to repair this file "
    "now?\n\n(Hint: There is a control for this in\nthe Portfolio > Search Filter dialog.)";

// Asks first unless repairFlag is set. Returns non-zero when the repaired file is in place,
// 0 when the user declined or the repair failed (MASTER then untouched).
int RepairMaster(const std::filesystem::path& masterPath, bool repairFlag, Prompt& prompt);

}  // namespace ledgrix::maintenance
