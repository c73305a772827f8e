// ledgrix-cli: every correction of the GUI, for scripts, scheduled jobs and machines without a
// display. Results go to stdout, messages to stderr.
#include <CLI/CLI.hpp>

#include <iostream>

#include "cli/commands.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

bool StdinIsTerminal() {
#ifdef _WIN32
  return _isatty(_fileno(stdin)) != 0;
#else
  return ::isatty(STDIN_FILENO) != 0;
#endif
}

}  // namespace

int main(int argc, char** argv) {
  using namespace ledgrix::cli;
#ifdef _WIN32
  // The export's "\r\n" line ends go out as they are.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  CLI::App app{"ledgrix-cli: browse and correct MetaStock / CompuTrac quote data", "ledgrix-cli"};
  app.set_version_flag("--version", "ledgrix-cli " LEDGRIX_VERSION);
  app.require_subcommand(1, 1);
  app.fallthrough();
  bool yes = false;
  app.add_flag("-y,--yes", yes,
               "answer Yes to every question (needed for questions when stdin is no terminal)");

  bool noUndo = false;
  app.add_flag("--no-undo", noUndo,
               "make corrections without recording them in the portfolio's undo journal");
  std::uint64_t undoLimit = ledgrix::maintenance::kDefaultUndoLimit >> 20;
  app.add_option("--undo-limit", undoLimit,
                 "MiB of file contents the undo journal keeps per portfolio (default 64)")
      ->check(CLI::PositiveNumber);

  CommandTable table;
  AddPortfolioCommands(app, table);
  AddQuoteCommands(app, table);
  AddExportCommands(app, table);
  AddImportCommands(app, table);
  AddSymbolCommands(app, table);
  AddUndoCommands(app, table);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? kExitDone : kExitUsage;
  }

  TerminalPrompt prompt(yes, StdinIsTerminal(), std::cin, std::cerr);
  const Context ctx{yes, std::cout, std::cerr, prompt, noUndo, undoLimit << 20};
  for (const auto& [sub, action] : table) {
    if (!sub->parsed())
      continue;
    try {
      const int code = action(ctx);
      std::cout.flush();
      return code;
    } catch (const std::exception& e) {
      Report(std::cerr, "Unexpected failure", {e.what()});
      return kExitFailed;
    }
  }
  return kExitUsage;
}
