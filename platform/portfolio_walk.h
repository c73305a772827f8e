// The walk below a directory for portfolios (directories that hold a MASTER file): depth first
// with an explicit stack, never following symbolic links or other reparse points below the root,
// never entering another volume, skipping dot directories. The GUI's drive search and the CLI's
// portfolio list share it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/paths.h"

namespace ledgrix::platform {

// The search filter as the walk applies it.
struct WalkFilter {
  bool limit = false;
  std::string filterUpper;  // UpperAscii of the filter text
};

// ASCII letters upper-cased; every other byte kept (both sides of the filter test use it).
std::string UpperAscii(std::string_view text);

// A child passes when the filter is off, or when its upper-case path contains the filter or the
// filter contains it (the second lets the walk descend through the filter path's ancestors).
bool PassesFilter(std::string_view childPath, const WalkFilter& filter);

// Told about each step of the walk, in order.
class WalkObserver {
 public:
  virtual ~WalkObserver() = default;
  virtual void EnterDirectory(const std::string& dir) = 0;
  virtual void FoundMaster(const std::string& dir, int mastersFound) = 0;
  // A directory (the root included) that could not be opened or listed to its end, with the
  // system's reason. Another volume's directory is skipped silently, as it is no failure.
  virtual void CannotRead(const std::string& /*dir*/, const std::string& /*reason*/) {}
};

// Every directory on root's volume that holds a MASTER (any case, not a directory), in the
// order found. The root itself is always examined, and followed when it is a link; the filter
// prunes subdirectories only.
std::vector<std::string> WalkDrive(const std::string& root, const WalkFilter& filter,
                                   WalkObserver* observer);

}  // namespace ledgrix::platform
