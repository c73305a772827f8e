// Placeholders until the symbol commands land.
#include "commands/command_host.h"
#include "commands/symbols/symbol_commands.h"
#include "maintenance/prompt.h"

namespace ledgrix::commands {
namespace {
void NotYet(CommandHost& host) { host.prompt().Message("This command is not available yet."); }
}  // namespace

void DeleteSymbol(CommandHost& host) { NotYet(host); }
void EditSymbol(CommandHost& host) { NotYet(host); }
void MoveOrCopySymbol(CommandHost& host, bool) { NotYet(host); }
void EditSearchFilter(CommandHost& host) { NotYet(host); }
void ExportQuotes(CommandHost& host) { NotYet(host); }

}  // namespace ledgrix::commands
