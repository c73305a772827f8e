// The undo journal of a portfolio, shared by the GUI and the CLI: every correction runs inside
// one JournalStep, which keeps the old bytes of each portfolio file before it is replaced or
// deleted and the new ones for a redo. Undo and Redo put them back through the same crash-safe
// replace, and refuse when a file no longer holds what the journal expects.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "maintenance/journal_store.h"
#include "platform/files.h"

namespace ledgrix::maintenance {

using std::filesystem::path;

// Bytes of file contents a portfolio's journal keeps before its oldest steps are dropped.
inline constexpr std::uint64_t kDefaultUndoLimit = 64ull << 20;
// Steps a portfolio's journal keeps at most, whatever their size.
inline constexpr std::size_t kMaxUndoSteps = 1000;

// One step as the history lists it.
struct UndoStep {
  enum class State { kDone, kUndone, kInterrupted, kUnreadable };
  std::string label;
  std::int64_t time = 0;  // seconds since 1970
  State state = State::kDone;
};

// What an undo or redo did.
struct UndoOutcome {
  enum class Kind { kApplied, kNothing, kRefused, kFailed };
  Kind kind = Kind::kNothing;
  std::string label;          // the step's
  std::string message;        // for the user, unless applied
  std::vector<path> changed;  // the files written or deleted
  bool ok() const { return kind == Kind::kApplied; }
};

class UndoJournal {
 public:
  // The journal of the portfolio at portfolioDir, kept below root (journal::DefaultRoot()).
  UndoJournal(path root, path portfolioDir, std::uint64_t sizeLimit = kDefaultUndoLimit);

  const path& portfolioDir() const { return portfolioDir_; }
  std::uint64_t sizeLimit() const { return sizeLimit_; }
  // The folder of this portfolio's steps; created when create is set. Empty with *error when it
  // cannot be had (no error when it does not exist yet).
  path Directory(bool create, std::string* error) const;

  // Newest first. A journal that cannot be read yields *error.
  std::vector<UndoStep> History(std::string* error = nullptr) const;
  // The labels of the steps Undo and Redo would take back or do again, read in one go.
  struct NextSteps {
    std::optional<std::string> undo, redo;
  };
  NextSteps Next() const;
  std::optional<std::string> UndoLabel() const { return Next().undo; }
  std::optional<std::string> RedoLabel() const { return Next().redo; }

  UndoOutcome Undo() const;
  UndoOutcome Redo() const;

 private:
  // The steps that happened, oldest first: a correction cut off before it changed anything is
  // no step. False when the journal cannot be listed.
  bool Steps(const journal::Store& store, std::vector<journal::StepRecord>& steps) const;
  std::optional<std::size_t> Target(const std::vector<journal::StepRecord>& steps, bool redo) const;
  UndoOutcome Apply(bool redo) const;

  path root_;
  path portfolioDir_;
  std::uint64_t sizeLimit_;
};

// One correction's step. While it lives, every change the platform's file functions make to a
// portfolio file is recorded first; a change that cannot be recorded is not made. A step that
// changed nothing leaves no trace.
class JournalStep final : private platform::ChangeObserver {
 public:
  // journal may be null: the correction then runs without a journal.
  JournalStep(const UndoJournal* journal, std::string label);
  ~JournalStep() override;
  JournalStep(const JournalStep&) = delete;
  JournalStep& operator=(const JournalStep&) = delete;

  // False when the journal cannot take the step (error() says why); every change is then
  // refused, so the correction should not be started.
  bool ready() const { return ready_; }
  // Why the journal refused the step or a change during it; empty when it did not.
  const std::string& error() const { return error_; }
  // Ends the step: kept as done when it changed a file, dropped otherwise, and the journal
  // trimmed to its size. Called by the destructor when not before.
  void Commit();

 private:
  platform::IoResult BeforeChange(const path& file,
                                  const std::vector<std::uint8_t>* content) override;
  platform::IoResult Begin();
  platform::IoResult Record(const path& file, const std::vector<std::uint8_t>* content);
  platform::IoResult Refuse(std::string reason);
  void Trim() const;

  const UndoJournal* journal_;
  std::optional<journal::Store> store_;
  journal::StepRecord record_;
  bool ready_ = true;
  bool begun_ = false;
  bool committed_ = false;
  std::string error_;
  std::optional<platform::ScopedChangeObserver> observing_;
};

}  // namespace ledgrix::maintenance
