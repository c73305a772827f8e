// A change to the index files of one portfolio directory, kept in step: MASTER and, while it was
// in step before the change, EMASTER; or XMASTER. The files are written when the change is
// committed, MASTER before EMASTER, so a crash between the two leaves at worst an EMASTER out of
// step, which the next reading reports and the repair rebuilds.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "formats/mbf.h"
#include "formats/portfolio_index.h"
#include "platform/file_system.h"

namespace ledgrix::maintenance {

// Where a new symbol goes: MASTER under its lowest free number while it has room, else XMASTER
// under its next number where the portfolio has a usable one.
enum class Room : std::uint8_t { kMaster, kXmaster, kFull, kXmasterUnusable };

class IndexUpdate {
 public:
  // Reads the index of dir; false with the reason in *error when MASTER cannot be read, or
  // EMASTER or XMASTER is there but cannot be read.
  bool Load(const std::filesystem::path& dir, std::string* error);
  // An empty index for a new portfolio in dir: MASTER and EMASTER, both written at commit.
  void Create(const std::filesystem::path& dir);

  // Where a symbol added now would go, and its file number (for kMaster and kXmaster).
  Room RoomForSymbol(std::uint16_t* number) const;

  const formats::PortfolioIndex& index() const { return index_; }
  // EMASTER follows the change (it was in step with MASTER before it).
  bool emasterFollows() const { return index_.emaster == formats::IndexFileState::kUsable; }

  // New first and/or last date (stored MBF bytes; null keeps a date) for every entry with
  // fileNumber: MASTER 25/29, EMASTER 64/72 and 126 (unless it says "not set"); XMASTER
  // 108/116 and 104 (unless "not set"). False when no entry has the number.
  bool SetDates(std::uint16_t fileNumber, const formats::StoredNumber* first,
                const formats::StoredNumber* last);

  // Symbol and name bytes of entry (as found in index()): MASTER's 14-byte symbol and 16-byte
  // issue name, EMASTER's symbol, short and long name; or XMASTER's symbol and name.
  void Rename(const formats::IndexEntry& entry, std::string_view symbol, std::string_view name);

  // Drops entry's record: from MASTER and EMASTER (both counters one lower), or from XMASTER.
  void Remove(const formats::IndexEntry& entry);

  // Appends a MASTER record (and its EMASTER mirror, from emasterKeep where the source had
  // one), both counters one higher.
  void AppendToMaster(const formats::MasterRecord& record,
                      const formats::EmasterRecord* emasterKeep, std::uint8_t fieldBits);
  // Appends an XMASTER record under the next number; returns that number.
  std::uint16_t AppendToXmaster(formats::XmasterRecord record);

  // The MASTER record at position (for changes the calls above do not cover, e.g. the repair);
  // marks MASTER changed. EMASTER's symbol follows it at commit.
  formats::MasterRecord& MasterRecordAt(std::size_t position);

  // Writes each changed file through a work file named after it (its name + workSuffix),
  // keeping a backup (its name + backupSuffix) when backupSuffix is given: MASTER, then EMASTER,
  // then XMASTER. The first failure stops the commit and is returned.
  platform::IoResult Commit(std::string_view workSuffix, std::string_view backupSuffix = {});

 private:
  formats::PortfolioIndex index_;
  bool masterChanged_ = false;
  bool xmasterChanged_ = false;
  std::vector<std::size_t> symbolsTouched_;  // MASTER positions whose symbol EMASTER copies
};

// The next file number XMASTER gives out: its header's, but never one already used or below 256.
std::uint16_t NextXmasterNumber(const formats::XmasterFile& xmaster);

}  // namespace ledgrix::maintenance
