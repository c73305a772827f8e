// The Symbol menu, the portfolio search filter and the export.
#pragma once

class CommandHost;

namespace ledgrix::commands {

void DeleteSymbol(CommandHost& host);                 // Symbol > Delete
void EditSymbol(CommandHost& host);                   // Symbol > Edit...
void MoveOrCopySymbol(CommandHost& host, bool move);  // Symbol > Move... / Copy...
void EditSearchFilter(CommandHost& host);             // Portfolio > Search Filter...
void ExportQuotes(CommandHost& host);                 // Quotes > Export...

}  // namespace ledgrix::commands
