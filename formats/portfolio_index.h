// The joined index of one portfolio directory: MASTER, the long names of a consistent EMASTER,
// and the symbols of XMASTER, as one list of entries. Problems of EMASTER and XMASTER are
// reported, never fatal: MASTER stays the source.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "formats/emaster.h"
#include "formats/index_entry.h"
#include "formats/master.h"
#include "formats/xmaster.h"

namespace ledgrix::formats {

// EMASTER: absent, in step with MASTER, or present but not usable (unreadable or out of step).
// XMASTER: absent, usable, or not usable.
enum class IndexFileState : std::uint8_t { kAbsent, kUsable, kUnusable };

struct PortfolioIndex {
  std::filesystem::path dir;
  std::filesystem::path masterPath;  // spelt as on disk
  MasterFile master;

  std::filesystem::path emasterPath;  // spelt as on disk; empty when absent
  IndexFileState emaster = IndexFileState::kAbsent;
  EmasterFile emasterFile;     // as read (also when out of step)
  bool emasterRead = false;    // emasterFile holds the file
  std::string emasterProblem;  // why it is not usable

  std::filesystem::path xmasterPath;
  IndexFileState xmaster = IndexFileState::kAbsent;
  XmasterFile xmasterFile;
  std::string xmasterProblem;  // why it is not usable, or which records were left out

  // EMASTER or XMASTER is there but could not be read (a failing disk, not a damaged file):
  // readers go on without it, writers must not.
  bool ioError = false;

  // MASTER records in file order (directory entries included), then XMASTER's records.
  std::vector<IndexEntry> entries;

  const IndexEntry* Find(SymbolKey key) const;
  // The first entry of this directory the lookup's rule matches (directory entries skipped).
  const IndexEntry* Match(std::string_view searchText) const;
  // The entry a grid row shows: the first whose display symbol is exactly symbol (directory
  // entries included).
  const IndexEntry* FindBySymbol(std::string_view symbol) const;
  // Symbols in XMASTER.
  std::size_t xmasterCount() const;
};

// Lengths of the texts an entry holds, in bytes (one a character).
inline constexpr std::size_t kMaxSymbolLength = 14;
inline constexpr std::size_t kShortNameLength = 16;
inline constexpr std::size_t kLongNameLength = 45;
// The longest name entry holds: 45 where a long name field goes with it (XMASTER, or MASTER
// with an EMASTER in step), else 16.
std::size_t NameLimit(const PortfolioIndex& index, const IndexEntry& entry);

// Reads the index of dir. False (with the reason in *problem) only when MASTER cannot be read.
bool ReadPortfolioIndex(const std::filesystem::path& dir, PortfolioIndex& index,
                        std::string* problem = nullptr);

// Whether EMASTER is in step with MASTER: its count equals the number of MASTER records, and
// record i names record i's file number, symbol, short name and both dates. *why says where not.
bool EmasterInStep(const EmasterFile& emaster, const MasterFile& master, std::string* why);

// The EMASTER record that mirrors a MASTER record: from keep (a previous record of the same
// file number and symbol: its long name and every byte not derived from MASTER stay) or fresh.
// fieldBits: the record's fields (0: derived from the record length and periodicity).
EmasterRecord EmasterRecordFor(const MasterRecord& record, const EmasterRecord* keep,
                               std::uint8_t fieldBits);
// EMASTER's header for a MASTER header: counts and serial from MASTER, the rest kept.
void SyncEmasterHeader(EmasterHeader& header, const MasterHeader& master);

}  // namespace ledgrix::formats
