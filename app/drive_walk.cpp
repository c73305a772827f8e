// POSIX walk over directory descriptors; one enumeration per directory finds both the MASTER
// entry and the subdirectories.
#include "app/drive_walk.h"

#include <algorithm>
#include <cstring>
#include <utility>

#ifdef _WIN32
#include <filesystem>
#include <system_error>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace ledgrix::app {

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
};

#ifdef _WIN32

bool ListDirectory(const std::string& dir, const std::string&, Listing& out) {
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
  return true;
}

#else

// Lists dir when it lies on the volume rootDevice. False for another volume or a directory that
// cannot be opened (a vanished or unreadable one simply yields nothing).
bool ListDirectory(const std::string& dir, dev_t rootDevice, Listing& out) {
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0)
    return false;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || st.st_dev != rootDevice) {
    ::close(fd);
    return false;
  }
  DIR* stream = ::fdopendir(fd);
  if (stream == nullptr) {
    ::close(fd);
    return false;
  }
  while (const dirent* entry = ::readdir(stream)) {
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
  return true;
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
  if (::stat(root.c_str(), &rootStat) != 0)
    return found;
  const dev_t rootDevice = rootStat.st_dev;
#endif
  // Pending directories; the last pushed is walked next, which visits the children of a
  // directory from the last enumerated back to the first, each subtree before the next.
  std::vector<std::string> stack;
  stack.push_back(root);
  Listing listing;
  while (!stack.empty()) {
    std::string dir = std::move(stack.back());
    stack.pop_back();
    if (observer)
      observer->EnterDirectory(dir);
    listing.hasMaster = false;
    listing.childNames.clear();
    if (!ListDirectory(dir, rootDevice, listing))
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

}  // namespace ledgrix::app
