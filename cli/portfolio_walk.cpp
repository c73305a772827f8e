#include "cli/portfolio_walk.h"

#include <algorithm>
#include <system_error>

#include "cli/cli_support.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace ledgrix::cli {

namespace fs = std::filesystem;

namespace {

bool IsMasterName(const std::string& name) {
  static constexpr char kMaster[] = "MASTER";
  if (name.size() != 6)
    return false;
  for (std::size_t i = 0; i < 6; ++i) {
    char c = name[i];
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
    if (c != kMaster[i])
      return false;
  }
  return true;
}

// The volume a directory lies on (0 where the platform has no device numbers).
bool DeviceOf(const fs::path& dir, unsigned long long& device) {
#ifndef _WIN32
  struct stat st {};
  if (::lstat(dir.c_str(), &st) != 0)
    return false;
  device = static_cast<unsigned long long>(st.st_dev);
#else
  (void)dir;
  device = 0;
#endif
  return true;
}

}  // namespace

WalkResult FindPortfolios(const fs::path& root) {
  WalkResult result;
  std::error_code ec;
  fs::path start = fs::absolute(root, ec).lexically_normal();
  // "/data/" names the same directory as "/data", and is listed as that.
  if (!start.has_filename() && start.has_relative_path())
    start = start.parent_path();
  unsigned long long rootDevice = 0;
  if (ec || !DeviceOf(start, rootDevice)) {
    result.unreadable.push_back(root.string());
    return result;
  }
  std::vector<fs::path> stack{start};
  while (!stack.empty()) {
    const fs::path dir = std::move(stack.back());
    stack.pop_back();
    bool hasMaster = false;
    std::vector<fs::path> children;
    fs::directory_iterator it(dir, ec);
    if (ec) {
      result.unreadable.push_back(dir.string() + ": " + ec.message());
      continue;
    }
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
      const std::string name = it->path().filename().string();
      std::error_code sec;
      const fs::file_status own = it->symlink_status(sec);
      if (sec)
        continue;
      if (IsMasterName(name) && !fs::is_directory(own)) {
        // A link may name a MASTER file, never a directory.
        hasMaster = hasMaster || !fs::is_symlink(own) || fs::is_regular_file(it->status(sec));
      }
      if (name.empty() || name[0] == '.' || !fs::is_directory(own))
        continue;
      unsigned long long device = 0;
      if (!DeviceOf(it->path(), device) || device != rootDevice)
        continue;
      children.push_back(it->path());
    }
    if (ec)
      result.unreadable.push_back(dir.string() + ": " + ec.message());
    if (hasMaster)
      result.portfolios.push_back(dir);
    // Pushed in reverse, so the first child listed is walked first.
    stack.insert(stack.end(), children.rbegin(), children.rend());
  }
  std::sort(
      result.portfolios.begin(), result.portfolios.end(),
      [](const fs::path& a, const fs::path& b) { return SortedListLess(a.string(), b.string()); });
  return result;
}

}  // namespace ledgrix::cli
