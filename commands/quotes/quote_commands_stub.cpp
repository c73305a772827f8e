// Placeholders until the quote commands land.
#include "commands/command_host.h"
#include "commands/quotes/quote_commands.h"
#include "maintenance/prompt.h"

namespace ledgrix::commands {
namespace {
void NotYet(CommandHost& host) { host.prompt().Message("This command is not available yet."); }
}  // namespace

void EditQuote(CommandHost& host) { NotYet(host); }
void EnterSplit(CommandHost& host) { NotYet(host); }
void AdjustQuotes(CommandHost& host) { NotYet(host); }
void AddQuote(CommandHost& host) { NotYet(host); }
void DeleteQuote(CommandHost& host) { NotYet(host); }
void OpenSplitSearch(CommandHost& host) { NotYet(host); }
void ShowSeriesFacts(CommandHost& host) { NotYet(host); }

}  // namespace ledgrix::commands
