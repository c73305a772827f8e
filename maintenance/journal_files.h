// The undo journal on disk: where it lives, how a step is written down, and the files of one
// portfolio's journal (a text record per step, the files' bytes beside it).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace ledgrix::maintenance::journal {

using Bytes = std::vector<std::uint8_t>;
using std::filesystem::path;

// What a file held: absent, or a size and a hash of its bytes.
struct Fingerprint {
  bool present = false;
  std::uint64_t size = 0;
  std::uint64_t hash = 0;
  bool operator==(const Fingerprint&) const = default;
};

Fingerprint FingerprintOf(const Bytes* bytes);

// The current content of a file, by fingerprint (bytes too when asked). False when it exists
// but cannot be read.
bool ReadCurrent(const path& file, Fingerprint& fingerprint, Bytes* bytes = nullptr);

// One file a step changed: what it held before and after (each kept in a blob, 0 for none, as
// for an absent file) and what it held in between when the step changed it more than once.
struct FileChange {
  path file;
  Fingerprint before;
  int beforeBlob = 0;
  Fingerprint after;
  int afterBlob = 0;
  std::vector<Fingerprint> between;
};

// Where a file stands against a step.
enum class FileStand { kBefore, kAfter, kBoth, kBetween, kForeign };
FileStand StandOf(const FileChange& change, const Fingerprint& now);

// kOpen: the correction is running (or was cut off); kUndoing, kRedoing: likewise for an undo or
// a redo. A step in one of these three is interrupted when no program is at work on it.
enum class StepState { kOpen, kDone, kUndone, kUndoing, kRedoing };

struct StepRecord {
  std::uint32_t seq = 0;
  std::string label;
  std::int64_t time = 0;
  StepState state = StepState::kOpen;
  std::vector<FileChange> files;
  int nextBlob = 1;
  bool damaged = false;  // the record could not be read

  bool interrupted() const {
    return state == StepState::kOpen || state == StepState::kUndoing ||
           state == StepState::kRedoing;
  }
  // Bytes of file content the step keeps.
  std::uint64_t storedSize() const;
};

// True when every file of the step holds what it held before the step (one that cannot be read
// counts as changed).
bool ChangedNothing(const StepRecord& step);

std::string SerializeStep(const StepRecord& step);
bool ParseStep(std::string_view text, StepRecord& step);

// Index files list the symbols; their quote files must exist whenever they name them.
bool IsIndexFile(const path& file);
// Work files and backups are no portfolio content: a step neither keeps nor restores them.
bool IsPortfolioContent(const path& file);

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
