// Symbol records and their files: remove, copy, move and rename, through IndexUpdate so that
// MASTER, EMASTER and XMASTER stay in step. An index never lists a symbol whose quotes are not
// there: files are copied before a record is added, and deleted only after it is dropped.
#include "maintenance/symbol_ops.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "formats/field_layout.h"
#include "formats/lookup.h"
#include "formats/portfolio_index.h"
#include "maintenance/index_update.h"
#include "maintenance/messages.h"
#include "platform/files.h"

namespace ledgrix::maintenance {

using formats::EmasterRecord;
using formats::IndexEntry;
using formats::MasterRecord;
using formats::PortfolioIndex;
using formats::XmasterRecord;
namespace le = formats::le;
namespace xo = formats::xmaster_offset;
namespace mo = formats::master_offset;

namespace {

// Replaces each "%s" of format by the next argument.
std::string Fill(std::string_view format, std::initializer_list<std::string_view> args) {
  std::string out;
  auto next = args.begin();
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 's' && next != args.end()) {
      out.append(*next++);
      ++i;
    } else {
      out.push_back(format[i]);
    }
  }
  return out;
}

constexpr const char* kAddFailedMessage = "The Symbol addition failed.\n\nReason: %s";
constexpr const char* kNotFoundReason = "Symbol %s was not found in\n%s";
// Work file of the record operations; they keep no backup of the index files.
constexpr const char* kOpsWork = ".~NU";

std::string Describe(const char* what, const path& file, const platform::IoResult& result) {
  std::string text = std::string(what) + " " + platform::Utf8FromPath(file);
  if (!result.message().empty())
    text += ":\n" + result.message();
  return text;
}

std::string UpperTrimmed(std::string_view text) {
  const char* space = " \t\r\n\v\f";
  std::string s(text);
  s.erase(0, s.find_first_not_of(space));
  std::string::size_type end = s.find_last_not_of(space);
  s.erase(end == std::string::npos ? 0 : end + 1);
  for (char& c : s) {
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
  }
  return s;
}

std::string TrimTrailingBlanks(std::string text) {
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; };
    if (upper(a[i]) != upper(b[i]))
      return false;
  }
  return true;
}

// Deletes the quote file, F<n>.BAK and F<n>.DOP of dir; the first failure is described.
bool DeleteSymbolFiles(const path& dir, int n, std::string* error) {
  bool ok = true;
  for (const char* extension : {formats::QuoteExtension(n), "BAK", "DOP"}) {
    path file = formats::QuoteFilePath(dir, n, extension);
    platform::IoResult removed = platform::DeleteFileIfPresent(file);
    if (!removed && ok) {
      ok = false;
      *error = Describe("cannot delete", file, removed);
    }
  }
  return ok;
}

AddResult Failed(Prompt& prompt, const std::string& reason) {
  prompt.Message(Fill(kAddFailedMessage, {reason}), PromptIcon::kStop);
  return kAddFailed;
}

// A move removes nothing of its source while the disk has not confirmed the copy.
std::string CopyUnconfirmedReason(const path& destDir) {
  return "The symbol was copied to\n" + platform::Utf8FromPath(destDir) +
         "\nbut the disk did not confirm the copy, so it was not removed here.";
}

// Drops entry from update's index, then deletes its files from filesDir unless another record
// still names them.
OpResult RemoveEntry(IndexUpdate& update, const IndexEntry& entry, const path& filesDir) {
  bool shared = false;
  for (const IndexEntry& other : update.index().entries) {
    shared = shared ||
             (other.key == entry.key && !other.isDirectory && other.position != entry.position);
  }
  update.Remove(entry);
  if (platform::IoResult written = update.Commit(kOpsWork); !written) {
    return OpResult::Failure(Describe("cannot write", update.index().masterPath, written));
  }
  // A directory entry has no files, and files another record still names stay.
  if (entry.isDirectory || shared)
    return {};
  std::string error;
  if (!DeleteSymbolFiles(filesDir, entry.fileNumber(), &error))
    return OpResult::Failure(error);
  return {};
}

// Where a symbol comes from: the index that lists it, its entry, and its directory.
struct Source {
  PortfolioIndex index;
  IndexEntry entry;
  path dir;
};

// The record the selected row shows: the first of the portfolio's index whose display symbol is
// text; else what the lookup finds (a symbol of a sub-portfolio). The lookup alone could settle
// on an earlier record whose name reads the same. Results: kOk, the lookup's failures, or
// kFileRead when an index file is there but cannot be read.
formats::StatusCode FindSource(const path& portfolioDir, std::string_view text, Source& source) {
  source.dir = portfolioDir;
  if (formats::ReadPortfolioIndex(portfolioDir, source.index)) {
    if (source.index.ioError)
      return formats::kFileRead;
    for (const IndexEntry& e : source.index.entries) {
      if (!e.isDirectory && EqualsIgnoringCase(e.symbol, text)) {
        source.entry = e;
        return formats::kOk;
      }
    }
  }
  path found;
  if (const formats::StatusCode status =
          formats::LookupSymbol(portfolioDir, text, source.entry, found);
      status != formats::kOk)
    return status;
  source.dir = found;
  // The entry as its whole index gives it (long name, bitset), not as the lookup alone sees it.
  if (!formats::ReadPortfolioIndex(found, source.index) || source.index.ioError)
    return formats::kFileRead;
  for (const IndexEntry& e : source.index.entries) {
    if (e.key == source.entry.key && e.position == source.entry.position)
      source.entry = e;
  }
  return formats::kOk;
}

// The fields of the source's records, as the index files note them.
std::uint8_t FieldBitsOf(const Source& source) {
  if (source.entry.fieldBits != 0)
    return source.entry.fieldBits;
  formats::FieldLayout layout;
  const int n = source.entry.fileNumber();
  if (formats::ReadFieldLayout(formats::QuoteFilePath(source.dir, n, "DOP"),
                               source.entry.recordLength, layout,
                               source.entry.periodicity) != formats::kOk)
    return 0;
  return formats::FieldBits(layout);
}

// A MASTER record for the source under number: the source's own record, or one made from an
// XMASTER entry (bytes the entry does not tell taken from another record of the portfolio).
MasterRecord MasterRecordFor(const Source& source, std::uint8_t number,
                             const formats::MasterFile& destMaster) {
  const IndexEntry& e = source.entry;
  MasterRecord r = e.master;
  if (e.inXmaster()) {
    r = MasterRecord{};
    r.bytes[50] = ' ';
    r.bytes[51] = ' ';
    const auto isSymbol = [](const MasterRecord& m) { return !m.isDirectoryEntry(); };
    for (const formats::MasterFile* m : {&destMaster, &source.index.master}) {
      const auto other = std::find_if(m->records.begin(), m->records.end(), isSymbol);
      if (other != m->records.end()) {
        r = *other;
        break;
      }
    }
    r.bytes[mo::kRecordLength] = static_cast<std::uint8_t>(e.recordLength);
    r.bytes[mo::kFieldCount] = static_cast<std::uint8_t>(e.fieldCount);
    r.setIssueName(e.name.substr(0, mo::kIssueNameSize));
    const formats::StoredNumber first = formats::EncodeMbf(static_cast<float>(e.firstDate));
    const formats::StoredNumber last = formats::EncodeMbf(static_cast<float>(e.lastDate));
    std::copy(first.begin(), first.end(), r.bytes.begin() + mo::kFirstDate);
    std::copy(last.begin(), last.end(), r.bytes.begin() + mo::kLastDate);
    r.bytes[mo::kPeriodicity] = static_cast<std::uint8_t>(e.periodicity);
    for (std::size_t i = 0; i < mo::kSymbolTextSize; ++i)
      r.bytes[mo::kSymbol + i] = i < e.symbol.size() ? static_cast<std::uint8_t>(e.symbol[i]) : ' ';
    r.bytes[mo::kSymbol + mo::kSymbolTextSize] = ' ';
  }
  r.setFileNumber(number);
  return r;
}

// What EMASTER keeps of the source: its own EMASTER record, or the long name and interval of
// an XMASTER entry.
std::optional<EmasterRecord> EmasterKeepFor(const Source& source) {
  const IndexEntry& e = source.entry;
  if (!e.inXmaster()) {
    if (source.index.emaster != formats::IndexFileState::kUsable ||
        e.position >= source.index.emasterFile.records.size())
      return std::nullopt;
    return source.index.emasterFile.records[e.position];
  }
  EmasterRecord keep;
  namespace eo = formats::emaster_offset;
  le::SetI32(&keep.bytes[eo::kFirstDateLong], formats::LongFromStoredDate(e.firstDate));
  if (e.name.size() > mo::kIssueNameSize)
    le::SetText(&keep.bytes[eo::kLongName], eo::kLongNameSize, e.name);
  if (e.position < source.index.xmasterFile.records.size())
    le::SetU16(&keep.bytes[eo::kInterval],
               le::U16(&source.index.xmasterFile.records[e.position].bytes[xo::kInterval]));
  return keep;
}

// An XMASTER record for the source (its number is set when it is appended): the source's own
// record, or one made from a MASTER entry. The stamp at 80-87 comes from another record of the
// destination.
XmasterRecord XmasterRecordFor(const Source& source, std::uint8_t fieldBits,
                               const formats::XmasterFile& dest) {
  const IndexEntry& e = source.entry;
  XmasterRecord x;
  if (e.inXmaster() && e.position < source.index.xmasterFile.records.size()) {
    x = source.index.xmasterFile.records[e.position];
  } else {
    std::uint8_t* b = x.bytes.data();
    b[xo::kMarker] = 0x01;
    le::SetText(b + xo::kSymbol, xo::kSymbolSize, e.master.symbolText());
    le::SetText(b + xo::kName, xo::kNameSize,
                e.longName.empty() ? TrimTrailingBlanks(e.name) : e.longName);
    b[xo::kPeriodicity] = static_cast<std::uint8_t>(e.periodicity);
    if (const std::optional<EmasterRecord> em = EmasterKeepFor(source))
      le::SetU16(b + xo::kInterval, le::U16(&em->bytes[formats::emaster_offset::kInterval]));
    b[xo::kFieldBits] = fieldBits;
    le::SetI32(b + xo::kFirstDateCopy, formats::LongFromStoredDate(e.firstDate));
    le::SetI32(b + xo::kFirstDate, formats::LongFromStoredDate(e.firstDate));
    le::SetI32(b + xo::kLastDate, formats::LongFromStoredDate(e.lastDate));
  }
  if (!dest.records.empty()) {
    std::copy_n(dest.records.front().bytes.begin() + xo::kStamp, xo::kStampSize,
                x.bytes.begin() + xo::kStamp);
  }
  return x;
}

// Everything of an addition but the removal of a moved source: the destination's files first,
// then its index, so that the destination never lists a symbol whose quotes are not there.
AddResult AddCopy(const Source& source, std::string_view symbol, const path& destDir,
                  Prompt& prompt) {
  IndexEntry found;
  path foundDir;
  formats::StatusCode lookup = formats::LookupSymbol(destDir, symbol, found, foundDir);
  if (lookup == formats::kOk) {
    prompt.Message(Fill(kDuplicateMessage, {symbol, platform::Utf8FromPath(destDir)}),
                   PromptIcon::kNone);
    return kAlreadyThere;
  }
  if (lookup == formats::kFileRead) {
    return Failed(prompt, "The portfolio\n" + platform::Utf8FromPath(destDir) +
                              "\ncannot be read completely.");
  }

  IndexUpdate dest;
  std::string error;
  if (!dest.Load(destDir, &error)) {
    return Failed(prompt, "The master file\n" + platform::Utf8FromPath(destDir / "MASTER") +
                              "\ncannot be read.");
  }
  const formats::PortfolioIndex& index = dest.index();
  const formats::MasterHeader& header = index.master.header;
  int number = 256;
  if (header.symbolCount() < formats::kMaxSymbols && header.fileCounter() < formats::kMaxSymbols) {
    std::array<bool, 256> used{};
    used[0] = true;
    for (const MasterRecord& record : index.master.records)
      used[record.fileNumber()] = true;
    number = 1;
    while (number < 256 && used[static_cast<std::size_t>(number)])
      ++number;
  }
  // A full MASTER sends the symbol to XMASTER where the portfolio has one; creating one would
  // hide the symbol from programs that read MASTER only.
  const bool toXmaster = number == 256;
  if (toXmaster) {
    if (index.xmaster == formats::IndexFileState::kUnusable) {
      return Failed(prompt, formats::IndexFileName(formats::IndexFile::kXmaster) +
                                std::string(" of ") + platform::Utf8FromPath(destDir) +
                                " cannot be used: it " + index.xmasterProblem);
    }
    if (index.xmaster == formats::IndexFileState::kAbsent ||
        (number = NextXmasterNumber(index.xmasterFile)) == 0) {
      prompt.Message(kFullMessage, PromptIcon::kNone);
      return kPortfolioFull;
    }
  }

  const int oldNumber = source.entry.fileNumber();
  const path sourceDat = formats::QuoteDataPath(source.dir, oldNumber);
  const path destDat = formats::QuoteDataPath(destDir, number);
  if (platform::IoResult copied = platform::CopyFileReplacing(sourceDat, destDat); !copied) {
    return Failed(prompt, Describe("cannot copy", sourceDat, copied));
  }
  const path sourceDop = formats::QuoteFilePath(source.dir, oldNumber, "DOP");
  const path destDop = formats::QuoteFilePath(destDir, number, "DOP");
  if (platform::FileExists(sourceDop)) {
    if (platform::IoResult copied = platform::CopyFileReplacing(sourceDop, destDop); !copied) {
      return Failed(prompt, Describe("cannot copy", sourceDop, copied));
    }
  } else if (platform::IoResult removed = platform::DeleteFileIfPresent(destDop); !removed) {
    // A stray descriptor under the new number would give the symbol a layout not its own.
    return Failed(prompt, Describe("cannot delete", destDop, removed));
  }

  const std::uint8_t bits = FieldBitsOf(source);
  if (toXmaster) {
    dest.AppendToXmaster(XmasterRecordFor(source, bits, index.xmasterFile));
  } else {
    const std::optional<EmasterRecord> keep = EmasterKeepFor(source);
    dest.AppendToMaster(MasterRecordFor(source, static_cast<std::uint8_t>(number), index.master),
                        keep ? &*keep : nullptr, bits);
  }
  if (platform::IoResult written = dest.Commit(kOpsWork); !written) {
    return Failed(prompt, Describe("cannot write", index.masterPath, written));
  }
  return kAdded;
}

}  // namespace

OpResult RemoveSymbol(const path& portfolioDir, const path& masterPath, std::string_view symbol) {
  IndexUpdate update;
  std::string error;
  if (!update.Load(masterPath.parent_path(), &error)) {
    return OpResult::Failure("The master file\n" + platform::Utf8FromPath(masterPath) +
                             "\ncannot be read.");
  }
  const IndexEntry* entry = update.index().FindBySymbol(symbol);
  if (entry == nullptr) {
    return OpResult::Failure(Fill(kNotFoundReason, {symbol, platform::Utf8FromPath(masterPath)})
                                 .append("\nNothing was deleted."));
  }
  // One record per call: an index that lists the symbol twice keeps the other one.
  const IndexEntry removed = *entry;
  return RemoveEntry(update, removed, portfolioDir);
}

OpResult RemoveSymbol(const path& portfolioDir, formats::SymbolKey key) {
  IndexUpdate update;
  std::string error;
  if (!update.Load(portfolioDir, &error))
    return OpResult::Failure(error);
  const IndexEntry* entry = update.index().Find(key);
  if (entry == nullptr) {
    return OpResult::Failure(Fill(kNotFoundReason, {"F" + std::to_string(key.fileNumber),
                                                    platform::Utf8FromPath(portfolioDir)})
                                 .append("\nNothing was deleted."));
  }
  const IndexEntry removed = *entry;
  return RemoveEntry(update, removed, portfolioDir);
}

AddResult AddSymbolToPortfolio(const MasterRecord& sourceRecord, std::string_view symbol,
                               const path& destDir, const path& sourceDir, bool move,
                               Prompt& prompt) {
  Source source;
  source.dir = sourceDir;
  source.entry = formats::EntryFromMaster(sourceRecord, 0);
  const std::size_t unconfirmed = platform::UnconfirmedChangeCount();
  AddResult result = AddCopy(source, symbol, destDir, prompt);
  if (result != kAdded || !move)
    return result;
  if (platform::UnconfirmedChangeCount() != unconfirmed)
    return Failed(prompt, CopyUnconfirmedReason(destDir));
  std::string error;
  if (!DeleteSymbolFiles(sourceDir, sourceRecord.fileNumber(), &error)) {
    return Failed(prompt, error);
  }
  return kAdded;
}

AddResult TransferSymbol(const path& portfolioDir, const path& /*masterPath*/,
                         std::string_view symbol, const path& destDir, bool move, Prompt& prompt) {
  const std::string text = UpperTrimmed(symbol);
  Source source;
  if (const formats::StatusCode found = FindSource(portfolioDir, text, source);
      found != formats::kOk) {
    return Failed(prompt,
                  found == formats::kFileRead
                      ? "The portfolio\n" + platform::Utf8FromPath(portfolioDir) +
                            "\ncannot be read completely."
                      : Fill(kNotFoundReason, {text, platform::Utf8FromPath(portfolioDir)}));
  }

  const std::size_t unconfirmed = platform::UnconfirmedChangeCount();
  AddResult result = AddCopy(source, text, destDir, prompt);
  if (result != kAdded || !move)
    return result;
  if (platform::UnconfirmedChangeCount() != unconfirmed)
    return Failed(prompt, CopyUnconfirmedReason(destDir));

  // The record leaves the index that lists it (a sub-portfolio's when it was found there), and
  // only then do its files go.
  const path sourceMaster =
      source.index.masterPath.empty() ? source.dir / "MASTER" : source.index.masterPath;
  if (OpResult dropped = RemoveRecordByNumber(sourceMaster, source.entry.fileNumber()); !dropped) {
    return Failed(prompt, "The symbol was copied to\n" + platform::Utf8FromPath(destDir) +
                              "\nbut could not be removed here:\n" + dropped.message);
  }
  std::string error;
  if (!DeleteSymbolFiles(source.dir, source.entry.fileNumber(), &error))
    return Failed(prompt, error);
  return kAdded;
}

OpResult RemoveRecordByNumber(const path& masterPath, std::uint16_t fileNumber) {
  IndexUpdate update;
  std::string error;
  if (!update.Load(masterPath.parent_path(), &error)) {
    return OpResult::Failure("The master file\n" + platform::Utf8FromPath(masterPath) +
                             "\ncannot be read.");
  }
  // Directory entries name no files; their first byte is no file number. Dropped from the last
  // so that the positions of the others stay.
  const std::vector<IndexEntry>& entries = update.index().entries;
  std::size_t dropped = 0;
  for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
    if (it->fileNumber() == fileNumber && !it->isDirectory) {
      update.Remove(*it);
      ++dropped;
    }
  }
  // Without a matching record the counters stay as they are.
  if (dropped == 0) {
    return OpResult::Failure("No record of file number " + std::to_string(fileNumber) +
                             " is listed in\n" + platform::Utf8FromPath(masterPath));
  }
  if (platform::IoResult written = update.Commit(kOpsWork); !written) {
    return OpResult::Failure(Describe("cannot write", masterPath, written));
  }
  return {};
}

int RewriteSymbolRecord(const path& masterPath, std::string_view rowSymbol,
                        std::string_view newSymbol, std::string_view newName) {
  IndexUpdate update;
  std::string error;
  if (!update.Load(masterPath.parent_path(), &error))
    return 1;
  // Every MASTER record the row's text names; an XMASTER record only where none does.
  bool renamed = false;
  for (const IndexEntry& entry : update.index().entries) {
    if (entry.symbol != rowSymbol || (entry.inXmaster() && renamed))
      continue;
    update.Rename(entry, newSymbol, newName);
    renamed = true;
  }
  return update.Commit(".NEW", ".BAK").ok() ? 0 : 1;
}

OpResult RenameSymbol(const path& dir, formats::SymbolKey key, std::string_view newSymbol,
                      std::string_view newName) {
  if (newSymbol.empty() || static_cast<unsigned char>(newSymbol.front()) <= 0x20)
    return OpResult::Failure(kMustEnterSymbol);
  if (newSymbol.size() > formats::kMaxSymbolLength)
    return OpResult::Failure(SymbolTooLongMessage(newSymbol));
  IndexUpdate update;
  std::string error;
  if (!update.Load(dir, &error))
    return OpResult::Failure(error);
  const IndexEntry* entry = update.index().Find(key);
  if (entry == nullptr) {
    return OpResult::Failure(
        Fill(kNotFoundReason, {"F" + std::to_string(key.fileNumber), platform::Utf8FromPath(dir)}));
  }
  const std::size_t limit = formats::NameLimit(update.index(), *entry);
  if (newName.size() > limit)
    return OpResult::Failure(NameTooLongMessage(limit));
  update.Rename(*entry, newSymbol, newName);
  if (platform::IoResult written = update.Commit(".NEW", ".BAK"); !written)
    return OpResult::Failure(Describe("cannot write", update.index().masterPath, written));
  return {};
}

}  // namespace ledgrix::maintenance
