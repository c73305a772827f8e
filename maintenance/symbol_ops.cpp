// Symbol records and their files: remove, copy, move and edit. Every MASTER is replaced whole
// through its work file; a moved symbol is complete at its destination before any of its source
// goes.
#include "maintenance/symbol_ops.h"

#include <array>
#include <cctype>
#include <string>
#include <vector>

#include "platform/files.h"

namespace ledgrix::maintenance {

using formats::MasterFile;
using formats::MasterRecord;

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

std::string Describe(const char* what, const path& file, const platform::IoResult& result) {
  std::string text = std::string(what) + " " + file.string();
  if (!result.message().empty())
    text += ":\n" + result.message();
  return text;
}

void ChangeCounters(MasterFile& master, int delta) {
  master.header.setSymbolCount(static_cast<std::int16_t>(master.header.symbolCount() + delta));
  master.header.setFileCounter(static_cast<std::int16_t>(master.header.fileCounter() + delta));
}

// MASTER replaced whole through MASTER.~NU; no backup is kept by these operations.
platform::IoResult WriteMaster(const path& masterPath, const MasterFile& master) {
  return platform::ReplaceFile(masterPath, masterPath.filename().string() + ".~NU",
                               formats::MasterBytes(master));
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

bool SameDirectory(const path& a, const path& b) {
  return (a / "").lexically_normal() == (b / "").lexically_normal();
}

// Deletes F<n>.DAT, F<n>.BAK and F<n>.DOP of dir; the first failure is described in *error.
bool DeleteSymbolFiles(const path& dir, int n, std::string* error) {
  bool ok = true;
  for (const char* extension : {"DAT", "BAK", "DOP"}) {
    path file = formats::QuoteFilePath(dir, n, extension);
    platform::IoResult removed = platform::DeleteFileIfPresent(file);
    if (!removed && ok) {
      ok = false;
      *error = Describe("cannot delete", file, removed);
    }
  }
  return ok;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) !=
        std::toupper(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

// The record the selected row shows: the first of masterPath whose display symbol is text.
// The lookup alone could settle on an earlier record whose issue name reads the same.
bool FindListedSymbol(const path& masterPath, std::string_view text, MasterRecord& record) {
  MasterFile master;
  if (!formats::ReadMasterFile(masterPath, master))
    return false;
  for (const MasterRecord& r : master.records) {
    if (!r.isDirectoryEntry() && EqualsIgnoringCase(r.displaySymbol(), text)) {
      record = r;
      return true;
    }
  }
  return false;
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

// Everything of an addition but the removal of a moved source: the destination's files first,
// then its MASTER, so that the destination never lists a symbol whose quotes are not there.
AddResult AddCopy(const MasterRecord& sourceRecord, std::string_view symbol, const path& destDir,
                  const path& sourceDir, Prompt& prompt) {
  MasterRecord found;
  path foundDir;
  formats::StatusCode lookup = formats::LookupSymbol(destDir, symbol, found, foundDir);
  if (lookup == formats::kOk) {
    prompt.Message(Fill(kDuplicateMessage, {symbol, destDir.string()}), PromptIcon::kNone);
    return kAlreadyThere;
  }
  if (lookup == formats::kFileRead) {
    return Failed(prompt, "The portfolio\n" + destDir.string() + "\ncannot be read completely.");
  }

  const path destMaster = destDir / "MASTER";
  MasterFile master;
  if (!formats::ReadMasterFile(destMaster, master)) {
    return Failed(prompt, "The master file\n" + destMaster.string() + "\ncannot be read.");
  }
  if (master.header.symbolCount() >= formats::kMaxSymbols ||
      master.header.fileCounter() >= formats::kMaxSymbols) {
    prompt.Message(kFullMessage, PromptIcon::kNone);
    return kPortfolioFull;
  }
  std::array<bool, 256> used{};
  used[0] = true;
  for (const MasterRecord& record : master.records)
    used[record.fileNumber()] = true;
  int number = 1;
  while (number < 256 && used[static_cast<std::size_t>(number)])
    ++number;
  if (number == 256) {
    prompt.Message(kFullMessage, PromptIcon::kNone);
    return kPortfolioFull;
  }

  const int oldNumber = sourceRecord.fileNumber();
  const path sourceDat = formats::QuoteFilePath(sourceDir, oldNumber, "DAT");
  const path destDat = formats::QuoteFilePath(destDir, number, "DAT");
  if (platform::IoResult copied = platform::CopyFileReplacing(sourceDat, destDat); !copied) {
    return Failed(prompt, Describe("cannot copy", sourceDat, copied));
  }
  const path sourceDop = formats::QuoteFilePath(sourceDir, oldNumber, "DOP");
  const path destDop = formats::QuoteFilePath(destDir, number, "DOP");
  if (platform::FileExists(sourceDop)) {
    if (platform::IoResult copied = platform::CopyFileReplacing(sourceDop, destDop); !copied) {
      return Failed(prompt, Describe("cannot copy", sourceDop, copied));
    }
  } else if (platform::IoResult removed = platform::DeleteFileIfPresent(destDop); !removed) {
    // A stray descriptor under the new number would give the symbol a layout not its own.
    return Failed(prompt, Describe("cannot delete", destDop, removed));
  }

  ChangeCounters(master, +1);
  MasterRecord added = sourceRecord;
  added.setFileNumber(static_cast<std::uint8_t>(number));
  master.records.push_back(added);
  if (platform::IoResult written = WriteMaster(destMaster, master); !written) {
    return Failed(prompt, Describe("cannot write", destMaster, written));
  }
  return kAdded;
}

}  // namespace

OpResult RemoveSymbol(const path& portfolioDir, const path& masterPath, std::string_view symbol) {
  MasterFile master;
  if (!formats::ReadMasterFile(masterPath, master)) {
    return OpResult::Failure("The master file\n" + masterPath.string() + "\ncannot be read.");
  }
  auto it = master.records.begin();
  while (it != master.records.end() && it->displaySymbol() != symbol)
    ++it;
  if (it == master.records.end()) {
    return OpResult::Failure(
        Fill(kNotFoundReason, {symbol, masterPath.string()}).append("\nNothing was deleted."));
  }
  // One record per call: a MASTER that lists the symbol twice keeps the other one.
  const MasterRecord removed = *it;
  master.records.erase(it);
  ChangeCounters(master, -1);
  if (platform::IoResult written = WriteMaster(masterPath, master); !written) {
    return OpResult::Failure(Describe("cannot write", masterPath, written));
  }

  // A directory entry has no files, and files another record still names stay.
  if (removed.isDirectoryEntry())
    return {};
  for (const MasterRecord& record : master.records) {
    if (record.fileNumber() == removed.fileNumber())
      return {};
  }
  std::string error;
  if (!DeleteSymbolFiles(portfolioDir, removed.fileNumber(), &error)) {
    return OpResult::Failure(error);
  }
  return {};
}

AddResult AddSymbolToPortfolio(const MasterRecord& sourceRecord, std::string_view symbol,
                               const path& destDir, const path& sourceDir, bool move,
                               Prompt& prompt) {
  const std::size_t unconfirmed = platform::UnconfirmedChangeCount();
  AddResult result = AddCopy(sourceRecord, symbol, destDir, sourceDir, prompt);
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

AddResult TransferSymbol(const path& portfolioDir, const path& masterPath, std::string_view symbol,
                         const path& destDir, bool move, Prompt& prompt) {
  const std::string text = UpperTrimmed(symbol);
  MasterRecord record;
  path foundDir;
  if (!FindListedSymbol(masterPath, text, record)) {
    if (formats::LookupSymbol(portfolioDir, text, record, foundDir) != formats::kOk) {
      return Failed(prompt, Fill(kNotFoundReason, {text, portfolioDir.string()}));
    }
    record.encodeDates();
  } else {
    foundDir = portfolioDir;
  }

  const std::size_t unconfirmed = platform::UnconfirmedChangeCount();
  AddResult result = AddCopy(record, text, destDir, foundDir, prompt);
  if (result != kAdded || !move)
    return result;
  if (platform::UnconfirmedChangeCount() != unconfirmed)
    return Failed(prompt, CopyUnconfirmedReason(destDir));

  // The record leaves the MASTER that lists it (a sub-portfolio's when it was found there), and
  // only then do its files go.
  const path sourceMaster =
      SameDirectory(foundDir, portfolioDir) ? masterPath : foundDir / "MASTER";
  if (OpResult dropped = RemoveRecordByNumber(sourceMaster, record.fileNumber()); !dropped) {
    return Failed(prompt, "The symbol was copied to\n" + destDir.string() +
                              "\nbut could not be removed here:\n" + dropped.message);
  }
  std::string error;
  if (!DeleteSymbolFiles(foundDir, record.fileNumber(), &error))
    return Failed(prompt, error);
  return kAdded;
}

OpResult RemoveRecordByNumber(const path& masterPath, std::uint8_t fileNumber) {
  MasterFile master;
  if (!formats::ReadMasterFile(masterPath, master)) {
    return OpResult::Failure("The master file\n" + masterPath.string() + "\ncannot be read.");
  }
  // Directory entries name no files; their first byte is no file number.
  const std::size_t dropped = std::erase_if(master.records, [&](const MasterRecord& record) {
    return record.fileNumber() == fileNumber && !record.isDirectoryEntry();
  });
  // Without a matching record the counters stay as they are.
  if (dropped == 0) {
    return OpResult::Failure("No record of file number " + std::to_string(fileNumber) +
                             " is listed in\n" + masterPath.string());
  }
  ChangeCounters(master, -1);
  if (platform::IoResult written = WriteMaster(masterPath, master); !written) {
    return OpResult::Failure(Describe("cannot write", masterPath, written));
  }
  return {};
}

int RewriteSymbolRecord(const path& masterPath, std::string_view rowSymbol,
                        std::string_view newSymbol, std::string_view newName) {
  MasterFile master;
  if (!formats::ReadMasterFile(masterPath, master))
    return 1;
  for (MasterRecord& record : master.records) {
    if (record.displaySymbol() != rowSymbol)
      continue;
    record.setIssueName(newName);
    record.setSymbolField(newSymbol);
  }
  const std::string name = masterPath.filename().string();
  platform::IoResult written =
      platform::ReplaceFile(masterPath, name + ".NEW", formats::MasterBytes(master), name + ".BAK");
  return written.ok() ? 0 : 1;
}

}  // namespace ledgrix::maintenance
