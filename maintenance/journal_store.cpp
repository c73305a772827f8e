// The files of a portfolio's undo journal: one record per step and the files' contents as blobs
// beside it, each written whole through a work file, in a folder of the user's state directory
// named after the portfolio.
#include "maintenance/journal_store.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>

#include "platform/files.h"

namespace ledgrix::maintenance::journal {
namespace {

constexpr const char* kRecordExtension = ".step";
constexpr const char* kBlobExtension = ".bin";
constexpr const char* kWorkExtension = ".tmp";
constexpr const char* kKeyFile = "portfolio";

std::string SeqText(std::uint32_t seq) {
  char text[16];
  std::snprintf(text, sizeof text, "%08u", static_cast<unsigned>(seq));
  return text;
}

template <typename Number>
bool ParseNumber(std::string_view text, Number& value) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end && !text.empty();
}

// "<seq>.step" and "<seq>-<blob>.bin".
bool ParseName(const std::string& name, std::uint32_t& seq, int* blob) {
  const std::string_view text = name;
  if (blob == nullptr) {
    return text.ends_with(kRecordExtension) &&
           ParseNumber(text.substr(0, text.size() - std::string_view(kRecordExtension).size()),
                       seq);
  }
  if (!text.ends_with(kBlobExtension))
    return false;
  const std::string_view stem =
      text.substr(0, text.size() - std::string_view(kBlobExtension).size());
  const std::size_t dash = stem.find('-');
  return dash != std::string_view::npos && ParseNumber(stem.substr(0, dash), seq) &&
         ParseNumber(stem.substr(dash + 1), *blob);
}

// The journal's files are written and deleted whole. A folder sync that fails leaves them in
// place and is kept from the user, whose portfolio it does not concern.
platform::IoResult WriteWhole(const path& file, const Bytes& bytes) {
  platform::ScopedUnnotedChanges unnoted;
  return platform::WriteFileAtomically(
      file, platform::Utf8FromPath(file.filename()) + kWorkExtension, bytes);
}

platform::IoResult DeleteWhole(const path& file) {
  platform::ScopedUnnotedChanges unnoted;
  return platform::DeleteFileIfPresent(file);
}

platform::IoResult CreateDirectories(const path& dir) {
  platform::FileSystem& fs = platform::CurrentFileSystem();
  if (fs.IsDirectory(dir))
    return {};
  if (dir.empty() || dir.parent_path() == dir)
    return platform::IoResult::Failure("cannot create " + platform::Utf8FromPath(dir));
  if (platform::IoResult made = CreateDirectories(dir.parent_path()); !made)
    return made;
  if (platform::IoResult made = fs.CreateDirectory(dir); !made)
    return made;
  // The folder is there whatever the sync says, as for the files written into it.
  (void)fs.SyncDirectory(dir.parent_path());
  return {};
}

bool ReadStep(const path& file, StepRecord& step) {
  Bytes bytes;
  return platform::ReadWholeFile(file, bytes) &&
         ParseStep(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                   step);
}

}  // namespace

path DefaultRoot() {
#ifdef _WIN32
  // Read wide: a user name outside the ANSI code page is common there.
  if (const wchar_t* local = _wgetenv(L"LOCALAPPDATA"); local && *local)
    return path(local) / "Ledgrix" / "Undo";
  return {};
#else
  // Only an absolute XDG_STATE_HOME counts; a relative one is to be ignored.
  if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state == '/')
    return path(state) / "ledgrix" / "undo";
  if (const char* home = std::getenv("HOME"); home && *home)
    return path(home) / ".local" / "state" / "ledgrix" / "undo";
  return {};
#endif
}

std::string PortfolioKey(const path& portfolioDir) {
  std::error_code ec;
  path absolute = std::filesystem::absolute(portfolioDir, ec);
  if (ec)
    absolute = portfolioDir;
  absolute = absolute.lexically_normal();
  if (!absolute.has_filename() && absolute.has_relative_path())
    absolute = absolute.parent_path();
  const std::u8string text = absolute.u8string();
  std::string key(text.begin(), text.end());
#ifdef _WIN32
  // Names differing only in case are one directory there.
  for (char& c : key) {
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  }
#endif
  return key;
}

path StoreDirectory(const path& root, const path& portfolioDir, bool create, std::string* error) {
  if (root.empty()) {
#ifdef _WIN32
    *error = "no folder for it is known (LOCALAPPDATA is not set)";
#else
    *error = "no folder for it is known (HOME is not set)";
#endif
    return {};
  }
  const std::string key = PortfolioKey(portfolioDir);
  auto asPath = [](const std::string& utf8) {
    return path(std::u8string(utf8.begin(), utf8.end()));
  };
  const path portfolio = asPath(key);
  for (path p = asPath(PortfolioKey(root)); !p.empty(); p = p.parent_path()) {
    if (p == portfolio) {
      *error = platform::Utf8FromPath(root) + " lies inside the portfolio " + key;
      return {};
    }
    if (p == p.parent_path())
      break;
  }
  platform::FileSystem& fs = platform::CurrentFileSystem();
  const Bytes keyBytes(key.begin(), key.end());
  char base[17];
  std::snprintf(base, sizeof base, "%016llx",
                static_cast<unsigned long long>(
                    HashBytes(reinterpret_cast<const std::uint8_t*>(key.data()), key.size())));
  // Another portfolio whose key hashes alike takes the next name.
  for (int i = 0; i < 8; ++i) {
    const path dir = root / (i == 0 ? std::string(base) : base + ("-" + std::to_string(i)));
    const path keyFile = dir / kKeyFile;
    if (fs.IsDirectory(dir)) {
      if (fs.Exists(keyFile)) {
        Bytes held;
        if (!platform::ReadWholeFile(keyFile, held)) {
          *error = "cannot read " + platform::Utf8FromPath(keyFile);
          return {};
        }
        if (held == keyBytes)
          return dir;
        continue;
      }
      // A folder cut off before it was claimed holds nothing yet.
      if (!create)
        return {};
      if (platform::IoResult claimed = WriteWhole(keyFile, keyBytes); !claimed) {
        *error = claimed.message();
        return {};
      }
      return dir;
    }
    if (!create)
      return {};
    platform::IoResult made = CreateDirectories(dir);
    if (made)
      made = WriteWhole(keyFile, keyBytes);
    if (!made) {
      *error = made.message();
      return {};
    }
    return dir;
  }
  *error = "too many journals in " + platform::Utf8FromPath(root) + " share the name " + base;
  return {};
}

path Store::RecordPath(std::uint32_t seq) const {
  return dir_ / (SeqText(seq) + kRecordExtension);
}

path Store::BlobPath(std::uint32_t seq, int blob) const {
  return dir_ / (SeqText(seq) + "-" + std::to_string(blob) + kBlobExtension);
}

bool Store::Load(std::vector<StepRecord>& steps, std::uint32_t* highestSeq) const {
  steps.clear();
  std::set<std::uint32_t> seqs;
  std::uint32_t highest = 0;
  bool listed = false;
  for (const platform::DirEntry& entry : platform::CurrentFileSystem().List(dir_)) {
    std::uint32_t seq = 0;
    int blob = 0;
    // The key is always there: without it the listing failed, and the journal looked empty.
    listed = listed || entry.name == kKeyFile;
    if (ParseName(entry.name, seq, nullptr)) {
      seqs.insert(seq);
      highest = std::max(highest, seq);
    } else if (ParseName(entry.name, seq, &blob)) {
      highest = std::max(highest, seq);
    }
  }
  for (std::uint32_t seq : seqs) {
    StepRecord step;
    if (!ReadStep(RecordPath(seq), step)) {
      step = StepRecord{};
      step.damaged = true;
    }
    step.seq = seq;
    steps.push_back(std::move(step));
  }
  if (highestSeq)
    *highestSeq = highest;
  return listed;
}

platform::IoResult Store::Write(const StepRecord& step) const {
  const std::string text = SerializeStep(step);
  return WriteWhole(RecordPath(step.seq), Bytes(text.begin(), text.end()));
}

platform::IoResult Store::WriteBlob(std::uint32_t seq, int blob, const Bytes& bytes) const {
  return WriteWhole(BlobPath(seq, blob), bytes);
}

bool Store::ReadBlob(std::uint32_t seq, int blob, const Fingerprint& expected, Bytes& bytes) const {
  return platform::ReadWholeFile(BlobPath(seq, blob), bytes) && FingerprintOf(&bytes) == expected;
}

platform::IoResult Store::DeleteBlob(std::uint32_t seq, int blob) const {
  return DeleteWhole(BlobPath(seq, blob));
}

platform::IoResult Store::Delete(const StepRecord& step) const {
  if (platform::IoResult removed = DeleteWhole(RecordPath(step.seq)); !removed)
    return removed;
  for (const platform::DirEntry& entry : platform::CurrentFileSystem().List(dir_)) {
    std::uint32_t seq = 0;
    int blob = 0;
    if (ParseName(entry.name, seq, &blob) && seq == step.seq)
      (void)DeleteWhole(dir_ / platform::PathFromUtf8(entry.name));
  }
  return {};
}

void Store::DeleteLeftovers() const {
  const std::vector<platform::DirEntry> entries = platform::CurrentFileSystem().List(dir_);
  std::set<std::uint32_t> recorded;
  for (const platform::DirEntry& entry : entries) {
    std::uint32_t seq = 0;
    if (ParseName(entry.name, seq, nullptr))
      recorded.insert(seq);
  }
  // The blobs each record names, read once; a record that cannot be read keeps all of its own.
  std::map<std::uint32_t, std::optional<std::set<int>>> named;
  for (const platform::DirEntry& entry : entries) {
    std::uint32_t seq = 0;
    int blob = 0;
    bool leftover = entry.name.ends_with(kWorkExtension);
    if (ParseName(entry.name, seq, &blob)) {
      leftover = recorded.count(seq) == 0;
      if (!leftover) {
        auto [it, fresh] = named.try_emplace(seq);
        StepRecord step;
        if (fresh && ReadStep(RecordPath(seq), step)) {
          it->second.emplace();
          for (const FileChange& change : step.files)
            it->second->insert({change.beforeBlob, change.afterBlob});
        }
        leftover = it->second && it->second->count(blob) == 0;
      }
    }
    if (leftover)
      (void)DeleteWhole(dir_ / platform::PathFromUtf8(entry.name));
  }
}

}  // namespace ledgrix::maintenance::journal
