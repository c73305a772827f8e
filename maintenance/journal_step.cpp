// One correction's journal step: the platform's file functions announce each change, and the
// step records the file's bytes before and after it, durably, before the change is let through.
#include <algorithm>
#include <ctime>

#include "maintenance/messages.h"
#include "maintenance/undo_journal.h"

namespace ledgrix::maintenance {

using journal::StepRecord;
using journal::StepState;

JournalStep::JournalStep(const UndoJournal* journal, std::string label) : journal_(journal) {
  record_.label = std::move(label);
  if (journal_ == nullptr)
    return;
  const path dir = journal_->Directory(true, &error_);
  if (dir.empty()) {
    ready_ = false;
  } else {
    store_.emplace(dir);
  }
  // Installed either way: a step that is not ready refuses every change.
  observing_.emplace(static_cast<platform::ChangeObserver&>(*this));
}

JournalStep::~JournalStep() {
  try {
    Commit();
  } catch (...) {
    // The step stays open and reads as interrupted: still undoable.
  }
}

platform::IoResult JournalStep::Refuse(std::string reason) {
  if (error_.empty())
    error_ = std::move(reason);
  return platform::IoResult::Failure("the undo journal cannot record the change: " + error_);
}

platform::IoResult JournalStep::BeforeChange(const path& file,
                                             const std::vector<std::uint8_t>* content) {
  if (!ready_)
    return Refuse(error_);
  if (!journal::IsPortfolioContent(file))
    return {};
  if (!begun_) {
    if (platform::IoResult begun = Begin(); !begun)
      return Refuse(begun.message());
  }
  // Undone later, perhaps from another folder or by the other program.
  std::error_code ec;
  path absolute = std::filesystem::absolute(file, ec);
  if (ec)
    absolute = file;
  if (platform::IoResult recorded = Record(absolute.lexically_normal(), content); !recorded)
    return Refuse(recorded.message());
  return {};
}

platform::IoResult JournalStep::Begin() {
  std::uint32_t highest = 0;
  std::vector<StepRecord> steps;
  if (!store_->Load(steps, &highest))
    return platform::IoResult::Failure("cannot list " + platform::Utf8FromPath(store_->dir()));
  // A new step ends the steps that could be redone, and any that never happened.
  for (const StepRecord& step : steps) {
    const bool redoable = !step.damaged && step.state == StepState::kUndone;
    const bool neverHappened =
        !step.damaged && step.state == StepState::kOpen && journal::ChangedNothing(step);
    if (redoable || neverHappened) {
      if (platform::IoResult dropped = store_->Delete(step); !dropped)
        return dropped;
    }
  }
  record_.seq = highest + 1;
  record_.time = static_cast<std::int64_t>(std::time(nullptr));
  record_.state = StepState::kOpen;
  begun_ = true;
  return {};
}

platform::IoResult JournalStep::Record(const path& file, const std::vector<std::uint8_t>* content) {
  const StepRecord saved = record_;
  std::vector<int> written;
  auto writeBlob = [&](const journal::Bytes& bytes) -> int {
    const int blob = record_.nextBlob++;
    if (!store_->WriteBlob(record_.seq, blob, bytes))
      return 0;
    written.push_back(blob);
    return blob;
  };
  auto fail = [&](platform::IoResult result) {
    record_ = saved;
    for (int blob : written)
      (void)store_->DeleteBlob(record_.seq, blob);
    return result;
  };

  int superseded = 0;
  auto it = std::find_if(record_.files.begin(), record_.files.end(),
                         [&](const journal::FileChange& change) { return change.file == file; });
  if (it == record_.files.end()) {
    journal::FileChange change;
    change.file = file;
    journal::Bytes old;
    if (!journal::ReadCurrent(file, change.before, &old))
      return fail(platform::IoResult::Failure("cannot read " + platform::Utf8FromPath(file)));
    if (change.before.present && (change.beforeBlob = writeBlob(old)) == 0)
      return fail(
          platform::IoResult::Failure("cannot keep the bytes of " + platform::Utf8FromPath(file)));
    record_.files.push_back(std::move(change));
    it = record_.files.end() - 1;
  } else {
    // Changed again: what it held until now counts as a state in between.
    superseded = it->afterBlob;
    it->between.push_back(it->after);
  }
  it->after = journal::FingerprintOf(content);
  it->afterBlob = 0;
  if (content && (it->afterBlob = writeBlob(*content)) == 0)
    return fail(platform::IoResult::Failure("cannot keep the new bytes of " +
                                            platform::Utf8FromPath(file)));
  if (platform::IoResult stored = store_->Write(record_); !stored)
    return fail(stored);
  if (superseded != 0)
    (void)store_->DeleteBlob(record_.seq, superseded);
  return {};
}

void JournalStep::Commit() {
  if (committed_)
    return;
  committed_ = true;
  observing_.reset();
  if (!begun_ || !store_)
    return;
  if (record_.files.empty() || journal::ChangedNothing(record_)) {
    (void)store_->Delete(record_);
    return;
  }
  record_.state = StepState::kDone;
  // Not marked, the step stays open and reads as interrupted: it can still be undone.
  (void)store_->Write(record_);
  Trim();
}

void JournalStep::Trim() const {
  std::vector<StepRecord> steps;
  if (!store_->Load(steps))
    return;
  std::uint64_t total = 0;
  for (const StepRecord& step : steps)
    total += step.storedSize();
  // The oldest go first; the step just made stays even when it alone is over the limit. The
  // number of steps is bounded too, which keeps reading the journal quick.
  std::size_t dropped = 0;
  while (dropped < steps.size() &&
         (total > journal_->sizeLimit() || steps.size() - dropped > kMaxUndoSteps) &&
         steps[dropped].seq != record_.seq) {
    if (!store_->Delete(steps[dropped]))
      break;
    total -= steps[dropped].storedSize();
    ++dropped;
  }
  store_->DeleteLeftovers();
}

}  // namespace ledgrix::maintenance
