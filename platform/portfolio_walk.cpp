// POSIX walk over directory descriptors; one enumeration per directory finds both the MASTER
// entry and the subdirectories.
#include "platform/portfolio_walk.h"

#include <cerrno>
#include <system_error>
#include <utility>

#ifdef _WIN32
#include <filesystem>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace ledgrix::platform {

namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

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

#ifndef _WIN32
std::string SystemReason(int error) {
  return std::system_category().message(error);
}
#endif

#ifdef _WIN32

void ListDirectory(const std::string& dir, bool, const std::string&, Listing& out) {
  std::error_code ec;
  std::filesystem::directory_iterator it(std::filesystem::u8path(dir), ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().u8string();
    std::error_code sec;
    if (IsMasterName(name.c_str()) && it->exists(sec) && !it->is_directory(sec))
      out.hasMaster = true;
    if (name.empty() || name[0] == '.')
      continue;
    if (it->is_symlink(sec) || !it->is_directory(sec))
      continue;
    out.childNames.push_back(name);
  }
  if (ec)
    out.failure = ec.message();
}

#else

// Lists dir when it lies on the volume rootDevice. Below the root a link is never opened (a
// directory replaced by a link after it was listed fails to open instead).
void ListDirectory(const std::string& dir, bool isRoot, dev_t rootDevice, Listing& out) {
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
  if (st.st_dev != rootDevice) {
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

#endif

}  // namespace

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

std::string JoinPath(std::string_view dir, std::string_view name) {
  std::string child;
  child.reserve(dir.size() + name.size() + 1);
  child.append(dir);
  if (child.empty() || child.back() != kSeparator)
    child.push_back(kSeparator);
  child.append(name);
  return child;
}

std::vector<std::string> WalkDrive(const std::string& root, const WalkFilter& filter,
                                   WalkObserver* observer) {
  std::vector<std::string> found;
#ifdef _WIN32
  const std::string rootDevice;
#else
  struct stat rootStat {};
  if (::stat(root.c_str(), &rootStat) != 0) {
    if (observer)
      observer->CannotRead(root, SystemReason(errno));
    return found;
  }
  const dev_t rootDevice = rootStat.st_dev;
#endif
  // Pending directories; the last pushed is walked next, which visits the children of a
  // directory from the last enumerated back to the first, each subtree before the next.
  std::vector<std::string> stack;
  stack.push_back(root);
  Listing listing;
  bool isRoot = true;
  while (!stack.empty()) {
    std::string dir = std::move(stack.back());
    stack.pop_back();
    if (observer)
      observer->EnterDirectory(dir);
    listing.Clear();
    ListDirectory(dir, isRoot, rootDevice, listing);
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
