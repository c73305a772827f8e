#include "commands/quotes/entry_check.h"

#include "commands/command_host.h"
#include "maintenance/prompt.h"
#include "maintenance/quote_entry.h"

namespace ledgrix::commands {

bool EntriesPass(CommandHost& host, const EntryCheck& check) {
  const std::string first = host.firstDateText().toStdString();
  const std::string last = host.lastDateText().toStdString();
  bool invalid = false;
  for (const QString& date : check.dates)
    invalid |= !maintenance::CheckDateEntry(date.toStdString(), first, last);
  for (const QString& factor : check.factors)
    invalid |= !maintenance::CheckFactorEntry(factor.toStdString());
  for (const QString& number : check.numbers)
    invalid |= !maintenance::ParseNumberText(number.toStdString()).has_value();
  if (invalid)
    host.prompt().Message(maintenance::kInvalidDataEntered);
  return !invalid;
}

}  // namespace ledgrix::commands
