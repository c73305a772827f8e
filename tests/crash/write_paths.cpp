#include "tests/crash/write_paths.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "formats/dates.h"
#include "formats/master.h"
#include "maintenance/check_fixes.h"
#include "maintenance/master_repair.h"
#include "maintenance/portfolio_check.h"
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
const std::filesystem::path kRoom = kRoot / "room";
const std::filesystem::path kFix = kRoot / "fix";
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

// top: AAA (6 quotes and a backup), BBB (3, no DOP), CCC (1 quote, its MASTER dates stale so
// that deleting it changes MASTER), and a directory entry SUB holding DDD; dest: EEE; damaged: one
// record whose symbol is blank.
void BuildPortfolios(MemoryFileSystem& fs) {
  TempDir temp;
  SymbolSpec ccc = Spec(4, "CCC", "Gamma plc", MakeDailyQuotes(Day(101, 6, 4), 1));
  ccc.firstDate = Day(100, 1, 3);
  ccc.lastDate = Day(100, 1, 4);
  PortfolioBuilder(temp / "top/SUB")
      .Add(Spec(1, "DDD", "Delta Corp", MakeDailyQuotes(Day(99, 3, 1), 4)))
      .Write();
  PortfolioBuilder(temp / "top")
      .Add(Spec(1, "AAA", "Alpha Inc", AaaQuotes()))
      .Add(Spec(2, "BBB", "Beta Ltd", MakeDailyQuotes(Day(100, 2, 1), 3), false))
      .AddDirectoryEntry("SUB")
      .Add(ccc)
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
  fs.AddFile(kTop / "F1.BAK", Bytes(5, 1));
}

// ext: GGG (long name) in MASTER and EMASTER, HHH and III in XMASTER; full: a MASTER that
// counts 255 symbols beside an XMASTER; room: a MASTER with room beside an EMASTER.
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
  PortfolioBuilder(temp / "room")
      .Add(Spec(1, "KKK", "Lambda", MakeDailyQuotes(Day(99, 3, 1), 2)))
      .WithEmaster()
      .Write();
  fs.ImportTree(temp.get(), kRoot);
}

// The extended portfolios with an EMASTER out of step: its record names another file.
void BuildOutOfStepEmaster(MemoryFileSystem& fs) {
  BuildExtended(fs);
  Bytes emaster = *fs.Contents(kExtended / "EMASTER");
  emaster[192 + 2] = 9;
  fs.AddFile(kExtended / "EMASTER", emaster);
}

// fix: QQQ's quotes out of order, one stored twice, its header count wrong, a partial record at
// the end and its first date stale; EMASTER counts no record: every safe fix has work.
void BuildDamaged(MemoryFileSystem& fs) {
  TempDir temp;
  SymbolSpec qqq = Spec(2, "QQQ", "Queue", AaaQuotes());
  std::swap(qqq.quotes[1], qqq.quotes[3]);
  qqq.quotes.push_back(qqq.quotes[4]);
  qqq.lastRecord = 4;
  qqq.firstDate = Day(100, 1, 3);
  PortfolioBuilder(temp / "fix")
      .Add(Spec(1, "PPP", "Pi", MakeDailyQuotes(Day(99, 3, 1), 3)))
      .Add(qqq)
      .Add(Spec(300, "RRR", "Rho", AaaQuotes()))
      .Write();
  fs.ImportTree(temp.get(), kRoot);
  Bytes quotes = *fs.Contents(kFix / "F2.DAT");
  quotes.resize(quotes.size() + 5, 1);
  fs.AddFile(kFix / "F2.DAT", quotes);
  fs.AddFile(kFix / "EMASTER", Bytes(192, 0));
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

// From a rebooted file system, or one a fault stopped, the journal holds a step exactly when a
// file changed, and that step, cut off or not, is undone to what every file held without it and
// redone to what it holds with it (a correction cut off before it announced a change cannot redo
// that change: its files each hold their old or new content). A power cut leaves the step open
// for a redo to finish; a fault ends it, and there the redo follows the undo.
std::string Recoverable(const std::filesystem::path& portfolio, Run run, bool masterDatesMayLag,
                        const MemoryFileSystem::State& found, bool afterFault,
                        const FileMap& before, const FileMap& after) {
  const FileMap& origin = run == Run::kUndo ? after : before;
  const FileMap& applied = run == Run::kUndo ? before : after;
  const std::vector<const FileMap*> keys = {&before, &after};
  bool changed = false;
  {
    MemoryFileSystem fs(found.Clone());
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
    if (afterFault) {
      const maintenance::UndoOutcome redone = journal.Redo();
      if (undone.ok() && !redone.ok())
        return "the redo after an undo fails: " + redone.message;
      const std::string wrong = NeitherOldNorNew(Files(fs.state()), origin, applied, false);
      return wrong.empty() ? wrong : "after an undo and a redo " + wrong;
    }
  }
  MemoryFileSystem fs(found.Clone());
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
  const std::string wrong = NeitherOldNorNew(now, origin, applied, false);
  return wrong.empty() ? wrong : "after a redo " + wrong;
}

// A path on setup's portfolios as a correction makes it: one step of the journal of portfolio.
WritePath Make(std::string name, void (*setup)(MemoryFileSystem&),
               const std::filesystem::path& portfolio, std::function<bool()> run,
               bool masterDatesMayLag = false) {
  WritePath path;
  path.name = std::move(name);
  path.setup = setup;
  path.masterDatesMayLag = masterDatesMayLag;
  path.run = [run = std::move(run), portfolio] {
    const maintenance::UndoJournal journal = JournalOf(portfolio);
    maintenance::JournalStep step(&journal, "step");
    const bool ok = step.ready() && run();
    step.Commit();
    return ok;
  };
  path.recovery = [portfolio, masterDatesMayLag](const MemoryFileSystem::State& s, bool fault,
                                                 const FileMap& b, const FileMap& a) {
    return Recoverable(portfolio, Run::kCorrection, masterDatesMayLag, s, fault, b, a);
  };
  return path;
}

WritePath QuotePath(std::string name, std::int16_t operation, QuoteDate first, QuoteDate last,
                    const std::string& symbol = "AAA", const std::filesystem::path& dir = kTop,
                    void (*setup)(MemoryFileSystem&) = BuildPortfolios) {
  return Make(
      std::move(name), setup, dir, [=] { return Change(operation, first, last, symbol, dir); },
      operation == maintenance::kDelete);
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
  path.recovery = [portfolio, redo](const MemoryFileSystem::State& s, bool fault, const FileMap& b,
                                    const FileMap& a) {
    return Recoverable(portfolio, redo ? Run::kRedo : Run::kUndo, false, s, fault, b, a);
  };
  return path;
}

}  // namespace

const std::filesystem::path& PortfolioRoot() {
  return kRoot;
}

std::vector<WritePath> AllWritePaths() {
  using maintenance::kDelete;
  const std::vector<Quote> aaa = AaaQuotes();
  const QuoteDate oldest = aaa.front().date;
  const QuoteDate newest = aaa.back().date;
  const QuoteDate middle = aaa[2].date;
  const auto lower = [](std::string name, QuoteDate day) {
    WritePath path =
        QuotePath(std::move(name), kDelete, day, day, "LOW", kLower, BuildLowerCasePortfolio);
    path.invariant = NoNewSpelling;
    return path;
  };
  const auto transfer = [&](std::string name, const std::filesystem::path& from, const char* symbol,
                            const std::filesystem::path& to, bool move) {
    WritePath path =
        Make(std::move(name), from == kTop ? BuildPortfolios : BuildExtended, from, [=] {
          maintenance::SilentPrompt prompt;
          return maintenance::TransferSymbol(from, from / "MASTER", symbol, to, move, prompt) ==
                 maintenance::kAdded;
        });
    path.stopsWhenUnconfirmed = move;
    if (move && from == kTop)
      path.invariant = QuotesSomewhere;
    return path;
  };
  const WritePath deleteOldest = QuotePath("Delete the oldest quote", kDelete, oldest, oldest);
  const WritePath remove = Make("RemoveSymbol", BuildPortfolios, kTop, [] {
    return maintenance::RemoveSymbol(kTop, kTop / "MASTER", "BBB").ok;
  });
  const WritePath move = transfer("TransferSymbol move", kTop, "AAA", kDest, true);
  const WritePath removeX = Make("Remove from XMASTER", BuildExtended, kExtended, [] {
    return maintenance::RemoveSymbol(kExtended, {formats::IndexFile::kXmaster, 257}).ok;
  });

  std::vector<WritePath> paths = {
      QuotePath("Set one day", maintenance::kSet, middle, middle),
      QuotePath("Scale up to a day", maintenance::kScale, 0, middle), deleteOldest,
      QuotePath("Delete the newest quote", kDelete, newest, newest),
      QuotePath("Delete a middle quote", kDelete, middle, middle),
      QuotePath("Delete the only quote", kDelete, Day(101, 6, 4), Day(101, 6, 4), "CCC"),
      QuotePath("Delete the oldest quote in a sub-portfolio", kDelete, Day(99, 3, 1), Day(99, 3, 1),
                "DDD"),
      QuotePath("Insert before a Monday", maintenance::kInsert, oldest, oldest),
      lower("Delete the oldest quote, lower-case names", oldest),
      lower("Delete a middle quote, lower-case names", middle),
      Make("RepairMaster", BuildPortfolios, kDamaged,
           [] {
             maintenance::SilentPrompt yes(true);
             return maintenance::RepairMaster(kDamaged / "MASTER", true, yes) != 0;
           }),
      remove, transfer("TransferSymbol copy", kTop, "AAA", kDest, false), move,
      Make("RemoveRecordByNumber", BuildPortfolios, kTop,
           [] { return maintenance::RemoveRecordByNumber(kTop / "MASTER", 2).ok; }),
      Make("RewriteSymbolRecord", BuildPortfolios, kTop,
           [] {
             return maintenance::RewriteSymbolRecord(kTop / "MASTER", "BBB", "BBX",
                                                     "Beta Renamed") == 0;
           }),
      Make("UpdateMasterDate", BuildPortfolios, kTop,
           [] {
             return maintenance::UpdateMasterDate(
                        kTop / "MASTER", formats::StoredFromDay(Day(98, 1, 6)), 1, true) == 0;
           }),
      QuotePath("Delete the oldest quote of GGG", kDelete, oldest, oldest, "GGG", kExtended,
                BuildExtended),
      QuotePath("Delete the oldest quote of HHH", kDelete, oldest, oldest, "HHH", kExtended,
                BuildExtended),
      Make("Rename with EMASTER", BuildExtended, kExtended,
           [] {
             return maintenance::RenameSymbol(kExtended, {formats::IndexFile::kMaster, 1}, "GG2",
                                              "Gamma Group Renamed Worldwide")
                 .ok;
           }),
      Make("Rename in XMASTER", BuildExtended, kExtended,
           [] {
             return maintenance::RenameSymbol(kExtended, {formats::IndexFile::kXmaster, 256}, "HH2",
                                              "Eta")
                 .ok;
           }),
      Make("Remove with EMASTER", BuildExtended, kExtended,
           [] {
             return maintenance::RemoveSymbol(kExtended, {formats::IndexFile::kMaster, 1}).ok;
           }),
      removeX, transfer("Copy into XMASTER", kExtended, "GGG", kFull, false),
      transfer("Move from XMASTER beside an EMASTER", kExtended, "HHH", kRoom, true),
      Make("Rebuild EMASTER", BuildOutOfStepEmaster, kExtended,
           [] {
             maintenance::SilentPrompt yes(true);
             return maintenance::RebuildEmaster(kExtended, true, yes) != 0;
           }),
      // Success: every fix made, and a second check finds nothing left.
      Make("Safe fixes", BuildDamaged, kFix, [] {
        return maintenance::ApplySafeFixes(kFix, maintenance::CheckPortfolio(kFix)).ok() &&
               maintenance::CheckPortfolio(kFix).findings.empty();
      })};
  // The undo and the redo of corrections that replace, create and delete files.
  for (bool redo : {false, true}) {
    for (const WritePath* correction : {&deleteOldest, &remove, &move})
      paths.push_back(JournalCommand(*correction, kTop, redo));
    paths.push_back(JournalCommand(removeX, kExtended, redo));
  }
  return paths;
}

}  // namespace ledgrix::testing
