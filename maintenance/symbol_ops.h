// Removing, adding, copying and moving symbol records with their files, and the symbol edit.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "formats/master.h"
#include "maintenance/prompt.h"

namespace ledgrix::maintenance {

using std::filesystem::path;

inline constexpr const char* kDuplicateMessage =
    "The Symbol addition failed.\n\nReason: Symbol %s already exists in\n%s";
inline constexpr const char* kFullMessage =
    "The portfolio already has the\nmaximum number of symbols (255).\nChoose a different or "
    "new portfolio.";

// Result of a symbol operation that can fail without a refusal the format defines.
struct OpResult {
  bool ok = true;
  std::string message;  // what failed, for the user
  static OpResult Failure(std::string text) { return {false, std::move(text)}; }
  explicit operator bool() const { return ok; }
};

// Results of AddSymbolToPortfolio and TransferSymbol.
enum AddResult : int {
  kAdded = 0,
  kAlreadyThere = 1,   // refused: the destination holds the symbol
  kPortfolioFull = 2,  // refused: 255 symbols, or no free file number
  kAddFailed = 3,      // a file could not be read or written; shown through the prompt
};

// Drops the record whose display symbol equals symbol exactly and deletes its F<n>.DAT,
// F<n>.DOP and F<n>.BAK. With no matching record nothing changes (a failure is returned).
OpResult RemoveSymbol(const path& portfolioDir, const path& masterPath, std::string_view symbol);

// Copies (move = false) or moves symbol from the current portfolio to destDir.
AddResult TransferSymbol(const path& portfolioDir, const path& masterPath, std::string_view symbol,
                         const path& destDir, bool move, Prompt& prompt);

// Appends sourceRecord (stored form) to destDir's MASTER under the lowest free file number and
// copies or moves its files from sourceDir. Refusals are shown through prompt.
AddResult AddSymbolToPortfolio(const formats::MasterRecord& sourceRecord, std::string_view symbol,
                               const path& destDir, const path& sourceDir, bool move,
                               Prompt& prompt);

// Drops every record with fileNumber from masterPath, both counters one lower.
OpResult RemoveRecordByNumber(const path& masterPath, std::uint8_t fileNumber);

// Writes newSymbol and newName (space-padded to 16, as typed) into every record of masterPath
// whose display symbol equals rowSymbol, keeping MASTER.BAK. Returns 0 when the new MASTER is in
// place, 1 otherwise (MASTER then untouched).
int RewriteSymbolRecord(const path& masterPath, std::string_view rowSymbol,
                        std::string_view newSymbol, std::string_view newName);

}  // namespace ledgrix::maintenance
