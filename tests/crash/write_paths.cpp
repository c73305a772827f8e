#include "tests/crash/write_paths.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "formats/dates.h"
#include "formats/master.h"
#include "maintenance/master_repair.h"
#include "maintenance/prompt.h"
#include "maintenance/quote_rewrite.h"
#include "maintenance/symbol_ops.h"
#include "maintenance/undo_journal.h"
#include "tests/support/fixture.h"

namespace ledgrix::testing {
namespace {

using formats::QuoteDate;
using maintenance::QuoteChange;

// Absolute on either system: the undo journal names each file by its absolute path, and on
// Windows "/p" would take the current drive.
#ifdef _WIN32
#define LEDGRIX_CRASH_ROOT "C:"
#else
#define LEDGRIX_CRASH_ROOT ""
#endif
const std::filesystem::path kRoot = LEDGRIX_CRASH_ROOT "/p";
const std::filesystem::path kTop = kRoot / "top";
const std::filesystem::path kDest = kRoot / "dest";
const std::filesystem::path kDamaged = kRoot / "damaged";
const std::filesystem::path kLower = kRoot / "lower";
const std::filesystem::path kExtended = kRoot / "ext";
const std::filesystem::path kFull = kRoot / "full";
const std::filesystem::path kState = LEDGRIX_CRASH_ROOT "/state";  // where the undo journals live

QuoteDate Day(int year, int month, int day) {
  return formats::DayFromYmd(year, month, day);
}

// 1998-01-05 is a Monday; six weekdays from it.
std::vector<Quote> AaaQuotes() {
  return MakeDailyQuotes(Day(98, 1, 5), 6);
}

SymbolSpec Spec(std::uint16_t fileNumber, std::string symbol, std::string name,
                std::vector<Quote> quotes, bool dop = true) {
  SymbolSpec spec;
  spec.fileNumber = fileNumber;
  spec.symbol = std::move(symbol);
  spec.name = std::move(name);
  spec.quotes = std::move(quotes);
  spec.writeDop = dop;
  return spec;
}

// top: AAA (6 quotes), BBB (3, no DOP), CCC (1 quote), and a directory entry SUB holding DDD;
// dest: EEE; damaged: one record whose symbol is blank.
void BuildPortfolios(MemoryFileSystem& fs) {
  TempDir temp;
  PortfolioBuilder(temp / "top/SUB")
      .Add(Spec(1, "DDD", "Delta Corp", MakeDailyQuotes(Day(99, 3, 1), 4)))
      .Write();
  PortfolioBuilder(temp / "top")
      .Add(Spec(1, "AAA", "Alpha Inc", AaaQuotes()))
      .Add(Spec(2, "BBB", "Beta Ltd", MakeDailyQuotes(Day(100, 2, 1), 3), false))
      .AddDirectoryEntry("SUB")
      .Add(Spec(4, "CCC", "Gamma plc", MakeDailyQuotes(Day(101, 6, 4), 1)))
      .Write();
  PortfolioBuilder(temp / "dest")
      .Add(Spec(1, "EEE", "Epsilon", MakeDailyQuotes(Day(97, 5, 5), 2)))
      .Write();
  formats::MasterRecord blank = MakeMasterRecord(Spec(3, "", "Blank Symbol", {}));
  std::memset(blank.bytes.data() + formats::master_offset::kSymbol, ' ', 16);
  PortfolioBuilder(temp / "damaged")
      .Add(Spec(1, "FFF", "Phi", MakeDailyQuotes(Day(98, 1, 5), 2)))
      .AddRawRecord(blank)
      .Write();
  fs.ImportTree(temp.get(), kRoot);
}

// ext: GGG (long name) in MASTER and EMASTER, HHH and III in XMASTER; full: a MASTER that
// counts 255 symbols beside an XMASTER.
void BuildExtended(MemoryFileSystem& fs) {
  TempDir temp;
  SymbolSpec ggg = Spec(1, "GGG", "Gamma Group", AaaQuotes());
  ggg.longName = "Gamma Group International";
  PortfolioBuilder(temp / "ext")
      .Add(ggg)
      .Add(Spec(256, "HHH", "Eta Holdings", AaaQuotes()))
      .Add(Spec(257, "III", "Iota", MakeDailyQuotes(Day(99, 3, 1), 2)))
      .WithEmaster()
      .Write();
  PortfolioBuilder(temp / "full")
      .Add(Spec(1, "JJJ", "Kappa", MakeDailyQuotes(Day(99, 3, 1), 2)))
      .SetCounts(255, 255)
      .WithXmaster()
      .Write();
  fs.ImportTree(temp.get(), kRoot);
}

WritePath ExtendedPath(std::string name, std::function<bool()> run) {
  WritePath path;
  path.name = std::move(name);
  path.setup = BuildExtended;
  path.run = std::move(run);
  return path;
}

// A portfolio whose files are spelt in lower case, as some programs write them.
void BuildLowerCasePortfolio(MemoryFileSystem& fs) {
  TempDir temp;
  PortfolioBuilder(temp / "lower")
      .SetMasterName("master")
      .SetLowerCaseQuoteFiles(true)
      .Add(Spec(1, "LOW", "Lower Case", AaaQuotes()))
      .Write();
  fs.ImportTree(temp.get(), kRoot);
}

// The rewrite keeps the spelling on disk: no second MASTER or quote file appears beside it.
std::string NoNewSpelling(const FileMap&, const FileMap& before, const FileMap& after) {
  for (const auto& entry : after) {
    if (IsGuardedFile(entry.first) && before.count(entry.first) == 0) {
      return entry.first + " appeared beside the file spelt in lower case";
    }
  }
  return {};
}

bool Change(std::int16_t operation, QuoteDate first, QuoteDate last, const std::string& symbol,
            const std::filesystem::path& dir = kTop) {
  QuoteChange change;
  change.values = {1.5f, 1.5f, 1.5f, 1.5f, 0.5f, 2.0f};
  change.firstDate = first;
  change.lastDate = last;
  change.operation = operation;
  maintenance::SilentPrompt prompt;
  return maintenance::ApplyQuoteChange(change, dir, symbol, prompt) == formats::kOk;
}

WritePath QuotePath(std::string name, std::int16_t operation, QuoteDate first, QuoteDate last,
                    std::string symbol = "AAA") {
  WritePath path;
  path.name = std::move(name);
  path.setup = BuildPortfolios;
  path.run = [=] { return Change(operation, first, last, symbol); };
  path.masterDatesMayLag = operation == maintenance::kDelete;
  return path;
}

// After a move the quotes are in at least one complete place: the source file or a new file
// of the destination holds them as they were.
std::string QuotesSomewhere(const FileMap& rebooted, const FileMap& before, const FileMap& after) {
  const std::string source = (kTop / "F1.DAT").generic_string();
  const std::string dest = kDest.generic_string() + "/";
  // Where they start: before a move, or after the undo of one.
  const FileContent quotes = before.count(source) ? before.at(source) : after.at(source);
  for (const auto& [key, content] : rebooted) {
    const bool candidate = key == source || key.rfind(dest, 0) == 0;
    if (candidate && content == quotes)
      return {};
  }
  return "the moved quotes are in no complete file";
}

maintenance::UndoJournal JournalOf(const std::filesystem::path& portfolio) {
  return maintenance::UndoJournal(kState, portfolio);
}

enum class Run { kCorrection, kUndo, kRedo };

// From a rebooted file system the journal holds a step exactly when a file changed, and that
// step, cut off or not, is undone to what every file held without it and redone to what it
// holds with it (a correction cut off before it announced a change cannot redo that change: its
// files each hold their old or new content).
std::string Recoverable(const std::filesystem::path& portfolio, Run run, bool masterDatesMayLag,
                        const MemoryFileSystem::State& rebooted, const FileMap& before,
                        const FileMap& after) {
  const FileMap& origin = run == Run::kUndo ? after : before;
  const FileMap& applied = run == Run::kUndo ? before : after;
  const std::vector<const FileMap*> keys = {&before, &after};
  bool changed = false;
  {
    MemoryFileSystem fs(rebooted.Clone());
    platform::ScopedFileSystem installed(fs);
    const maintenance::UndoJournal journal = JournalOf(portfolio);
    const bool claimed = !journal.History().empty();
    changed = !FirstDifference(Files(fs.state()), origin, false, keys).empty();
    if (run == Run::kCorrection && claimed != changed)
      return claimed ? "the journal claims a step that did not happen"
                     : "a file changed but the journal holds no step";
    const maintenance::UndoOutcome undone = journal.Undo();
    if (!undone.ok() && (changed || undone.kind != maintenance::UndoOutcome::Kind::kNothing))
      return "the undo fails: " + undone.message;
    if (const std::string wrong = FirstDifference(Files(fs.state()), origin, false, keys);
        !wrong.empty())
      return "after an undo " + wrong;
  }
  MemoryFileSystem fs(rebooted.Clone());
  platform::ScopedFileSystem installed(fs);
  const maintenance::UndoOutcome redone = JournalOf(portfolio).Redo();
  const FileMap now = Files(fs.state());
  if (!redone.ok()) {
    const bool nothingLeft =
        redone.kind == maintenance::UndoOutcome::Kind::kNothing &&
        (!changed || FirstDifference(now, applied, masterDatesMayLag, keys).empty());
    return nothingLeft ? std::string() : "the redo fails: " + redone.message;
  }
  if (run != Run::kCorrection) {
    const std::string wrong = FirstDifference(now, applied, false, keys);
    return wrong.empty() ? wrong : "after a redo " + wrong;
  }
  for (const auto& [key, content] : now) {
    if (!IsGuardedFile(key))
      continue;
    const auto in = [&](const FileMap& files) {
      auto it = files.find(key);
      return it == files.end() ? FileContent() : it->second;
    };
    if (content != in(origin) && content != in(applied))
      return "after a redo " + key + " holds neither its old nor its new content";
  }
  return {};
}

// The path as a correction makes it: one step of the journal of portfolio.
WritePath Journaled(WritePath path, const std::filesystem::path& portfolio) {
  path.run = [run = path.run, portfolio] {
    const maintenance::UndoJournal journal = JournalOf(portfolio);
    maintenance::JournalStep step(&journal, "step");
    const bool ok = step.ready() && run();
    step.Commit();
    return ok;
  };
  path.recovery = [portfolio, lag = path.masterDatesMayLag](const MemoryFileSystem::State& s,
                                                            const FileMap& b, const FileMap& a) {
    return Recoverable(portfolio, Run::kCorrection, lag, s, b, a);
  };
  return path;
}

// The undo (or, after it, the redo) of a correction made and recorded first.
WritePath JournalCommand(const WritePath& correction, const std::filesystem::path& portfolio,
                         bool redo) {
  WritePath path;
  path.name = (redo ? "Redo: " : "Undo: ") + correction.name;
  path.setup = [correction, portfolio, redo](MemoryFileSystem& fs) {
    correction.setup(fs);
    platform::ScopedFileSystem installed(fs);
    EXPECT_TRUE(correction.run());
    if (redo) {
      EXPECT_TRUE(JournalOf(portfolio).Undo().ok());
    }
  };
  path.run = [portfolio, redo] {
    const maintenance::UndoJournal journal = JournalOf(portfolio);
    return (redo ? journal.Redo() : journal.Undo()).ok();
  };
  path.invariant = correction.invariant;
  path.recovery = [portfolio, redo](const MemoryFileSystem::State& s, const FileMap& b,
                                    const FileMap& a) {
    return Recoverable(portfolio, redo ? Run::kRedo : Run::kUndo, false, s, b, a);
  };
  return path;
}

}  // namespace

std::vector<WritePath> AllWritePaths() {
  const std::vector<Quote> aaa = AaaQuotes();
  const QuoteDate oldest = aaa.front().date;
  const QuoteDate newest = aaa.back().date;
  const QuoteDate middle = aaa[2].date;
  std::vector<WritePath> paths = {
      QuotePath("Set one day", maintenance::kSet, middle, middle),
      QuotePath("Scale up to a day", maintenance::kScale, 0, middle),
      QuotePath("Delete the oldest quote", maintenance::kDelete, oldest, oldest),
      QuotePath("Delete the newest quote", maintenance::kDelete, newest, newest),
      QuotePath("Delete a middle quote", maintenance::kDelete, middle, middle),
      QuotePath("Delete the only quote", maintenance::kDelete, Day(101, 6, 4), Day(101, 6, 4),
                "CCC"),
      QuotePath("Delete the oldest quote in a sub-portfolio", maintenance::kDelete, Day(99, 3, 1),
                Day(99, 3, 1), "DDD"),
      QuotePath("Insert before a Monday", maintenance::kInsert, oldest, oldest),
  };

  for (const QuoteDate day : {oldest, middle}) {
    WritePath lower = QuotePath(day == oldest ? "Delete the oldest quote, lower-case names"
                                              : "Delete a middle quote, lower-case names",
                                maintenance::kDelete, day, day, "LOW");
    lower.setup = BuildLowerCasePortfolio;
    lower.run = [day] { return Change(maintenance::kDelete, day, day, "LOW", kLower); };
    lower.invariant = NoNewSpelling;
    paths.push_back(lower);
  }

  WritePath repair;
  repair.name = "RepairMaster";
  repair.setup = BuildPortfolios;
  repair.run = [] {
    maintenance::SilentPrompt prompt(true);
    return maintenance::RepairMaster(kDamaged / "MASTER", true, prompt) != 0;
  };
  paths.push_back(repair);

  WritePath remove;
  remove.name = "RemoveSymbol";
  remove.setup = BuildPortfolios;
  remove.run = [] { return maintenance::RemoveSymbol(kTop, kTop / "MASTER", "BBB").ok; };
  paths.push_back(remove);

  for (bool move : {false, true}) {
    WritePath transfer;
    transfer.name = move ? "TransferSymbol move" : "TransferSymbol copy";
    transfer.setup = BuildPortfolios;
    transfer.run = [move] {
      maintenance::SilentPrompt prompt;
      return maintenance::TransferSymbol(kTop, kTop / "MASTER", "AAA", kDest, move, prompt) ==
             maintenance::kAdded;
    };
    if (move)
      transfer.invariant = QuotesSomewhere;
    paths.push_back(transfer);
  }

  WritePath byNumber;
  byNumber.name = "RemoveRecordByNumber";
  byNumber.setup = BuildPortfolios;
  byNumber.run = [] { return maintenance::RemoveRecordByNumber(kTop / "MASTER", 2).ok; };
  paths.push_back(byNumber);

  WritePath edit;
  edit.name = "RewriteSymbolRecord";
  edit.setup = BuildPortfolios;
  edit.run = [] {
    return maintenance::RewriteSymbolRecord(kTop / "MASTER", "BBB", "BBX", "Beta Renamed") == 0;
  };
  paths.push_back(edit);

  const QuoteDate aaaOldest = AaaQuotes().front().date;
  for (const char* symbol : {"GGG", "HHH"}) {
    WritePath deleted = ExtendedPath(std::string("Delete the oldest quote of ") + symbol, [=] {
      return Change(maintenance::kDelete, aaaOldest, aaaOldest, symbol, kExtended);
    });
    deleted.masterDatesMayLag = true;
    paths.push_back(deleted);
  }
  paths.push_back(ExtendedPath("Rename with EMASTER", [] {
    return maintenance::RenameSymbol(kExtended, {formats::IndexFile::kMaster, 1}, "GG2",
                                     "Gamma Group Renamed Worldwide")
        .ok;
  }));
  paths.push_back(ExtendedPath("Rename in XMASTER", [] {
    return maintenance::RenameSymbol(kExtended, {formats::IndexFile::kXmaster, 256}, "HH2", "Eta")
        .ok;
  }));
  paths.push_back(ExtendedPath("Remove from XMASTER", [] {
    return maintenance::RemoveSymbol(kExtended,
                                     formats::SymbolKey{formats::IndexFile::kXmaster, 257})
        .ok;
  }));
  paths.push_back(ExtendedPath("Copy into XMASTER", [] {
    maintenance::SilentPrompt prompt;
    return maintenance::TransferSymbol(kExtended, kExtended / "MASTER", "GGG", kFull, false,
                                       prompt) == maintenance::kAdded;
  }));
  WritePath rebuild = ExtendedPath("Rebuild EMASTER", [] {
    maintenance::SilentPrompt prompt;
    return maintenance::RebuildEmaster(kExtended, true, prompt) != 0;
  });
  rebuild.setup = [](MemoryFileSystem& fs) {
    BuildExtended(fs);
    // Out of step: its record names another file.
    Bytes emaster = *fs.Contents(kExtended / "EMASTER");
    emaster[192 + 2] = 9;
    fs.AddFile(kExtended / "EMASTER", emaster);
  };
  paths.push_back(rebuild);

  WritePath date;
  date.name = "UpdateMasterDate";
  date.setup = BuildPortfolios;
  date.run = [] {
    return maintenance::UpdateMasterDate(kTop / "MASTER", formats::StoredFromDay(Day(98, 1, 6)), 1,
                                         true) == 0;
  };
  paths.push_back(date);

  // Each as one step of the undo journal of the portfolio it was started in.
  for (WritePath& path : paths) {
    const bool lower = path.name.find("lower-case") != std::string::npos;
    const bool extended = path.name.find("MASTER") != std::string::npos ||
                          path.name.find("GGG") != std::string::npos ||
                          path.name.find("HHH") != std::string::npos;
    path = Journaled(path, lower                         ? kLower
                           : path.name == "RepairMaster" ? kDamaged
                           : extended                    ? kExtended
                                                         : kTop);
  }
  // The undo and the redo of corrections that replace, create and delete files.
  const std::vector<WritePath> corrections = paths;
  for (const WritePath& correction : corrections) {
    if (correction.name == "Delete the oldest quote" || correction.name == "RemoveSymbol" ||
        correction.name == "TransferSymbol move") {
      for (bool redo : {false, true})
        paths.push_back(JournalCommand(correction, kTop, redo));
    }
    if (correction.name == "Remove from XMASTER") {
      for (bool redo : {false, true})
        paths.push_back(JournalCommand(correction, kExtended, redo));
    }
  }
  return paths;
}

}  // namespace ledgrix::testing
