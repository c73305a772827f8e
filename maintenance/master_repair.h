// Repair of a MASTER whose records lost their symbol: the issue name becomes the symbol.
#pragma once

#include <filesystem>
#include <string>

#include "maintenance/prompt.h"

namespace ledgrix::maintenance {

// The question asked before a repair; %s is the MASTER path.
inline constexpr const char* kRepairQuestion =
    "The master file\n%s\nappears corrupted.\n\nShould Ledgrix try to repair this file "
    "now?\n\n(Hint: There is a control for this in\nthe Portfolio > Search Filter dialog.)";

// Asks first unless repairFlag is set. Returns non-zero when the repaired file is in place,
// 0 when the user declined or the repair failed (MASTER then untouched). An EMASTER in step
// with MASTER takes the new symbols too.
int RepairMaster(const std::filesystem::path& masterPath, bool repairFlag, Prompt& prompt);

// Rebuilds dir's EMASTER, out of step with MASTER, from MASTER: one record per MASTER record,
// each taken from the old EMASTER where one names the same file number and symbol (its long name
// and every byte MASTER does not give stay), else made afresh. The old file is kept as
// EMASTER.BAK. Asks first (reason: why it is out of step) unless repairFlag is set. Returns
// non-zero when the new EMASTER is in place, 0 when declined or failed (*error: why it failed).
int RebuildEmaster(const std::filesystem::path& dir, bool repairFlag, Prompt& prompt,
                   std::string* error = nullptr);

}  // namespace ledgrix::maintenance
