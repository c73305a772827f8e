// The walk's listing on POSIX, over directory descriptors: one enumeration per directory finds
// both the MASTER entry and the subdirectories.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "platform/walk_listing.h"

namespace ledgrix::platform::walk {
namespace {

std::string SystemReason(int error) {
  return std::system_category().message(error);
}

}  // namespace

bool RootVolume(const std::string& root, VolumeId& volume, std::string& reason) {
  struct stat rootStat {};
  if (::stat(root.c_str(), &rootStat) != 0) {
    reason = SystemReason(errno);
    return false;
  }
  volume = static_cast<VolumeId>(rootStat.st_dev);
  return true;
}

// Below the root a link is never opened (a directory replaced by a link after it was listed
// fails to open instead).
void ListDirectory(const std::string& dir, bool isRoot, VolumeId volume, Listing& out) {
  const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | (isRoot ? 0 : O_NOFOLLOW);
  const int fd = ::open(dir.c_str(), flags);
  if (fd < 0) {
    out.failure = SystemReason(errno);
    return;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    out.failure = SystemReason(errno);
    ::close(fd);
    return;
  }
  if (static_cast<VolumeId>(st.st_dev) != volume) {
    out.otherVolume = true;
    ::close(fd);
    return;
  }
  DIR* stream = ::fdopendir(fd);
  if (stream == nullptr) {
    out.failure = SystemReason(errno);
    ::close(fd);
    return;
  }
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(stream);
    if (entry == nullptr) {
      // What was listed before the error is kept.
      if (errno != 0)
        out.failure = SystemReason(errno);
      break;
    }
    const char* name = entry->d_name;
    unsigned char type = entry->d_type;
    if (IsMasterName(name) && !out.hasMaster) {
      if (type == DT_REG) {
        out.hasMaster = true;
      } else if (type != DT_DIR) {
        // A link or an unknown type: what it names must exist and not be a directory.
        struct stat target {};
        if (::fstatat(fd, name, &target, 0) == 0 && !S_ISDIR(target.st_mode))
          out.hasMaster = true;
      }
    }
    if (name[0] == '.')
      continue;
    if (type == DT_UNKNOWN) {
      struct stat own {};
      if (::fstatat(fd, name, &own, AT_SYMLINK_NOFOLLOW) != 0)
        continue;
      if (S_ISDIR(own.st_mode))
        type = DT_DIR;
    }
    if (type == DT_DIR)
      out.childNames.emplace_back(name);
  }
  ::closedir(stream);
}

}  // namespace ledgrix::platform::walk
