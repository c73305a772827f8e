#include "commands/correction_step.h"

#include "commands/command_host.h"
#include "maintenance/messages.h"
#include "maintenance/prompt.h"

namespace ledgrix::commands {

CorrectionStep::CorrectionStep(CommandHost& host, std::string label)
    : host_(host),
      journal_(host.undoJournal()),
      step_(journal_ ? &*journal_ : nullptr, std::move(label)) {
  if (!step_.ready()) {
    host_.prompt().Message(maintenance::JournalUnavailableMessage(step_.error()),
                           maintenance::PromptIcon::kStop);
  }
}

CorrectionStep::~CorrectionStep() {
  // The command reports its own failure; this says what stopped it.
  const bool stopped = step_.ready() && !step_.error().empty();
  step_.Commit();
  if (stopped) {
    host_.prompt().Message(maintenance::JournalStoppedMessage(step_.error()),
                           maintenance::PromptIcon::kStop);
  }
}

}  // namespace ledgrix::commands
