// Every write path run once for every file operation that can fail, as one step of the undo
// journal: whatever fails, the index files (MASTER, EMASTER, XMASTER) and every quote file hold
// their complete old or complete new bytes, a run that did not complete says so, no work file is
// left behind, the journal holds a step exactly when a file changed, and that step can be undone
// and redone; after a run that completed EMASTER is in step with MASTER. Undo and redo
// themselves run under the same faults. A folder sync that fails after a file was put in place
// leaves that change made: the operation goes on and reports success, and only a portfolio
// folder's failed sync is reported to the user.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "maintenance/master_repair.h"
#include "maintenance/symbol_ops.h"
#include "maintenance/undo_journal.h"
#include "platform/file_system.h"
#include "platform/files.h"
#include "tests/maintenance/helpers.h"
#include "tests/support/failing_file_system.h"
#include "tests/support/independent_reader.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/scripted_prompt.h"

namespace ledgrix::maintenance {
namespace {

using std::filesystem::path;

int g_faults = 0;
int g_filesCompared = 0;

// The files a fault must never leave half-written (by path relative to the test root), and the
// work files found.
struct Snapshot {
  std::map<std::string, Bytes> files;
  std::vector<std::string> workFiles;

  std::optional<Bytes> find(const std::string& key) const {
    auto it = files.find(key);
    return it == files.end() ? std::nullopt : std::optional<Bytes>(it->second);
  }
};

Snapshot Take(const path& root, const std::vector<std::string>& dirs, const std::string& extra) {
  static const std::regex watched("[ex]?master|f[0-9]+\\.(dat|dop|mwd)", std::regex::icase);
  const std::regex work(".*\\.(new|~nu|~cp|~un)" + extra, std::regex::icase);
  Snapshot snapshot;
  for (const std::string& dir : dirs) {
    const path folder = dir.empty() ? root : root / dir;
    if (!std::filesystem::is_directory(folder))
      continue;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      const std::string name = entry.path().filename().string();
      if (entry.is_regular_file() && std::regex_match(name, watched))
        snapshot.files[(dir.empty() ? "" : dir + "/") + name] = FileBytes(entry.path());
      if (std::regex_match(name, work))
        snapshot.workFiles.push_back(name);
    }
  }
  return snapshot;
}

struct Scenario {
  std::string name;
  std::function<void(const path&)> build;
  std::function<bool(const path&)> run;  // true when the operation reported success
  std::vector<std::string> dirs = {""};
  std::string extraWorkFiles = {};  // "|pattern" of further work file names
  // For a move: the quote file that must exist complete in one place or the other.
  std::string sourceDat = {}, destDat = {};
  // A move keeps its source while the disk has not confirmed the copy.
  bool stopsWhenUnconfirmed = false;
  // An undo or a redo of a correction rather than a correction, which is then no step itself.
  enum Kind { kCorrection, kUndo, kRedo } kind = kCorrection;
};

// Where the journals of a run live: beside its folder, never inside a portfolio.
path StateOf(const path& root) {
  return root.parent_path() / (root.filename().string() + ".state");
}

// A run's folder, its journals removed with it.
struct RunFolder {
  TempDir dir;
  ~RunFolder() {
    std::error_code ec;
    std::filesystem::remove_all(StateOf(dir.get()), ec);
  }
  const path& get() const { return dir.get(); }
};

// The journal of the portfolio a scenario corrects.
UndoJournal JournalOf(const Scenario& sc, const path& root) {
  return UndoJournal(StateOf(root), root / sc.dirs.front());
}

// A scenario's run as a correction would make it: one step of the journal.
bool RunAsStep(const Scenario& sc, const path& root) {
  if (sc.kind != Scenario::kCorrection)
    return sc.run(root);
  const UndoJournal journal = JournalOf(sc, root);
  JournalStep step(&journal, sc.name);
  const bool ok = step.ready() && sc.run(root);
  step.Commit();
  return ok;
}

// The correction made cleanly, then taken back by an undo (redo: and made again by a redo) run
// under the faults.
Scenario JournalCommand(const Scenario& correction, bool redo) {
  Scenario s = correction;
  s.name = (redo ? "Redo" : "Undo") + correction.name;
  s.kind = redo ? Scenario::kRedo : Scenario::kUndo;
  s.stopsWhenUnconfirmed = false;
  s.build = [correction, redo](const path& root) {
    correction.build(root);
    EXPECT_TRUE(RunAsStep(correction, root));
    if (redo) {
      EXPECT_TRUE(JournalOf(correction, root).Undo().ok());
    }
  };
  s.run = [correction, redo](const path& root) {
    const UndoJournal journal = JournalOf(correction, root);
    return (redo ? journal.Redo() : journal.Undo()).ok();
  };
  return s;
}

const QuoteDate kFirst = DayFromYmd(2001, 3, 5);

// Two symbols; "QQ" (file 2) is the one the quote operations change. Its MASTER dates are
// stale, so the delete of the only quote changes MASTER too.
std::function<void(const path&)> BuildQuotes(int count) {
  return [count](const path& root) {
    SymbolSpec target = Spec(2, "QQ", count, kFirst);
    target.firstDate = DayFromYmd(2000, 1, 3);
    target.lastDate = DayFromYmd(2000, 1, 4);
    PortfolioBuilder(root).Add(Spec(1, "AA", 5, kFirst)).Add(target).Write();
  };
}

QuoteDate QuoteDay(int index) {
  return Spec(2, "QQ", 12, kFirst).quotes[static_cast<std::size_t>(index)].date;
}

Scenario QuoteScenario(std::string name, std::int16_t op, int first, int last, int count = 12) {
  const QuoteChange change =
      Change(op, first < 0 ? 0 : QuoteDay(first), QuoteDay(last), {1.5f, 1.5f, 1.5f, 1.5f, 2, 3});
  return {std::move(name), BuildQuotes(count), [change](const path& r) {
            testing::ScriptedPrompt prompt;
            return ApplyQuoteChange(change, r, "QQ", prompt) == formats::kOk;
          }};
}

Scenario TransferScenario(std::string name, bool move) {
  Scenario s{std::move(name),
             [](const path& root) {
               PortfolioBuilder(root / "SRC").Add(Spec(1, "AA", 4)).Add(Spec(3, "MOVE", 6)).Write();
               testing::WriteText(root / "SRC" / "F3.BAK", "backup of the quotes");
               PortfolioBuilder(root / "DST").Add(Spec(1, "BB", 4)).Add(Spec(2, "CC", 4)).Write();
             },
             [move](const path& r) {
               testing::ScriptedPrompt prompt;
               return TransferSymbol(r / "SRC", r / "SRC" / "MASTER", "MOVE", r / "DST", move,
                                     prompt) == kAdded;
             },
             {"SRC", "DST"}};
  if (move) {
    s.sourceDat = "SRC/F3.DAT", s.destDat = "DST/F3.DAT";
    s.stopsWhenUnconfirmed = true;
  }
  return s;
}

// AA and QQ in MASTER and EMASTER, XA and XQ in XMASTER; QQ and XQ have quotes to delete.
void BuildExtended(const path& root) {
  SymbolSpec qq = Spec(2, "QQ", 6, kFirst);
  qq.longName = "QQ with a long name, seventeen+";
  PortfolioBuilder(root)
      .Add(Spec(1, "AA", 3))
      .Add(qq)
      .Add(Spec(256, "XA", 3))
      .Add(Spec(300, "XQ", 6, kFirst))
      .WithEmaster()
      .Write();
}

Scenario Extended(std::string name, std::function<bool(const path&)> run) {
  return {std::move(name), BuildExtended, std::move(run)};
}

bool DeleteOldest(const path& r, const char* symbol) {
  testing::ScriptedPrompt prompt;
  const QuoteDate day = Spec(2, symbol, 6, kFirst).quotes[0].date;
  return ApplyQuoteChange(Change(kDelete, day, day), r, symbol, prompt) == formats::kOk;
}

// A source with a MASTER and an XMASTER symbol; a destination whose MASTER is full and which
// has an XMASTER, and one with room.
Scenario ExtendedTransfer(std::string name, const char* symbol, const char* dest, bool move) {
  Scenario s{std::move(name),
             [](const path& root) {
               BuildExtended(root / "SRC");
               PortfolioBuilder(root / "FULL")
                   .Add(Spec(1, "BB", 4))
                   .SetCounts(255, 255)
                   .WithXmaster()
                   .Write();
               PortfolioBuilder(root / "ROOM").Add(Spec(1, "CC", 4)).WithEmaster().Write();
             },
             [=](const path& r) {
               testing::ScriptedPrompt prompt;
               return TransferSymbol(r / "SRC", r / "SRC" / "MASTER", symbol, r / dest, move,
                                     prompt) == kAdded;
             },
             {"SRC", "FULL", "ROOM"}};
  s.stopsWhenUnconfirmed = move;
  return s;
}

std::vector<Scenario> Scenarios() {
  std::vector<Scenario> s = {
      QuoteScenario("Set", kSet, 4, 4),
      QuoteScenario("Scale", kScale, -1, 7),
      QuoteScenario("Insert", kInsert, 5, 5),
      QuoteScenario("DeleteMiddle", kDelete, 6, 6),
      QuoteScenario("DeleteOldest", kDelete, 0, 0),
      QuoteScenario("DeleteNewest", kDelete, 11, 11),
      QuoteScenario("DeleteOnly", kDelete, 0, 0, 1),
      {"UpdateMasterDate", BuildQuotes(12),
       [](const path& r) {
         return UpdateMasterDate(r / "MASTER", formats::StoredFromDay(QuoteDay(3)), 2, true) == 0;
       }},
      {"RepairMaster",
       [](const path& r) {
         formats::MasterRecord blank = testing::MakeMasterRecord(Spec(2, "", 0));
         blank.setIssueName("LOST SYMBOL NAME");
         PortfolioBuilder(r).Add(Spec(1, "AA", 3)).AddRawRecord(blank).Write();
       },
       [](const path& r) {
         testing::ScriptedPrompt prompt;
         return RepairMaster(r / "MASTER", true, prompt) != 0;
       },
       {""},
       "|master\\.bak"},
      {"RemoveSymbol", BuildQuotes(12),
       [](const path& r) { return static_cast<bool>(RemoveSymbol(r, r / "MASTER", "QQ")); }},
      {"RemoveRecordByNumber", BuildQuotes(12),
       [](const path& r) { return static_cast<bool>(RemoveRecordByNumber(r / "MASTER", 1)); }},
      {"RewriteSymbolRecord", BuildQuotes(12),
       [](const path& r) {
         return RewriteSymbolRecord(r / "MASTER", "QQ", "qq2", "Renamed") == 0;
       }},
      TransferScenario("Copy", false),
      TransferScenario("Move", true),
      Extended("DeleteOldestWithEmaster", [](const path& r) { return DeleteOldest(r, "QQ"); }),
      Extended("DeleteOldestInXmaster", [](const path& r) { return DeleteOldest(r, "XQ"); }),
      Extended("RenameWithEmaster",
               [](const path& r) {
                 return RenameSymbol(r, {formats::IndexFile::kMaster, 2}, "Q2",
                                     "A new long name "
                                     "beyond sixteen")
                     .ok;
               }),
      Extended("RenameInXmaster",
               [](const path& r) {
                 return RenameSymbol(r, {formats::IndexFile::kXmaster, 300}, "X2", "Renamed").ok;
               }),
      Extended("RemoveWithEmaster",
               [](const path& r) {
                 return RemoveSymbol(r, formats::SymbolKey{formats::IndexFile::kMaster, 1}).ok;
               }),
      Extended("RemoveFromXmaster",
               [](const path& r) {
                 return RemoveSymbol(r, formats::SymbolKey{formats::IndexFile::kXmaster, 256}).ok;
               }),
      {"RebuildEmaster",
       [](const path& r) {
         BuildExtended(r);
         testing::WriteBytes(r / "EMASTER", Bytes(192, 0));  // counts no record
       },
       [](const path& r) {
         testing::ScriptedPrompt prompt;
         return RebuildEmaster(r, true, prompt) != 0;
       }},
      ExtendedTransfer("CopyIntoXmaster", "QQ", "FULL", false),
      ExtendedTransfer("MoveFromXmasterIntoMaster", "XQ", "ROOM", true)};
  const std::vector<Scenario> corrections = s;
  // DeleteOldest, RemoveSymbol, Move, RemoveFromXmaster
  for (const std::size_t undone : {4, 9, 13, 19}) {
    for (bool redo : {false, true})
      s.push_back(JournalCommand(corrections[undone], redo));
  }
  return s;
}

// After a fault the journal claims a step only where a file changed, and the step, cut off or
// not, is undone to the old content of every file and redone to old or new contents.
void ExpectUndoable(const Scenario& sc, const path& root, const Snapshot& before,
                    const Snapshot& after, const Snapshot& now) {
  const UndoJournal journal = JournalOf(sc, root);
  // The files without and with the step.
  const Snapshot& origin = sc.kind == Scenario::kUndo ? after : before;
  const Snapshot& applied = sc.kind == Scenario::kUndo ? before : after;
  // An undo or redo leaves its step in the journal whatever happens.
  if (sc.kind == Scenario::kCorrection) {
    EXPECT_EQ(journal.History().empty(), now.files == before.files)
        << "the journal claims a step that did not happen, or lost one that did";
  }
  if (now.files == origin.files && journal.History().empty())
    return;
  const UndoOutcome undone = journal.Undo();
  EXPECT_TRUE(undone.ok() ||
              (undone.kind == UndoOutcome::Kind::kNothing && now.files == origin.files))
      << undone.message;
  EXPECT_EQ(Take(root, sc.dirs, sc.extraWorkFiles).files, origin.files) << "not undone";
  const UndoOutcome redone = journal.Redo();
  EXPECT_TRUE(redone.ok()) << redone.message;
  for (const auto& [key, bytes] : Take(root, sc.dirs, sc.extraWorkFiles).files) {
    EXPECT_TRUE(bytes == origin.find(key) || bytes == applied.find(key))
        << key << " holds neither its old nor its new content after a redo";
  }
}

struct Case {
  Scenario scenario;
  bool countReads;
};

class FaultInjectionTest : public ::testing::TestWithParam<Case> {};

TEST_P(FaultInjectionTest, EveryFileHoldsItsOldOrItsNewContent) {
  const Scenario& sc = GetParam().scenario;
  // Which contents survive a failed operation is the question here, not a power loss (the crash
  // tests see to that): flushing every file of the thousands of runs would only make them slow.
  testing::BrokenReplaceFileSystem noFileSync(platform::RealFileSystem(),
                                              testing::BrokenReplace::kNoFileSync);
  testing::BrokenReplaceFileSystem unflushed(noFileSync, testing::BrokenReplace::kNoDirectorySync);
  platform::ScopedFileSystem fast(unflushed);

  RunFolder clean;
  sc.build(clean.get());
  const Snapshot before = Take(clean.get(), sc.dirs, sc.extraWorkFiles);
  ASSERT_TRUE(RunAsStep(sc, clean.get())) << "the operation fails without any fault";
  const Snapshot after = Take(clean.get(), sc.dirs, sc.extraWorkFiles);
  ASSERT_NE(before.files, after.files) << "the operation changes nothing";
  EXPECT_TRUE(after.workFiles.empty());

  int faults = 0;
  int compared = 0;
  bool completed = false;
  for (int k = 1; k < 1000 && !completed; ++k) {
    RunFolder dir;
    sc.build(dir.get());
    testing::FailingFileSystem fs(unflushed, k);
    fs.setCountReads(GetParam().countReads);
    bool ok = false;
    {
      platform::ScopedFileSystem installed(fs);
      ok = RunAsStep(sc, dir.get());
    }
    const Snapshot now = Take(dir.get(), sc.dirs, sc.extraWorkFiles);
    SCOPED_TRACE("fault at operation " + std::to_string(k) + ": " + fs.failedOperation());
    // The journal's own folders are no news for the user; a portfolio folder's are.
    const bool syncFailed = fs.failedOperation() == "sync folder";
    const path inRun = fs.failedPath().lexically_relative(dir.get());
    const bool portfolioSyncFailed = syncFailed && !inRun.empty() && *inRun.begin() != "..";
    EXPECT_EQ(!platform::TakeUnconfirmedChanges().empty(), portfolioSyncFailed);
    if (syncFailed && !(portfolioSyncFailed && sc.stopsWhenUnconfirmed)) {
      EXPECT_TRUE(ok) << "a change that is in place was reported as a failure";
    }
    if (!fs.failed()) {
      completed = true;
      EXPECT_TRUE(ok);
      EXPECT_EQ(now.files, after.files);
      for (const std::string& sub : sc.dirs) {
        for (const std::string& problem :
             testing::independent::Read(sub.empty() ? dir.get() : dir.get() / sub).problems) {
          EXPECT_EQ(problem.find("EMASTER"), std::string::npos) << problem;
        }
      }
      continue;
    }
    ++faults;
    if (ok) {
      EXPECT_EQ(now.files, after.files)
          << "success reported, but not every file holds its new content";
    }
    std::map<std::string, int> keys;
    for (const Snapshot* image : {&before, &after, &now}) {
      for (const auto& [key, bytes] : image->files)
        keys[key] = 0;
    }
    for (const auto& [key, unused] : keys) {
      const auto actual = now.find(key);
      EXPECT_TRUE(actual == before.find(key) || actual == after.find(key))
          << key << " holds neither its old nor its new content";
      ++compared;
    }
    if (!sc.sourceDat.empty()) {
      // The moved quotes exist complete in at least one place.
      const auto quotes =
          before.find(sc.sourceDat) ? before.find(sc.sourceDat) : before.find(sc.destDat);
      EXPECT_TRUE(now.find(sc.sourceDat) == quotes || now.find(sc.destDat) == quotes);
    }
    EXPECT_TRUE(now.workFiles.empty()) << "work file left: " << now.workFiles.front();
    ExpectUndoable(sc, dir.get(), before, after, now);
  }
  EXPECT_TRUE(completed);
  EXPECT_GT(faults, 0);
  g_faults += faults;
  g_filesCompared += compared;
  RecordProperty("faults", faults);
  RecordProperty("files_compared", compared);
}

std::vector<Case> Cases() {
  std::vector<Case> cases;
  for (bool reads : {false, true}) {
    for (const Scenario& s : Scenarios())
      cases.push_back({s, reads});
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(WritePaths, FaultInjectionTest, ::testing::ValuesIn(Cases()),
                         [](const auto& tp) {
                           return tp.param.scenario.name +
                                  (tp.param.countReads ? "_ReadsToo" : "_Writes");
                         });

// The totals for the record of this suite.
class Totals : public ::testing::Environment {
 public:
  void TearDown() override {
    std::printf("fault injection: %d runs with an injected fault, %d file images compared\n",
                g_faults, g_filesCompared);
  }
};

const auto* const kTotals = ::testing::AddGlobalTestEnvironment(new Totals);

}  // namespace
}  // namespace ledgrix::maintenance
