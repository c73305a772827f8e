// Where undo journals live, and the files of one portfolio's journal: a record per step and the
// files' contents as blobs beside it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "maintenance/journal_record.h"
#include "platform/file_system.h"

namespace ledgrix::maintenance::journal {

// Where journals live: %LOCALAPPDATA%\Ledgrix\Undo on Windows, elsewhere
// $XDG_STATE_HOME/ledgrix/undo (default ~/.local/state/ledgrix/undo). Empty when the variables
// that say where are not set.
path DefaultRoot();

// The absolute, normalised form of a portfolio directory that names its journal.
std::string PortfolioKey(const path& portfolioDir);

// The files of one portfolio's journal.
class Store {
 public:
  explicit Store(path dir) : dir_(std::move(dir)) {}
  const path& dir() const { return dir_; }

  // Every step record, oldest first (damaged ones marked), and the highest sequence number any
  // file of the journal carries. False when the folder cannot be listed.
  bool Load(std::vector<StepRecord>& steps, std::uint32_t* highestSeq = nullptr) const;
  platform::IoResult Write(const StepRecord& step) const;
  platform::IoResult WriteBlob(std::uint32_t seq, int blob, const Bytes& bytes) const;
  // The blob's bytes, checked against what the record says it holds.
  bool ReadBlob(std::uint32_t seq, int blob, const Fingerprint& expected, Bytes& bytes) const;
  platform::IoResult DeleteBlob(std::uint32_t seq, int blob) const;
  // The record first, so that no record ever names a missing blob.
  platform::IoResult Delete(const StepRecord& step) const;
  // Blobs no record names and work files left by a cut-off write.
  void DeleteLeftovers() const;

  path RecordPath(std::uint32_t seq) const;
  path BlobPath(std::uint32_t seq, int blob) const;

 private:
  path dir_;
};

// The directory of portfolioDir's journal below root: a name made from the key, checked against
// the key written inside. create: made (with root) when missing. Empty with *error on failure.
path StoreDirectory(const path& root, const path& portfolioDir, bool create, std::string* error);

}  // namespace ledgrix::maintenance::journal
