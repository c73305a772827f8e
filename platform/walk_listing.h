// One directory of the portfolio walk as the system lists it: whether it holds a MASTER file and
// which subdirectories it has. One implementation per system; the walk itself is shared.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ledgrix::platform::walk {

struct Listing {
  bool hasMaster = false;
  std::vector<std::string> childNames;  // in enumeration order
  bool otherVolume = false;             // skipped: another mount
  std::string failure;                  // why it could not be opened or listed to its end

  void Clear() {
    hasMaster = false;
    childNames.clear();
    otherVolume = false;
    failure.clear();
  }
};

// The volume a walk stays on.
using VolumeId = std::uint64_t;

// "MASTER" in any case.
bool IsMasterName(const char* name);

// The volume of the walk's root (followed when it is a link); false, with the system's reason,
// when the root cannot be examined.
bool RootVolume(const std::string& root, VolumeId& volume, std::string& reason);

// Lists dir when it lies on volume. Below the root, a link or other reparse point is never
// entered, and no name starting with "." is a child.
void ListDirectory(const std::string& dir, bool isRoot, VolumeId volume, Listing& out);

}  // namespace ledgrix::platform::walk
