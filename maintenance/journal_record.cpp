// How a step of the undo journal is written down: the files it changed with the fingerprints of
// their contents, in a text record of one line per fact.
#include "maintenance/journal_record.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <optional>

#include "platform/files.h"

namespace ledgrix::maintenance::journal {
namespace {

constexpr std::string_view kMagic = "ledgrix undo step 1";

std::string Hex(std::uint64_t value) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
  return text;
}

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
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
}  // namespace

std::uint64_t HashBytes(const std::uint8_t* data, std::size_t size) {
  std::uint64_t hash = 14695981039346656037ULL;  // FNV-1a
  for (std::size_t i = 0; i < size; ++i) {
    hash ^= data[i];
    hash *= 1099511628211ULL;
  }
  return hash;
}

Fingerprint FingerprintOf(const Bytes* bytes) {
  if (bytes == nullptr)
    return {};
  return {true, bytes->size(), HashBytes(bytes->data(), bytes->size())};
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
    const std::u8string name = change.file.u8string();
    text += "file " + Escape(std::string(name.begin(), name.end())) + "\n";
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
    change.file = path(std::u8string(name.begin(), name.end()));
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
  const std::string name = Upper(platform::Utf8FromPath(file.filename()));
  return name == "MASTER" || name == "EMASTER" || name == "XMASTER";
}

bool IsPortfolioContent(const path& file) {
  const std::string name = Upper(platform::Utf8FromPath(file.filename()));
  for (const char* tail : {".BAK", ".NEW", ".~NU", ".~CP"}) {
    if (std::string_view(name).ends_with(tail))
      return false;
  }
  return true;
}

}  // namespace ledgrix::maintenance::journal
