// Removing, adding, copying, moving and renaming symbols with their files. Every change keeps
// MASTER, EMASTER and XMASTER in step (see IndexUpdate).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "formats/index_entry.h"
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
  kPortfolioFull = 2,  // refused: 255 symbols and no XMASTER, or no free file number
  kAddFailed = 3,      // a file could not be read or written; shown through the prompt
};

// Drops the record whose display symbol equals symbol exactly (MASTER's first, then XMASTER's)
// and deletes its quote file (F<n>.DAT or F<n>.MWD), F<n>.DOP and F<n>.BAK. With no matching
// record nothing changes (a failure is returned).
OpResult RemoveSymbol(const path& portfolioDir, const path& masterPath, std::string_view symbol);
// The same for the entry with key.
OpResult RemoveSymbol(const path& portfolioDir, formats::SymbolKey key);

// Copies (move = false) or moves symbol from the current portfolio to destDir: into MASTER
// under the lowest free number while it has room, else into destDir's XMASTER under its next
// number; without an XMASTER a full MASTER refuses.
AddResult TransferSymbol(const path& portfolioDir, const path& masterPath, std::string_view symbol,
                         const path& destDir, bool move, Prompt& prompt);

// Appends sourceRecord (stored form) to destDir's index and copies or moves its files from
// sourceDir. Refusals are shown through prompt.
AddResult AddSymbolToPortfolio(const formats::MasterRecord& sourceRecord, std::string_view symbol,
                               const path& destDir, const path& sourceDir, bool move,
                               Prompt& prompt);

// Drops every record with fileNumber from masterPath's MASTER (and EMASTER; both counters one
// lower), or from its XMASTER for numbers above 255.
OpResult RemoveRecordByNumber(const path& masterPath, std::uint16_t fileNumber);

// Writes newSymbol and newName (bytes) into every MASTER record of masterPath whose display
// symbol equals rowSymbol (or, where none does, the first XMASTER record), with EMASTER in step,
// keeping MASTER.BAK (and EMASTER.BAK or XMASTER.BAK). Returns 0 when the new files are in
// place, 1 otherwise. The symbol is cut to 14 bytes, the name to what the entry holds.
int RewriteSymbolRecord(const path& masterPath, std::string_view rowSymbol,
                        std::string_view newSymbol, std::string_view newName);

// Renames the entry with key in dir: symbol 1-14 bytes, name up to the entry's limit (45 where
// it has a long name field, else 16). Refusals and failures come back with their text.
OpResult RenameSymbol(const path& dir, formats::SymbolKey key, std::string_view newSymbol,
                      std::string_view newName);

}  // namespace ledgrix::maintenance
