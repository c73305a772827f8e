// The walk for portfolios: depth first with an explicit stack; the system's listing of each
// directory comes from walk_listing.
#include "platform/portfolio_walk.h"

#include <utility>

#include "platform/walk_listing.h"

namespace ledgrix::platform {

namespace walk {

bool IsMasterName(const char* name) {
  static constexpr char kMaster[] = "MASTER";
  for (int i = 0; i < 6; ++i) {
    char c = name[i];
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
    if (c != kMaster[i])
      return false;
  }
  return name[6] == '\0';
}

}  // namespace walk

std::string UpperAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
  return upper;
}

bool PassesFilter(std::string_view childPath, const WalkFilter& filter) {
  if (!filter.limit)
    return true;
  const std::string upper = UpperAscii(childPath);
  return upper.find(filter.filterUpper) != std::string::npos ||
         filter.filterUpper.find(upper) != std::string::npos;
}

std::vector<std::string> WalkDrive(const std::string& root, const WalkFilter& filter,
                                   WalkObserver* observer) {
  std::vector<std::string> found;
  walk::VolumeId volume = 0;
  std::string reason;
  if (!walk::RootVolume(root, volume, reason)) {
    if (observer)
      observer->CannotRead(root, reason);
    return found;
  }
  // Pending directories; the last pushed is walked next, which visits the children of a
  // directory from the last enumerated back to the first, each subtree before the next.
  std::vector<std::string> stack;
  stack.push_back(root);
  walk::Listing listing;
  bool isRoot = true;
  while (!stack.empty()) {
    std::string dir = std::move(stack.back());
    stack.pop_back();
    if (observer)
      observer->EnterDirectory(dir);
    listing.Clear();
    walk::ListDirectory(dir, isRoot, volume, listing);
    isRoot = false;
    if (!listing.failure.empty() && observer)
      observer->CannotRead(dir, listing.failure);
    if (listing.otherVolume)
      continue;
    if (listing.hasMaster) {
      found.push_back(dir);
      if (observer)
        observer->FoundMaster(dir, static_cast<int>(found.size()));
    }
    for (const std::string& name : listing.childNames) {
      std::string child = JoinPath(dir, name);
      if (PassesFilter(child, filter))
        stack.push_back(std::move(child));
    }
  }
  return found;
}

}  // namespace ledgrix::platform
