// The sub-commands of ledgrix-cli, one group per file. Each group adds its sub-commands to the
// app and the action that runs when one of them was chosen.
#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "cli/cli_support.h"

namespace CLI {
class App;
}

namespace ledgrix::cli {

using Action = std::function<int(const Context&)>;
using CommandTable = std::vector<std::pair<CLI::App*, Action>>;

void AddPortfolioCommands(CLI::App& app, CommandTable& table);
void AddQuoteCommands(CLI::App& app, CommandTable& table);
void AddExportCommands(CLI::App& app, CommandTable& table);
void AddImportCommands(CLI::App& app, CommandTable& table);
void AddSymbolCommands(CLI::App& app, CommandTable& table);
void AddUndoCommands(CLI::App& app, CommandTable& table);
void AddCheckCommands(CLI::App& app, CommandTable& table);

// Asks before replacing an existing output file. False: not to be replaced (reported).
bool MayReplace(const Context& ctx, const path& file);
// Writes bytes to file through a work file beside it, so the file is either whole or as it was.
bool WriteResultFile(const Context& ctx, const path& file, const std::string& bytes,
                     const std::string& failureText);

}  // namespace ledgrix::cli
