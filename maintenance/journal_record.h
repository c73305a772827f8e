// A step of the undo journal as it is written down: the portfolio files it changed, with what
// each held before and after it, and the step's state.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace ledgrix::maintenance::journal {

using Bytes = std::vector<std::uint8_t>;
using std::filesystem::path;

std::uint64_t HashBytes(const std::uint8_t* data, std::size_t size);

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

}  // namespace ledgrix::maintenance::journal
