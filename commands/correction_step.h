// One correction of the shown portfolio as a step of its undo journal.
#pragma once

#include <optional>
#include <string>

#include "maintenance/undo_journal.h"

class CommandHost;

namespace ledgrix::commands {

// While it lives, the correction's changes are recorded. When the journal cannot take the step,
// the user is told and ready() is false: nothing may be changed then.
class CorrectionStep {
 public:
  CorrectionStep(CommandHost& host, std::string label);
  ~CorrectionStep();
  CorrectionStep(const CorrectionStep&) = delete;
  CorrectionStep& operator=(const CorrectionStep&) = delete;
  bool ready() const { return step_.ready(); }

 private:
  CommandHost& host_;
  std::optional<maintenance::UndoJournal> journal_;
  maintenance::JournalStep step_;
};

}  // namespace ledgrix::commands
