// LookupSymbol: a depth-first search of a portfolio's MASTER (then XMASTER) and the portfolios its
// directory entries name. Nesting is bounded and every directory is searched at most once, so no
// MASTER can send the search in circles or outside the portfolio.
#include "formats/lookup.h"

#include <algorithm>
#include <set>
#include <system_error>

#include "formats/master.h"
#include "formats/xmaster.h"
#include "platform/files.h"

namespace ledgrix::formats {
namespace {

// A sub-directory name that stays inside the directory holding the MASTER.
bool IsSafeDirectoryName(const std::string& name) {
  if (name.empty() || name == "." || name == "..")
    return false;
  for (char c : name) {
    if (c == '/' || c == '\\')
      return false;
#ifdef _WIN32
    if (c == ':')
      return false;
#endif
  }
  return true;
}

// Two spellings of one directory (symbolic links, "a/./b") give the same key.
std::string DirectoryKey(const Path& dir) {
  std::error_code ec;
  Path canonical = std::filesystem::canonical(dir.empty() ? Path(".") : dir, ec);
  if (ec)
    return platform::Utf8FromPath(dir.lexically_normal());
  return platform::Utf8FromPath(canonical);
}

std::string WithSeparator(const Path& dir) {
  std::string s = platform::Utf8FromPath(dir);
  if (!s.empty() && dir.has_filename())
    s += platform::Separator();
  return s;
}

struct Level {
  std::string path;  // ends in a separator (or is empty: the current directory)
  int next = 0;      // record number of the next directory entry to examine; 0 = not scanned
};

Path MasterIn(const std::string& dir) {
  return (dir.empty() ? Path(".") : platform::PathFromUtf8(dir)) / "MASTER";
}

// The first XMASTER record of dir the search text matches: kOk, kFileNotFound (an XMASTER that
// is missing or damaged holds none), or kFileRead when it is there but cannot be read.
StatusCode MatchXmaster(const std::string& dir, std::string_view searchText, IndexEntry& entry) {
  const Path path =
      platform::ResolveName(dir.empty() ? Path(".") : platform::PathFromUtf8(dir), "XMASTER");
  XmasterFile xmaster;
  std::string problem;
  bool ioError = false;
  if (!platform::FileExists(path) || !ReadXmasterFile(path, xmaster, &problem, &ioError))
    return ioError ? kFileRead : kFileNotFound;
  std::vector<bool> seen(0x10000);
  for (std::size_t i = 0; i < xmaster.records.size(); ++i) {
    const XmasterRecord& r = xmaster.records[i];
    // As the index reads it: numbers of MASTER's range, and repeated ones, are left out.
    if (r.fileNumber() < kFirstXmasterNumber || seen[r.fileNumber()])
      continue;
    seen[r.fileNumber()] = true;
    if (XmasterMatches(r, searchText)) {
      entry = EntryFromXmaster(r, i);
      return kOk;
    }
  }
  return kFileNotFound;
}

}  // namespace

StatusCode LookupSymbol(const Path& dir, std::string_view searchText, IndexEntry& entry,
                        Path& foundDir) {
  std::vector<Level> levels;
  levels.push_back({WithSeparator(dir), 0});
  // Filled on the first directory entry followed: most portfolios have none.
  std::set<std::string> visited;

  for (;;) {
    Level& level = levels.back();
    bool descended = false;
    auto in = platform::OpenResolved(MasterIn(level.path));
    MasterHeader header;
    const bool headerRead = in && in->ReadExact(header.bytes.data(), kMasterRecordSize);
    // A failing disk below the top is no short file: skipping the level could find another
    // record of the same name further on.
    if (in && in->failed() && levels.size() > 1)
      return kFileRead;
    if (!headerRead) {
      level.next = 1;  // unreadable: the level counts as empty
    } else {
      int n = header.symbolCount() > 0 ? header.symbolCount() : 0;
      if (level.next == 0) {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(n) * kMasterRecordSize);
        const std::size_t whole = in->ReadUpTo(bytes.data(), bytes.size()) / kMasterRecordSize;
        if (in->failed())
          return levels.size() > 1 ? kFileRead : kFileNotFound;
        for (std::size_t i = 0; i < whole; ++i) {
          MasterRecord r;
          std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(i * kMasterRecordSize),
                      kMasterRecordSize, r.bytes.begin());
          if (r.isDirectoryEntry()) {
            if (level.next == 0)
              level.next = static_cast<int>(i) + 1;
          } else if (r.matches(searchText)) {
            entry = EntryFromMaster(r, i);
            foundDir = platform::PathFromUtf8(level.path);
            return kOk;
          }
        }
        // A failing XMASTER could hide the symbol: that is no "not found".
        if (const StatusCode x = MatchXmaster(level.path, searchText, entry); x != kFileNotFound) {
          if (x == kOk)
            foundDir = platform::PathFromUtf8(level.path);
          return x;
        }
        if (whole < static_cast<std::size_t>(n)) {
          // A record that cannot be read ends the scan; its directory entries are not followed.
          level.next = 1;
          n = 0;
        } else if (level.next == 0) {
          level.next = n + 1;
        }
      }
      while (level.next <= n) {
        MasterRecord r;
        if (!in->Seek(static_cast<std::uint64_t>(level.next) * kMasterRecordSize) ||
            !in->ReadExact(r.bytes.data(), kMasterRecordSize)) {
          return kFileRead;
        }
        ++level.next;
        if (!r.isDirectoryEntry())
          continue;
        const std::string name = r.directoryName();
        if (levels.size() > static_cast<std::size_t>(kMaxDirectoryDepth) ||
            !IsSafeDirectoryName(name)) {
          continue;
        }
        const Path sub = platform::ResolveName(
            level.path.empty() ? Path(".") : platform::PathFromUtf8(level.path), name);
        if (visited.empty())
          visited.insert(DirectoryKey(platform::PathFromUtf8(levels.front().path)));
        if (!visited.insert(DirectoryKey(sub)).second)
          continue;
        Level down{WithSeparator(level.path.empty() ? sub.filename() : sub), 0};
        levels.push_back(std::move(down));
        descended = true;
        break;
      }
    }
    if (descended)
      continue;
    if (levels.size() == 1)
      return kFileNotFound;
    levels.pop_back();
  }
}

}  // namespace ledgrix::formats
