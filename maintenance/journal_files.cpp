// The undo journal's files: one text record per step naming the files it changed with the
// fingerprints of their contents, and the contents themselves as blobs beside it. Every file is
// written whole through a work file, so a cut-off write leaves the previous version.
#include "maintenance/journal_files.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>

#include "platform/files.h"

namespace ledgrix::maintenance::journal {
namespace {

constexpr std::string_view kMagic = "ledgrix undo step 1";
constexpr const char* kRecordExtension = ".step";
constexpr const char* kBlobExtension = ".bin";
constexpr const char* kWorkExtension = ".tmp";
constexpr const char* kKeyFile = "portfolio";

std::uint64_t Fnv1a(const std::uint8_t* data, std::size_t size) {
  std::uint64_t hash = 14695981039346656037ULL;
  for (std::size_t i = 0; i < size; ++i) {
    hash ^= data[i];
    hash *= 1099511628211ULL;
  }
  return hash;
}

std::string Hex(std::uint64_t value) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
  return text;
}

std::string SeqText(std::uint32_t seq) {
  char text[16];
  std::snprintf(text, sizeof text, "%08u", static_cast<unsigned>(seq));
  return text;
}

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

bool EndsWith(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

template <typename Number>
bool ParseNumber(std::string_view text, Number& value, int base = 10) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value, base);
  return ec == std::errc() && ptr == end && !text.empty();
}

// Paths may hold any byte but a line break may not end a record line.
std::string Escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '%' || c == '\n' || c == '\r') {
      char code[4];
      std::snprintf(code, sizeof code, "%%%02X", static_cast<unsigned char>(c));
      out += code;
    } else {
      out += c;
    }
  }
  return out;
}

bool Unescape(std::string_view text, std::string& out) {
  out.clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    unsigned value = 0;
    if (i + 2 >= text.size() || !ParseNumber(text.substr(i + 1, 2), value, 16))
      return false;
    out += static_cast<char>(value);
    i += 2;
  }
  return true;
}

std::string FingerprintText(const Fingerprint& f, int blob) {
  if (!f.present)
    return "absent";
  return std::to_string(blob) + " " + std::to_string(f.size) + " " + Hex(f.hash);
}

// "absent", or [blob] size hash.
bool ParseFingerprint(std::string_view text, bool withBlob, Fingerprint& f, int& blob) {
  f = {};
  blob = 0;
  if (text == "absent")
    return true;
  std::vector<std::string_view> parts;
  while (!text.empty()) {
    const std::size_t space = text.find(' ');
    parts.push_back(text.substr(0, space));
    text = space == std::string_view::npos ? std::string_view() : text.substr(space + 1);
  }
  std::size_t at = 0;
  if (withBlob && (parts.size() != 3 || !ParseNumber(parts[at++], blob) || blob <= 0))
    return false;
  if (parts.size() != at + 2 || !ParseNumber(parts[at], f.size) ||
      !ParseNumber(parts[at + 1], f.hash, 16))
    return false;
  f.present = true;
  return true;
}

constexpr std::pair<StepState, std::string_view> kStateNames[] = {
    {StepState::kOpen, "open"},       {StepState::kDone, "done"},
    {StepState::kUndone, "undone"},   {StepState::kUndoing, "undoing"},
    {StepState::kRedoing, "redoing"},
};

// "<seq>.step" and "<seq>-<blob>.bin".
bool ParseName(const std::string& name, std::uint32_t& seq, int* blob) {
  const std::string_view text = name;
  if (blob == nullptr) {
    return EndsWith(text, kRecordExtension) &&
           ParseNumber(text.substr(0, text.size() - std::string_view(kRecordExtension).size()),
                       seq);
  }
  if (!EndsWith(text, kBlobExtension))
    return false;
  const std::string_view stem =
      text.substr(0, text.size() - std::string_view(kBlobExtension).size());
  const std::size_t dash = stem.find('-');
  return dash != std::string_view::npos && ParseNumber(stem.substr(0, dash), seq) &&
         ParseNumber(stem.substr(dash + 1), *blob);
}

platform::IoResult WriteWhole(const path& file, const Bytes& bytes) {
  return platform::WriteFileAtomically(file, file.filename().string() + kWorkExtension, bytes);
}

platform::IoResult CreateDirectories(const path& dir) {
  platform::FileSystem& fs = platform::CurrentFileSystem();
  if (fs.IsDirectory(dir))
    return {};
  if (dir.empty() || dir.parent_path() == dir)
    return platform::IoResult::Failure("cannot create " + dir.string());
  if (platform::IoResult made = CreateDirectories(dir.parent_path()); !made)
    return made;
  if (platform::IoResult made = fs.CreateDirectory(dir); !made)
    return made;
  return fs.SyncDirectory(dir.parent_path());
}

}  // namespace

Fingerprint FingerprintOf(const Bytes* bytes) {
  if (bytes == nullptr)
    return {};
  return {true, bytes->size(), Fnv1a(bytes->data(), bytes->size())};
}

bool ReadCurrent(const path& file, Fingerprint& fingerprint, Bytes* bytes) {
  fingerprint = {};
  if (!platform::FileExists(file))
    return !platform::CurrentFileSystem().Exists(platform::ResolvePath(file));
  Bytes data;
  if (!platform::ReadWholeFile(file, data))
    return false;
  fingerprint = FingerprintOf(&data);
  if (bytes)
    *bytes = std::move(data);
  return true;
}

FileStand StandOf(const FileChange& change, const Fingerprint& now) {
  const bool before = now == change.before;
  const bool after = now == change.after;
  if (before && after)
    return FileStand::kBoth;
  if (before)
    return FileStand::kBefore;
  if (after)
    return FileStand::kAfter;
  if (std::find(change.between.begin(), change.between.end(), now) != change.between.end())
    return FileStand::kBetween;
  return FileStand::kForeign;
}

bool ChangedNothing(const StepRecord& step) {
  return std::all_of(step.files.begin(), step.files.end(), [](const FileChange& change) {
    Fingerprint now;
    if (!ReadCurrent(change.file, now))
      return false;
    const FileStand stand = StandOf(change, now);
    return stand == FileStand::kBefore || stand == FileStand::kBoth;
  });
}

std::uint64_t StepRecord::storedSize() const {
  std::uint64_t total = 0;
  for (const FileChange& change : files)
    total += change.before.size + change.after.size;
  return total;
}

std::string SerializeStep(const StepRecord& step) {
  std::string label = step.label;
  std::replace_if(
      label.begin(), label.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
  std::string text =
      std::string(kMagic) + "\nlabel " + label + "\ntime " + std::to_string(step.time) + "\nstate ";
  for (const auto& [state, name] : kStateNames) {
    if (state == step.state)
      text += name;
  }
  text += "\nnext " + std::to_string(step.nextBlob) + "\n";
  for (const FileChange& change : step.files) {
    text += "file " + Escape(change.file.string()) + "\n";
    text += "before " + FingerprintText(change.before, change.beforeBlob) + "\n";
    text += "after " + FingerprintText(change.after, change.afterBlob) + "\n";
    for (const Fingerprint& f : change.between) {
      const std::string blobless = FingerprintText(f, 0);
      text += "between " + (f.present ? blobless.substr(blobless.find(' ') + 1) : blobless) + "\n";
    }
  }
  return text + "end\n";
}

bool ParseStep(std::string_view text, StepRecord& step) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos)
      return false;  // every line ends, the last one too
    lines.push_back(text.substr(0, end));
    text = text.substr(end + 1);
  }
  if (lines.size() < 6 || lines.front() != kMagic || lines.back() != "end")
    return false;
  auto value = [&](std::size_t i, std::string_view key) -> std::optional<std::string_view> {
    const std::string_view line = lines[i];
    if (line.size() < key.size() + 1 || line.substr(0, key.size()) != key ||
        line[key.size()] != ' ')
      return std::nullopt;
    return line.substr(key.size() + 1);
  };
  const auto label = value(1, "label");
  const auto time = value(2, "time");
  const auto state = value(3, "state");
  const auto next = value(4, "next");
  if (!label || !time || !state || !next || !ParseNumber(*time, step.time) ||
      !ParseNumber(*next, step.nextBlob))
    return false;
  step.label = std::string(*label);
  const auto* known = std::find_if(std::begin(kStateNames), std::end(kStateNames),
                                   [&](const auto& entry) { return entry.second == *state; });
  if (known == std::end(kStateNames))
    return false;
  step.state = known->first;
  step.files.clear();
  for (std::size_t i = 5; i + 1 < lines.size();) {
    const auto file = value(i, "file");
    std::string name;
    if (!file || i + 2 >= lines.size() || !Unescape(*file, name) || name.empty())
      return false;
    FileChange change;
    change.file = name;
    const auto before = value(i + 1, "before");
    const auto after = value(i + 2, "after");
    if (!before || !after || !ParseFingerprint(*before, true, change.before, change.beforeBlob) ||
        !ParseFingerprint(*after, true, change.after, change.afterBlob))
      return false;
    i += 3;
    while (i + 1 < lines.size()) {
      const auto between = value(i, "between");
      if (!between)
        break;
      Fingerprint f;
      int unused = 0;
      if (!ParseFingerprint(*between, false, f, unused))
        return false;
      change.between.push_back(f);
      ++i;
    }
    step.files.push_back(std::move(change));
  }
  return true;
}

bool IsIndexFile(const path& file) {
  const std::string name = Upper(file.filename().string());
  return name == "MASTER" || name == "EMASTER" || name == "XMASTER";
}

bool IsPortfolioContent(const path& file) {
  const std::string name = Upper(file.filename().string());
  for (const char* tail : {".BAK", ".NEW", ".~NU", ".~CP"}) {
    if (EndsWith(name, tail))
      return false;
  }
  return true;
}

path DefaultRoot() {
#ifdef _WIN32
  if (const char* local = std::getenv("LOCALAPPDATA"); local && *local)
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
  std::string key = absolute.string();
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
    *error = "no folder for it is known (HOME is not set)";
    return {};
  }
  const std::string key = PortfolioKey(portfolioDir);
  const path rootKey = PortfolioKey(root);
  for (path p = rootKey; !p.empty(); p = p.parent_path()) {
    if (p.string() == key) {
      *error = root.string() + " lies inside the portfolio " + key;
      return {};
    }
    if (p == p.parent_path())
      break;
  }
  platform::FileSystem& fs = platform::CurrentFileSystem();
  const Bytes keyBytes(key.begin(), key.end());
  const std::string base =
      Hex(Fnv1a(reinterpret_cast<const std::uint8_t*>(key.data()), key.size()));
  // Another portfolio whose key hashes alike takes the next name.
  for (int i = 0; i < 8; ++i) {
    const path dir = root / (i == 0 ? base : base + "-" + std::to_string(i));
    const path keyFile = dir / kKeyFile;
    if (fs.IsDirectory(dir)) {
      if (fs.Exists(keyFile)) {
        Bytes held;
        if (!platform::ReadWholeFile(keyFile, held)) {
          *error = "cannot read " + keyFile.string();
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
  *error = "too many journals in " + root.string() + " share the name " + base;
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
    Bytes bytes;
    if (!platform::ReadWholeFile(RecordPath(seq), bytes) ||
        !ParseStep(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                   step)) {
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
  return platform::DeleteFileIfPresent(BlobPath(seq, blob));
}

platform::IoResult Store::Delete(const StepRecord& step) const {
  if (platform::IoResult removed = platform::DeleteFileIfPresent(RecordPath(step.seq)); !removed)
    return removed;
  for (const platform::DirEntry& entry : platform::CurrentFileSystem().List(dir_)) {
    std::uint32_t seq = 0;
    int blob = 0;
    if (ParseName(entry.name, seq, &blob) && seq == step.seq)
      (void)platform::DeleteFileIfPresent(dir_ / entry.name);
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
    bool leftover = EndsWith(entry.name, kWorkExtension);
    if (ParseName(entry.name, seq, &blob)) {
      leftover = recorded.count(seq) == 0;
      if (!leftover) {
        auto [it, fresh] = named.try_emplace(seq);
        StepRecord step;
        Bytes bytes;
        if (fresh && platform::ReadWholeFile(RecordPath(seq), bytes) &&
            ParseStep(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                      step)) {
          it->second.emplace();
          for (const FileChange& change : step.files)
            it->second->insert({change.beforeBlob, change.afterBlob});
        }
        leftover = it->second && it->second->count(blob) == 0;
      }
    }
    if (leftover)
      (void)platform::DeleteFileIfPresent(dir_ / entry.name);
  }
}

}  // namespace ledgrix::maintenance::journal
