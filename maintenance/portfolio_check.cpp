// The portfolio check: the index files as the joined index reads them, the directory listed
// once, then each symbol's quote file read whole and handed to the quote check.
#include "maintenance/portfolio_check.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <memory>
#include <span>

#include "formats/portfolio_index.h"
#include "formats/windows1252.h"
#include "maintenance/quote_check.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace ledgrix::maintenance {

namespace {

using formats::IndexEntry;
using formats::IndexFileState;

struct KindInfo {
  const char* text;
  bool safe;
};

constexpr std::array<KindInfo, kFindingKindCount> kKinds = {{
    {"index file unusable", false},
    {"EMASTER out of step", true},
    {"missing quote file", false},
    {"quote file unusable", false},
    {"quote file without entry", false},
    {"file number shared", false},
    {"record length unusable", false},
    {"quote count wrong", true},
    {"partial record", true},
    {"dates out of order", true},
    {"date stored twice", true},
    {"date not representable", false},
    {"first date wrong", true},
    {"last date wrong", true},
    {"high below low", false},
    {"price outside range", false},
    {"price not positive", false},
    {"negative volume", false},
    {"bad tick", false},
}};

std::string Upper(std::string text) {
  for (char& c : text)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// The file number of a name F<n>.DAT (n <= 255) or F<n>.MWD (n > 255), else 0.
int QuoteFileNumber(const std::string& upperName) {
  if (upperName.size() < 6 || upperName[0] != 'F')
    return 0;
  const std::size_t dot = upperName.find('.');
  if (dot == std::string::npos || dot < 2 || dot > 6)
    return 0;
  int n = 0;
  for (std::size_t i = 1; i < dot; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(upperName[i])))
      return 0;
    n = n * 10 + (upperName[i] - '0');
  }
  if (n < 1 || n > 65535 || upperName[1] == '0')
    return 0;
  return upperName.substr(dot + 1) == formats::QuoteExtension(n) ? n : 0;
}

std::string QuoteFileName(int n) {
  std::string name = "F";
  name += std::to_string(n);
  name += '.';
  name += formats::QuoteExtension(n);
  return name;
}

Finding IndexFinding(std::string where, FindingKind kind, std::string detail) {
  Finding f;
  f.where = std::move(where);
  f.kind = kind;
  f.detail = std::move(detail);
  f.fixable = kKinds[static_cast<std::size_t>(kind)].safe;
  return f;
}

void CheckIndexFiles(const formats::PortfolioIndex& index, std::vector<Finding>& out) {
  if (index.master.trailingBytes)
    out.push_back(IndexFinding("MASTER", FindingKind::kIndexUnusable,
                               "the file ends inside a record after record " +
                                   std::to_string(index.master.records.size())));
  if (index.emaster == IndexFileState::kUnusable) {
    const bool outOfStep = index.emasterRead && !index.ioError;
    out.push_back(IndexFinding(
        "EMASTER", outOfStep ? FindingKind::kEmasterOutOfStep : FindingKind::kIndexUnusable,
        index.emasterProblem));
  }
  if (index.xmaster == IndexFileState::kUnusable || !index.xmasterProblem.empty())
    out.push_back(IndexFinding("XMASTER", FindingKind::kIndexUnusable, index.xmasterProblem));

  std::map<int, std::vector<const IndexEntry*>> byNumber;
  for (const IndexEntry& entry : index.entries) {
    if (!entry.isDirectory)
      byNumber[entry.fileNumber()].push_back(&entry);
  }
  for (const auto& [n, entries] : byNumber) {
    if (entries.size() < 2)
      continue;
    std::string names;
    for (const IndexEntry* entry : entries)
      names += (names.empty() ? "" : ", ") + entry->symbol;
    out.push_back(IndexFinding(formats::IndexFileName(entries.front()->key.file),
                               FindingKind::kSharedFileNumber,
                               QuoteFileName(n) + " is named by " + names));
  }
}

void CheckOrphans(const formats::PortfolioIndex& index,
                  const std::map<std::string, std::string>& listing, std::vector<Finding>& out) {
  std::vector<bool> named(65536);
  for (const IndexEntry& entry : index.entries) {
    if (!entry.isDirectory)
      named[entry.fileNumber()] = true;
  }
  std::vector<std::pair<int, std::string>> orphans;
  for (const auto& [upper, name] : listing) {
    const int n = QuoteFileNumber(upper);
    // Without a usable XMASTER its files are reported with it, not one by one.
    if (n == 0 || named[static_cast<std::size_t>(n)] ||
        (n >= formats::kFirstXmasterNumber && index.xmaster == IndexFileState::kUnusable))
      continue;
    orphans.emplace_back(n, name);
  }
  std::sort(orphans.begin(), orphans.end());
  for (const auto& [n, name] : orphans)
    out.push_back(IndexFinding(n < formats::kFirstXmasterNumber ? "MASTER" : "XMASTER",
                               FindingKind::kOrphanQuoteFile, name + " is named by no entry"));
}

// Quote files the index files still account for though no MASTER record lists them: a stale
// EMASTER record's, and numbers below MASTER's file counter when it counts more files than
// MASTER lists records (another writer deleted symbols and left the counter behind).
void CheckMissingNumbers(const formats::PortfolioIndex& index,
                         const std::map<std::string, std::string>& listing,
                         std::vector<Finding>& out) {
  std::vector<bool> accounted(formats::kFirstXmasterNumber);
  for (const IndexEntry& entry : index.entries) {
    if (!entry.isDirectory && entry.fileNumber() < formats::kFirstXmasterNumber)
      accounted[entry.fileNumber()] = true;
  }
  const auto absent = [&](int n) { return !listing.contains(QuoteFileName(n)); };
  if (index.emasterRead && index.emaster == IndexFileState::kUnusable) {
    for (const formats::EmasterRecord& record : index.emasterFile.records) {
      const int n = record.fileNumber();
      if (n == 0 || accounted[static_cast<std::size_t>(n)] || !absent(n))
        continue;
      accounted[static_cast<std::size_t>(n)] = true;
      out.push_back(IndexFinding("EMASTER", FindingKind::kQuoteFileMissing,
                                 record.symbol() + " names " + QuoteFileName(n) +
                                     ", which is not in the directory; MASTER lists no such "
                                     "symbol"));
    }
  }
  const int counter = std::min<int>(index.master.header.fileCounter(), formats::kMaxSymbols);
  if (counter <= static_cast<int>(index.master.records.size()))
    return;
  for (int n = 1; n <= counter; ++n) {
    if (accounted[static_cast<std::size_t>(n)] || !absent(n))
      continue;
    out.push_back(IndexFinding("MASTER", FindingKind::kQuoteFileMissing,
                               QuoteFileName(n) + " is not in the directory: the header counts " +
                                   std::to_string(counter) +
                                   " files, and no record lists this one"));
  }
}

// A file's bytes, read into storage kept from one file to the next: a portfolio's quote files
// are read without zero-filling or copying them first.
class ReadBuffer {
 public:
  bool Read(const std::filesystem::path& file, std::string& error) {
    std::unique_ptr<platform::InputFile> in = platform::CurrentFileSystem().OpenRead(file);
    if (!in) {
      error = "cannot open " + platform::Utf8FromPath(file);
      return false;
    }
    constexpr std::size_t kChunk = 64 * 1024;
    size_ = 0;
    for (;;) {
      if (capacity_ - size_ < kChunk)
        Grow(size_ + kChunk);
      const std::size_t n = in->Read(data_.get() + size_, capacity_ - size_);
      if (n == 0)
        break;
      size_ += n;
    }
    if (in->failed()) {
      error = "cannot read " + platform::Utf8FromPath(file);
      return false;
    }
    return true;
  }
  std::span<const std::uint8_t> bytes() const { return {data_.get(), size_}; }

 private:
  void Grow(std::size_t least) {
    const std::size_t capacity = std::max(least, 2 * capacity_);
    auto data = std::make_unique_for_overwrite<std::uint8_t[]>(capacity);
    if (size_ != 0)
      std::memcpy(data.get(), data_.get(), size_);
    data_ = std::move(data);
    capacity_ = capacity;
  }

  std::unique_ptr<std::uint8_t[]> data_;
  std::size_t capacity_ = 0;
  std::size_t size_ = 0;
};

void CheckEntry(const std::filesystem::path& dir, const IndexEntry& entry,
                const std::map<std::string, std::string>& listing, const CheckOptions& options,
                ReadBuffer (&buffers)[2], CheckResult& result) {
  std::vector<Finding>& out = result.findings;
  const std::string fileName = QuoteFileName(entry.fileNumber());
  const std::string where = entry.symbol.empty() ? fileName : entry.symbol;
  const auto symbolFinding = [&](FindingKind kind, std::string detail) {
    Finding f = IndexFinding(where, kind, std::move(detail));
    f.key = entry.key;
    out.push_back(std::move(f));
  };
  const auto dat = listing.find(fileName);
  if (dat == listing.end()) {
    symbolFinding(FindingKind::kQuoteFileMissing, fileName + " is not in the directory");
    return;
  }
  const auto dop = listing.find("F" + std::to_string(entry.fileNumber()) + ".DOP");
  std::string error;
  const auto unreadable = [&](const std::string& name) {
    symbolFinding(FindingKind::kQuoteFileUnusable, name + " cannot be read: " + error);
    result.incomplete = true;
  };
  if (dop != listing.end() && !buffers[1].Read(dir / dop->second, error))
    return unreadable(dop->second);
  if (!buffers[0].Read(dir / dat->second, error))
    return unreadable(dat->second);
  const std::span<const std::uint8_t> bytes = buffers[0].bytes(), dopBytes = buffers[1].bytes();
  formats::FieldLayout layout;
  if (!check::LayoutOf(entry, dop == listing.end() ? nullptr : &dopBytes, bytes, layout)) {
    symbolFinding(FindingKind::kBadRecordLength,
                  "record length " + std::to_string(entry.recordLength) +
                      (formats::IsUsableRecordLength(entry.recordLength)
                           ? ": no field layout with a date fits it"
                           : ": not a multiple of 4 from 4 to 76"));
    return;
  }
  check::CheckQuoteFile(entry, where, dat->second, layout, bytes, options, out);
}

}  // namespace

const char* FindingKindText(FindingKind kind) {
  return kKinds[static_cast<std::size_t>(kind)].text;
}

bool IsSafeFix(FindingKind kind) {
  return kKinds[static_cast<std::size_t>(kind)].safe;
}

bool CheckResult::hasFixes() const {
  return !incomplete &&
         std::any_of(findings.begin(), findings.end(), [](const Finding& f) { return f.fixable; });
}

std::string FindingLine(const Finding& finding) {
  return formats::Windows1252ToUtf8(finding.where) + '\t' + FindingKindText(finding.kind) + '\t' +
         finding.detail;
}

CheckResult CheckPortfolio(const std::filesystem::path& dir, const CheckOptions& options,
                           const CheckProgress& progress) {
  CheckResult result;
  formats::PortfolioIndex index;
  std::string problem;
  if (!formats::ReadPortfolioIndex(dir, index, &problem)) {
    result.findings.push_back(IndexFinding("MASTER", FindingKind::kIndexUnusable, problem));
    return result;
  }
  CheckIndexFiles(index, result.findings);
  result.incomplete = index.ioError;

  // Upper-case name to the name on disk: names are matched without regard to case.
  std::map<std::string, std::string> listing;
  for (const platform::DirEntry& entry : platform::CurrentFileSystem().List(dir)) {
    if (!entry.isDirectory)
      listing.emplace(Upper(entry.name), entry.name);
  }
  // The directory holds MASTER: a listing without it is one that failed.
  if (!listing.contains(Upper(platform::Utf8FromPath(index.masterPath.filename())))) {
    result.findings.push_back(
        IndexFinding("MASTER", FindingKind::kIndexUnusable, "the directory cannot be listed"));
    result.incomplete = true;
    return result;
  }
  CheckOrphans(index, listing, result.findings);
  CheckMissingNumbers(index, listing, result.findings);

  std::vector<const IndexEntry*> symbols;
  for (const IndexEntry& entry : index.entries) {
    if (!entry.isDirectory)
      symbols.push_back(&entry);
  }
  ReadBuffer buffers[2];  // the quote file's, the descriptor's
  for (std::size_t i = 0; i < symbols.size(); ++i) {
    CheckEntry(dir, *symbols[i], listing, options, buffers, result);
    if (progress && !progress(i + 1, symbols.size())) {
      result.cancelled = true;
      break;
    }
  }
  return result;
}

}  // namespace ledgrix::maintenance
