// Undo, redo and the history of a portfolio's journal. The state of a step is its record's mark,
// checked against what the files hold before anything is put back.
#include "maintenance/undo_journal.h"

#include <algorithm>

#include "maintenance/messages.h"

namespace ledgrix::maintenance {

using journal::FileChange;
using journal::Fingerprint;
using journal::StepRecord;
using journal::StepState;

namespace {

UndoOutcome Outcome(UndoOutcome::Kind kind, std::string label, std::string message) {
  UndoOutcome outcome;
  outcome.kind = kind;
  outcome.label = std::move(label);
  outcome.message = std::move(message);
  return outcome;
}

// What one file must be given back.
struct Put {
  const FileChange* change = nullptr;
  bool present = false;
  journal::Bytes bytes;
};

// Quote files and descriptors first, then the index files, deletions last: no index ever names
// a quote file that is not there. Redo keeps the correction's own order, undo reverses it.
std::vector<const Put*> WriteOrder(const std::vector<Put>& plan, bool redo) {
  std::vector<const Put*> ordered;
  std::vector<const Put*> steps;
  for (const Put& put : plan)
    steps.push_back(&put);
  if (!redo)
    std::reverse(steps.begin(), steps.end());
  for (int pass = 0; pass < 3; ++pass) {
    for (const Put* put : steps) {
      const bool index = journal::IsIndexFile(put->change->file);
      const int rank = !put->present ? 2 : index ? 1 : 0;
      if (rank == pass)
        ordered.push_back(put);
    }
  }
  return ordered;
}

}  // namespace

UndoJournal::UndoJournal(path root, path portfolioDir, std::uint64_t sizeLimit)
    : root_(std::move(root)), portfolioDir_(std::move(portfolioDir)), sizeLimit_(sizeLimit) {}

path UndoJournal::Directory(bool create, std::string* error) const {
  std::string reason;
  path dir = journal::StoreDirectory(root_, portfolioDir_, create, &reason);
  if (error)
    *error = reason;
  return dir;
}

bool UndoJournal::Steps(const journal::Store& store, std::vector<StepRecord>& steps) const {
  if (!store.Load(steps))
    return false;
  std::erase_if(steps, [](const StepRecord& step) {
    return !step.damaged && step.state == StepState::kOpen && journal::ChangedNothing(step);
  });
  return true;
}

std::optional<std::size_t> UndoJournal::Target(const std::vector<StepRecord>& steps,
                                               bool redo) const {
  // Undone steps follow all others: a new step drops them.
  std::optional<std::size_t> last;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    if (steps[i].damaged || steps[i].state != StepState::kUndone)
      last = i;
  }
  if (!redo)
    return last;
  // A step cut off half-way can be finished either way.
  if (last && !steps[*last].damaged && steps[*last].interrupted())
    return last;
  const std::size_t next = last ? *last + 1 : 0;
  if (next < steps.size())
    return next;
  return std::nullopt;
}

std::vector<UndoStep> UndoJournal::History(std::string* error) const {
  std::vector<UndoStep> history;
  const path dir = Directory(false, error);
  if (dir.empty())
    return history;
  const journal::Store store(dir);
  std::vector<StepRecord> steps;
  if (!Steps(store, steps)) {
    if (error)
      *error = "cannot list " + platform::Utf8FromPath(dir);
    return history;
  }
  for (auto it = steps.rbegin(); it != steps.rend(); ++it) {
    UndoStep step;
    step.label = it->damaged
                     ? "(unreadable: " + platform::Utf8FromPath(store.RecordPath(it->seq)) + ")"
                     : it->label;
    step.time = it->time;
    step.state = it->damaged                     ? UndoStep::State::kUnreadable
                 : it->interrupted()             ? UndoStep::State::kInterrupted
                 : it->state == StepState::kDone ? UndoStep::State::kDone
                                                 : UndoStep::State::kUndone;
    history.push_back(std::move(step));
  }
  return history;
}

UndoJournal::NextSteps UndoJournal::Next() const {
  NextSteps next;
  const path dir = Directory(false, nullptr);
  std::vector<StepRecord> steps;
  if (dir.empty() || !Steps(journal::Store(dir), steps))
    return next;
  for (const bool redo : {false, true}) {
    if (const auto target = Target(steps, redo)) {
      const StepRecord& step = steps[*target];
      (redo ? next.redo : next.undo) = step.damaged ? std::string("(unreadable step)") : step.label;
    }
  }
  return next;
}

UndoOutcome UndoJournal::Undo() const {
  return Apply(false);
}

UndoOutcome UndoJournal::Redo() const {
  return Apply(true);
}

UndoOutcome UndoJournal::Apply(bool redo) const {
  using Kind = UndoOutcome::Kind;
  const char* nothing = redo ? kNothingToRedo : kNothingToUndo;
  std::string error;
  const path dir = Directory(false, &error);
  if (dir.empty()) {
    return error.empty() ? Outcome(Kind::kNothing, {}, nothing)
                         : Outcome(Kind::kRefused, {}, JournalUnreadableMessage(error));
  }
  const journal::Store store(dir);
  std::vector<StepRecord> steps;
  if (!Steps(store, steps))
    return Outcome(Kind::kRefused, {},
                   JournalUnreadableMessage("cannot list " + platform::Utf8FromPath(dir)));
  const auto target = Target(steps, redo);
  if (!target)
    return Outcome(Kind::kNothing, {}, nothing);
  StepRecord step = steps[*target];
  if (step.damaged) {
    return Outcome(Kind::kRefused, {},
                   JournalUnreadableMessage(platform::Utf8FromPath(store.RecordPath(step.seq))));
  }
  const std::string& label = step.label;

  // Everything is checked and read before the first file changes.
  std::vector<Put> plan;
  for (const FileChange& change : step.files) {
    const std::string name = platform::Utf8FromPath(change.file);
    Fingerprint now;
    if (!journal::ReadCurrent(change.file, now))
      return Outcome(Kind::kRefused, label, UndoUnreadableMessage(redo, label, name));
    if (journal::StandOf(change, now) == journal::FileStand::kForeign)
      return Outcome(Kind::kRefused, label, UndoRefusedMessage(redo, label, name));
    const Fingerprint& want = redo ? change.after : change.before;
    if (now == want)
      continue;
    Put put{&change, want.present, {}};
    const int blob = redo ? change.afterBlob : change.beforeBlob;
    if (want.present && !store.ReadBlob(step.seq, blob, want, put.bytes)) {
      return Outcome(Kind::kRefused, label,
                     UndoUnreadableMessage(redo, label,
                                           platform::Utf8FromPath(store.BlobPath(step.seq, blob))));
    }
    plan.push_back(std::move(put));
  }

  // Marked first: cut off half-way, the step can then be finished either way.
  step.state = redo ? StepState::kRedoing : StepState::kUndoing;
  if (platform::IoResult marked = store.Write(step); !marked)
    return Outcome(Kind::kFailed, label, JournalUnavailableMessage(marked.message()));

  UndoOutcome outcome = Outcome(Kind::kApplied, label, {});
  for (const Put* put : WriteOrder(plan, redo)) {
    const path& file = put->change->file;
    const platform::IoResult done =
        put->present ? platform::ReplaceFile(file, platform::Utf8FromPath(file.filename()) + ".~UN",
                                             put->bytes)
                     : platform::DeleteFileIfPresent(file);
    if (!done) {
      outcome.kind = Kind::kFailed;
      outcome.message = UndoFailedMessage(redo, label, done.message());
      return outcome;
    }
    outcome.changed.push_back(file);
  }
  step.state = redo ? StepState::kDone : StepState::kUndone;
  // Not marked, the step reads as interrupted, and either command finishes it at once.
  (void)store.Write(step);
  return outcome;
}

}  // namespace ledgrix::maintenance
